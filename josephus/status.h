/* status.h -- result values of the operations and exit statuses of the run. */
#ifndef JOSEPHUS_STATUS_H
#define JOSEPHUS_STATUS_H

/* Results of the operations that can fail. */
constexpr int OK = 1;
constexpr int ERROR = 0;

/* Exit statuses of the program. */
constexpr int RUN_DONE = 0;     /* "out.txt" written, every node freed */
constexpr int RUN_FAILED = 1;   /* parameters refused, or "out.txt" not written */
constexpr int NO_MEMORY = -1;   /* a node could not be allocated */

#endif
