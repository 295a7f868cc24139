/* token.cpp -- reading menu choices and whitespace-separated tokens. */
#include "token.h"

#include <climits>

/* True for the bytes that separate tokens (those of isspace in the "C"
 * locale); every other byte, GBK bytes included, belongs to a token. */
static int IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/* True for the decimal digits '0' to '9' (and for no GBK byte). */
static int IsDigit(int c) {
    return c >= '0' && c <= '9';
}

/* Skip blanks, then read the next token from fp into buf, which holds size
 * bytes (size >= 2). Returns TOKEN_READ with the zero-terminated token in
 * buf; TOKEN_END when the input (or a read error) ends before a token
 * begins; TOKEN_TOO_LONG when the token has more than size-1 bytes: it is
 * then read up to its end and discarded, and buf holds no usable token. The
 * blank that ends a token is consumed with it. */
int ReadToken(FILE *fp, char buf[], int size) {
    int c = getc(fp);
    while (c != EOF && IsBlank(c)) c = getc(fp);
    if (c == EOF) return TOKEN_END;

    int len = 0;
    int tooLong = FALSE;
    while (c != EOF && !IsBlank(c)) {
        if (len < size - 1) {
            buf[len++] = static_cast<char>(c);
        } else {
            tooLong = TRUE;                  /* keep reading, store nothing */
        }
        c = getc(fp);
    }
    buf[len] = '\0';
    return tooLong ? TOKEN_TOO_LONG : TOKEN_READ;
}

/* Read a menu choice from fp the way scanf "%d" reads a number: skip
 * blanks, take an optional sign, then the decimal digits after it; the byte
 * that ends the digits stays in fp for the next read. Returns CHOICE_READ
 * with the number in *sel. Returns CHOICE_END when the input (or a read
 * error) ends before a choice begins. Returns CHOICE_INVALID, leaving *sel
 * unchanged, when no digit follows the sign (the whole token, sign
 * included, is then read up to its end and dropped), or when the number lies
 * outside int (its sign and digits are read, and what follows them stays).
 * The digits are counted into an unsigned value that stops growing at the
 * limit, so a number of any length is read without a buffer or overflow. */
int ReadChoice(FILE *fp, int *sel) {
    int c = getc(fp);
    while (c != EOF && IsBlank(c)) c = getc(fp);
    if (c == EOF) return CHOICE_END;

    int negative = c == '-';
    if (c == '+' || c == '-') c = getc(fp);
    if (!IsDigit(c)) {                       /* not a number: drop the token */
        while (c != EOF && !IsBlank(c)) c = getc(fp);
        return CHOICE_INVALID;
    }

    /* The largest magnitude an int can take: 2147483647, or 2147483648
     * behind a minus sign. */
    unsigned limit = negative ? static_cast<unsigned>(INT_MAX) + 1u
                              : static_cast<unsigned>(INT_MAX);
    unsigned magnitude = 0;
    int outside = FALSE;                     /* the number is beyond limit */
    while (IsDigit(c)) {
        unsigned digit = static_cast<unsigned>(c - '0');
        if (!outside && magnitude <= (limit - digit) / 10) {
            magnitude = magnitude * 10 + digit;  /* stays within limit */
        } else {
            outside = TRUE;
        }
        c = getc(fp);
    }
    if (c != EOF) ungetc(c, fp);             /* the next read starts here */
    if (outside) return CHOICE_INVALID;

    if (negative && magnitude > 0) {
        *sel = -static_cast<int>(magnitude - 1) - 1;  /* INT_MIN included */
    } else {
        *sel = static_cast<int>(magnitude);
    }
    return CHOICE_READ;
}
