/* The chain each step of bitree shows is the real call path: the program's
 * functions on the stack when the step was taken, from RunMenu (all main
 * does is call it) down to the one holding the STEP
 * (support/call_path_check.h; built by add_call_path_test). The step
 * writer calls RunMenu in main's place, so its chains start there too. A
 * function that calls itself stands once in the trace's chain for its
 * calls in a row, their number at the end being the step's "depth": the
 * real path is compared so folded. The writer leaves out the last read of
 * a choice, the one that finds the input ended: so does the hook here. */
#include <gtest/gtest.h>

#include <set>

#include "call_path_check.h"
#include "menu.h"
#include "status.h"
#include "step.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

void Hear(StepKind kind, const StepSite &site, const void *, int value, const StepRanges &) {
    if (kind == STEP_CHOICE && value == CHOICE_END) return;  /* not in the trace */
    HearStep(kind, ChainOf(site));
}

/* What main does, on the session as stdin, the hook set. */
int Hooked(char *) {
    StepHook = Hear;
    return RunMenu();
}

int Writer(char *) {
    char name[] = "bitree";
    char *argv[] = {name, nullptr};
    return WriteSteps(1, argv);
}

TEST(BitreeCallPath, EveryChainTheTraceShowsIsTheRealCallPath) {
    /* Choice 0 on a tree, on pairs of unequal lengths and on a root its
     * inorder lacks; choices 1 and 2 on an expression, one that ends too
     * early and a division by zero; a number that is no choice and a word. */
    const char *session = "0 ABDECF DBEAFC\n0 AB A\n0 ABC XYZ\n1 *+123\n2 *+123\n"
                          "1 *+12\n2 /-052\n2 /10\n7\nx\n";
    StepRuns runs = RunTwice("bitree", session, Hooked, Writer);
    EXPECT_EQ(runs.hooked, RUN_DONE);
    EXPECT_EQ(runs.writer, RUN_DONE);
    ExpectTheRealPaths(runs, "RunMenu");
    std::set<int> kinds;
    int deep = 0;                       /* steps of a function that called itself */
    for (const Heard &step : runs.heard) {
        kinds.insert(step.kind);
        if (AsWritten(step.real).depth > 1) deep++;
    }
    EXPECT_GT(deep, 0) << "recursion was on the path";
    EXPECT_EQ(kinds.size(), static_cast<std::size_t>(STEP_ZERO) + 1) << "every kind of step was taken";
}

}  // namespace
