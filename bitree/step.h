/* step.h -- the step hook: how a run shows an onlooker each step it takes.
 *
 * A console run leaves StepHook null; a STEP line then costs one test of a
 * null pointer and does nothing else. The browser edition's step writer
 * (lab/bitree/steps.cpp) sets it and runs the program's own RunMenu:
 * each STEP then calls the hook with the kind of step, what it is about
 * and where it was taken. The STEP stands on the line of the statement
 * that took the step, after it, at the end of the line (the right-hand
 * column); a test that noticed something has its STEP at the end of its
 * own line, inside the block it opens. So every step the pictures show is
 * one the program took, at the line the picture marks. */
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
 * has StepReturn called with it on every way out of the function. A
 * compiler without that attribute (one that defines neither __GNUC__ nor
 * __clang__, such as MSVC) could not take the frame off again, so there
 * STEP_CALL compiles to nothing (an empty static_assert, which keeps the
 * `STEP_CALL;` a statement) and the hook sees no frames at all. */
#if defined(__GNUC__) || defined(__clang__)
#define STEP_CALL \
    const StepCall step_call __attribute__((cleanup(StepReturn))) = {__func__, StepTop}; \
    StepTop = &step_call
#else
#define STEP_CALL static_assert(true, "no step frames without the cleanup attribute")
#endif
/* The site of the STEP that uses it. */
#define STEP_SITE StepSite{__FILE__, __LINE__, __func__, StepTop}

/* The steps of a session. `what` points at what the step is about, as
 * told; value is 0 unless told otherwise. */
enum StepKind {
    STEP_CHOICE,     /* a choice was read: what is the int read, value ReadChoice's result */
    STEP_READ,       /* a choice read its tokens: what is the first, value the reader's result */
    STEP_SPLIT,      /* PreInCreate made the root of its ranges (told in the ranges):
                        what is the node, value the root's position in the inorder */
    STEP_UNEVEN,     /* PreInCreate met ranges that are empty or of unequal lengths */
    STEP_MISSING,    /* PreInCreate found the root's character missing from its
                        inorder range: value the position past the range */
    STEP_TREE,       /* a tree was built: what is its root (BiTNode), null if none */
    STEP_COPY,       /* the threaded copy was built: what is its root (BiThrNode) */
    STEP_LTHREAD,    /* threading made what's empty left link a thread (BiThrNode) */
    STEP_RTHREAD,    /* threading made what's empty right link a thread */
    STEP_THREADS,    /* the copy was threaded in post-order: what is its root */
    STEP_WALK,       /* the threaded walk visited what (BiThrNode) */
    STEP_PREORDER,   /* a preorder walk visited what (BiTNode) */
    STEP_INORDER,    /* an inorder walk visited what */
    STEP_POSTORDER,  /* a post-order walk visited what */
    STEP_NODE,       /* CreateExpressTree made node what from the character
                        before flag: value 0 for an operator, which two
                        operands follow, otherwise exp's class */
    STEP_SHORT,      /* CreateExpressTree found the expression ended: no
                        character left for the node it was called for */
    STEP_VALUE,      /* the evaluation gave node what its value, value */
    STEP_ZERO        /* the evaluation met a divisor 0 at node what */
};

/* The two sequences and the ranges of a PreInCreate call, for its steps
 * (STEP_SPLIT, STEP_UNEVEN, STEP_MISSING); other steps get one with null
 * sequences. */
struct StepRanges {
    const char *preorder;      /* the whole preorder sequence */
    const char *inorder;       /* the whole inorder sequence */
    int s1, end1;              /* the call's preorder range, inclusive */
    int s2, end2;              /* its inorder range, inclusive */
};

/* The hook: null in the console program; a step writer sets it. */
inline void (*StepHook)(StepKind kind, const StepSite &site, const void *what, int value,
                        const StepRanges &ranges) = nullptr;

/* Tells the hook, if one is set, of a step of this kind at this line. */
#define STEP(kind, what, value) \
    (StepHook ? StepHook(kind, STEP_SITE, what, value, StepRanges{nullptr, nullptr, 0, 0, 0, 0}) \
              : (void)0)

/* The same for a step of PreInCreate, with its sequences and ranges. */
#define STEP_RANGES(kind, what, value, preorder, inorder, s1, end1, s2, end2) \
    (StepHook ? StepHook(kind, STEP_SITE, what, value, StepRanges{preorder, inorder, s1, end1, s2, end2}) \
              : (void)0)

#endif
