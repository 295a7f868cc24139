/* Unit tests of the step hook (step.h) and the step writer: on every
 * example session, each step the hook hears is taken on a line that does
 * it, with the real call path as its chain, and the walks it hears are the
 * lines the session prints; the writer's trace shows the rebuild one step
 * per PreInCreate call, with that call's ranges. */
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
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

/* What the line of each kind of step must do, and the call paths it may
 * be taken on: the functions from RunMenu in, each once (a function that
 * calls itself stands once), paths separated by '|'. */
struct Rule {
    const char *does;   /* a part of the line, before the STEP */
    const char *chains; /* the call paths */
};
#define TREE_CHOICE "RunMenu TreeChoice "
#define EXPR_CHOICE "RunMenu ExpressionChoice "
Rule RuleFor(StepKind kind) {
    switch (kind) {
    case STEP_CHOICE: return {"ReadChoice(", "RunMenu"};
    case STEP_READ: return {"int got = Read", "RunMenu TreeChoice|RunMenu ExpressionChoice"};
    case STEP_SPLIT: return {"int right = end2 - i;", TREE_CHOICE "ReadTrees PreInCreate"};
    case STEP_UNEVEN: return {"end1 - s1 != end2 - s2", TREE_CHOICE "ReadTrees PreInCreate"};
    case STEP_MISSING: return {"if (i > end2)", TREE_CHOICE "ReadTrees PreInCreate"};
    case STEP_TREE: return {"*T = ", TREE_CHOICE "ReadTrees|" EXPR_CHOICE "ReadExpression"};
    case STEP_COPY: return {"*Q = PreInCreateThr(", TREE_CHOICE "ReadTrees"};
    case STEP_LTHREAD: return {"T->ltag = Thread;", TREE_CHOICE "ReadTrees PostCreatBiThrTree"};
    case STEP_RTHREAD: return {"pre->rtag = Thread;", TREE_CHOICE "ReadTrees PostCreatBiThrTree"};
    case STEP_THREADS: return {"PostCreatBiThrTree(*Q)", TREE_CHOICE "ReadTrees"};
    case STEP_WALK: return {"Visit(p);", TREE_CHOICE "PostPrintBiThrTree PostOrderTraverseThr"};
    case STEP_PREORDER: return {"Visit(T);", TREE_CHOICE "PrePrint PreOrderTraverse|" EXPR_CHOICE "PrePrint PreOrderTraverse"};
    case STEP_INORDER: return {"Visit(T);", TREE_CHOICE "InPrint InOrderTraverse|" EXPR_CHOICE "InPrint InOrderTraverse"};
    case STEP_POSTORDER: return {"Visit(T);", EXPR_CHOICE "PostPrint PostOrderTraverse"};
    case STEP_NODE: return {"flag++;", EXPR_CHOICE "ReadExpression CreateExpressTree"};
    case STEP_SHORT: return {"flag >= static_cast<int>(strlen(str))", EXPR_CHOICE "ReadExpression CreateExpressTree"};
    case STEP_VALUE: return {"*value = ", EXPR_CHOICE "Calculate"};
    case STEP_ZERO: return {"if (right == 0)", EXPR_CHOICE "Calculate"};
    }
    return {"?", ""};
}

/* The call path of a site: its frames from the outermost in, each
 * function once for the calls of it in a row, ending with the site's own
 * function even without a frame of its own. */
std::string ChainOf(const StepSite &site) {
    std::vector<std::string> names;
    for (const StepCall *f = site.calls; f != nullptr; f = f->caller)
        if (names.empty() || names.back() != f->func) names.push_back(f->func);
    if (names.empty() || names.front() != site.func) names.insert(names.begin(), site.func);
    std::string chain;
    for (auto k = names.rbegin(); k != names.rend(); ++k) chain += (chain.empty() ? "" : " ") + *k;
    return chain;
}

/* True when chain is one of the paths of rule (see Rule). */
bool ChainAllowed(const std::string &chain, const char *chains) {
    std::string all = std::string("|") + chains + "|";
    return all.find("|" + chain + "|") != std::string::npos;
}

std::string failures;        /* what the hook found wrong */
int choice = -1;             /* the choice being made */
StepKind walking = STEP_CHOICE;  /* the walk being heard */
std::vector<std::string> walks;  /* the characters of each walk heard, in order */

std::vector<std::string> calls;  /* the ranges of each PreInCreate step heard, "s1 end1 s2 end2" */

