/* Unit tests of the step hook (step.h) and the step writer: each step the
 * hook hears is taken on a line that does it, and the steps alone, replayed
 * on a stack and a queue of their own, keep them equal to L and Q at every
 * step and make translate.txt; the writer's trace starts at main, and its
 * size bound ends the record, not the run. */
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "rewrite.h"
#include "rulefile.h"
#include "source_line.h"
#include "step.h"
#include "support.h"
#include "words.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

/* Each test runs in a fresh directory of its own (Translate and the writer
 * write translate.txt there), with empty containers. */
class TranslatorSteps : public testing::Test {
protected:
    void SetUp() override {
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        home_ = here;
        char dir[] = "/tmp/translator-steps-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
        ASSERT_EQ(chdir(dir), 0);
    }
    void TearDown() override {
        StepHook = nullptr;
        char c;
        if (L.top != nullptr) {
            while (Pop(&L, &c) == OK) {}
            while (DeQueue(&Q, &c) == OK) {}
        }
        ASSERT_EQ(chdir(home_.c_str()), 0);
        std::string cleanup = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cleanup.c_str()), 0);
    }
    std::string home_, dir_;
};

std::string ReadFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

/* The text of each kind's line must hold one of these. */
bool DoneOn(StepKind kind, const std::string &line) {
    auto has = [&line](const char *what) { return line.find(what) != std::string::npos; };
    switch (kind) {
    case STEP_LAY: return has("PushChecked(c)");
    case STEP_TAKE: return has("TakeGroup(&theta)");
    case STEP_PUT: return has("PutGroup(theta)");
    case STEP_POP: return has("PopChecked(");
    case STEP_ENQUEUE: return has("EnQueue(&Q, delta)");
    case STEP_DEQUEUE: return has("DeQueue(&Q, &delta)");
    case STEP_PUSH: return has("PushChecked(");
    case STEP_READ: return has("Pop(&L, &c)") || has("DeQueue(&Q, &c)");
    case STEP_KEEP: return has("EnQueue(&Q, c)");
    case STEP_REPLACE: return has("EnQueue(&Q, r->replacement[k])");
    case STEP_PASS: return has("RulePass(");
    case STEP_WORD: return has("used += word.size");
    }
    return false;
}

/* The replay: a stack and a queue that only the steps change. */
std::string stack;                 /* its top last */
std::deque<char> queue;
int passes;                        /* passes ended */
std::string words;                 /* the words of the word steps */
std::vector<bool> heardKind;       /* kinds heard, by StepKind */
std::string fault;                 /* the first step that went wrong, or empty */

std::string Live() {
    std::string s = "L=";
    for (const LinkNode *p = L.top->next; p != nullptr; p = p->next) s += p->data;
    s += " Q=";
    for (const LinkNode *p = Q.front->next; p != nullptr; p = p->next) s += p->data;
    return s;
}

std::string Replayed() {
    return "L=" + std::string(stack.rbegin(), stack.rend()) + " Q=" + std::string(queue.begin(), queue.end());
}

/* Takes c off the replayed stack (from_queue 0) or queue; false when it is
 * not the character there. */
bool TakeOff(bool from_queue, char c) {
    if (from_queue) {
        if (queue.empty() || queue.front() != c) return false;
        queue.pop_front();
    } else {
        if (stack.empty() || stack.back() != c) return false;
        stack.pop_back();
    }
    return true;
}

void Replay(StepKind kind, const StepSite &site, char c) {
    heardKind[kind] = true;
    std::string line = SourceLine(site.file, site.line);
    bool ok = DoneOn(kind, line);
    switch (kind) {
    case STEP_LAY: case STEP_PUSH: stack += c; break;
    case STEP_POP: ok = ok && TakeOff(false, c); break;
    case STEP_ENQUEUE: case STEP_KEEP: case STEP_REPLACE: queue.push_back(c); break;
    case STEP_DEQUEUE: ok = ok && TakeOff(true, c); break;
    case STEP_READ: ok = ok && TakeOff(passes > 0, c); break;
    case STEP_WORD: {
        ok = ok && TakeOff(true, c);
        Word word = WordFor(c);
        words.append(word.gbk, word.size);
        break;
    }
    case STEP_PASS: passes++; break;
    case STEP_TAKE: case STEP_PUT: break;
    }
    if (!ok || Live() != Replayed()) {
        if (fault.empty())
            fault = "step " + std::to_string(kind) + " '" + c + "' on \"" + line + "\": " + Live() +
                    " but the steps make " + Replayed();
    }
}

