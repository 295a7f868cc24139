/* input.h -- the parameters: n, the first count m and n step values.
 *
 * They come from the command line when the program has arguments, and from
 * the keyboard after a prompt when it has none. Each number is converted the
 * way atoi does it, except that a number outside the int range is refused
 * instead of being given an undefined value. */
#ifndef JOSEPHUS_INPUT_H
#define JOSEPHUS_INPUT_H

#include <cstdint>
#include <cstdio>

/* The most people a ring can seat: the size of the step-value array. */
constexpr int MAX_PEOPLE = 1000;

/* Where a conversion stands. */
enum ScanStage {
    SCAN_BLANKS,         /* skipping leading white space; no sign seen yet */
    SCAN_DIGITS,         /* taking decimal digits (after an optional sign) */
    SCAN_ENDED           /* another character ended the number */
};

/* One number being converted, fed one character at a time, so a keyboard
 * token of any length is converted without being stored. */
struct NumberScan {
    ScanStage stage;     /* what the next character may be */
    int negative;        /* 1 when a '-' sign was taken */
    uint64_t magnitude;  /* the digits so far; stops growing past the limit */
};

void ScanStart(NumberScan *scan);
void ScanChar(NumberScan *scan, char c);
int ScanValue(const NumberScan *scan, int *value);
int ToInt(const char *text, int *value);
int ReadNumber(FILE *in, int *value);
int ReadParameters(int argc, char **argv, FILE *in, int &n, int &m, int steps[]);

#endif
