/* elimination.cpp -- the elimination: people leave the ring one by one.
 *
 * Counting starts with person 1. The person on whom a count of m ends leaves
 * the ring; that person's step value becomes the next count, which starts
 * with the person after the one who left. The people who leave are not
 * copied: their nodes are relinked, in leaving order, into the leaving list,
 * which starts with a head node of its own. */
#include "elimination.h"

/* Run the elimination on the ring of n people that starts at ring (person
 * 1), with m as the first count. leaving receives the head of the leaving
 * list, which then owns all n nodes of the ring; the last node's next is
 * null. m ends up holding the step value of the last person to leave. ring
 * and n are only read. Ends the program (see NewNode) when the head node
 * cannot be allocated. */
void Josephus(node *const &ring, node *&leaving, const int &n, int &m) {
    leaving = NewNode();           /* the head: its num and step stay unset */
    node *tail = leaving;

    /* Stand on person 1; the person before it is person n. */
    node *current = ring;
    node *before = ring;
    for (int k = 1; k < n; k++) before = before->next;

    for (int size = n; size > 0; size--) {     /* size: people still seated */
        /* Count: move m-1 times. A count of 1 or less does not move. Only
         * the remainder of m-1 by the number still seated is walked, since
         * each whole round of the ring lands on the same person again. */
        int moves = m > 1 ? (m - 1) % size : 0;
        for (int i = 0; i < moves; i++) {
            before = current;
            current = current->next;
        }

        /* The person counted out leaves; the count restarts after it. */
        node *leaver = current;
        before->next = leaver->next;
        current = leaver->next;

        tail->next = leaver;         /* join the end of the leaving list */
        tail = leaver;
        m = leaver->step;            /* the next turn counts this far */
    }
    tail->next = nullptr;
}
