// The comparison of a student's output with ours (lab/compare.h), as the
// page's 对照 panel, compare.mjs and the grading kit all use it: each case
// changes one thing in a real output of a program and checks the verdict,
// the sentence that names it, the step and the window around it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "compare.h"
#include "gbk.h"

namespace {

// Gbk(utf8): the text in GBK, as the programs write it (ASCII and the
// two-byte characters these tests use).
std::string Gbk(const std::string &utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            i++;
            continue;
        }
        int n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        unsigned cp = b & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
        for (int k = 1; k < n; k++) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += n;
        for (int at = 0; at < 126 * 191; at++) {
            if (kGbk[at] == cp) {
                out += static_cast<char>(0x81 + at / 191);
                out += static_cast<char>(0x40 + at % 191);
                break;
            }
        }
    }
    return out;
}

Bytes Of(const std::string &s) {
    return Bytes{reinterpret_cast<const unsigned char *>(s.data()), s.size()};
}

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

std::string Replace(std::string s, const std::string &from, const std::string &to) {
    size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return s.replace(at, from.size(), to);
}

std::string Format(const Compared &r) {
    static char text[8192];
    CompareFormat(&r, text, sizeof text);
    return text;
}

Compared report;   // large: kept out of the test's stack frame

TEST(CompareTest, AStackValueNamesItsStepColumnAndBothValuesAndTheKitPrintsIt) {
    CompareEvaluator(Of(kTrace), Of(kTrace), &report);
    EXPECT_EQ(report.verdict, COMPARE_SAME);
    EXPECT_STREQ(report.headline, "对照 evaluator 的 result.txt：完全一致");

    CompareEvaluator(Of(kTrace), Of(Replace(kTrace, "\t3 5 \t ", "\t3 6 \t ")), &report);
    EXPECT_EQ(report.verdict, COMPARE_DIFFERENT);
    EXPECT_EQ(report.step, 8);
    EXPECT_STREQ(report.reason, "第 8 步：你的 OPND栈 是“3 6”，应为“3 5”");
    EXPECT_EQ(Format(report),
              "对照 evaluator 的 result.txt：内容不同\n"
              "编码：我们的按 GBK 解码，你的按 GBK 解码\n"
              "第一个不同：第 9 行，第 12 个字符，第 8 步，OPND栈 列\n"
              "  第 8 步：你的 OPND栈 是“3 6”，应为“3 5”\n"
              "  我们的：8→# * ( →3 【5】 →              )#→POP(OPTR){消去一对括号}\n"
              "  你的：  8→# * ( →3 【6】 →              )#→POP(OPTR){消去一对括号}\n"
              "  不同的字节：我们的 35；你的 36\n"
              "  （【】中是不同的部分，→ 是制表符，· 是空格）\n");
}

TEST(CompareTest, OnlyTheFormDiffersForLineEndsEncodingsAndBlanks) {
    std::string crlf;
    for (char c : kTrace) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    CompareEvaluator(Of(kTrace), Of(crlf), &report);
    EXPECT_EQ(report.verdict, COMPARE_FORM);
    EXPECT_STREQ(report.headline, "对照 evaluator 的 result.txt：格式错误——文字相同，只有行尾不同（不是内容上的不同）");
    EXPECT_STREQ(report.reason, "行尾不同：我们的是 LF（0A），你的是 CRLF（0D 0A）");
    EXPECT_EQ(report.line, 0);

    // The same text in UTF-8, then in UTF-16 with Notepad's byte order mark.
    const char *utf8_body = "步骤\tOPTR栈";
    std::string utf8 = std::string(utf8_body) + "\n";
    CompareEvaluator(Of(Gbk(utf8)), Of(utf8), &report);
    EXPECT_EQ(report.verdict, COMPARE_FORM);
    EXPECT_STREQ(report.reason, "编码不同：我们的是 GBK，你的是 UTF-8");
    std::string utf16 = "\xFF\xFE";
    for (unsigned u : {0x6B65u, 0x9AA4u, 0x09u, 0x4Fu, 0x50u, 0x54u, 0x52u, 0x6808u, 0x0Au}) {
        utf16 += static_cast<char>(u & 0xFF);
        utf16 += static_cast<char>(u >> 8);
    }
    CompareEvaluator(Of(Gbk(utf8)), Of(utf16), &report);
    EXPECT_EQ(report.verdict, COMPARE_FORM);
    EXPECT_STREQ(report.encodings, "编码：我们的按 GBK 解码，你的按 UTF-16（小端，FF FE）解码（带 BOM）");
    EXPECT_EQ(report.note_count, 2);

    // A tab written as blanks, and josephus's last blank left out.
    CompareEvaluator(Of(kTrace), Of(Replace(kTrace, "3\t# * \t3", "3\t# *     3")), &report);
    EXPECT_EQ(report.verdict, COMPARE_FORM);
    EXPECT_STREQ(report.reason, "空白不同：第 4 行第 7 个字符：我们的是“→”，你的是“····”（→ 是制表符，· 是空格）");
    EXPECT_EQ(report.step, 3);
    CompareJosephus(Of("2 3 4 5 1 "), Of("2 3 4 5 1"), &report);
    EXPECT_EQ(report.verdict, COMPARE_FORM);
    EXPECT_STREQ(report.headline, "对照 josephus 的 out.txt：格式错误——文字相同，只有空白不同（不是内容上的不同）");
    EXPECT_STREQ(report.reason, "空白不同：第 1 行末尾少了 1 个空格");
    // An extra final newline is a difference of form too; a changed seat is not.
    CompareJosephus(Of("2 3 4 5 1 "), Of("2 3 4 5 1 \n"), &report);
    EXPECT_EQ(report.verdict, COMPARE_FORM);
    EXPECT_STREQ(report.reason, "末尾的换行不同：你的文件末尾多了 1 个换行（我们的有 0 个，你的有 1 个）");
    CompareJosephus(Of("2 3 4 5 1 "), Of("2 3 5 4 1 "), &report);
    EXPECT_EQ(report.verdict, COMPARE_DIFFERENT);
    EXPECT_EQ(report.step, 3);
    EXPECT_STREQ(report.reason, "第 3 个出列的座号：你的是 5，应为 4");
}

