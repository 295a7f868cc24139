/* ring.h -- the ring of people: its node, seating, the elimination, and the
 * leaving order written to "out.txt".
 *
 * The ring is a circular singly linked list without a size field or a
 * sentinel: the ring pointer designates person 1, person k links to person
 * k+1 and person n links back to person 1 (a ring of one links to itself).
 * The elimination relinks its nodes, in leaving order, into the leaving
 * list, which starts with a head node of its own; Out writes that list and
 * frees it. The same node type serves in both lists. Josephus reports
 * each turn's count and each seat it unlinks to the step hook (step.h). */
#ifndef JOSEPHUS_RING_H
#define JOSEPHUS_RING_H

struct node {
    int num;             /* seat number, 1 to n, in the order of seating */
    int step;            /* the count that starts once this person has left */
    node *next;          /* ring: next seat; leaving list: next to leave */
};

node *NewNode();
[[noreturn]] void NoMemory();
void Creat(node *&ring, int n, const int *steps);
void Josephus(node *const &ring, node *&leaving, const int &n, int &m);
int CountMoves(int m, int size);
node *CountOut(node *&current, node *&before, int moves);
int Out(node *leaving);

#endif
