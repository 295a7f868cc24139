/* The chain each step of evaluator shows is the real call path: the
 * program's functions on the stack when the row was made, from Run (main
 * loads the expression with Start, which takes no step, then calls Run) down
 * to the one holding the STEP (support/call_path_check.h; built by
 * add_call_path_test). The step writer calls Start and Run just as main
 * does and puts nothing in front, so its chains start at Run too. A syntax
 * error or a division by zero ends the run inside Run, with its status. */
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "call_path_check.h"
#include "driver.h"
#include "state.h"
#include "step.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

void Hear(StepKind kind, const StepSite &site, char, char, char, int, int) {
    HearStep(kind, ChainOf(site));
}

/* What main does with the file, the hook set. */
int Hooked(char *file) {
    fp1 = std::fopen(file, "r");
    if (fp1 == nullptr || Start() != nullptr) return 3;
    std::fclose(fp1);
    fp2 = std::tmpfile();
    StepHook = Hear;
    Run();
    return 0;
}

int Writer(char *file) {
    char name[] = "evaluator";
    char *argv[] = {name, file, nullptr};
    return WriteSteps(2, argv);
}

TEST(EvaluatorCallPath, EveryChainTheTraceShowsIsTheRealCallPath) {
    /* Brackets and precedence; an error cell of the relation (an unclosed
     * bracket) and an operator short of operands, the two syntax errors;
     * a division by zero. With the exit status each run ends with. */
    struct Case {
        const char *expression;
        int status;
    } cases[] = {{"(2+3)*4-10/(7-2)", 0}, {"2*(3+4", 255}, {"3+", 255}, {"8/(4-4)", 255}};
    std::set<int> kinds;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expression);
        StepRuns runs = RunTwice("evaluator", std::string(c.expression) + "\n", Hooked, Writer);
        EXPECT_EQ(runs.hooked, c.status);
        EXPECT_EQ(runs.writer, c.status);
        ExpectTheRealPaths(runs, "Run");
        for (const Heard &step : runs.heard) kinds.insert(step.kind);
    }
    EXPECT_EQ(kinds.size(), static_cast<std::size_t>(STEP_DIVIDE_ERROR) + 1) << "every kind of step was taken";
}

}  // namespace