TEST_F(TranslatorSteps, TheStepsAloneRebuildTheContainersAndTheOutput) {
    heardKind.assign(STEP_WORD + 1, false);
    std::vector<std::string> files;
    for (const char *name : {"chained.txt", "nested.txt", "no_spaces.txt", "reversed_order.txt",
                             "rules.txt"})
        files.push_back(SourceFile(std::string("examples/translator/") + name));
    files.push_back("2\nA =\nB = Axy\n(B(Az)A)B\n");  /* an empty replacement, groups in a group */
    for (const std::string &file : files) {
        if (L.top == nullptr) Start();
        ASSERT_TRUE(Load(file)) << file;
        stack.clear();
        queue.clear();
        passes = 0;
        words.clear();
        fault.clear();
        StepHook = Replay;
        PreDeal();
        MidDeal();
        Translate();
        StepHook = nullptr;
        EXPECT_EQ(fault, "") << file;
        EXPECT_EQ(passes, N) << file;
        EXPECT_EQ(words, ReadFile("translate.txt")) << file;
    }
    for (int kind = 0; kind <= STEP_WORD; kind++) EXPECT_TRUE(heardKind[kind]) << "kind " << kind;
}

/* Runs the writer on a rule file holding `text`; returns its stdout. */
std::string Trace(const std::string &text) {
    {
        std::ofstream out("in.txt", std::ios::binary);
        out << text;
    }
    /* The writer starts L and Q anew, as the program does: the empty ones
     * of an earlier test give back their head nodes first. */
    if (L.top != nullptr && StackEmpty(&L) && QueueEmpty(&Q)) {
        std::free(L.top);
        std::free(Q.front);
        L.top = nullptr;
    }
    char name[] = "translator";
    char arg[] = "in.txt";
    char *argv[] = {name, arg, nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteSteps(2, argv), 0);
    return testing::internal::GetCapturedStdout();
}

TEST_F(TranslatorSteps, TheTraceRunsFromMainThroughTheWordsAndItsBoundEndsOnlyTheRecord) {
    std::string out = Trace(SourceFile("examples/translator/rules.txt"));
    EXPECT_EQ(out.rfind("{\"program\":\"translator\",\"input\":{\"count\":2,\"rules\":[{\"symbol\":\"X\","
                        "\"replacement\":\"tYd\"},{\"symbol\":\"Y\",\"replacement\":\"sa\"}],"
                        "\"sentence\":\"X(ehn)\"},\"steps\":[{\"kind\":\"lay\",",
                        0),
              0u)
        << out;
    EXPECT_NE(out.find("\"chain\":[\"main\",\"PreDeal\",\"TakeGroup\"]"), std::string::npos) << out;
    EXPECT_NE(out.find("\"chain\":[\"main\",\"MidDeal\",\"RulePass\",\"Rewrite\"]"), std::string::npos);
    /* The last pass made the sentence the words translate, the last word
     * leaves translate.txt as a console run writes it. */
    EXPECT_NE(out.find("\"at\":2,\"rule\":1,\"sentence\":{\"text\":\"tsadenehe\",\"length\":9},"
                       "\"rewritten\":[1,2]"),
              std::string::npos)
        << out;
    std::string file = ReadFile("translate.txt");
    std::string escaped;
    for (unsigned char b : file) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\u%04x", b);
        escaped += hex;
    }
    EXPECT_NE(out.find("\"chain\":[\"main\",\"Translate\"],\"c\":\"d\""), std::string::npos);
    EXPECT_NE(out.find("\"index\":8,\"output\":{\"text\":\"" + escaped + "\",\"length\":" +
                       std::to_string(file.size()) + "}}],\"ok\":true,\"stopped\":false}\n"),
              std::string::npos)
        << out;

    /* 30 A, each a word of 8 bytes, made nine times over four times: far
     * past the bound, and translate.txt is still whole. */
    out = Trace("4\nA = AAAAAAAAA\nA = AAAAAAAAA\nA = AAAAAAAAA\nA = AAAAAAAAA\n" + std::string(30, 'A') +
                "\n");
    EXPECT_LT(out.size(), std::size_t{4} << 20);
    std::string end = "}],\"ok\":true,\"stopped\":\"bound\"}\n";
    EXPECT_EQ(out.substr(out.size() - end.size()), end);
    EXPECT_EQ(ReadFile("translate.txt").size(), std::size_t{30} * 9 * 9 * 9 * 9 * 8);
}

/* A count with no rule line after it and no sentence: pass 0 runs on the
 * empty sentence without a rule to list (R was never made), and the writer
 * must not read one. CTest runs each test in a process of its own, where no
 * earlier test has made R; run with the others in one process (valgrind),
 * it has nothing to show. */
TEST_F(TranslatorSteps, ACountWithNoRulesAndNoSentenceListsNoRule) {
    if (R != nullptr) GTEST_SKIP() << "an earlier test in this process made R";
    std::string out = Trace("1");
    EXPECT_NE(out.find("\"input\":{\"count\":1,\"rules\":[],\"sentence\":\"\"},\"steps\":[{\"kind\":\"pass\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\"ok\":true,\"stopped\":false}"), std::string::npos) << out;
}

}  // namespace
