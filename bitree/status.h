/* status.h -- the result values of the binary-tree workbench.
 *
 * Operations that report success or failure return a Status: OK or ERROR.
 * OVERFLOW is the exit status of the program when memory runs out. */
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

#endif
