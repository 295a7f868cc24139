/* The chain each step of translator shows is the real call path: the
 * program's functions on the stack when the step was taken, from the one
 * main called (PreDeal, MidDeal or Translate; main reads the rule file
 * first, with no step) down to the one holding the STEP
 * (support/call_path_check.h; built by add_call_path_test). The step
 * writer calls those three itself, in main's place, and puts "main" in
 * front of every chain: its chains are compared with "main" and the real
 * path. Each run writes translate.txt in its own temp folder. */
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "call_path_check.h"
#include "rewrite.h"
#include "rulefile.h"
#include "step.h"
#include "words.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

void Hear(StepKind kind, const StepSite &site, char) {
    HearStep(kind, ChainOf(site));
}

/* What main does with the rule file, the hook set once it is read. */
int Hooked(char *file) {
    char name[] = "translator";
    char *argv[] = {name, file, nullptr};
    StartFromRuleFile(2, argv);
    StepHook = Hear;
    PreDeal();
    MidDeal();
    Translate();
    return 0;
}

int Writer(char *file) {
    char name[] = "translator";
    char *argv[] = {name, file, nullptr};
    return WriteSteps(2, argv);
}

TEST(TranslatorCallPath, EveryChainTheTraceShowsIsTheRealCallPath) {
    /* Brackets inside brackets; rules that name one another, so that the
     * second pass reads the first one's sentence from the queue. */
    const char *files[] = {"1\nB = sa\n(t(ed)B)\n", "2\nX = tYd\nY = sa\nX(e(hn)X)\n",
                           "3\nA = tB\nB = sC\nC = an\nA\n"};
    std::set<int> kinds;
    for (const char *rules : files) {
        SCOPED_TRACE(rules);
        StepRuns runs = RunTwice("translator", rules, Hooked, Writer);
        EXPECT_EQ(runs.hooked, 0);
        EXPECT_EQ(runs.writer, 0);
        ExpectTheRealPaths(runs, "PreDeal", {"main"});
        for (const Heard &step : runs.heard) kinds.insert(step.kind);
    }
    EXPECT_EQ(kinds.size(), static_cast<std::size_t>(STEP_WORD) + 1) << "every kind of step was taken";
}

}  // namespace
