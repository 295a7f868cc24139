/* ring.cpp -- building the ring.
 *
 * The ring is a circular singly linked list without a size field or a
 * sentinel: the ring pointer designates person 1, person k links to person
 * k+1 and person n links back to person 1 (a ring of one links to itself). */
#include "ring.h"

/* Seat persons 1 to n in a new ring and give person k the step value
 * steps[k-1]; ring receives person 1's node. Works in two passes: the first
 * allocates and links the nodes, the second hands out the step values.
 * Sets ring to null when n is below 1. Ends the program (see NewNode) when
 * memory runs out. */
void Creat(node *&ring, int n, const int *steps) {
    ring = nullptr;
    if (n < 1) return;

    /* Pass 1: seat numbers and links, then close the circle. */
    node *last = nullptr;
    for (int k = 1; k <= n; k++) {
        node *p = NewNode();
        p->num = k;
        if (last == nullptr)
            ring = p;
        else
            last->next = p;
        last = p;
    }
    last->next = ring;

    /* Pass 2: walk the ring once from person 1, handing out step values. */
    node *p = ring;
    for (int k = 0; k < n; k++) {
        p->step = steps[k];
        p = p->next;
    }
}
