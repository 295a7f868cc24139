// Unit tests of the scanner, the precedence relation and the arithmetic.
#include <gtest/gtest.h>

#include <cstring>

#include "scanner.h"
#include "state.h"

namespace {

void Load(const char *text) {
    strcpy(Express, text);
    C = '$';
    Value = 0;
}

TEST(Read, TakesNumbersWholeAndOperatorsOneByOne) {
    Load("12+(007)#");
    EXPECT_EQ(Read(), 1);
    EXPECT_EQ(Value, 12);
    EXPECT_EQ(C, '$');
    EXPECT_STREQ(Express, "$$+(007)#");
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(C, '+');
    EXPECT_EQ(Value, 12);
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(C, '(');
    EXPECT_EQ(Read(), 1);
    EXPECT_EQ(Value, 7);
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(C, '#');
    EXPECT_EQ(Read(), -1);
    EXPECT_EQ(C, '#');
    EXPECT_STREQ(Express, "$$$$$$$$$");
}

TEST(Read, SkipsDollarMarksAndWrapsLongNumbers) {
    Load("$$4294967298$");
    EXPECT_EQ(Read(), 1);
    EXPECT_EQ(Value, 2);
    EXPECT_EQ(Read(), -1);
    Load("99999999999#");
    EXPECT_EQ(Read(), 1);
    EXPECT_EQ(Value, 1215752191);  // 99999999999 mod 2^32
}

TEST(Read, HighBytesAreNoDigits) {
    Load("\xb3" "5");
    EXPECT_EQ(Read(), 0);
    EXPECT_EQ(C, '\xb3');
    EXPECT_EQ(IsNum(1), 1);
    EXPECT_EQ(IsNum(0), 0);
}

TEST(PriorityCom, FollowsThePrecedenceTable) {
    EXPECT_EQ(PriorityCom('+', '-'), 1);   // left association
    EXPECT_EQ(PriorityCom('*', '/'), 1);
    EXPECT_EQ(PriorityCom('+', '*'), -1);
    EXPECT_EQ(PriorityCom('*', '+'), 1);
    EXPECT_EQ(PriorityCom('*', '('), -1);
    EXPECT_EQ(PriorityCom('(', '+'), -1);
    EXPECT_EQ(PriorityCom('(', ')'), 0);
    EXPECT_EQ(PriorityCom('-', ')'), 1);
    EXPECT_EQ(PriorityCom(')', ')'), 1);
    EXPECT_EQ(PriorityCom('#', '('), -1);
    EXPECT_EQ(PriorityCom('#', '#'), 0);
    EXPECT_EQ(PriorityCom('/', '#'), 1);
}

TEST(PriorityComDeathTest, ErrorCellsAndForeignCharactersEndTheRun) {
    fp2 = stdout;
    EXPECT_EXIT(PriorityCom('(', '#'), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(PriorityCom('#', ')'), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(PriorityCom(')', '('), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(PriorityCom('#', ' '), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(PriorityCom('a', '+'), testing::ExitedWithCode(255), "");
}

TEST(Calculate, WrapsAndTruncatesLike32BitArithmetic) {
    EXPECT_EQ(Calculate(7, '-', 2), 5);
    EXPECT_EQ(Calculate(2147483647, '+', 1), -2147483647 - 1);
    EXPECT_EQ(Calculate(-2147483647 - 1, '-', 1), 2147483647);
    EXPECT_EQ(Calculate(65536, '*', 65536), 0);
    EXPECT_EQ(Calculate(-3, '*', 4), -12);
    EXPECT_EQ(Calculate(7, '/', 2), 3);
    EXPECT_EQ(Calculate(-7, '/', 2), -3);
    EXPECT_EQ(Calculate(7, '/', -1), -7);
    EXPECT_EQ(Calculate(-2147483647 - 1, '/', -1), -2147483647 - 1);
}

TEST(CalculateDeathTest, DivisionByZeroWritesErrorAndFails) {
    fp2 = stderr;
    EXPECT_EXIT(Calculate(1, '/', 0), testing::ExitedWithCode(255), "^error$");
}

}  // namespace
