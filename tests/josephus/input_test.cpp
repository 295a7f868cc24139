/* Tests of the number conversion, on strings and on keyboard tokens. The
 * parameter rules as a whole are checked by the end-to-end cases. */
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "input.h"
#include "status.h"

namespace {

/* A temporary file holding text, rewound for reading. */
FILE *InputOf(const std::string &text) {
    FILE *in = tmpfile();
    fputs(text.c_str(), in);
    rewind(in);
    return in;
}

int Converted(const char *text) {
    int value = 12345;
    EXPECT_EQ(ToInt(text, &value), OK) << text;
    return value;
}

TEST(ToInt, ConvertsAsAtoiDoes) {
    EXPECT_EQ(Converted("42"), 42);
    EXPECT_EQ(Converted(" \t\n\v\f\r-17"), -17);   // leading white space skipped
    EXPECT_EQ(Converted("+8"), 8);
    EXPECT_EQ(Converted("12abc"), 12);             // junk after the digits ignored
    EXPECT_EQ(Converted("3 4"), 3);
    EXPECT_EQ(Converted("-0"), 0);
}

TEST(ToInt, NoLeadingDigitsIsZero) {
    for (const char *text : {"", "abc", "-", "+", "+-5", "--5", "- 5", "x9", ".5"})
        EXPECT_EQ(Converted(text), 0) << text;
}

TEST(ToInt, AcceptsTheWholeIntRange) {
    EXPECT_EQ(Converted("2147483647"), 2147483647);
    EXPECT_EQ(Converted("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(Converted("00000000000000000000000000002147483647"), 2147483647);
}

TEST(ToInt, RefusesNumbersOutsideInt) {
    for (const char *text : {"2147483648", "-2147483649", "4294967297", "+99999999999",
                             "99999999999999999999999999999999999999", "2147483648x"}) {
        int value = 77;
        EXPECT_EQ(ToInt(text, &value), ERROR) << text;
        EXPECT_EQ(value, 77) << text;              // left unchanged
    }
}

TEST(ReadNumber, ReadsLongTokensWholeAcrossLines) {
    FILE *in = InputOf("000000000007\n\n\t-00000000000000000000012xyz  abcdefghijklmnop9 5");
    int value = 0;
    ASSERT_EQ(ReadNumber(in, &value), OK);
    EXPECT_EQ(value, 7);
    ASSERT_EQ(ReadNumber(in, &value), OK);
    EXPECT_EQ(value, -12);
    ASSERT_EQ(ReadNumber(in, &value), OK);
    EXPECT_EQ(value, 0);                           // a token without leading digits
    ASSERT_EQ(ReadNumber(in, &value), OK);
    EXPECT_EQ(value, 5);
    ASSERT_EQ(ReadNumber(in, &value), OK);         // the input is over
    EXPECT_EQ(value, 0);
    fclose(in);
}

TEST(ReadNumber, RefusesTokenOutsideInt) {
    FILE *in = InputOf("21474836470 3");
    int value = 9;
    EXPECT_EQ(ReadNumber(in, &value), ERROR);
    EXPECT_EQ(value, 9);
    fclose(in);
}

}  // namespace
