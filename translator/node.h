/* node.h -- the heap node shared by the translator's stack and queue.
 *
 * Both containers are singly linked chains of LinkNode that begin with a
 * head node holding no character. Every node is a heap block of its own,
 * made by NewNode; an element's node is given back with std::free when its
 * character is taken out, a head node stays until the program ends. */
#ifndef TRANSLATOR_NODE_H
#define TRANSLATOR_NODE_H

struct LinkNode {
    char data;       /* the stored character; any byte value */
    LinkNode *next;  /* the following node; null at the end of the chain */
};

/* Makes a node holding `data` with a null `next`. Returns null when memory
 * is exhausted; nothing is allocated then. */
LinkNode *NewNode(char data);

#endif
