/* Unit tests of the step hook (step.h) and the step writer: on every
 * example session, each step the hook hears is taken on a line that does
 * it, and the walks it hears are the lines the session prints. */
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bitree.h"
#include "menu.h"
#include "source_line.h"
#include "step.h"
#include "texts.h"
#include "thread.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

/* What the line of each kind of step must do, and in which function. */
struct Rule {
    const char *does;   /* a part of the line */
    const char *func;   /* the function, or null for any */
};
Rule RuleFor(StepKind kind) {
    switch (kind) {
    case STEP_CHOICE: return {"ReadChoice(", "RunMenu"};
    case STEP_READ: return {"int got = Read", nullptr};
    case STEP_TREE: return {"*T = ", nullptr};
    case STEP_COPY: return {"*Q = PreInCreateThr(", "ReadTrees"};
    case STEP_THREADS: return {"PostCreatBiThrTree(*Q)", "ReadTrees"};
    case STEP_WALK: return {"Visit(p);", "PostOrderTraverseThr"};
    case STEP_PREORDER: return {"Visit(T);", "PreOrderTraverse"};
    case STEP_INORDER: return {"Visit(T);", "InOrderTraverse"};
    case STEP_POSTORDER: return {"Visit(T);", "PostOrderTraverse"};
    case STEP_VALUE: return {"*value = ", "Calculate"};
    case STEP_ZERO: return {"return ERROR", "Calculate"};
    }
    return {"?", nullptr};
}

std::string failures;        /* what the hook found wrong */
int choice = -1;             /* the choice being made */
StepKind walking = STEP_CHOICE;  /* the walk being heard */
std::vector<std::string> walks;  /* the characters of each walk heard, in order */

void Hear(StepKind kind, const StepSite &site, const void *what, int got) {
    Rule rule = RuleFor(kind);
    std::string line = SourceLine(site.file, site.line);
    if (line.find(rule.does) == std::string::npos || (rule.func && std::string(site.func) != rule.func))
        failures += std::string(site.file) + ":" + std::to_string(site.line) + " " + site.func + ": " + line + "\n";
    if (kind == STEP_CHOICE && got == CHOICE_READ) choice = *static_cast<const int *>(what);
    char ch = 0;
    if (kind == STEP_WALK) ch = static_cast<const BiThrNode *>(what)->data;
    if (kind == STEP_PREORDER || kind == STEP_INORDER || kind == STEP_POSTORDER)
        ch = static_cast<const BiTNode *>(what)->data;
    if (ch == 0) return;
    if (kind != walking || walks.empty()) walks.push_back("");
    walking = kind;
    walks.back() += ch;
}

/* The walks printed by a session: the rest of each line after a label. */
std::vector<std::string> PrintedWalks(const std::string &out) {
    std::vector<std::string> printed;
    const std::string labels[] = {TEXT_PREORDER, TEXT_INORDER, TEXT_THREADED, TEXT_PREFIX,
                                  TEXT_INFIX, TEXT_POSTFIX};
    std::size_t at = 0;
    for (;;) {
        std::size_t best = std::string::npos, length = 0;
        for (const std::string &label : labels) {
            std::size_t k = out.find(label, at);
            if (k < best) best = k, length = label.size();
        }
        if (best == std::string::npos) return printed;
        std::size_t end = out.find('\n', best + length);
        printed.push_back(out.substr(best + length, end - best - length));
        at = end;
    }
}

TEST(BitreeSteps, EveryStepIsTakenOnALineThatDoesItAndTheWalksArePrinted) {
    for (const char *name : {"choice0.txt", "choice1.txt", "choice2.txt", "messages.txt", "session.txt"}) {
        std::string path = std::string(DSD_SOURCE_DIR) + "/examples/bitree/" + name;
        ASSERT_NE(std::freopen(path.c_str(), "r", stdin), nullptr) << path;
        failures.clear();
        walks.clear();
        walking = STEP_CHOICE;
        testing::internal::CaptureStdout();
        StepHook = Hear;
        RunMenu();
        StepHook = nullptr;
        std::string out = testing::internal::GetCapturedStdout();
        EXPECT_EQ(failures, "") << name;
        EXPECT_EQ(walks, PrintedWalks(out)) << name;
    }
}

TEST(BitreeSteps, TheWriterRunsTheMenuWithoutItsDialogue) {
    for (const char *name : {"choice0.txt", "choice1.txt", "choice2.txt", "messages.txt", "session.txt"}) {
        std::string path = std::string(DSD_SOURCE_DIR) + "/examples/bitree/" + name;
        ASSERT_NE(std::freopen(path.c_str(), "r", stdin), nullptr) << path;
        char program[] = "bitree";
        char *argv[] = {program, nullptr};
        testing::internal::CaptureStdout();
        EXPECT_EQ(WriteSteps(1, argv), 0);
        std::string out = testing::internal::GetCapturedStdout();
        /* The description alone: no line of the dialogue before it. */
        EXPECT_EQ(out.rfind("{\"program\":\"bitree\",\"choices\":[{\"choice\":", 0), 0u) << out;
        EXPECT_EQ(out.find('\n'), out.size() - 1) << name;
        EXPECT_NE(out.find("\"cut\":false}\n"), std::string::npos) << name;
        if (std::string(name) == "choice0.txt") {
            EXPECT_NE(out.find("\"walkSrc\":[{\"file\":\"bitree/thread.cpp\""), std::string::npos) << out;
        }
        if (std::string(name) == "choice2.txt") {
            EXPECT_NE(out.find("\"src\":{\"file\":\"bitree/express.cpp\""), std::string::npos) << out;
        }
    }
}

}  // namespace
