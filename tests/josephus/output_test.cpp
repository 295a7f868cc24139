/* Tests of writing the leaving list when "out.txt" cannot be opened (it is a
 * directory) or written (the disk is full), of a whole run that cannot open
 * it, and of running out of memory while the ring or the leaving list is
 * built. */
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "alloc_fail.h"
#include "program.h"
#include "ring.h"
#include "status.h"

namespace {

/* Each test runs in a fresh empty directory of its own. */
class OutputFile : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(getcwd(home_, sizeof home_), nullptr);
        char pattern[] = "/tmp/josephus-out-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_EQ(chdir(dir_.c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(home_), 0);
        std::string command = "rm -rf " + dir_;
        ASSERT_EQ(system(command.c_str()), 0);
    }
    char home_[4096];
    std::string dir_;
};

/* A leaving list for the ring of the given step values and first count. */
node *Eliminated(int n, int m, const int *steps) {
    node *ring = nullptr, *leaving = nullptr;
    Creat(ring, n, steps);
    Josephus(ring, leaving, n, m);
    return leaving;
}

TEST_F(OutputFile, CannotBeOpenedIsReported) {
    ASSERT_EQ(mkdir("out.txt", 0700), 0);          // a directory is never opened as a file
    const int steps[] = {1, 1, 1};
    testing::internal::CaptureStdout();
    EXPECT_EQ(Out(Eliminated(3, 1, steps)), ERROR);  // the sanitizer build checks it freed the list
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error");
}

TEST_F(OutputFile, CannotBeWrittenIsReported) {
    ASSERT_EQ(symlink("/dev/full", "out.txt"), 0);  // every write fails: the disk is full
    const int steps[] = {1, 1};
    testing::internal::CaptureStdout();
    EXPECT_EQ(Out(Eliminated(2, 1, steps)), ERROR);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error");

    /* The short list above fails only when closing flushes the buffer. A
     * list longer than the stream's buffer makes the writes themselves
     * fail, and "error" is still printed once. */
    static int many[2000];
    for (int &step : many) step = 1;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Out(Eliminated(2000, 1, many)), ERROR);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error");
}

TEST_F(OutputFile, CannotBeOpenedFailsTheRun) {
    ASSERT_EQ(mkdir("out.txt", 0700), 0);
    char word0[] = "josephus", n[] = "2", m[] = "3", s1[] = "1", s2[] = "1";
    char *argv[] = {word0, n, m, s1, s2, nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunJosephus(5, argv, stdin), RUN_FAILED);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "error");
}

/* The start of the message: 内存不足 ("out of memory"). */
const char kNoMemoryLine[] = "^\xc4\xda\xb4\xe6\xb2\xbb\xd7\xe3";

TEST(NoMemory, PrintsOneLineAndExitsMinusOne) {
    EXPECT_EXIT(NoMemory(), testing::ExitedWithCode(255), kNoMemoryLine);
}

/* A ring that runs out of memory half way, and a leaving list whose head
 * cannot be allocated, both end the run with the message and status -1. */
TEST(NoMemory, FailedAllocationsEndTheRun) {
    static int steps[1000];
    node *ring = nullptr;
    EXPECT_EXIT({ FailAllocationAfter(0); Creat(ring, 3, steps); },
                testing::ExitedWithCode(255), kNoMemoryLine);
    EXPECT_EXIT({ FailAllocationAfter(500); Creat(ring, 1000, steps); },
                testing::ExitedWithCode(255), kNoMemoryLine);

    Creat(ring, 2, steps);
    node *leaving = nullptr;
    int n = 2, m = 1;
    EXPECT_EXIT({ FailAllocationAfter(0); Josephus(ring, leaving, n, m); },
                testing::ExitedWithCode(255), kNoMemoryLine);
    free(ring->next);
    free(ring);
}

}  // namespace
