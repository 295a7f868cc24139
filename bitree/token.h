/* token.h -- reading whitespace-separated tokens from the console.
 *
 * A token is a run of bytes other than blank, tab, line feed, carriage
 * return, vertical tab and form feed; a choice and its tokens may share a
 * line or stand on separate lines. A token never runs past its buffer: one
 * too long for it is read to its end and discarded whole. */
#ifndef BITREE_TOKEN_H
#define BITREE_TOKEN_H

#include <cstdio>

#include "status.h"

/* Room for one token: at most 1023 bytes and the terminating zero. */
constexpr int TOKEN_SIZE = 1024;

/* Results of ReadToken. */
constexpr int TOKEN_READ = 1;       /* a token is in the buffer */
constexpr int TOKEN_END = 0;        /* the input ended before a token began */
constexpr int TOKEN_TOO_LONG = -1;  /* a token did not fit and was discarded */

int ReadToken(FILE *fp, char buf[], int size);
Status ParseChoice(const char token[], int *sel);

#endif
