/* queue.h -- the linked character queue.
 *
 * The chain runs from the head node (`front`, fixed for the life of the
 * queue) through the first element to the last (`rear`), whose `next` is
 * null; the queue is empty exactly when `front` equals `rear`. The queue owns
 * its nodes; it is never destroyed. Unlike Push, which returns ERROR and
 * leaves the stack as it was, a failed append ends the program (exit
 * OVERFLOW, no message): its caller could not go on with a character missing
 * from the middle of the sentence. */
#ifndef TRANSLATOR_QUEUE_H
#define TRANSLATOR_QUEUE_H

#include "node.h"
#include "status.h"

struct LinkQueue {
    LinkNode *front;  /* the head node; the first element is the node behind it */
    LinkNode *rear;   /* the last element; the head node when empty */
};

/* Makes the head node and sets Q empty; returns OK. When the head node
 * cannot be allocated the program ends with exit status OVERFLOW and no
 * message. */
int InitQueue(LinkQueue *Q);

/* Appends e behind the last element; returns OK. When no node can be
 * allocated the program ends with exit status OVERFLOW and no message. */
int EnQueue(LinkQueue *Q, char e);

/* Takes the first element into *e and returns OK. On an empty queue returns
 * ERROR and leaves both Q and *e unchanged. */
int DeQueue(LinkQueue *Q, char *e);

/* Returns the number of elements, counted by walking the chain. */
int QueueLength(const LinkQueue *Q);

/* Returns TRUE when Q holds no element, FALSE otherwise. */
int QueueEmpty(const LinkQueue *Q);

#endif
