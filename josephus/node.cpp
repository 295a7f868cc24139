/* node.cpp -- allocation of nodes.
 *
 * Every node of the program is taken here, so the one check for exhausted
 * memory covers them all. */
#include "node.h"

#include <cstdio>
#include <cstdlib>

#include "messages.h"
#include "status.h"

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
