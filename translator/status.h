/* status.h -- result values of the translator's operations and exit
 * statuses of its run.
 *
 * Container operations return OK or ERROR, emptiness tests TRUE or FALSE.
 * A run ends with status 0 when translate.txt is written, REFUSED when its
 * input or its output file is refused, and OVERFLOW when memory runs out or
 * the sentence grows past its bound. */
#ifndef TRANSLATOR_STATUS_H
#define TRANSLATOR_STATUS_H

/* Some C libraries define OVERFLOW as a macro in <math.h>; the translator
 * uses the name for its own status value. */
#ifdef OVERFLOW
#undef OVERFLOW
#endif

constexpr int TRUE = 1;
constexpr int FALSE = 0;
constexpr int OK = 1;
constexpr int ERROR = 0;
constexpr int OVERFLOW = -1;  /* exit status: memory exhausted */
constexpr int REFUSED = 1;    /* exit status: input or output file refused */

#endif
