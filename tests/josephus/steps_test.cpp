/* Unit tests of the step hook (step.h) and the step writer: on every
 * example, each step the hook hears is taken on a line that does it, the
 * count passes every seat it moves over, and the steps are the run's own
 * (the leaving order that out.txt gets); the trace holds the state after
 * each step and stops at its bound. */
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "input.h"
#include "ring.h"
#include "source_line.h"
#include "status.h"
#include "step.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

/* One step as the hook heard it. */
struct Heard {
    StepKind kind;      /* the step */
    std::string line;   /* the text of the line it was taken on */
    std::string func;   /* the function it names */
    int seat;           /* the seat's number */
    int number;         /* the count, or the number the seat says */
    int moves;          /* the turn's moves */
    int prior;          /* the number of the seat before it in the ring */
};
std::vector<Heard> heard;

/* The seat before seat in the ring (for a seat still in it). */
int Prior(const node *seat) {
    const node *p = seat;
    while (p->next != seat) p = p->next;
    return p->num;
}

void Hear(StepKind kind, const StepSite &site, const node *seat, int number, int moves) {
    heard.push_back({kind, SourceLine(site.file, site.line), site.func, seat->num, number, moves,
                     kind == STEP_LEAVE ? 0 : Prior(seat)});
}

/* The parameters of an example: its numbers as arguments ("args.txt",
 * "classic.txt"), or typed on the keyboard ("keyboard.txt"). */
void ReadExample(const std::string &name, int &n, int &m, int *steps) {
    std::string path = std::string(DSD_SOURCE_DIR) + "/examples/josephus/" + name;
    std::FILE *in = std::fopen(path.c_str(), "r");
    ASSERT_NE(in, nullptr) << path;
    char none[] = "josephus";
    char *argv[] = {none, nullptr};
    ASSERT_EQ(ReadParameters(1, argv, in, n, m, steps), OK) << name;
    std::fclose(in);
}

TEST(JosephusSteps, EachTurnCountsPassesEverySeatItMovesAndUnlinksInLeavingOrder) {
    for (const char *name : {"args.txt", "classic.txt", "keyboard.txt"}) {
        int n = 0, m = 0;
        int steps[MAX_PEOPLE] = {0};
        ReadExample(name, n, m, steps);
        node *ring = nullptr;
        node *leaving = nullptr;
        Creat(ring, n, steps);
        heard.clear();
        StepHook = Hear;
        Josephus(ring, leaving, n, m);
        StepHook = nullptr;

        /* Each turn: a count, one pass per seat moved (saying 2, 3, ...,
         * each seat the one after the last), then the unlinking of the
         * seat the count ended on: the next of the leaving list. */
        const node *left = leaving->next;    /* the leaving list, as Out writes it */
        std::size_t k = 0;
        for (int turn = 1; turn <= n; turn++) {
            ASSERT_LT(k, heard.size()) << name << " turn " << turn;
            const Heard &count = heard[k++];
            EXPECT_EQ(count.kind, STEP_COUNT);
            EXPECT_NE(count.line.find("CountMoves(m, size)"), std::string::npos) << count.line;
            EXPECT_EQ(count.func, "Josephus");
            if (turn == 1) {
                EXPECT_EQ(count.seat, 1) << name << ": person 1 counts first";
            }
            int at = count.seat;
            for (int said = 2; said <= count.moves + 1; said++) {
                ASSERT_LT(k, heard.size());
                const Heard &pass = heard[k++];
                EXPECT_EQ(pass.kind, STEP_PASS) << name << " turn " << turn;
                EXPECT_NE(pass.line.find("current = current->next"), std::string::npos) << pass.line;
                EXPECT_EQ(pass.func, "CountOut");
                EXPECT_EQ(pass.number, said);
                EXPECT_EQ(pass.prior, at) << name << " turn " << turn << ": the seat after the last";
                at = pass.seat;
            }
            ASSERT_LT(k, heard.size());
            const Heard &leave = heard[k++];
            EXPECT_EQ(leave.kind, STEP_LEAVE) << name << " turn " << turn;
            EXPECT_NE(leave.line.find("before->next = leaver->next"), std::string::npos) << leave.line;
            EXPECT_EQ(leave.func, "CountOut");
            ASSERT_NE(left, nullptr);
            EXPECT_EQ(leave.seat, at) << name << " turn " << turn << ": the seat the count is on leaves";
            EXPECT_EQ(leave.seat, left->num) << name << " turn " << turn;
            left = left->next;
        }
        EXPECT_EQ(k, heard.size());
        EXPECT_EQ(left, nullptr);
        Out(leaving);
        std::remove("out.txt");
    }
}

