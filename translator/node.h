/* node.h -- the heap node shared by the translator's stack and queue.
 *
 * Both containers are singly linked chains of LinkNode that begin with a
 * head node holding no character. Every node is a heap block of its own: it
 * is made by NewNode and given back with std::free when its character is
 * taken out. */
#ifndef TRANSLATOR_NODE_H
#define TRANSLATOR_NODE_H

/* Status values: container operations return OK or ERROR, emptiness tests
 * TRUE or FALSE; exhausted memory ends the program with OVERFLOW (-1) as
 * its exit status. */
constexpr int TRUE = 1;
constexpr int FALSE = 0;
constexpr int OK = 1;
constexpr int ERROR = 0;
constexpr int OVERFLOW = -1;

struct LinkNode {
    char data;       /* the stored character; any byte value */
    LinkNode *next;  /* the following node; null at the end of the chain */
};

/* Makes a node holding `data` with a null `next`. Returns null when memory
 * is exhausted; nothing is allocated then. */
LinkNode *NewNode(char data);

#endif
