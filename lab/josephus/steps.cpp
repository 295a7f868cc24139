/* steps.cpp -- the step writer of josephus for the browser edition.
 *
 * WriteSteps runs the program itself, RunJosephus, on the same arguments
 * and stdin as the console run, with the step hook set (josephus/step.h).
 * Every step below is one the program reported: a turn's count, each seat
 * the count passes, and the unlinking of the seat it ends on. The program's
 * own console text (the prompt, "error") goes to the null device while it
 * runs; stdout then holds the trace, one JSON object in the envelope of
 * lab/README.md (json.h). Like the console run, the writer writes out.txt.
 *
 *   {"program":"josephus",
 *    "input":{"n":5,"m":2,"values":[3,1,4,1,5]},
 *    "steps":[STEP,...],"ok":true,"stopped":false}
 *
 *   input   what the program read: n people, the first count m, and the
 *           step values of persons 1 to n in order (values[k-1] is person
 *           k's). Learnt from the ring itself when the first turn starts,
 *           so it is what the program seated.
 *   STEP    {"kind":K,"src":...,"chain":[...],"turn":T,("at":T,) then
 *            "seated":"11011","seat":S,"from":F,"said":D,"count":C,
 *            "size":Z,"moves":V,"out":[2,...]}
 *     kind    "count": a turn starts, seat F says 1; "pass": the count has
 *             moved on one seat, to S, which says D; "leave": S, the seat
 *             the count ended on, has been unlinked from the ring
 *     turn    the turn's number: the turn that writes out.txt's turn-th
 *             number
 *     at      on the unlinking alone: the leaving number, the number of
 *             out.txt this step writes (the page's 对照 jumps to it)
 *     seated  one character per seat, person 1 first: '1' while the person
 *             is in the ring, '0' once unlinked (after this step)
 *     seat    the seat the count is on; from: the seat that said 1
 *     said    the number seat says: 1 up to moves + 1, the program's
 *             count (never more than the ring's size)
 *     count   the turn's count: m, then the step value of the last leaver
 *     size    the people in the ring when the turn started
 *     moves   the seats the program moves the count on: (count-1) mod size,
 *             0 for a count of 1 or less (CountMoves)
 *     out     the numbers out.txt holds after this step, in order
 *
 * Refused parameters: the program's message on stderr and exit status, and
 *   {"program":"josephus","ok":false,"stopped":"read","steps":[]}
 * An out.txt that cannot be written: every step, then "ok":false. Memory
 * running out: json.h's record of the steps so far, "stopped":"run".
 *
 * Bound: a step holds the ring (n bytes) and out.txt so far (up to 5n
 * bytes) beside fixed fields of about 250 bytes, and a turn has up to
 * size + 1 steps, so a ring of 1000 with large counts would take hundreds
 * of megabytes. The trace stops growing past 30 MB (BOUND): the steps
 * after that are left out and the envelope says "stopped":"bound". */
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

#include "input.h"
#include "program.h"
#include "ring.h"
#include "status.h"
#include "step.h"

#include "json.h"

static const std::size_t BOUND = 30u << 20;   /* bytes of trace past which no step is kept */

/* ============================ What the hook has heard ===================== */

/* The ring as the steps so far have left it. */
static int people;                  /* n; 0 until the first turn starts */
static char seated[MAX_PEOPLE];     /* '1' or '0' per seat, person 1 first */
static int out[MAX_PEOPLE];         /* the leavers so far, in leaving order */
static int left;                    /* how many have left */

/* The turn running now. */
static int from, count, size, moves;

/* Writes the input from the ring at its first turn: seat is person 1, the
 * ring still whole, m the first count. Learns n and seats everyone. */
static void PutInput(const node *seat, int m) {
    const node *p = seat;
    people = 0;
    do {
        seated[people++] = '1';
        p = p->next;
    } while (p != seat && people < MAX_PEOPLE);
    JsonPut(",\"input\":{\"n\":");
    JsonInt(people);
    JsonPut(",\"m\":");
    JsonInt(m);
    JsonPut(",\"values\":[");
    p = seat;
    for (int k = 0; k < people; k++, p = p->next) {
        if (k > 0) JsonPut(",");
        JsonInt(p->step);
    }
    JsonPut("]}");
}

