// The comparison of translate.txt and the exercise maker
// (lab/translator/): a word named by its place.
#include <cstring>
#include <string>

#include "cases.h"
#include "lab_test.h"

namespace {

using namespace lab_test;

TEST(TranslatorLabTest, ATranslatorWordIsNamedByItsPlace) {
    const std::string ours = Gbk("天上一只地鹅蛋鹅恨鹅");
    CompareTranslator(Of(ours), Of(Replace(ours, Gbk("蛋"), Gbk("鹅"))), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_DIFFERENT);
    EXPECT_STREQ(Report().where, "第 1 行，第 7 个字符，第 6 个词（蛋）");
    EXPECT_STREQ(Report().reason, "第 6 个词：你的是“鹅”，应为“蛋”");
    EXPECT_EQ(Report().step, 6);
}

TEST(TranslatorLabTest, ThousandSeedsInEverySizeGiveTheBytesLinksHaveAlwaysGiven) {
    ExpectDigests(MakeTranslatorCase, {0xfa103c10u, 0x4a29fe20u, 0xcc7f2edeu});
    EXPECT_EQ(Make(MakeTranslatorCase, CASE_MEDIUM, 2147483647u), "3\nB = e\nZ = Onhs\nO = nexe\nB(xazh)(dnx)Z");
}

}  // namespace
