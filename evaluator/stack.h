/* stack.h -- the operator stack (characters) and the operand stack (ints).
 *
 * Both are singly linked stacks with a permanent head node: `top` is the head
 * node, the top element hangs directly behind it, and `base` is the bottom
 * element's node (the head node itself while the stack is empty). The two
 * types are one design with a different element type; each has its own set
 * of operations, named with its suffix. */
#ifndef EVALUATOR_STACK_H
#define EVALUATOR_STACK_H

/* ============================ Operator stack ============================== */

struct SqNode {
    char data;           /* the element: one operator character */
    SqNode *next;        /* link toward the bottom; null at the bottom node */
};

struct SqStack {
    SqNode *base;        /* bottom element's node; the head node when empty */
    SqNode *top;         /* head node: holds no element, next is the top one */
    int count;           /* number of elements */
};

int InitSqStack(SqStack *S);
int PushSq(SqStack *S, char e);
int PopSq(SqStack *S, char *e);
int SqStackEmpty(SqStack *S);
int GetSqTop(SqStack *S, char *e);
int PrintSq(SqStack *S);

/* ============================ Operand stack =============================== */

struct TqNode {
    int data;            /* the element: one 32-bit operand */
    TqNode *next;        /* link toward the bottom; null at the bottom node */
};

struct TqStack {
    TqNode *base;        /* bottom element's node; the head node when empty */
    TqNode *top;         /* head node: holds no element, next is the top one */
    int count;           /* number of elements */
};

int InitTqStack(TqStack *S);
int PushTq(TqStack *S, int e);
int PopTq(TqStack *S, int *e);
int TqStackEmpty(TqStack *S);
int PrintTq(TqStack *S);

/* The print operations collect the elements into a local array of this many
 * elements; a deeper stack is not printed. */
constexpr int PRINT_CAPACITY = 100;

#endif