void Hear(StepKind kind, const StepSite &site, const void *what, int got, const StepRanges &r) {
    Rule rule = RuleFor(kind);
    std::string line = SourceLine(site.file, site.line);
    std::size_t step = line.find("STEP");
    /* The STEP stands after the statement that does the step, on its line,
     * with the function's own frame innermost. */
    if (line.find(rule.does) >= step || !ChainAllowed(ChainOf(site), rule.chains) ||
        site.calls == nullptr || std::string(site.calls->func) != site.func)
        failures += std::string(site.file) + ":" + std::to_string(site.line) + " " + ChainOf(site) + ": " + line + "\n";
    if (kind == STEP_SPLIT || kind == STEP_UNEVEN || kind == STEP_MISSING)
        calls.push_back(std::to_string(r.s1) + " " + std::to_string(r.end1) + " " + std::to_string(r.s2) + " " +
                        std::to_string(r.end2));
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

/* The trace the writer gives for the example session `name`. */
std::string Trace(const char *name) {
    std::string path = std::string(DSD_SOURCE_DIR) + "/examples/bitree/" + name;
    EXPECT_NE(std::freopen(path.c_str(), "r", stdin), nullptr) << path;
    char program[] = "bitree";
    char *argv[] = {program, nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteSteps(1, argv), 0);
    return testing::internal::GetCapturedStdout();
}

/* The PreInCreate steps of a trace, in order: kind, the call's ranges
 * "s1 end1 s2 end2", the line of its site, and for a split the ranges it
 * hands on ("" when it hands none on that side). */
struct RebuildStep {
    std::string kind, ranges, left, right;
    int line;
};
std::vector<RebuildStep> RebuildSteps(const std::string &trace) {
    static const std::regex step(
        R"re(\{"kind":"(split|missing|uneven)","src":\{"file":"bitree/bitree.cpp","line":(\d+),[^}]*\},)re"
        R"re("chain":\[[^\]]*\](?:,"depth":\d+)?,"at":\d+,"pre":\[(-?\d+),(-?\d+)\],"in":\[(-?\d+),(-?\d+)\])re"
        R"re((?:,"root":\d+,"left":(null|\[[-\d,]+\]),"right":(null|\[[-\d,]+\]))?)re");
    auto ranges = [](std::string list) {
        if (list == "null" || list.empty()) return std::string();
        list = list.substr(1, list.size() - 2);
        for (char &c : list) if (c == ',') c = ' ';
        return list;
    };
    std::vector<RebuildStep> steps;
    for (std::sregex_iterator m(trace.begin(), trace.end(), step), end; m != end; ++m)
        steps.push_back({(*m)[1], (*m)[3].str() + " " + (*m)[4].str() + " " + (*m)[5].str() + " " + (*m)[6].str(),
                         ranges((*m)[7]), ranges((*m)[8]), std::stoi((*m)[2])});
    return steps;
}

TEST(BitreeSteps, TheRebuildIsOneStepPerPreInCreateCallWithItsRanges) {
    /* The calls as the hook hears them from PreInCreate itself. */
    ASSERT_NE(std::freopen((std::string(DSD_SOURCE_DIR) + "/examples/bitree/choice0.txt").c_str(), "r", stdin), nullptr);
    calls.clear();
    testing::internal::CaptureStdout();
    StepHook = Hear;
    RunMenu();
    StepHook = nullptr;
    testing::internal::GetCapturedStdout();
    ASSERT_EQ(calls.size(), 7u);             /* ABDGCEF: one call per node */

    std::vector<RebuildStep> steps = RebuildSteps(Trace("choice0.txt"));
    ASSERT_EQ(steps.size(), calls.size());
    /* Each call comes as its caller handed it on, left before right. */
    std::vector<std::string> pending = {"0 6 0 6"};
    for (std::size_t k = 0; k < steps.size(); k++) {
        EXPECT_EQ(steps[k].kind, "split");
        EXPECT_EQ(steps[k].ranges, calls[k]) << k;
        ASSERT_FALSE(pending.empty()) << k;
        EXPECT_EQ(steps[k].ranges, pending.back()) << k;
        pending.pop_back();
        if (!steps[k].right.empty()) pending.push_back(steps[k].right);
        if (!steps[k].left.empty()) pending.push_back(steps[k].left);
    }
    EXPECT_TRUE(pending.empty());
}

TEST(BitreeSteps, AnInconsistentPairEndsItsRebuildOnTheLineThatFindsTheRootMissing) {
    /* messages.txt: 0 ABC ACD. A splits ACD into nothing and CD, where B,
     * the root of BC, is missing. */
    std::vector<RebuildStep> steps = RebuildSteps(Trace("messages.txt"));
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].kind, "split");
    EXPECT_EQ(steps[0].right, "1 2 1 2");
    EXPECT_EQ(steps[1].kind, "missing");
    EXPECT_EQ(steps[1].ranges, "1 2 1 2");
    EXPECT_NE(SourceLine("bitree/bitree.cpp", steps[1].line).find("if (i > end2)"), std::string::npos);
}

TEST(BitreeSteps, TheWriterRunsTheMenuWithoutItsDialogue) {
    for (const char *name : {"choice0.txt", "choice1.txt", "choice2.txt", "messages.txt", "session.txt"}) {
        std::string out = Trace(name);
        /* The trace alone: no line of the dialogue before it. */
        EXPECT_EQ(out.rfind("{\"program\":\"bitree\",\"input\":{\"choices\":[{\"choice\":", 0), 0u) << out;
        EXPECT_EQ(out.find('\n'), out.size() - 1) << name;
        EXPECT_NE(out.find("],\"ok\":true,\"stopped\":false}\n"), std::string::npos) << name;
        if (std::string(name) == "choice0.txt") {
            EXPECT_NE(out.find("\"input\":{\"choices\":[{\"choice\":0,\"preorder\":\"ABDGCEF\",\"inorder\":\"DGBAECF\"}]}"),
                      std::string::npos) << out;
            EXPECT_NE(out.find("{\"kind\":\"walk\",\"src\":{\"file\":\"bitree/thread.cpp\""), std::string::npos) << out;
        }
        if (std::string(name) == "choice2.txt") {
            EXPECT_NE(out.find("{\"kind\":\"value\",\"src\":{\"file\":\"bitree/express.cpp\""), std::string::npos) << out;
        }
    }
}

}  // namespace