/* Appends ,"name":value. */
static void PutField(const char *name, int value) {
    JsonPut(",\"");
    JsonPut(name);
    JsonPut("\":");
    JsonInt(value);
}

/* The step hook: keeps the ring and the turn up to date with the step,
 * then writes the step with the state after it (see the top of this
 * file), unless the bound has been passed. number is the turn's count
 * (STEP_COUNT) or the number seat says (STEP_PASS); turnMoves the turn's
 * moves (josephus/step.h). */
static void NoteStep(StepKind kind, const StepSite &site, const node *seat, int number,
                     int turnMoves) {
    int said = number;
    if (people == 0) {                 /* the first turn: the ring is whole */
        PutInput(seat, number);
        JsonStepsBegin();
        JsonPhase("run");
    }
    const char *name = "count";
    if (kind == STEP_COUNT) {
        from = seat->num;
        count = number;
        size = people - left;
        moves = turnMoves;
        said = 1;
    } else if (kind == STEP_PASS) {
        name = "pass";
    } else {
        name = "leave";
        seated[seat->num - 1] = '0';
        out[left++] = seat->num;
        said = moves + 1;
    }
    if (!JsonStep(name, site)) return;
    PutField("turn", kind == STEP_LEAVE ? left : left + 1);
    if (kind == STEP_LEAVE) PutField("at", left);
    JsonPut(",\"seated\":");
    JsonString(seated, static_cast<std::size_t>(people));
    PutField("seat", seat->num);
    PutField("from", from);
    PutField("said", said);
    PutField("count", count);
    PutField("size", size);
    PutField("moves", moves);
    JsonPut(",\"out\":[");
    for (int k = 0; k < left; k++) {
        if (k > 0) JsonPut(",");
        JsonInt(out[k]);
    }
    JsonPut("]");
    JsonStepEnd();
}

/* ============================ Standard output ============================= */

/* The program's console text goes to the null device while it runs, and
 * the trace to the real stdout. console: the real stdout kept aside, -1
 * while it is in place. If the run ends with exit() (no memory), stdout is
 * given back before json.h writes its record (GiveBack runs first, being
 * registered after json.h's handler). */
static int console = -1;

/* Gives the real stdout back, if it was set aside. */
static void GiveBack() {
    if (console < 0) return;
    std::fflush(stdout);
    dup2(console, STDOUT_FILENO);
    close(console);
    console = -1;
    std::clearerr(stdout);
}

/* Sets the real stdout aside and sends stdout to the null device. */
static void SetAside() {
    static int registered = 0;
    if (!registered) std::atexit(GiveBack);
    registered = 1;
    std::fflush(stdout);
    console = dup(STDOUT_FILENO);
    int null = open("/dev/null", O_WRONLY);
    if (console < 0 || null < 0 || dup2(null, STDOUT_FILENO) < 0) std::exit(-1);
    close(null);
}

/* ============================ Entry point ================================= */

/* Traces the run of josephus on these arguments, or on stdin when there
 * are none (see the top of this file). Returns the program's exit status:
 * RUN_DONE, or RUN_FAILED when the parameters are refused or out.txt could
 * not be written. */
extern "C" int WriteSteps(int argc, char **argv) {
    people = left = 0;
    JsonTrace("josephus", "read", BOUND);
    SetAside();
    StepHook = NoteStep;
    int status = RunJosephus(argc, argv, stdin);
    StepHook = nullptr;
    GiveBack();
    if (people == 0) {                 /* refused: no turn was played */
        JsonPut(",\"ok\":false,\"stopped\":\"read\",\"steps\":[]}");
        JsonEnd();
        return status;
    }
    JsonFinish(status == RUN_DONE);
    return status;
}
