/* Unit tests of the word output: the word table for every byte value, the
 * output file's contents and the failures to open or write it. */
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "messages.h"
#include "rewrite.h"
#include "words.h"

namespace {

/* Each test runs in a fresh directory of its own, with the program's queue. */
class Words : public testing::Test {
protected:
    void SetUp() override {
        if (L.top == nullptr) Start();
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        home_ = here;
        char dir[] = "/tmp/translator-words-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        dir_ = dir;
        ASSERT_EQ(chdir(dir), 0);
    }
    void TearDown() override {
        char c;
        while (DeQueue(&Q, &c) == OK) {}
        ASSERT_EQ(chdir(home_.c_str()), 0);
        std::string cleanup = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cleanup.c_str()), 0);
    }
    std::string home_, dir_;
};
using WordsDeathTest = Words;

void Enqueue(const std::string &s) {
    for (char c : s) EnQueue(&Q, c);
}

std::string ReadOutput() {
    std::ifstream in("translate.txt", std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

const std::string kError = "\xb4\xed\xce\xf3\xbe\xaf\xb8\xe6";  /* 错误警告 */

/* Every byte value, a hundred times over: about 200 KB of words, so the
 * output goes out in many blocks whose ends fall at different words. */
TEST_F(Words, WritesTheWordOfEveryByteValue) {
    const char *words[][2] = {
        {"t", "\xcc\xec"}, {"d", "\xb5\xd8"}, {"s", "\xc9\xcf"}, {"a", "\xd2\xbb\xd6\xbb"},
        {"e", "\xb6\xec"}, {"z", "\xd7\xb7"}, {"g", "\xb8\xcf"}, {"x", "\xcf\xc2"},
        {"n", "\xb5\xb0"}, {"h", "\xba\xde"}};  /* 天 地 上 一只 鹅 追 赶 下 蛋 恨 */
    std::string expected;
    for (int round = 0; round < 100; round++) {
        for (int b = 0; b < 256; b++) {
            std::string word = kError;
            for (const auto &w : words) {
                if (w[0][0] == static_cast<char>(b)) word = w[1];
            }
            expected += word;
            EnQueue(&Q, static_cast<char>(b));
        }
    }
    Translate();
    EXPECT_EQ(ReadOutput(), expected);
    EXPECT_EQ(QueueEmpty(&Q), TRUE);
}




TEST_F(WordsDeathTest, RefusesWhenTheFileCannotBeOpened) {
    ASSERT_EQ(mkdir("translate.txt", 0755), 0);
    Enqueue("t");
    EXPECT_EXIT(Translate(), testing::ExitedWithCode(REFUSED),
                testing::Eq(std::string(TEXT_CANNOT_WRITE) + "\n"));
}

TEST_F(WordsDeathTest, RefusesWhenTheWordsCannotBeWritten) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    ASSERT_EQ(symlink("/dev/full", "translate.txt"), 0);
    Enqueue("tsadenehe");
    EXPECT_EXIT(Translate(), testing::ExitedWithCode(REFUSED),
                testing::Eq(std::string(TEXT_CANNOT_WRITE) + "\n"));
}

/* Words enough to fill the output's block many times over: a write fails
 * part way through the output, before the file is closed, and the run is
 * refused the same way. */
TEST_F(WordsDeathTest, RefusesWhenAWriteFailsPartWay) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    ASSERT_EQ(symlink("/dev/full", "translate.txt"), 0);
    Enqueue(std::string(100000, 'a'));
    EXPECT_EXIT(Translate(), testing::ExitedWithCode(REFUSED),
                testing::Eq(std::string(TEXT_CANNOT_WRITE) + "\n"));
}

}  // namespace
