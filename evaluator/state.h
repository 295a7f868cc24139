/* state.h -- the evaluator's global state, one instance each for the run.
 *
 * Defined in driver.cpp. The scanner reads and overwrites Express and sets
 * Value and C; every write to the result file goes through fp2. n is set by
 * Start, which puts the '#' at Express[n], and read by no other code: it is
 * kept as the loaded text's length in the run's state, where the method
 * names it, rather than as a local of Start. */
#ifndef EVALUATOR_STATE_H
#define EVALUATOR_STATE_H

#include <cstdio>

#include "stack.h"

/* Longest expression text accepted: the text, the '#' appended behind it and
 * the terminating NUL fit in Express. */
constexpr int EXPRESS_MAX = 49;

extern FILE *fp1;                     /* expression file, open while loading */
extern FILE *fp2;                     /* "result.txt", opened for appending */
extern SqStack OPTR;                  /* operator stack, '#' at the bottom */
extern TqStack OPND;                  /* operand stack */
extern char Express[EXPRESS_MAX + 2]; /* text + '#' + NUL; consumed chars are '$' */
extern int n;                         /* length of the text before the '#' */
extern int Value;                     /* value of the number scanned last */
extern char C;                        /* operator character scanned last */

#endif
