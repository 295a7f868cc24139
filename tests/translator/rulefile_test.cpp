/* Unit tests of reading the rule file: the count, the rule records, the
 * sentence, the line terminators and the refused lines. */
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

#include "messages.h"
#include "rulefile.h"
#include "status.h"
#include "support.h"

namespace {

std::string Replacement(int i) { return std::string(R[i].replacement, R[i].length); }
std::string Sentence() { return std::string(W.ch, W.length); }

/* The count N that a file with the count line `line` gives. */
int CountOf(const std::string &line) {
    EXPECT_TRUE(Load(line + "\n"));
    return N;
}

TEST(ReadRuleFile, ReadsTheCountAsAtoiDoes) {
    EXPECT_EQ(CountOf("2"), 2);
    EXPECT_EQ(CountOf(" \t\v\f\r+12abc"), 12);
    EXPECT_EQ(CountOf("-3"), -3);
    EXPECT_EQ(CountOf("x2"), 0);
    EXPECT_EQ(CountOf(""), 0);
    EXPECT_EQ(CountOf("--1"), 0);
    EXPECT_EQ(CountOf("- 1"), 0);
    EXPECT_EQ(CountOf("007"), 7);
    EXPECT_EQ(CountOf("\xef\xbb\xbf 7"), 7);  /* a byte order mark is skipped */
    EXPECT_EQ(CountOf("\xef\xbb" "7"), 0);     /* part of one is not */
}

TEST(ReadRuleFile, ClampsCountsBeyondTheIntRange) {
    EXPECT_EQ(CountOf("2147483647"), INT_MAX);
    EXPECT_EQ(CountOf("2147483648"), INT_MAX);
    EXPECT_EQ(CountOf("99999999999999999999999"), INT_MAX);
    EXPECT_EQ(CountOf("-2147483648"), INT_MIN);
    EXPECT_EQ(CountOf("-99999999999999999999999"), INT_MIN);
}

TEST(ReadRuleFile, ReadsTheWorkedExample) {
    ASSERT_TRUE(Load("2\nX = tYd\nY = sa\nX(ehn)\n"));
    EXPECT_EQ(N, 2);
    EXPECT_EQ(R[0].symbol, 'X');
    EXPECT_EQ(Replacement(0), "tYd");
    EXPECT_STREQ(R[0].replacement, "tYd");
    EXPECT_EQ(R[1].symbol, 'Y');
    EXPECT_EQ(Replacement(1), "sa");
    EXPECT_EQ(Sentence(), "X(ehn)");  /* the line feed is no part of it */
    EXPECT_EQ(W.ch[W.length], '\0');
}


TEST(ReadRuleFile, CarriageReturnElsewhereIsAnOrdinaryByte) {
    ASSERT_TRUE(Load("1\nX = a\rb\r\nc\rd\r"));
    EXPECT_EQ(Replacement(0), "a\rb");
    EXPECT_EQ(Sentence(), "c\rd\r");  /* no "\n" follows the last "\r" */
}



TEST(ReadRuleFile, NegativeCountReadsNothingMore) {
    std::string rest;
    ASSERT_TRUE(Load("-1\nX = t\nX\n", &rest));
    EXPECT_EQ(N, -1);
    EXPECT_EQ(W.length, 0);
    EXPECT_EQ(rest, "X = t\nX\n");
}



TEST(ReadRuleFile, StopsRightAfterTheSentenceLine) {
    std::string rest;
    ASSERT_TRUE(Load("1\nX = t\nXd\n(\nx\n", &rest));
    EXPECT_EQ(Sentence(), "Xd");
    EXPECT_EQ(rest, "(\nx\n");  /* never read, so never refused */
}

TEST(ReadRuleFile, ShortRuleLinesHaveAnEmptyReplacement) {
    ASSERT_TRUE(Load("3\nX =\nY = \nZ = 123456789\nXYZ"));
    EXPECT_EQ(R[0].length, 0);
    EXPECT_STREQ(R[0].replacement, "");
    EXPECT_EQ(R[1].length, 0);
    EXPECT_EQ(Replacement(2), "123456789");
    EXPECT_EQ(Sentence(), "XYZ");
}

TEST(ReadRuleFile, SentenceLimitCountsTheTerminatorAsOneByte) {
    const std::string s38(38, 't'), s39(39, 't');
    ASSERT_TRUE(Load("0\n" + s38 + "\n"));
    EXPECT_EQ(Sentence(), s38);
    ASSERT_TRUE(Load("0\n" + s38 + "\r\n"));
    EXPECT_EQ(Sentence(), s38);
    ASSERT_TRUE(Load("0\n" + s39));  /* no terminator: 39 bytes fit */
    EXPECT_EQ(Sentence(), s39);
}

TEST(ReadRuleFile, HugeCountAllocatesNothingUpFront) {
    ASSERT_TRUE(Load("2147483647\nX = t\nY = d\n"));
    EXPECT_EQ(N, INT_MAX);
    EXPECT_LE(Rsize, 8u);
    EXPECT_EQ(Replacement(1), "d");
    EXPECT_EQ(W.length, 0);
}

TEST(ReadRuleFile, TableGrowsAsRuleLinesAreRead) {
    std::string text = "300\n";
    for (int i = 0; i < 300; i++) text += std::string(1, static_cast<char>('!' + i % 90)) + " = " + std::to_string(i) + "\n";
    ASSERT_TRUE(Load(text + "end\n"));
    EXPECT_GE(Rsize, 300u);
    for (int i = 0; i < 300; i++) {
        EXPECT_EQ(R[i].symbol, static_cast<char>('!' + i % 90));
        EXPECT_EQ(Replacement(i), std::to_string(i));
    }
    EXPECT_EQ(Sentence(), "end");
}


using ReadRuleFileDeathTest = testing::Test;

TEST(ReadRuleFileDeathTest, RefusesARuleLineShorterThanThree) {
    EXPECT_EXIT(Load("1\nX=\nX\n"), testing::ExitedWithCode(REFUSED),
                testing::Eq(AtLine(2, TEXT_SHORT_RULE_LINE)));
    EXPECT_EXIT(Load("2\nX = t\n\nX\n"), testing::ExitedWithCode(REFUSED),
                testing::Eq(AtLine(3, TEXT_SHORT_RULE_LINE)));
    EXPECT_EXIT(Load("1\nX=\r\nX\n"), testing::ExitedWithCode(REFUSED),  /* "\r" is terminator */
                testing::Eq(AtLine(2, TEXT_SHORT_RULE_LINE)));
}

TEST(ReadRuleFileDeathTest, RefusesAZeroByteNamingItsLine) {
    EXPECT_EXIT(Load(std::string("4\0" "5\n", 4)), testing::ExitedWithCode(REFUSED),
                testing::Eq(AtLine(1, TEXT_NUL_LINE)));
    EXPECT_EXIT(Load(std::string("1\nX = a\0b\nX\n", 13)), testing::ExitedWithCode(REFUSED),
                testing::Eq(AtLine(2, TEXT_NUL_LINE)));
    EXPECT_EXIT(Load(std::string("1\nX = t\nX\0X", 12)), testing::ExitedWithCode(REFUSED),
                testing::Eq(AtLine(3, TEXT_NUL_LINE)));
}

TEST(ReadRuleFileDeathTest, RefusesAReplacementLongerThanNine) {
    EXPECT_EXIT(Load("1\nX = 1234567890\nX\n"), testing::ExitedWithCode(REFUSED),
                testing::Eq(AtLine(2, TEXT_LONG_REPLACEMENT_LINE)));
    EXPECT_EXIT(Load("1\nX = " + std::string(5000, 'a') + "\nX\n"), testing::ExitedWithCode(REFUSED),
                testing::Eq(AtLine(2, TEXT_LONG_REPLACEMENT_LINE)));
}

TEST(ReadRuleFileDeathTest, RefusesASentenceLineLongerThanThirtyNineBytes) {
    const std::string refused = AtLine(2, TEXT_LONG_SENTENCE_LINE);
    EXPECT_EXIT(Load("0\n" + std::string(39, 't') + "\n"), testing::ExitedWithCode(REFUSED),
                testing::Eq(refused));
    EXPECT_EXIT(Load("0\n" + std::string(40, 't')), testing::ExitedWithCode(REFUSED),
                testing::Eq(refused));
    EXPECT_EXIT(Load("0\n" + std::string(3000, 't') + "\n"), testing::ExitedWithCode(REFUSED),
                testing::Eq(refused));
}

}  // namespace
