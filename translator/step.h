/* step.h -- the step hook: how a run shows an onlooker each step it takes.
 *
 * A console run leaves StepHook null; a STEP line then costs one test of a
 * null pointer and does nothing else. The browser edition's step writer
 * (lab/translator/steps.cpp) sets it and runs the program's own
 * PreDeal, MidDeal and Translate: each STEP then calls the hook with the
 * kind of step, the character it moved, and where it was taken. A STEP
 * stands after the statement that took the step, at the end of its line
 * and in the right-hand column, so the code reads as it would without it;
 * so does STEP_CALL, at the end of the line that opens a function. So every
 * step the pictures show is one the program took, at the line the picture
 * marks. */
#ifndef TRANSLATOR_STEP_H
#define TRANSLATOR_STEP_H

/* A function on the call stack of a run: STEP_CALL at the opening of a
 * function puts one on the stack (StepTop), and it comes off again when the
 * function returns, so a hook sees the functions that led to its step.
 * Every function that calls on towards a step has one; the function that
 * holds the STEP is named by the step itself (its site), so it needs none,
 * and the hot loops of Rewrite and Translate pay nothing for it. */
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
 * compiler without that attribute (MSVC, for one) gets a STEP_CALL that
 * compiles to nothing: the program builds and runs the same, and a hook
 * then sees steps without their call stack (StepTop stays null). */
#if defined(__GNUC__) || defined(__clang__)
#define STEP_CALL \
    const StepCall step_call __attribute__((cleanup(StepReturn))) = {__func__, StepTop}; \
    StepTop = &step_call
#else
#define STEP_CALL static_cast<void>(0)
#endif
/* The site of the STEP that uses it. */
#define STEP_SITE StepSite{__FILE__, __LINE__, __func__, StepTop}

/* The steps of the expansion and of the rule passes; c is the character. */
enum StepKind {
    STEP_LAY,      /* PreDeal pushed c, a byte of the sentence, onto L */
    STEP_TAKE,     /* PreDeal took a group off L into Q; c is its first character θ */
    STEP_PUT,      /* PreDeal put the group back onto L; c is θ */
    STEP_POP,      /* a group's character c came off L (TakeGroup) */
    STEP_ENQUEUE,  /* it went into Q */
    STEP_DEQUEUE,  /* c came out of Q (PutGroup) */
    STEP_PUSH,     /* c went onto L */
    STEP_READ,     /* a rule pass took c, a character of the sentence before
                      it, off L (pass 0) or from the front of Q (RulePass) */
    STEP_KEEP,     /* a rule pass appended c to Q unchanged (Rewrite) */
    STEP_REPLACE,  /* a rule pass appended c, a character of the replacement */
    STEP_PASS,     /* a rule pass ended (MidDeal); c is 0 */
    STEP_WORD      /* Translate took c from the front of Q and put its word
                      into the output (WordFor) */
};

/* The hook: null in the console program; a step writer sets it. */
inline void (*StepHook)(StepKind kind, const StepSite &site, char c) = nullptr;

/* Tells the hook, if one is set, of a step of this kind at this line. */
#define STEP(kind, c) (StepHook ? StepHook(kind, STEP_SITE, c) : (void)0)

#endif
