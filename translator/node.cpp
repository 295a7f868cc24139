/* node.cpp -- making the nodes of the stack and the queue. */
#include "node.h"

#include <cstdlib>

LinkNode *NewNode(char data) {
    LinkNode *p = static_cast<LinkNode *>(std::malloc(sizeof(LinkNode)));
    if (p == nullptr) return nullptr;
    p->data = data;
    p->next = nullptr;
    return p;
}
