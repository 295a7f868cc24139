// The comparison of out.txt and the exercise maker (lab/josephus/): the
// seats that leave, named by their turn, and a student's huge file.
#include <cstring>
#include <string>

#include "cases.h"
#include "lab_test.h"

namespace {

using namespace lab_test;

TEST(JosephusLabTest, TheLastBlankAndAFinalNewlineAreFormAChangedSeatIsNot) {
    CompareJosephus(Of("2 3 4 5 1 "), Of("2 3 4 5 1"), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_FORM);
    EXPECT_STREQ(Report().headline, "对照 josephus 的 out.txt：格式错误——文字相同，只有空白不同（不是内容上的不同）");
    EXPECT_STREQ(Report().reason, "空白不同：第 1 行末尾少了 1 个空格");
    // An extra final newline is a difference of form too; a changed seat is not.
    CompareJosephus(Of("2 3 4 5 1 "), Of("2 3 4 5 1 \n"), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_FORM);
    EXPECT_STREQ(Report().reason, "末尾的换行不同：你的文件末尾多了 1 个换行（我们的有 0 个，你的有 1 个）");
    CompareJosephus(Of("2 3 4 5 1 "), Of("2 3 5 4 1 "), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_DIFFERENT);
    EXPECT_EQ(Report().step, 3);
    EXPECT_STREQ(Report().reason, "第 3 个出列的座号：你的是 5，应为 4");
}

TEST(JosephusLabTest, AHugeOneLineFileGivesAWindowNotTheLine) {
    // A student's 8 MB file of one line, differing in its middle.
    std::string line(8u << 20, '7');
    std::string theirs = line;
    theirs[4u << 20] = '8';
    CompareJosephus(Of(line), Of(theirs), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_DIFFERENT);
    EXPECT_EQ(Report().column, (4L << 20) + 1);
    EXPECT_EQ(Report().step, 1);
    // "…" and 80 characters before, the one that differs, "…" and 39 after.
    EXPECT_EQ(std::string(Report().got.before), "…" + std::string(80, '7'));
    EXPECT_STREQ(Report().got.marked, "8");
    EXPECT_EQ(std::string(Report().got.after), std::string(39, '7') + "…");
    EXPECT_STREQ(Report().got.hex, "38");
    EXPECT_LT(std::strlen(Report().reason), 200u);
}

TEST(JosephusLabTest, ThousandSeedsInEverySizeGiveTheBytesLinksHaveAlwaysGiven) {
    ExpectDigests(MakeJosephusCase, {0x35829e50u, 0x71e66a41u, 0xb575625au});
    EXPECT_EQ(Make(MakeJosephusCase, CASE_MEDIUM, 2147483647u), "8 12 3 7 7 2 16 11 16 6");
}

}  // namespace
