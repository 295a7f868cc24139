/* cases.cpp -- josephus's exercise maker (cases.h): the command line's
 * words n m s1 ... sn, separated by blanks, with a first count past the
 * ring (so the count goes round) and step values up to twice its size. */
#include "draw.h"

/* The ring's size, per size. */
static const int kRing[] = {5, 8, 12};

int MakeJosephusCase(int size, uint32_t seed, struct Case *out) {
    out->length = 0;
    out->bytes[0] = '\0';
    if (size < CASE_SMALL || size > CASE_LARGE) return 0;
    struct Draw draw;
    DrawStart(&draw, seed);
    int n = kRing[size];
    struct Text text = {0, {0}};
    TextAddNumber(&text, n);
    TextAddChar(&text, ' ');
    TextAddNumber(&text, DrawPick(&draw, n + 1, 2 * n));
    for (int k = 0; k < n; k++) {
        TextAddChar(&text, ' ');
        TextAddNumber(&text, DrawPick(&draw, 1, 2 * n));
    }
    return CaseFrom(&text, out);
}
