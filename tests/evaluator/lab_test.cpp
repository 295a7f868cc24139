// The comparison of result.txt and the exercise maker (lab/evaluator/):
// the worked example's trace, one thing changed at a time.
#include <cstring>
#include <string>

#include "cases.h"
#include "lab_test.h"

namespace {

using namespace lab_test;

// The worked example 3*(7-2), result.txt as evaluator writes it.
const std::string kTrace = Gbk(
    "步骤\tOPTR栈\tOPND栈\t            输入字符\t主要操作\n"
    "1\t# \t\t        3*(7-2)#\tPUSH(OPND,‘3’)\n"
    "2\t# \t3 \t         *(7-2)#\tPUSH(OPTR,‘*’)\n"
    "3\t# * \t3 \t          (7-2)#\tPUSH(OPTR,‘(’)\n"
    "4\t# * ( \t3 \t           7-2)#\tPUSH(OPND,‘7’)\n"
    "5\t# * ( \t3 7 \t            -2)#\tPUSH(OPTR,‘-’)\n"
    "6\t# * ( - \t3 7 \t             2)#\tPUSH(OPND,‘2’)\n"
    "7\t# * ( - \t3 7 2 \t              )#\toperate(‘7’‘-’‘2’)\n"
    "8\t# * ( \t3 5 \t              )#\tPOP(OPTR){消去一对括号}\n"
    "9\t# * \t3 5 \t               #\toperate(‘3’‘*’‘5’)\n"
    "10\t# \t15 \t               #\tRETURN(GETTOP(OPND))\n"
    "\n"
    "运算结果是:15");

TEST(EvaluatorLabTest, AStackValueNamesItsStepColumnAndBothValuesAndTheKitPrintsIt) {
    CompareEvaluator(Of(kTrace), Of(kTrace), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_SAME);
    EXPECT_STREQ(Report().headline, "对照 evaluator 的 result.txt：完全一致");

    CompareEvaluator(Of(kTrace), Of(Replace(kTrace, "\t3 5 \t ", "\t3 6 \t ")), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_DIFFERENT);
    EXPECT_EQ(Report().step, 8);
    EXPECT_STREQ(Report().reason, "第 8 步：你的 OPND栈 是“3 6”，应为“3 5”");
    EXPECT_EQ(Format(Report()),
              "对照 evaluator 的 result.txt：内容不同\n"
              "编码：我们的按 GBK 解码，你的按 GBK 解码\n"
              "第一个不同：第 9 行，第 12 个字符，第 8 步，OPND栈 列\n"
              "  第 8 步：你的 OPND栈 是“3 6”，应为“3 5”\n"
              "  我们的：8→# * ( →3 【5】 →              )#→POP(OPTR){消去一对括号}\n"
              "  你的：  8→# * ( →3 【6】 →              )#→POP(OPTR){消去一对括号}\n"
              "  不同的字节：我们的 35；你的 36\n"
              "  （【】中是不同的部分，→ 是制表符，· 是空格）\n");
}

TEST(EvaluatorLabTest, OnlyTheFormDiffersForLineEndsEncodingsAndBlanks) {
    std::string crlf;
    for (char c : kTrace) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    CompareEvaluator(Of(kTrace), Of(crlf), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_FORM);
    EXPECT_STREQ(Report().headline, "对照 evaluator 的 result.txt：格式错误——文字相同，只有行尾不同（不是内容上的不同）");
    EXPECT_STREQ(Report().reason, "行尾不同：我们的是 LF（0A），你的是 CRLF（0D 0A）");
    EXPECT_EQ(Report().line, 0);

    // The same text in UTF-8, then in UTF-16 with Notepad's byte order mark.
    const char *utf8_body = "步骤\tOPTR栈";
    std::string utf8 = std::string(utf8_body) + "\n";
    CompareEvaluator(Of(Gbk(utf8)), Of(utf8), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_FORM);
    EXPECT_STREQ(Report().reason, "编码不同：我们的是 GBK，你的是 UTF-8");
    std::string utf16 = "\xFF\xFE";
    for (unsigned u : {0x6B65u, 0x9AA4u, 0x09u, 0x4Fu, 0x50u, 0x54u, 0x52u, 0x6808u, 0x0Au}) {
        utf16 += static_cast<char>(u & 0xFF);
        utf16 += static_cast<char>(u >> 8);
    }
    CompareEvaluator(Of(Gbk(utf8)), Of(utf16), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_FORM);
    EXPECT_STREQ(Report().encodings, "编码：我们的按 GBK 解码，你的按 UTF-16（小端，FF FE）解码（带 BOM）");
    EXPECT_EQ(Report().note_count, 2);

    // A tab written as blanks.
    CompareEvaluator(Of(kTrace), Of(Replace(kTrace, "3\t# * \t3", "3\t# *     3")), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_FORM);
    EXPECT_STREQ(Report().reason, "空白不同：第 4 行第 7 个字符：我们的是“→”，你的是“····”（→ 是制表符，· 是空格）");
    EXPECT_EQ(Report().step, 3);
}

TEST(EvaluatorLabTest, AnotherFixedTextInItsPlaceIsAWrongStepNoSlip) {
    CompareEvaluator(Of(kTrace), Of(Replace(kTrace, "PUSH(OPND,", "PUSH(OPTR,")), &Report());
    EXPECT_EQ(Report().verdict, COMPARE_DIFFERENT);
    EXPECT_STREQ(Report().reason, "第 1 步：你的 主要操作 是“PUSH(OPTR,‘3’)”，应为“PUSH(OPND,‘3’)”");
}

TEST(EvaluatorLabTest, ThousandSeedsInEverySizeGiveTheBytesLinksHaveAlwaysGiven) {
    ExpectDigests(MakeEvaluatorCase, {0xfa75ada3u, 0x58f5e2e9u, 0xecf645c8u});
    EXPECT_EQ(Make(MakeEvaluatorCase, CASE_MEDIUM, 2147483647u), "20*(6-11)*15*(8+11)\n");
}

}  // namespace
