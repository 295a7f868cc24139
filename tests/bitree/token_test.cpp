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
    std::string fits(TOKEN_MAX, 'A'), over(TOKEN_MAX + 1, 'B'), huge(5000, 'C');
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

// What is left of the stream, read to its end.
std::string Rest(FILE *fp) {
    std::string rest;
    for (int c = getc(fp); c != EOF; c = getc(fp)) rest += static_cast<char>(c);
    return rest;
}

// A choice is the number at the start of the input, up to the int limits;
// the reading stops at the first byte that is not a digit.
TEST(ReadChoice, ReadsTheLeadingNumberWithinInt) {
    struct { const char *input; int result, sel; const char *rest; } cases[] = {
        {" \n\t+2 x", CHOICE_READ, 2, " x"},
        {"-0ABC", CHOICE_READ, 0, "ABC"},
        {"2147483647.", CHOICE_READ, 2147483647, "."},
        {"-2147483648", CHOICE_READ, -2147483647 - 1, ""},
        {"2147483648x", CHOICE_INVALID, 77, "x"},
        {"-2147483649-1", CHOICE_INVALID, 77, "-1"},
        {"4294967298+1", CHOICE_INVALID, 77, "+1"},  // would wrap to 2
        {"+abc 1", CHOICE_INVALID, 77, "1"},          // the whole token goes
        {"-", CHOICE_INVALID, 77, ""},
        {" \n", CHOICE_END, 77, ""},
    };
    for (const auto &c : cases) {
        FILE *fp = Input(c.input);
        int sel = 77;
        EXPECT_EQ(ReadChoice(fp, &sel), c.result) << c.input;
        EXPECT_EQ(sel, c.sel) << c.input;
        EXPECT_EQ(Rest(fp), c.rest) << c.input;
        fclose(fp);
    }
}

}  // namespace
