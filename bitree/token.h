/* token.h -- reading menu choices and whitespace-separated tokens.
 *
 * A token is a run of bytes other than blank, tab, line feed, carriage
 * return, vertical tab and form feed; a choice and its tokens may share a
 * line or stand on separate lines. A menu choice is read as a number, and
 * the byte that ends its digits is the start of the next read, so a choice
 * may also be glued to its first token (2abc is choice 2 with abc). A token
 * never runs past its buffer: one too long for it is read to its end and
 * discarded whole. */
#ifndef BITREE_TOKEN_H
#define BITREE_TOKEN_H

#include <cstdio>

#include "status.h"

/* The longest token the workbench takes, in bytes, and the room it needs
 * with its terminating zero. */
constexpr int TOKEN_MAX = 1023;
constexpr int TOKEN_SIZE = TOKEN_MAX + 1;

int ReadToken(FILE *fp, char buf[], int size);
int ReadChoice(FILE *fp, int *sel);

#endif