/* The trace of `args` (after the program's name): WriteSteps's stdout and
 * exit status. */
std::string Trace(std::vector<std::string> args, int *status) {
    std::vector<char *> argv{const_cast<char *>("josephus")};
    for (auto &a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    testing::internal::CaptureStdout();
    *status = WriteSteps(static_cast<int>(argv.size()) - 1, argv.data());
    return testing::internal::GetCapturedStdout();
}

TEST(JosephusSteps, TheTraceHoldsTheRingAfterEveryStepAndOutTxtSoFar) {
    /* 5 wraps the ring of 3: one seat passed, person 2 leaves; then counts
     * of 1. out.txt: 2 3 1. */
    int status = -1;
    std::string out = Trace({"3", "5", "1", "1", "1"}, &status);
    EXPECT_EQ(status, RUN_DONE);
    EXPECT_EQ(out.rfind("{\"program\":\"josephus\",\"input\":{\"n\":3,\"m\":5,\"values\":[1,1,1]},"
                        "\"steps\":[{\"kind\":\"count\",", 0), 0u) << out;
    const char *states[] = {
        "\"turn\":1,\"seated\":\"111\",\"seat\":1,\"from\":1,\"said\":1,\"count\":5,\"size\":3,\"moves\":1,\"out\":[]}",
        "\"turn\":1,\"seated\":\"111\",\"seat\":2,\"from\":1,\"said\":2,\"count\":5,\"size\":3,\"moves\":1,\"out\":[]}",
        "\"turn\":1,\"at\":1,\"seated\":\"101\",\"seat\":2,\"from\":1,\"said\":2,\"count\":5,\"size\":3,\"moves\":1,\"out\":[2]}",
        "\"turn\":2,\"seated\":\"101\",\"seat\":3,\"from\":3,\"said\":1,\"count\":1,\"size\":2,\"moves\":0,\"out\":[2]}",
        "\"turn\":2,\"at\":2,\"seated\":\"100\",\"seat\":3,\"from\":3,\"said\":1,\"count\":1,\"size\":2,\"moves\":0,\"out\":[2,3]}",
        "\"turn\":3,\"seated\":\"100\",\"seat\":1,\"from\":1,\"said\":1,\"count\":1,\"size\":1,\"moves\":0,\"out\":[2,3]}",
        "\"turn\":3,\"at\":3,\"seated\":\"000\",\"seat\":1,\"from\":1,\"said\":1,\"count\":1,\"size\":1,\"moves\":0,\"out\":[2,3,1]}"};
    std::size_t from = 0;
    for (const char *state : states) {
        std::size_t at = out.find(state, from);
        ASSERT_NE(at, std::string::npos) << "after byte " << from << ": " << state << "\n" << out;
        from = at + 1;
    }
    EXPECT_NE(out.find("{\"kind\":\"pass\",\"src\":{\"file\":\"josephus/ring.cpp\""), std::string::npos);
    std::string end = "]}],\"ok\":true,\"stopped\":false}\n";
    EXPECT_EQ(out.substr(out.size() - end.size()), end);
    std::remove("out.txt");

    /* Refused: the stop record, and the program's status. */
    out = Trace({"0", "1"}, &status);
    EXPECT_EQ(status, RUN_FAILED);
    EXPECT_EQ(out, "{\"program\":\"josephus\",\"ok\":false,\"stopped\":\"read\",\"steps\":[]}\n");
}

TEST(JosephusSteps, ALongRunStopsAtTheWritersBoundAndSaysSo) {
    /* 1000 seats, every count 999: each turn passes hundreds of seats. */
    std::vector<std::string> args{"1000", "999"};
    for (int k = 0; k < 1000; k++) args.push_back("999");
    int status = -1;
    std::string out = Trace(args, &status);
    EXPECT_EQ(status, RUN_DONE);
    EXPECT_GT(out.size(), 30u << 20);
    EXPECT_LT(out.size(), (30u << 20) + 16384) << "one step past the bound at most";
    std::string end = "]}],\"ok\":true,\"stopped\":\"bound\"}\n";
    EXPECT_EQ(out.substr(out.size() - end.size()), end);
    std::remove("out.txt");
}

}  // namespace
