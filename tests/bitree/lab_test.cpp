// The comparison of the console output and the exercise maker
// (lab/bitree/): a near miss of a fixed text, named by its menu choice.
#include <cstring>
#include <string>

#include "cases.h"
#include "lab_test.h"

namespace {

using namespace lab_test;

TEST(BitreeLabTest, ANearMissOfAFixedTextIsNamedAsSuch) {
    const std::string ours = Gbk("请输入先序遍历和中序遍历：\n先序遍历输出：ABC\n中序遍历输出：BAC\n后续线索化二叉树遍历输出：BCA\n");
    const std::string menu = Gbk("请选择功能:\n0.\n1.\n2.\n");
    CompareBitree(Of(menu + ours), Of(menu + Replace(ours, Gbk("后续"), Gbk("后序"))), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_DIFFERENT);
    EXPECT_STREQ(Report().reason,
                 "“后续线索化二叉树遍历输出：”是程序的固定文字，你的写成了“后序线索化二叉树遍历输出：”（1 个字不同）");
    EXPECT_STREQ(Report().where, "第 8 行，第 2 个字符，第 1 次选择（功能 0）打印的第 4 行（后续线索化二叉树遍历输出：）");
    EXPECT_EQ(Report().step, 1);
}

TEST(BitreeLabTest, ThousandSeedsInEverySizeGiveTheBytesLinksHaveAlwaysGiven) {
    ExpectDigests(MakeBitreeCase, {0x8fb2aceeu, 0xd77c2360u, 0xcca38a89u});
    EXPECT_EQ(Make(MakeBitreeCase, CASE_MEDIUM, 2147483647u), "0\nBZORKYHA ZBHYKRAO\n1\n-7--889\n2\n-*9*282\n");
}

}  // namespace
