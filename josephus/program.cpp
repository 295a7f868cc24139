/* program.cpp -- the phases of a run, in order.
 *
 * All state of the run lives in this function's locals and is handed to the
 * phases; nothing is global. */
#include "program.h"

#include <cstdio>

#include "input.h"
#include "messages.h"
#include "ring.h"
#include "status.h"
#include "step.h"

/* Play out one ring: read the parameters (from argv, or, after the prompt,
 * from in when there are no arguments), build the ring, run the
 * elimination and write "out.txt", which also frees every node. Returns the
 * exit status: RUN_DONE, or RUN_FAILED when the parameters are refused
 * ("out.txt" left untouched) or "out.txt" could not be written. Ends the program with
 * OVERFLOW when memory runs out (see NewNode). */
int RunJosephus(int argc, char **argv, FILE *in) {
    /* n: number of people; m: the current count; steps: the step value of
     * person k at index k-1; ring: person 1; leaving: head of the leaving
     * list. */
    int n = 0;                               STEP_CALL;
    int m = 0;
    int steps[MAX_PEOPLE] = {0};
    node *ring = nullptr;
    node *leaving = nullptr;

    if (argc <= 1) {              /* keyboard mode: ask for the parameters */
        fputs(TEXT_PROMPT, stdout);
        fflush(stdout);
    }
    if (ReadParameters(argc, argv, in, n, m, steps) != OK) return RUN_FAILED;
    Creat(ring, n, steps);
    Josephus(ring, leaving, n, m);
    if (Out(leaving) != OK) return RUN_FAILED;
    return RUN_DONE;
}
