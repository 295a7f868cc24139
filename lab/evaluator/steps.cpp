/* steps.cpp -- the step writer of evaluator for the browser
 * edition.
 *
 * WriteSteps takes the same argument as evaluator, the expression file,
 * loads it with the program's own Start and runs the program's own Run with
 * the step hook set (evaluator/step.h). Run writes its trace table to a
 * temporary file instead of result.txt, so no file of the run changes. Each
 * row of the table is one step; the hook is called right after the
 * statement that did the row's action, and the step records the state
 * after it, read from the program's own globals, with what the statement
 * told. It writes the trace's envelope (lab/README.md) on stdout (json.h).
 *
 * Fields:
 *   input  {"expression":"3*(7-2)#"}: the characters Run reads, as Start
 *          loaded them: the last line of the file and the '#' put after it
 *          (bytes, GBK, escaped as json.h tells)
 *   STEP   kind   push_opnd, push_optr, cancel, operate, return,
 *                 syntax_error or divide_error (step.h)
 *          at     the row's number in the trace table, its first column:
 *                 each row has exactly one step
 *          optr   OPTR after the step, bottom first: ["#","("]
 *          opnd   OPND after the step, bottom first: [3,7]
 *          pos    how many characters of the expression the program has
 *                 read after the step (its buffer marks them '$'); an
 *                 operate step's character is among them, though the next
 *                 row reads it again
 *          read   {"from":2,"text":"12"}: what the step read and acted on,
 *                 where it stands in the expression: the number pushed, or
 *                 the character read last (the one compared with the top of
 *                 OPTR, or that found operands short or left over)
 *          top, relation   the top of OPTR that character was compared
 *                 with and what PriorityCom found, '<', '=' or '>' (only
 *                 where the statement compared)
 *          push_opnd: value, the number; push_optr, cancel: op, the
 *          character pushed or popped; operate: a, op, b and result, the
 *          value pushed (OPND's top after the step); return: value, the
 *          value popped; divide_error: a, op, b
 *          pushed "optr" or "opnd": the stack the step pushed onto (its
 *                 new top), where it pushed
 *          popped {"optr":["-"],"opnd":[7,2]}: what the step took off each
 *                 stack, bottom first, where it popped (a syntax error
 *                 found by Run itself tells none)
 * The run ends inside the table on a syntax error or a division by zero:
 * then the steps up to it stand, the last one says what went wrong, and
 * the envelope has "ok":false,"stopped":false (every step was recorded).
 * When a push finds no memory the run ends with "stopped":"run". A file
 * that evaluator refuses gives the same message on stderr and exit
 * status, and stdout holds the stop record of the phase "read".
 *
 * Bounds: the expression holds at most 49 characters, so a run has at
 * most about 100 steps of under 600 bytes each: no bound is needed. */
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver.h"
#include "state.h"
#include "step.h"
#include "texts.h"

#include "json.h"

/* ============================ The run's start ============================= */

static char loaded[EXPRESS_MAX + 2];  /* Express as Start loaded it, before Run reads it */
static int told;                      /* steps told so far: the rows of the table */
static int ended;                     /* 1 once a step ended the run with an error */
static int registered;                /* 1 once EndedInRun is registered with atexit */

/* Puts the program's globals back as a fresh process has them, so that a
 * run of the writer after any other code of the program (the unit tests
 * run it after theirs) starts where the console program starts. Start
 * makes the stacks and Express anew; the scanner's last item and the call
 * stack are the run's to set. */
static void FreshState() {
    C = '$';
    Value = 0;
    n = 0;
    StepTop = nullptr;
    told = 0;
    ended = 0;
}

/* ============================ Steps ======================================= */

/* The names of the kinds in the trace, in StepKind's order. */
static const char *const KIND_NAMES[] = {"push_opnd", "push_optr", "cancel", "operate",
                                         "return", "syntax_error", "divide_error"};

/* How many characters of Express the program has read: its leading '$'. */
static int Consumed() {
    int i = 0;
    while (Express[i] == '$') i++;
    return i;
}

/* Appends ,"name":[...] with the stack's elements, bottom first. */
static void PutOptr() {
    char items[PRINT_CAPACITY];
    int count = 0;
    for (SqNode *p = OPTR.top->next; p != nullptr && count < PRINT_CAPACITY; p = p->next) items[count++] = p->data;
    JsonPut(",\"optr\":[");
    for (int k = count - 1; k >= 0; k--) {
        JsonChar(items[k]);
        if (k > 0) JsonPut(",");
    }
    JsonPut("]");
}

static void PutOpnd() {
    int items[PRINT_CAPACITY];
    int count = 0;
    for (TqNode *p = OPND.top->next; p != nullptr && count < PRINT_CAPACITY; p = p->next) items[count++] = p->data;
    JsonPut(",\"opnd\":[");
    for (int k = count - 1; k >= 0; k--) {
        JsonInt(items[k]);
        if (k > 0) JsonPut(",");
    }
    JsonPut("]");
}

/* Appends ,"name":<a one-character string>. */
static void PutChar(const char *name, char c) {
    JsonPut(",\"");
    JsonPut(name);
    JsonPut("\":");
    JsonChar(c);
}

/* Appends ,"name":<number>. */
static void PutInt(const char *name, int value) {
    JsonPut(",\"");
    JsonPut(name);
    JsonPut("\":");
    JsonInt(value);
}

