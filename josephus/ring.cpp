/* ring.cpp -- the life of the ring's nodes, in the order of a run: each is
 * allocated and seated (Creat), counted out of the ring into the leaving
 * list (Josephus), written to "out.txt" and freed (Out). */
#include "ring.h"

#include <cstdio>
#include <cstdlib>

#include "messages.h"
#include "status.h"
#include "step.h"

/* ============================ Nodes ======================================= */

/* Every node of the program is taken here, so the one check for exhausted
 * memory covers them all. */

/* Return a new node with its fields unset. Ends the program with exit
 * status OVERFLOW, after a message on stderr, when none can be allocated. */
node *NewNode() {
    node *p = static_cast<node *>(malloc(sizeof(node)));
    if (p == nullptr) NoMemory();
    return p;
}

/* Report exhausted memory on stderr and end the program with OVERFLOW. */
void NoMemory() {
    fputs(TEXT_NO_MEMORY, stderr);
    exit(OVERFLOW);
}

/* ============================ Seating ===================================== */

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

/* ============================ Elimination ================================= */

/* Counting starts with person 1. The person on whom a count of m ends leaves
 * the ring; that person's step value becomes the next count, which starts
 * with the person after the one who left. The people who leave are not
 * copied: their nodes are relinked, in leaving order, into the leaving
 * list. */

/* The seats a count of m moves among size people (size >= 1): m-1, as the
 * person who counts 1 does not move, but only its remainder by size, since
 * each whole round of the ring lands on the same person again; a count of
 * 1 or less moves not at all. */
int CountMoves(int m, int size) {
    return m > 1 ? (m - 1) % size : 0;
}

/* One turn of the elimination: move the count `moves` seats on from
 * current, the person who counts 1 (before is the person before current;
 * each seat moved away from becomes before), then unlink the person the
 * count ends on from the ring and return that person. current becomes the
 * person after the one who left; before stays. The returned node's next
 * still leads into the ring. */
node *CountOut(node *&current, node *&before, int moves) {
    for (int i = 0; i < moves; i++) {
        before = current;
        current = current->next;             STEP(STEP_PASS, current, i + 2, moves);
    }
    node *leaver = current;
    before->next = leaver->next;             STEP(STEP_LEAVE, leaver, 0, 0);
    current = leaver->next;
    return leaver;
}

/* Run the elimination on the ring of n people that starts at ring (person
 * 1), with m as the first count. leaving receives the head of the leaving
 * list; every node of the ring is relinked into it, so afterwards the list
 * owns all n nodes, its last node's next is null, and the ring is gone:
 * ring still points at person 1's node, which now belongs to the list. The
 * pointer ring and n are left unchanged. m ends up holding the step value
 * of the last person to leave. Ends the program (see NewNode) when the
 * head node cannot be allocated. */
void Josephus(node *const &ring, node *&leaving, const int &n, int &m) {
    /* The head of the leaving list: its num and step stay unset. */
    leaving = NewNode();                     STEP_CALL;
    node *tail = leaving;

    /* Stand on person 1; the person before it is person n. */
    node *current = ring;
    node *before = ring;
    for (int k = 1; k < n; k++) before = before->next;

    for (int size = n; size > 0; size--) {     /* size: people still seated */
        int moves = CountMoves(m, size);         STEP(STEP_COUNT, current, m, moves);
        node *leaver = CountOut(current, before, moves);
        tail->next = leaver;         /* join the end of the leaving list */
        tail = leaver;
        m = leaver->step;            /* the next turn counts this far */
    }
    tail->next = nullptr;
}

/* ============================ Output ====================================== */

/* The file holds each seat number followed by one space, in leaving order,
 * and nothing else: no line break, not even after the last number. */

/* Write the seat numbers of the leaving list that starts with the head node
 * leaving to "out.txt" in the current directory (created, or emptied when it
 * exists), then free every node of the list, head included. When the file
 * cannot be opened or written, prints "error" on stdout and returns ERROR
 * (the list is freed all the same); otherwise returns OK. */
int Out(node *leaving) {
    int status = OK;
    FILE *fp = fopen("out.txt", "w+");
    if (fp == nullptr) {
        status = ERROR;
    } else {
        for (node *p = leaving->next; p != nullptr; p = p->next)
            if (fprintf(fp, "%d ", p->num) < 0) status = ERROR;
        /* Closing flushes the buffer, so a full disk shows up here. */
        if (fclose(fp) != 0) status = ERROR;
    }
    if (status != OK) fputs(TEXT_OUTPUT_ERROR, stdout);

    /* Free the people after the head, reading each link before its node
     * goes, and the head last. */
    node *p = leaving->next;
    while (p != nullptr) {
        node *next = p->next;
        free(p);
        p = next;
    }
    free(leaving);
    return status;
}