TEST(CompareTest, ANearMissOfAFixedTextIsNamedAsSuch) {
    const std::string ours = Gbk("请输入先序遍历和中序遍历：\n先序遍历输出：ABC\n中序遍历输出：BAC\n后续线索化二叉树遍历输出：BCA\n");
    const std::string menu = Gbk("请选择功能:\n0.\n1.\n2.\n");
    CompareBitree(Of(menu + ours), Of(menu + Replace(ours, Gbk("后续"), Gbk("后序"))), &report);
    EXPECT_EQ(report.verdict, COMPARE_DIFFERENT);
    EXPECT_STREQ(report.reason,
                 "“后续线索化二叉树遍历输出：”是程序的固定文字，你的写成了“后序线索化二叉树遍历输出：”（1 个字不同）");
    EXPECT_STREQ(report.where, "第 8 行，第 2 个字符，第 1 次选择（功能 0）打印的第 4 行（后续线索化二叉树遍历输出：）");
    EXPECT_EQ(report.step, 1);

    // Another of the fixed texts in its place is a wrong step, no slip.
    CompareEvaluator(Of(kTrace), Of(Replace(kTrace, "PUSH(OPND,", "PUSH(OPTR,")), &report);
    EXPECT_EQ(report.verdict, COMPARE_DIFFERENT);
    EXPECT_STREQ(report.reason, "第 1 步：你的 主要操作 是“PUSH(OPTR,‘3’)”，应为“PUSH(OPND,‘3’)”");
}

TEST(CompareTest, ATranslatorWordIsNamedByItsPlace) {
    const std::string ours = Gbk("天上一只地鹅蛋鹅恨鹅");
    CompareTranslator(Of(ours), Of(Replace(ours, Gbk("蛋"), Gbk("鹅"))), &report);
    EXPECT_EQ(report.verdict, COMPARE_DIFFERENT);
    EXPECT_STREQ(report.where, "第 1 行，第 7 个字符，第 6 个词（蛋）");
    EXPECT_STREQ(report.reason, "第 6 个词：你的是“鹅”，应为“蛋”");
    EXPECT_EQ(report.step, 6);
}

TEST(CompareTest, AHugeOneLineFileGivesAWindowNotTheLine) {
    // A student's 8 MB file of one line, differing in its middle.
    std::string line(8u << 20, '7');
    std::string theirs = line;
    theirs[4u << 20] = '8';
    CompareJosephus(Of(line), Of(theirs), &report);
    EXPECT_EQ(report.verdict, COMPARE_DIFFERENT);
    EXPECT_EQ(report.column, (4L << 20) + 1);
    EXPECT_EQ(report.step, 1);
    // "…" and 80 characters before, the one that differs, "…" and 39 after.
    EXPECT_EQ(std::string(report.got.before), "…" + std::string(80, '7'));
    EXPECT_STREQ(report.got.marked, "8");
    EXPECT_EQ(std::string(report.got.after), std::string(39, '7') + "…");
    EXPECT_STREQ(report.got.hex, "38");
    EXPECT_LT(std::strlen(report.reason), 200u);
}

}  // namespace
