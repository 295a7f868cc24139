/* stack.cpp -- the linked character stack: a head node with the elements
 * behind it, the most recently pushed first. */
#include "stack.h"

#include <cstdlib>

int InitStack(LinkStack *S) {
    LinkNode *head = NewNode('\0');
    if (head == nullptr) std::exit(OVERFLOW);
    S->base = head;
    S->top = head;
    S->count = 0;
    return OK;
}

int Push(LinkStack *S, char e) {
    LinkNode *p = NewNode(e);
    if (p == nullptr) return ERROR;
    p->next = S->top->next;  /* in front of the former top element */
    S->top->next = p;
    S->count++;
    if (S->count == 1) S->base = p;  /* the first element is also the bottom */
    return OK;
}

int Pop(LinkStack *S, char *e) {
    if (S->base == S->top) return ERROR;
    LinkNode *p = S->top->next;
    *e = p->data;
    if (S->base == p) {  /* the last element: back to the empty state */
        S->base = S->top;
        S->top->next = nullptr;
    } else {
        S->top->next = p->next;
    }
    std::free(p);
    S->count--;
    return OK;
}

int StackEmpty(const LinkStack *S) {
    return (S->base == S->top && S->count == 0) ? TRUE : FALSE;
}
