/* status.h -- status values shared by the evaluator's files.
 *
 * Container operations return OK or ERROR; a failed allocation while creating
 * a stack ends the program with OVERFLOW as its exit status. */
#ifndef EVALUATOR_STATUS_H
#define EVALUATOR_STATUS_H

constexpr int TRUE = 1;
constexpr int FALSE = 0;
constexpr int OK = 1;
constexpr int ERROR = 0;
constexpr int OVERFLOW = -1;

#endif
