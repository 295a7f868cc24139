/* output.h -- writing the leaving order and releasing the nodes. */
#ifndef JOSEPHUS_OUTPUT_H
#define JOSEPHUS_OUTPUT_H

#include "node.h"

int Out(node *leaving);

#endif
