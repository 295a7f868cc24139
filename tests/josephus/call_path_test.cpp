/* The chain each step of josephus shows is the real call path: the
 * program's functions on the stack when the step was taken, from the
 * function main calls (RunJosephus) down to the one holding the STEP
 * (support/call_path_check.h; built by add_call_path_test). Both runs are
 * made in this process, one after the other: the program ends none of
 * these with exit. */
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "call_path.h"
#include "call_path_check.h"
#include "program.h"
#include "status.h"
#include "step.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

StepRuns runs;  /* the steps heard and shown of the run under test */

void Hear(StepKind kind, const StepSite &site, const node *, int, int) {
    runs.heard.push_back({kind, CallPath(), ChainOf(site)});
}

TEST(JosephusCallPath, EveryChainTheTraceShowsIsTheRealCallPath) {
    /* The examples, a count that wraps the ring, and counts of 1 (no seat
     * passed). */
    std::vector<std::vector<std::string>> inputs = {
        {"5", "2", "3", "1", "4", "1", "5"},
        {"7", "3", "3", "3", "3", "3", "3", "3", "3"},
        {"3", "5", "1", "1", "1"},
        {"2", "1", "1", "1"}};
    for (auto &words : inputs) {
        SCOPED_TRACE(words[0] + " " + words[1]);
        std::vector<char *> argv{const_cast<char *>("josephus")};
        for (auto &w : words) argv.push_back(&w[0]);
        argv.push_back(nullptr);
        int argc = static_cast<int>(argv.size()) - 1;

        runs = StepRuns();
        StepHook = Hear;
        ASSERT_EQ(RunJosephus(argc, argv.data(), stdin), RUN_DONE);
        StepHook = nullptr;
        testing::internal::CaptureStdout();
        WriteSteps(argc, argv.data());
        runs.shown = TraceChains(testing::internal::GetCapturedStdout());
        ExpectTheRealPaths(runs, "RunJosephus");
        std::remove("out.txt");
    }
}

}  // namespace
