/* node.h -- one person of the ring.
 *
 * The same node type serves in the ring, where `next` is the next seat, and
 * in the leaving list, where `next` is the person who left next. Every node
 * is a heap block of its own. */
#ifndef JOSEPHUS_NODE_H
#define JOSEPHUS_NODE_H

struct node {
    int num;             /* seat number, 1 to n, in the order of seating */
    int step;            /* the count that starts once this person has left */
    node *next;          /* ring: next seat; leaving list: next to leave */
};

node *NewNode();
[[noreturn]] void NoMemory();

#endif
