/* elimination.h -- counting people out of the ring. */
#ifndef JOSEPHUS_ELIMINATION_H
#define JOSEPHUS_ELIMINATION_H

#include "node.h"

void Josephus(node *const &ring, node *&leaving, const int &n, int &m);

#endif
