/* status.h -- result values of the operations and exit statuses of the run. */
#ifndef JOSEPHUS_STATUS_H
#define JOSEPHUS_STATUS_H

/* Some C libraries define OVERFLOW as a macro in <math.h>; the program uses
 * the name for its own status value. */
#ifdef OVERFLOW
#undef OVERFLOW
#endif

/* Results of the operations that can fail, and of tests. */
constexpr int OK = 1;
constexpr int ERROR = 0;
constexpr int TRUE = 1;
constexpr int FALSE = 0;

/* Exit statuses of the program. */
constexpr int RUN_DONE = 0;     /* "out.txt" written, every node freed */
constexpr int RUN_FAILED = 1;   /* parameters refused, or "out.txt" not written */
constexpr int OVERFLOW = -1;    /* memory ran out: a node could not be allocated */

#endif
