// Reading tokens and menu choices.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "token.h"

namespace {

// A stream holding text, positioned at its start.
FILE *Input(const std::string &text) {
    FILE *fp = tmpfile();
    fwrite(text.data(), 1, text.size(), fp);
    rewind(fp);
    return fp;
}

TEST(ReadToken, SplitsOnAnyBlank) {
    FILE *fp = Input("  0 ABC\r\n\tBAC\v\f\xd6\xd0x\n\n");
    char buf[TOKEN_SIZE];
    const char *want[] = {"0", "ABC", "BAC", "\xd6\xd0x"};
    for (const char *w : want) {
        ASSERT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_READ);
        EXPECT_STREQ(buf, w);
    }
    EXPECT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_END);
    EXPECT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_END);
    fclose(fp);
}

TEST(ReadToken, EndOfInput) {
    char buf[TOKEN_SIZE];
    FILE *fp = Input("");
    EXPECT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_END);
    fclose(fp);
    fp = Input(" \n\t ");
    EXPECT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_END);
    fclose(fp);
    fp = Input("last");                      // a token ended by the input
    EXPECT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_READ);
    EXPECT_STREQ(buf, "last");
    EXPECT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_END);
    fclose(fp);
}

// 1023 bytes fit; 1024 do not, and the whole token is dropped, never split.
// The buffer is exactly TOKEN_SIZE bytes on the heap, so AddressSanitizer
// would see a write past it.
TEST(ReadToken, LongTokensAreDiscardedWhole) {
    std::string fits(1023, 'A'), over(1024, 'B'), huge(5000, 'C');
    FILE *fp = Input(fits + " " + over + " next " + huge);
    char *buf = new char[TOKEN_SIZE];
    ASSERT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_READ);
    EXPECT_EQ(std::string(buf), fits);
    EXPECT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_TOO_LONG);
    ASSERT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_READ);
    EXPECT_STREQ(buf, "next");
    EXPECT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_TOO_LONG);
    EXPECT_EQ(ReadToken(fp, buf, TOKEN_SIZE), TOKEN_END);
    delete[] buf;
    fclose(fp);
}

TEST(ParseChoice, AcceptsWholeIntegersOnly) {
    int sel = 77;
    EXPECT_EQ(ParseChoice("0", &sel), OK);
    EXPECT_EQ(sel, 0);
    EXPECT_EQ(ParseChoice("-1", &sel), OK);
    EXPECT_EQ(sel, -1);
    EXPECT_EQ(ParseChoice("+2", &sel), OK);
    EXPECT_EQ(sel, 2);
    EXPECT_EQ(ParseChoice("007", &sel), OK);
    EXPECT_EQ(sel, 7);
    EXPECT_EQ(ParseChoice("2147483647", &sel), OK);
    EXPECT_EQ(sel, 2147483647);
    EXPECT_EQ(ParseChoice("-2147483648", &sel), OK);
    EXPECT_EQ(sel, -2147483647 - 1);

    sel = 77;
    for (const char *bad : {"x", "1x", "0ABC", "", "-", "+", "--1", "1.5", "2147483648",
                            "-2147483649", "99999999999999999999", "\xd6\xd0"}) {
        EXPECT_EQ(ParseChoice(bad, &sel), ERROR) << bad;
        EXPECT_EQ(sel, 77) << bad;
    }
}

}  // namespace
