/* queue.cpp -- the linked character queue: a head node with the elements
 * behind it in the order they were appended. */
#include "queue.h"

#include <cstdlib>

int InitQueue(LinkQueue *Q) {
    LinkNode *head = NewNode('\0');
    if (head == nullptr) std::exit(OVERFLOW);
    Q->front = head;
    Q->rear = head;
    return OK;
}

int EnQueue(LinkQueue *Q, char e) {
    LinkNode *p = NewNode(e);  /* its `next` is already null */
    if (p == nullptr) std::exit(OVERFLOW);
    Q->rear->next = p;
    Q->rear = p;
    return OK;
}

int DeQueue(LinkQueue *Q, char *e) {
    if (Q->front == Q->rear) return ERROR;
    LinkNode *p = Q->front->next;
    *e = p->data;
    Q->front->next = p->next;
    if (Q->rear == p) Q->rear = Q->front;  /* the last element: now empty */
    std::free(p);
    return OK;
}

int QueueLength(const LinkQueue *Q) {
    int length = 0;
    for (const LinkNode *p = Q->front->next; p != nullptr; p = p->next) length++;
    return length;
}

int QueueEmpty(const LinkQueue *Q) {
    return Q->front == Q->rear ? TRUE : FALSE;
}
