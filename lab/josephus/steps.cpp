/* steps.cpp -- the step writer of josephus for the browser
 * edition.
 *
 * WriteSteps reads the parameters as josephus does (ReadParameters: from
 * the arguments, or from stdin when there are none, without the prompt),
 * seats the ring with the program's own Creat and runs the program's own
 * Josephus with the step hook set (josephus/step.h): each turn's count and
 * each unlinking that Josephus reports becomes a removal below. It writes
 * what the page draws as one JSON object on stdout (json.h); it writes no
 * out.txt (the leaving list is freed without Out).
 *
 * Layout:
 *   {"program":"josephus","ok":true,"n":5,"m":2,
 *    "seats":[{"num":1,"step":3},{"num":2,"step":1},...],
 *    "removals":[{"order":1,"from":1,"count":2,"size":5,"moves":1,
 *                 "leaves":2,"next":1},...]}
 *   n, m     the number of people and the first count, as read
 *   seats    the ring from person 1 round to person n: each seat's number
 *            and step value
 *   removals one per turn, in leaving order, as Josephus reports them:
 *     order   the leaving number, 1 for the first to leave
 *     from    the seat that counts 1 (person 1 in the first turn, then the
 *             seat after the one who left last)
 *     count   the count of this turn: m, then the step value of the seat
 *             that left last
 *     size    the people still seated when the turn starts
 *     moves   the seats the count moves on from "from": count-1 modulo
 *             size, as the program counts (0 for a count of 1 or less)
 *     leaves  the seat the count ends on, which leaves the ring
 *     next    its step value: the count of the next turn
 *     countSrc  SRC of the count: the line of Josephus that counts the
 *             turn's moves
 *     src     SRC of the unlinking of the seat that leaves (CountOut)
 *   SRC is {"file":"josephus/ring.cpp","line":116,"func":"Josephus",
 *           "chain":["Josephus"]} as json.h's JsonSrc writes it: the file,
 *   line and function of the statement that did the step, and the functions
 *   on the call stack then, outermost first.
 * The "leaves" numbers in order are the numbers of out.txt.
 *
 * Parameters that the program refuses give the same message on stderr and
 * the same exit status, and stdout holds
 *   {"program":"josephus","ok":false,"stopped":"read"}
 * If memory runs out while seating, the stop record of json.h
 * ("stopped":"ring") stands instead.
 *
 * Bounds: n is at most 1000 (MAX_PEOPLE), and each seat and each turn is a
 * record of fixed fields (two SRC of about 150 bytes each among them),
 * never the whole ring: under 500 KB. */
#include <cstdio>
#include <cstdlib>

#include "input.h"
#include "ring.h"
#include "status.h"
#include "step.h"

#include "json.h"

/* Writes the seats of the ring of n people that starts at ring (person 1). */
static void PutSeats(node *ring, int n) {
    JsonPut("\"seats\":[");
    node *p = ring;
    for (int k = 0; k < n; k++) {
        if (k > 0) JsonPut(",");
        JsonPut("{\"num\":");
        JsonInt(p->num);
        JsonPut(",\"step\":");
        JsonInt(p->step);
        JsonPut("}");
        p = p->next;
    }
    JsonPut("]");
}

/* The removals as the hook hears them. */
static int turns;            /* removals written so far */
static int people;           /* people seated when the elimination started */

/* The step hook: a count opens the turn's removal, the unlinking that
 * follows closes it. */
static void NoteStep(StepKind kind, const StepSite &site, const node *seat, int count,
                     int moves) {
    if (kind == STEP_COUNT) {
        if (turns > 0) JsonPut(",");
        JsonPut("{\"order\":");
        JsonInt(turns + 1);
        JsonPut(",\"from\":");
        JsonInt(seat->num);
        JsonPut(",\"count\":");
        JsonInt(count);
        JsonPut(",\"size\":");
        JsonInt(people - turns);
        JsonPut(",\"moves\":");
        JsonInt(moves);
        JsonPut(",\"countSrc\":");
        JsonSrc(site);
    } else {
        JsonPut(",\"leaves\":");
        JsonInt(seat->num);
        JsonPut(",\"next\":");
        JsonInt(seat->step);
        JsonPut(",\"src\":");
        JsonSrc(site);
        JsonPut("}");
        turns++;
    }
}

/* Runs the program's Josephus on the ring of n people that starts at ring
 * with the first count m, writing each turn through the hook, then frees
 * the leaving list (its head and every person). */
static void PutRemovals(node *ring, int n, int m) {
    JsonPut("\"removals\":[");
    people = n;
    node *leaving = nullptr;
    StepHook = NoteStep;
    Josephus(ring, leaving, n, m);
    StepHook = nullptr;
    JsonPut("]");
    while (leaving != nullptr) {
        node *next = leaving->next;
        std::free(leaving);
        leaving = next;
    }
}

/* Describes the ring that josephus plays out for these arguments, or for
 * stdin when there are none (see the top of this file). Returns 0, or
 * RUN_FAILED when the parameters are refused, as the program does. */
extern "C" int WriteSteps(int argc, char **argv) {
    int n = 0;                               /* number of people */
    int m = 0;                               /* the first count */
    int steps[MAX_PEOPLE] = {0};             /* step value of person k at index k-1 */
    node *ring = nullptr;                    /* person 1 */

    JsonBegin("josephus", "read");
    if (ReadParameters(argc, argv, stdin, n, m, steps) != OK) {
        JsonPut("{\"program\":\"josephus\",\"ok\":false,\"stopped\":\"read\"}");
        JsonEnd();
        return RUN_FAILED;
    }
    JsonPhase("ring");
    Creat(ring, n, steps);
    JsonPut("{\"program\":\"josephus\",\"ok\":true,\"n\":");
    JsonInt(n);
    JsonPut(",\"m\":");
    JsonInt(m);
    JsonPut(",");
    PutSeats(ring, n);
    JsonPut(",");
    PutRemovals(ring, n, m);
    JsonPut("}");
    return JsonEnd();
}
