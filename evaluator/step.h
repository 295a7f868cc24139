/* step.h -- the step hook: how a run shows an onlooker each step it takes.
 *
 * A console run leaves StepHook null; a STEP line then costs one test of a
 * null pointer and does nothing else. The browser edition's step writer
 * (lab/evaluator/steps.cpp) sets it and runs the program's own Run:
 * each row of the trace table then calls the hook once, from the STEP at
 * the end of the line of the statement that did the row's action, after
 * that statement: with the kind of action, where it was taken, and what
 * the statement knew of it (the top of OPTR it compared, the relation
 * PriorityCom found, what it pushed, popped or computed). The stacks the
 * hook then sees are the stacks after the action. A row that ends the run
 * with an error (a division by zero inside an operate row too) is told
 * once, from the line that writes the error's text. So every step the
 * picture marks is one the program took, at the line it took it. */
#ifndef EVALUATOR_STEP_H
#define EVALUATOR_STEP_H

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
 * has StepReturn called with it on every way out of the function. It
 * stands at the end of the line of the function's opening brace.
 * A compiler without that attribute (MSVC, for one) builds the program all
 * the same: there STEP_CALL is nothing, no frame is kept, and a hook sees
 * only the function of the step itself. */
#if defined(__GNUC__) || defined(__clang__)
#define STEP_CALL \
    const StepCall step_call __attribute__((cleanup(StepReturn))) = {__func__, StepTop}; \
    StepTop = &step_call
#else
#define STEP_CALL static_cast<void>(0)
#endif
/* The site of the STEP that uses it. */
#define STEP_SITE StepSite{__FILE__, __LINE__, __func__, StepTop}

/* The actions of the trace table's rows, and what the statement that did
 * each tells with it: top, the top of OPTR it compared the character read
 * (C) with; relation, what PriorityCom found of them ('<', '=', '>');
 * op, a and b as each kind says. A field a kind does not name is 0. */
enum StepKind {
    STEP_PUSH_OPND,     /* a number pushed onto OPND: a, the number */
    STEP_PUSH_OPTR,     /* C pushed onto OPTR: top, relation '<', op = C */
    STEP_CANCEL,        /* the '(' popped from OPTR against its ')': top, relation '=', op '(' */
    STEP_OPERATE,       /* op popped from OPTR, b and then a from OPND, a op b pushed
                           onto OPND: top, relation '>', op, a, b */
    STEP_RETURN,        /* '#' met '#': the value a popped from OPND */
    STEP_SYNTAX_ERROR,  /* the run ends with the syntax error: where the relation has no
                           cell, top and op = C; where operands are short or left over, nothing */
    STEP_DIVIDE_ERROR   /* the run ends with the division a op b by zero */
};

/* The hook: null in the console program; a step writer sets it. */
inline void (*StepHook)(StepKind kind, const StepSite &site, char top, char relation, char op,
                        int a, int b) = nullptr;

/* Tells the hook, if one is set, of a row of this kind at this line. */
#define STEP(kind, top, relation, op, a, b) \
    (StepHook ? StepHook(kind, STEP_SITE, top, relation, op, a, b) : (void)0)

#endif
