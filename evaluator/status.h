/* status.h -- status values shared by the evaluator's files.
 *
 * Container operations return OK or ERROR, the emptiness tests TRUE or FALSE.
 * Exhausted memory (a stack that cannot be created, a push of the step loop
 * that finds no memory) ends the program with OVERFLOW as its exit status. */
#ifndef EVALUATOR_STATUS_H
#define EVALUATOR_STATUS_H

constexpr int TRUE = 1;
constexpr int FALSE = 0;
constexpr int OK = 1;
constexpr int ERROR = 0;
constexpr int OVERFLOW = -1;

#endif
