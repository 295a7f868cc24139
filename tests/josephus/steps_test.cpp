/* Unit tests of the step hook (step.h) and the step writer: on every
 * example, each step the hook hears is taken on a line that does it, and
 * the steps are the run's own (the leaving order that out.txt gets). */
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
};
std::vector<Heard> heard;

void Hear(StepKind kind, const StepSite &site, const node *seat, int, int) {
    heard.push_back({kind, SourceLine(site.file, site.line), site.func, seat->num});
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

TEST(JosephusSteps, EveryTurnCountsAndUnlinksOnItsOwnLinesInLeavingOrder) {
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

        ASSERT_EQ(heard.size(), 2u * static_cast<unsigned>(n)) << name;
        const node *left = leaving->next;    /* the leaving list, as Out writes it */
        for (std::size_t k = 0; k < heard.size(); k += 2) {
            const Heard &count = heard[k];
            const Heard &leave = heard[k + 1];
            EXPECT_EQ(count.kind, STEP_COUNT);
            EXPECT_NE(count.line.find("CountMoves(m, size)"), std::string::npos) << count.line;
            EXPECT_EQ(count.func, "Josephus");
            if (k == 0) {
                EXPECT_EQ(count.seat, 1) << name << ": person 1 counts first";
            }
            EXPECT_EQ(leave.kind, STEP_LEAVE);
            EXPECT_NE(leave.line.find("before->next = leaver->next"), std::string::npos) << leave.line;
            EXPECT_EQ(leave.func, "CountOut");
            ASSERT_NE(left, nullptr);
            EXPECT_EQ(leave.seat, left->num) << name << " turn " << k / 2 + 1;
            left = left->next;
        }
        EXPECT_EQ(left, nullptr);
        Out(leaving);
        std::remove("out.txt");
    }
}

TEST(JosephusSteps, TheWriterMarksTheCountAndTheUnlinking) {
    char a0[] = "josephus", a1[] = "3", a2[] = "1", a3[] = "1", a4[] = "1", a5[] = "1";
    char *argv[] = {a0, a1, a2, a3, a4, a5, nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteSteps(6, argv), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("{\"program\":\"josephus\",\"ok\":true,", 0), 0u) << out;
    EXPECT_NE(out.find("\"leaves\":1,\"next\":1,\"src\":{\"file\":\"josephus/ring.cpp\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\"chain\":[\"Josephus\",\"CountOut\"]"), std::string::npos) << out;
}

}  // namespace
