/* Unit tests of the step hook (step.h) and the step writer: on every
 * example, each step the hook hears is taken on a line that does it, and
 * the last pass's appends are the sentence that translate.txt gets. */
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "rewrite.h"
#include "rulefile.h"
#include "source_line.h"
#include "step.h"
#include "support.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

/* One step as the hook heard it. */
struct Heard {
    StepKind kind;      /* the step */
    std::string line;   /* the text of the line it was taken on */
    char c;             /* the character it moved */
};
std::vector<Heard> heard;

void Hear(StepKind kind, const StepSite &site, char c) {
    heard.push_back({kind, SourceLine(site.file, site.line), c});
}

/* What the line of each kind of step must do. */
const char *Does(StepKind kind) {
    switch (kind) {
    case STEP_LAY: return "PushChecked(c)";
    case STEP_TAKE: return "TakeGroup(&theta)";
    case STEP_PUT: return "PutGroup(theta)";
    case STEP_POP: return "PopChecked(";
    case STEP_ENQUEUE: return "EnQueue(&Q, delta)";
    case STEP_DEQUEUE: return "DeQueue(&Q, &delta)";
    case STEP_PUSH: return "PushChecked(";
    case STEP_KEEP: return "EnQueue(&Q, c)";
    case STEP_REPLACE: return "EnQueue(&Q, r->replacement[k])";
    case STEP_PASS: return "RulePass(";
    }
    return "?";
}

TEST(TranslatorSteps, EveryStepIsTakenOnALineThatDoesItAndTheLastPassMakesTheOutput) {
    if (L.top == nullptr) Start();
    for (const char *name : {"chained.txt", "nested.txt", "no_spaces.txt", "reversed_order.txt",
                             "rules.txt"}) {
        ASSERT_TRUE(Load(SourceFile(std::string("examples/translator/") + name))) << name;
        heard.clear();
        StepHook = Hear;
        PreDeal();
        MidDeal();
        StepHook = nullptr;

        std::string last;                    /* what the last pass appended */
        int passes = 0;
        for (const Heard &h : heard) {
            EXPECT_NE(h.line.find(Does(h.kind)), std::string::npos)
                << name << ": step " << h.kind << " on " << h.line;
            if (h.kind == STEP_PASS) {
                passes++;
                if (passes < N) last.clear();
            } else if (h.kind == STEP_KEEP || h.kind == STEP_REPLACE) {
                last += h.c;
            }
        }
        EXPECT_EQ(passes, N) << name;
        std::string output;
        char c;
        while (DeQueue(&Q, &c) == OK) output += c;
        EXPECT_EQ(last, output) << name;
    }
}

TEST(TranslatorSteps, TheWriterMarksTheRewrittenCharactersFromRewrite) {
    std::string path = std::string(DSD_SOURCE_DIR) + "/examples/translator/rules.txt";
    std::vector<char> arg(path.begin(), path.end());
    arg.push_back('\0');
    char name[] = "translator";
    char *argv[] = {name, arg.data(), nullptr};
    /* The writer starts L and Q anew, as the program does: the empty ones
     * of an earlier test give back their head nodes first. */
    if (L.top != nullptr && StackEmpty(&L) && QueueEmpty(&Q)) {
        std::free(L.top);
        std::free(Q.front);
        L.top = nullptr;
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteSteps(2, argv), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("{\"program\":\"translator\",\"ok\":true,", 0), 0u) << out;
    EXPECT_NE(out.find("{\"rewrittenSrc\":[{\"file\":\"translator/rewrite.cpp\""), std::string::npos)
        << out;
    EXPECT_NE(out.find("\"chain\":[\"MidDeal\",\"RulePass\",\"Rewrite\"]"), std::string::npos) << out;
    char c;
    while (DeQueue(&Q, &c) == OK) {}
}

/* A count with no rule line after it and no sentence: pass 0 runs on the
 * empty sentence without a rule record to describe (R was never made), and
 * the writer must not read one. CTest runs each test in a process of its
 * own, where no earlier test has made R; run with the others in one
 * process (valgrind), it has nothing to show. */
TEST(TranslatorSteps, ACountWithNoRulesAndNoSentenceDescribesNoRule) {
    if (R != nullptr) GTEST_SKIP() << "an earlier test in this process made R";
    std::string path = testing::TempDir() + "count_only.txt";
    FILE *fp = std::fopen(path.c_str(), "wb");
    ASSERT_NE(fp, nullptr);
    std::fputs("1", fp);
    std::fclose(fp);
    std::vector<char> arg(path.begin(), path.end());
    arg.push_back('\0');
    char name[] = "translator";
    char *argv[] = {name, arg.data(), nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteSteps(2, argv), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("\"passes\":[],\"passCount\":1"), std::string::npos) << out;
    std::remove(path.c_str());
}

}  // namespace
