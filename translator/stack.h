/* stack.h -- the linked character stack.
 *
 * The chain runs from the head node (`top`, fixed for the life of the stack)
 * through the top element down to the bottom element (`base`), whose `next`
 * is null. A push links its node directly behind the head node, so no
 * operation ever walks the chain. The stack owns its nodes; it is never
 * destroyed, so the head node and whatever is left stay until the program
 * ends. */
#ifndef TRANSLATOR_STACK_H
#define TRANSLATOR_STACK_H

#include "node.h"
#include "status.h"

struct LinkStack {
    LinkNode *base;  /* the bottom element; the head node when empty */
    LinkNode *top;   /* the head node; the top element is the node behind it */
    int count;       /* number of elements */
};

/* Makes the head node and sets S empty; returns OK. When the head node
 * cannot be allocated the program ends with exit status OVERFLOW and no
 * message. */
int InitStack(LinkStack *S);

/* Pushes e. Returns ERROR and leaves S unchanged when no node can be
 * allocated; otherwise returns OK. */
int Push(LinkStack *S, char e);

/* Pops the top element into *e and returns OK. On an empty stack returns
 * ERROR and leaves both S and *e unchanged. */
int Pop(LinkStack *S, char *e);

/* Returns TRUE when S holds no element, FALSE otherwise. */
int StackEmpty(const LinkStack *S);

#endif