/* Appends ,"popped":{"optr":[op],"opnd":[a,b]}: what the step took off
 * the stacks, each bottom first: op unless it is 0, and the first count
 * of a, b. */
static void PutPopped(char op, int count, int a, int b) {
    JsonPut(",\"popped\":{\"optr\":[");
    if (op != 0) JsonChar(op);
    JsonPut("],\"opnd\":[");
    if (count > 0) JsonInt(a);
    if (count > 1) {
        JsonPut(",");
        JsonInt(b);
    }
    JsonPut("]}");
}

/* Appends ,"read":{"from":i,"text":...}: what the step acted on. After a
 * number, its digits end where reading stopped; after a character, it is
 * the last one read. Nothing when nothing was read yet. */
static void PutRead(StepKind kind, int pos) {
    int from = pos, to = pos;
    if (kind == STEP_PUSH_OPND) {
        while (from > 0 && loaded[from - 1] >= '0' && loaded[from - 1] <= '9') from--;
    } else if (pos > 0) {
        from = pos - 1;
    }
    if (from == to) return;
    JsonPut(",\"read\":{\"from\":");
    JsonInt(from);
    JsonPut(",\"text\":");
    JsonString(loaded + from, static_cast<std::size_t>(to - from));
    JsonPut("}");
}

/* The step hook: one step per row, with the state after it. */
static void TellStep(StepKind kind, const StepSite &site, char top, char relation, char op, int a, int b) {
    told++;
    if (kind == STEP_SYNTAX_ERROR || kind == STEP_DIVIDE_ERROR) ended = 1;
    if (!JsonStep(KIND_NAMES[kind], site)) return;
    PutInt("at", told);
    PutOptr();
    PutOpnd();
    int pos = Consumed();
    PutInt("pos", pos);
    PutRead(kind, pos);
    if (top != 0) PutChar("top", top);
    if (relation != 0) PutChar("relation", relation);
    switch (kind) {
    case STEP_PUSH_OPND:
        PutInt("value", a);
        JsonPut(",\"pushed\":\"opnd\"");
        break;
    case STEP_RETURN:
        PutInt("value", a);
        PutPopped(0, 1, a, 0);
        break;
    case STEP_PUSH_OPTR:
        PutChar("op", op);
        JsonPut(",\"pushed\":\"optr\"");
        break;
    case STEP_CANCEL:
        PutChar("op", op);
        PutPopped(op, 0, 0, 0);
        break;
    case STEP_OPERATE:
        PutInt("a", a);
        PutChar("op", op);
        PutInt("b", b);
        PutInt("result", OPND.top->next->data);  /* the value the step pushed */
        PutPopped(op, 2, a, b);
        JsonPut(",\"pushed\":\"opnd\"");
        break;
    case STEP_DIVIDE_ERROR:
        PutInt("a", a);
        PutChar("op", op);
        PutInt("b", b);
        PutPopped(op, 2, a, b);
        break;
    case STEP_SYNTAX_ERROR:
        if (op != 0) PutChar("op", op);
        break;
    }
    JsonStepEnd();
}

/* Ends the trace when Run ends the program (registered with atexit after
 * json.h's handler, so it runs first): after the step of a syntax error or
 * a division by zero every step is recorded, and the run failed as the
 * console run fails; otherwise (no memory) json.h's handler says the run
 * stopped. */
static void EndedInRun() {
    if (json.done || !json.inSteps || !ended) return;
    StepHook = nullptr;
    JsonFinish(0);
}

/* ============================ Entry point ================================= */

/* Refuses the run as evaluator does: the message (format with name for its
 * %s) and a line end on stderr, the stop record on stdout. Returns the exit
 * status, 1. */
static int Refused(const char *format, const char *name) {
    std::fprintf(stderr, format, name);
    std::fputc('\n', stderr);
    json.length = 0;                         /* the envelope begun is not written */
    JsonPut("{\"program\":\"evaluator\",\"ok\":false,\"stopped\":\"");
    JsonPut(json.phase);
    JsonPut("\",\"steps\":[]}");
    JsonEnd();
    return EXIT_FAILURE;
}

/* Describes the evaluation of the expression file argv[1] (see the top of
 * this file). Returns 0, or 1 when the file is refused; the run may also
 * end inside Run with its own status. */
extern "C" int WriteSteps(int argc, char **argv) {
    FreshState();
    JsonTrace("evaluator", "read", 0);
    if (!registered) std::atexit(EndedInRun);
    registered = 1;
    if (argc < 2) return Refused(TEXT_USAGE, "evaluator");
    fp1 = std::fopen(argv[1], "r");
    if (fp1 == nullptr) return Refused(TEXT_CANNOT_READ, argv[1]);
    const char *refusal = Start();
    std::fclose(fp1);
    fp1 = nullptr;
    if (refusal != nullptr) return Refused(refusal, argv[1]);

    JsonPhase("run");
    fp2 = std::tmpfile();
    if (fp2 == nullptr) return Refused(TEXT_CANNOT_OPEN_RESULT, "result.txt");
    std::memcpy(loaded, Express, sizeof loaded);
    JsonPut(",\"input\":{\"expression\":");
    JsonString(loaded, std::strlen(loaded));
    JsonPut("}");
    JsonStepsBegin();
    StepHook = TellStep;
    Run();
    StepHook = nullptr;
    std::fclose(fp2);
    fp2 = nullptr;
    return JsonFinish(1);
}
