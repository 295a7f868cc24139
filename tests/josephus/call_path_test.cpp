/* The chain each step of josephus shows is the real call path: the
 * program's functions on the stack when the step was taken, from the
 * function main calls (RunJosephus) down to the one holding the STEP
 * (support/call_path.h; built by add_call_path_test). */
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <vector>

#include "call_path.h"
#include "program.h"
#include "status.h"
#include "step.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

using Path = std::vector<std::string>;

std::vector<Path> real;     /* the real call path at each step, in order */
std::vector<Path> reported; /* the chain the hook was given at each step */

void Hear(StepKind, const StepSite &site, const node *, int, int) {
    real.push_back(CallPath());
    Path chain{site.func};    /* the site's function, then its callers' frames */
    const StepCall *f = site.calls;
    if (f != nullptr && f->func == site.func) f = f->caller;
    for (; f != nullptr; f = f->caller) chain.insert(chain.begin(), f->func);
    reported.push_back(chain);
}

/* The chains of the trace's steps, in order. */
std::vector<Path> TraceChains(const std::string &trace) {
    std::vector<Path> chains;
    std::regex chain("\"chain\":\\[([^\\]]*)\\]"), name("\"([^\"]*)\"");
    for (std::sregex_iterator c(trace.begin(), trace.end(), chain), end; c != end; ++c) {
        std::string names = (*c)[1];
        Path path;
        for (std::sregex_iterator n(names.begin(), names.end(), name); n != end; ++n)
            path.push_back((*n)[1]);
        chains.push_back(path);
    }
    return chains;
}

TEST(JosephusCallPath, EveryChainTheTraceShowsIsTheRealCallPath) {
    /* The examples, a count that wraps the ring, and counts of 1 (no seat
     * passed). */
    std::vector<std::vector<std::string>> runs = {
        {"5", "2", "3", "1", "4", "1", "5"},
        {"7", "3", "3", "3", "3", "3", "3", "3", "3"},
        {"3", "5", "1", "1", "1"},
        {"2", "1", "1", "1"}};
    for (auto &words : runs) {
        std::vector<char *> argv{const_cast<char *>("josephus")};
        for (auto &w : words) argv.push_back(&w[0]);
        argv.push_back(nullptr);
        int argc = static_cast<int>(argv.size()) - 1;

        real.clear();
        reported.clear();
        StepHook = Hear;
        ASSERT_EQ(RunJosephus(argc, argv.data(), stdin), RUN_DONE);
        StepHook = nullptr;
        ASSERT_FALSE(real.empty());
        EXPECT_EQ(real.front().front(), "RunJosephus") << "the test calls what main calls";

        testing::internal::CaptureStdout();
        WriteSteps(argc, argv.data());
        std::vector<Path> shown = TraceChains(testing::internal::GetCapturedStdout());
        ASSERT_EQ(shown.size(), real.size()) << words[0] << " " << words[1];
        for (std::size_t k = 0; k < real.size(); k++) {
            EXPECT_EQ(reported[k], real[k]) << "step " << k + 1 << " as the hook hears it";
            EXPECT_EQ(shown[k], real[k]) << "step " << k + 1 << " of the trace";
        }
        std::remove("out.txt");
    }
}

}  // namespace
