/* step.h -- the step hook: how a run shows an onlooker each step it takes.
 *
 * A console run leaves StepHook null; a STEP line then costs one test of a
 * null pointer and does nothing else. The browser edition's step writer
 * (lab/bitree/steps.cpp) sets it and runs the program's own RunMenu:
 * each STEP then calls the hook with the kind of step, what it is about
 * and where it was taken (the STEP stands on the line of the statement
 * that took the step). So every step the pictures show is one the program
 * took, at the line the picture marks. */
#ifndef BITREE_STEP_H
#define BITREE_STEP_H

/* A function on the call stack of a run: STEP_CALL at the top of a function
 * puts one on the stack (StepTop), and it comes off again when the function
 * returns, so a hook sees the functions that led to its step. */
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
 * has StepReturn called with it on every way out of the function. */
#define STEP_CALL \
    const StepCall step_call __attribute__((cleanup(StepReturn))) = {__func__, StepTop}; \
    StepTop = &step_call
/* The site of the STEP that uses it. */
#define STEP_SITE StepSite{__FILE__, __LINE__, __func__, StepTop}

/* The steps of a session. `what` points at what the step is about, as
 * told; value is 0 unless told otherwise. */
enum StepKind {
    STEP_CHOICE,     /* a choice was read: what is the int read, value ReadChoice's result */
    STEP_READ,       /* a choice read its tokens: what is the first, value the reader's result */
    STEP_TREE,       /* a tree was built: what is its root (BiTNode), null if none */
    STEP_COPY,       /* the threaded copy was built: what is its root (BiThrNode) */
    STEP_THREADS,    /* the copy was threaded in post-order: what is its root */
    STEP_WALK,       /* the threaded walk visited what (BiThrNode) */
    STEP_PREORDER,   /* a preorder walk visited what (BiTNode) */
    STEP_INORDER,    /* an inorder walk visited what */
    STEP_POSTORDER,  /* a post-order walk visited what */
    STEP_VALUE,      /* the evaluation gave node what its value, value */
    STEP_ZERO        /* the evaluation met a divisor 0 at node what */
};

/* The hook: null in the console program; a step writer sets it. */
inline void (*StepHook)(StepKind kind, const StepSite &site, const void *what,
                        int value) = nullptr;

/* Tells the hook, if one is set, of a step of this kind at this line. */
#define STEP(kind, what, value) \
    (StepHook ? StepHook(kind, STEP_SITE, what, value) : (void)0)

#endif
