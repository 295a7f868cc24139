/* status.h -- the result values of the binary-tree workbench.
 *
 * Operations that report success or failure return a Status: OK or ERROR;
 * tests answer TRUE or FALSE. OVERFLOW is the exit status of the program
 * when memory runs out, OUTPUT_FAILED when its output cannot be written. The console reads (token.cpp) say what they found
 * with the results below. */
#ifndef BITREE_STATUS_H
#define BITREE_STATUS_H

/* Some C libraries define OVERFLOW as a macro in <math.h>; the workbench
 * uses the name for its own status value. */
#ifdef OVERFLOW
#undef OVERFLOW
#endif

typedef int Status;

constexpr Status TRUE = 1;
constexpr Status FALSE = 0;
constexpr Status OK = 1;
constexpr Status ERROR = 0;
constexpr Status OVERFLOW = -1;

/* Exit statuses of the program besides OVERFLOW. */
constexpr int RUN_DONE = 0;         /* the input ended and every output was written */
constexpr int OUTPUT_FAILED = 1;    /* the console output could not be written */

/* ============================ Console reads =============================== */

/* Results of ReadToken. */
constexpr int TOKEN_READ = 1;       /* a token is in the buffer */
constexpr int TOKEN_END = 0;        /* the input ended before a token began */
constexpr int TOKEN_TOO_LONG = -1;  /* a token did not fit and was discarded */

/* Results of ReadChoice. */
constexpr int CHOICE_READ = 1;      /* a number within int was read */
constexpr int CHOICE_END = 0;       /* the input ended before a choice began */
constexpr int CHOICE_INVALID = -1;  /* no digits, or a number outside int */

#endif
