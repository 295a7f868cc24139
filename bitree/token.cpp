/* token.cpp -- reading whitespace-separated tokens from the console. */
#include "token.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

/* True for the bytes that separate tokens (those of isspace in the "C"
 * locale); every other byte, GBK bytes included, belongs to a token. */
static int IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
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

/* Convert a menu-choice token to an int in *sel. The whole token must be a
 * decimal integer with an optional sign, within the range of int. Returns
 * ERROR, leaving *sel unchanged, for any other token; otherwise OK. */
Status ParseChoice(const char token[], int *sel) {
    const char *p = token;
    if (*p == '+' || *p == '-') p++;
    if (*p < '0' || *p > '9') return ERROR;  /* strtol would skip blanks */

    char *end;
    errno = 0;
    long value = strtol(token, &end, 10);
    if (*end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX) return ERROR;
    *sel = static_cast<int>(value);
    return OK;
}
