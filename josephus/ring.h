/* ring.h -- seating n people in a circular linked list. */
#ifndef JOSEPHUS_RING_H
#define JOSEPHUS_RING_H

#include "node.h"

void Creat(node *&ring, int n, const int *steps);

#endif
