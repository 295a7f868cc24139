/* stack.cpp -- the operator and operand stacks of the evaluator.
 *
 * A push links a new heap node directly behind the head node; a pop frees
 * the node it removes. The head node is never freed: the stacks live for the
 * whole run. The print operations write a stack bottom first into the
 * result file, as the second and third columns of a trace row. */
#include "stack.h"

#include <cstdlib>

#include "state.h"
#include "status.h"

/* ============================ Operator stack ============================== */

/* Make S an empty stack with a fresh head node. Ends the program with exit
 * status OVERFLOW when the head node cannot be allocated. Returns OK. */
int InitSqStack(SqStack *S) {
    SqNode *head = static_cast<SqNode *>(malloc(sizeof(SqNode)));
    if (head == nullptr) exit(OVERFLOW);
    head->next = nullptr;
    S->base = S->top = head;
    S->count = 0;
    return OK;
}

/* Push e. Returns ERROR, leaving S unchanged, when no node can be allocated;
 * otherwise OK. */
int PushSq(SqStack *S, char e) {
    SqNode *node = static_cast<SqNode *>(malloc(sizeof(SqNode)));
    if (node == nullptr) return ERROR;
    node->data = e;
    node->next = S->top->next;
    S->top->next = node;
    S->count++;
    if (S->count == 1) S->base = node;
    return OK;
}

/* Pop the top element into *e. Returns ERROR, leaving *e unchanged, when S
 * is empty; otherwise OK. Popping the bottom element makes base the head
 * node again. */
int PopSq(SqStack *S, char *e) {
    if (S->base == S->top) return ERROR;
    SqNode *node = S->top->next;
    *e = node->data;
    if (node == S->base) {
        S->base = S->top;
        S->top->next = nullptr;
    } else {
        S->top->next = node->next;
    }
    free(node);
    S->count--;
    return OK;
}

/* Returns TRUE when S holds no element, else FALSE. */
int SqStackEmpty(SqStack *S) {
    return (S->top == S->base && S->count == 0) ? TRUE : FALSE;
}

/* Copy the top element into *e. Returns ERROR, leaving *e unchanged, when S
 * is empty; otherwise OK. */
int GetSqTop(SqStack *S, char *e) {
    if (S->top->next == nullptr) return ERROR;
    *e = S->top->next->data;
    return OK;
}

/* Write the elements bottom first to fp2, each followed by a space, then a
 * tab. Returns ERROR, writing nothing, when S holds more than PRINT_CAPACITY
 * elements; otherwise OK. S is left untouched. */
int PrintSq(SqStack *S) {
    char elem[PRINT_CAPACITY];
    if (S->count > PRINT_CAPACITY) return ERROR;
    SqNode *node = S->top->next;
    for (int k = 0; k < S->count; k++, node = node->next) elem[S->count - 1 - k] = node->data;
    for (int i = 0; i < S->count; i++) fprintf(fp2, "%c ", elem[i]);
    fputc('\t', fp2);
    return OK;
}

/* ============================ Operand stack =============================== */

/* Make S an empty stack with a fresh head node. Ends the program with exit
 * status OVERFLOW when the head node cannot be allocated. Returns OK. */
int InitTqStack(TqStack *S) {
    TqNode *head = static_cast<TqNode *>(malloc(sizeof(TqNode)));
    if (head == nullptr) exit(OVERFLOW);
    head->next = nullptr;
    S->base = S->top = head;
    S->count = 0;
    return OK;
}

/* Push e. Returns ERROR, leaving S unchanged, when no node can be allocated;
 * otherwise OK. */
int PushTq(TqStack *S, int e) {
    TqNode *node = static_cast<TqNode *>(malloc(sizeof(TqNode)));
    if (node == nullptr) return ERROR;
    node->data = e;
    node->next = S->top->next;
    S->top->next = node;
    S->count++;
    if (S->count == 1) S->base = node;
    return OK;
}

/* Pop the top element into *e. Returns ERROR, leaving *e unchanged, when S
 * is empty; otherwise OK. Popping the bottom element makes base the head
 * node again. */
int PopTq(TqStack *S, int *e) {
    if (S->base == S->top) return ERROR;
    TqNode *node = S->top->next;
    *e = node->data;
    if (node == S->base) {
        S->base = S->top;
        S->top->next = nullptr;
    } else {
        S->top->next = node->next;
    }
    free(node);
    S->count--;
    return OK;
}

/* Returns TRUE when S holds no element, else FALSE. */
int TqStackEmpty(TqStack *S) {
    return (S->top == S->base && S->count == 0) ? TRUE : FALSE;
}

/* Write the elements bottom first to fp2 in decimal, each followed by a
 * space, then a tab. Returns ERROR, writing nothing, when S holds more than
 * PRINT_CAPACITY elements; otherwise OK. S is left untouched. */
int PrintTq(TqStack *S) {
    int elem[PRINT_CAPACITY];
    if (S->count > PRINT_CAPACITY) return ERROR;
    TqNode *node = S->top->next;
    for (int k = 0; k < S->count; k++, node = node->next) elem[S->count - 1 - k] = node->data;
    for (int i = 0; i < S->count; i++) fprintf(fp2, "%d ", elem[i]);
    fputc('\t', fp2);
    return OK;
}
