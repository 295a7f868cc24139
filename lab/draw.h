/* draw.h -- the random draws that the exercise makers share (lab/cases.cpp).
 *
 * A Draw is one sequence of numbers from a seed (mulberry32: 32-bit integer
 * steps only, so every machine and the page's old script give the same
 * sequence). A Shape is a random binary tree kept in a pool of nodes; an
 * expression puts its operators on a shape's nodes and its numbers where a
 * child is missing. Text is written into a Text, a bounded buffer that
 * drops what does not fit (the makers' texts are all far below its room). */
#ifndef LAB_DRAW_H
#define LAB_DRAW_H

#include <stddef.h>
#include <stdint.h>

#include "cases.h"

struct Draw {
    uint32_t state;
};

/* The most nodes of any shape or expression a maker draws. */
#define DRAW_NODES 64

/* A node of a shape or of an expression: kind 0 is a number (number set,
 * no children), else an operator character with two children; children
 * are indices into the pool, -1 for none. */
struct DrawNode {
    char op;
    int number;
    int left;
    int right;
};

struct DrawPool {
    int count;
    struct DrawNode nodes[DRAW_NODES];
};

struct Text {
    size_t length;
    char bytes[CASE_BYTES];
};

/* DrawStart(draw, seed): starts the sequence of seed. */
void DrawStart(struct Draw *draw, uint32_t seed);

/* DrawNext(draw): returns the next number of the sequence, in [0, 1). */
double DrawNext(struct Draw *draw);

/* DrawPick(draw, lo, hi): returns a whole number from lo to hi, both
 * included. */
int DrawPick(struct Draw *draw, int lo, int hi);

/* DrawShuffle(draw, items, count): puts count characters in a random order
 * (Fisher-Yates, from the last one down). */
void DrawShuffle(struct Draw *draw, char *items, int count);

/* DrawShape(draw, pool, k): draws a random binary tree of k nodes into the
 * pool (the left subtree's size first, then the left subtree, then the
 * right) and returns its root, -1 when k is 0. */
int DrawShape(struct Draw *draw, struct DrawPool *pool, int k);

/* DrawOperands(draw, shape, root, out, max): returns the root, in out, of
 * an expression of the shape: an operator of +-*-/ on each node (a '/'
 * only before a number, else '*', so that it never divides by zero) and a
 * number from 1 to max in each missing child's place. */
int DrawOperands(struct Draw *draw, const struct DrawPool *shape, int root,
                 struct DrawPool *out, int max);

/* TextAdd(text, s): appends s to text. TextAddChar, TextAddNumber: the
 * same for one character and a decimal number. */
void TextAdd(struct Text *text, const char *s);
void TextAddChar(struct Text *text, char c);
void TextAddNumber(struct Text *text, long n);

/* CaseFrom(text, out): copies a finished text into *out and returns 1. */
int CaseFrom(const struct Text *text, struct Case *out);

#endif
