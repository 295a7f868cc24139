/* step.h -- the step hook: how a run shows an onlooker each step it takes.
 *
 * A console run leaves StepHook null; a STEP line then costs one test of a
 * null pointer and does nothing else. The browser edition's step writer
 * (lab/josephus/steps.cpp) sets it and runs the program's own
 * functions: each STEP then calls the hook with the kind of step, the seat
 * it is about, and where it was taken (the STEP stands on the line of the
 * statement that took the step). So every step the pictures show is one the
 * program took, at the line the picture marks. */
#ifndef JOSEPHUS_STEP_H
#define JOSEPHUS_STEP_H

struct node;

/* A function on the call stack of a run: STEP_CALL at the top of a function
 * puts one on the stack (StepTop), and it comes off again when the function
 * returns, so a hook sees the functions that led to its step. Every
 * function between main and a STEP has its STEP_CALL, so the stack a hook
 * sees is the real call path. Like STEP, it stands after the first
 * statement of its function, at the end of the same line, in the column on
 * the right. */
struct StepCall {
    const char *func;          /* the function's __func__ */
    const StepCall *caller;    /* the frame of its caller; null for the outermost */
};

/* Where a step was taken. */
struct StepSite {
    const char *file;          /* __FILE__: the source file, relative to the project */
    int line;                  /* __LINE__ of the statement that took the step */
    const char *func;          /* __func__ of the function that holds that line */
    const StepCall *calls;     /* the call stack then, innermost first (StepTop) */
};

inline const StepCall *StepTop = nullptr;  /* the innermost frame, null outside */

/* Takes the frame call off the stack: its caller is the innermost again. The
 * compiler calls it when the function that put call there returns (see
 * STEP_CALL). */
inline void StepReturn(const StepCall *call) { StepTop = call->caller; }

/* Puts the function it stands in on the call stack, for as long as it runs:
 * the frame is a local variable, and GCC's and Clang's cleanup attribute
 * has StepReturn called with it on every way out of the function. A
 * compiler without that attribute (neither __GNUC__ nor __clang__ defined,
 * e.g. MSVC) could not take the frame off again, so there STEP_CALL is an
 * empty statement: the program builds and runs the same, and a hook sees
 * no callers (StepTop stays null). */
#if defined(__GNUC__) || defined(__clang__)
#define STEP_CALL \
    const StepCall step_call __attribute__((cleanup(StepReturn))) = {__func__, StepTop}; \
    StepTop = &step_call
#else
#define STEP_CALL ((void)0)
#endif
/* The site of the STEP that uses it. */
#define STEP_SITE StepSite{__FILE__, __LINE__, __func__, StepTop}

/* The steps of the elimination. */
enum StepKind {
    STEP_COUNT,  /* a turn starts: seat counts 1, count is the count, moves its moves */
    STEP_PASS,   /* the count has moved on to seat, which says count (2 up to
                  * moves + 1); moves is the turn's moves */
    STEP_LEAVE   /* seat has been unlinked from the ring (count and moves are 0) */
};

/* The hook: null in the console program; a step writer sets it. */
inline void (*StepHook)(StepKind kind, const StepSite &site, const node *seat, int count,
                        int moves) = nullptr;

/* Tells the hook, if one is set, of a step of this kind at this line. */
#define STEP(kind, seat, count, moves) \
    (StepHook ? StepHook(kind, STEP_SITE, seat, count, moves) : (void)0)

#endif
