/* alloc.h -- node allocation that never returns null.
 *
 * Every tree node of the workbench is its own heap block taken with malloc.
 * The workbench cannot go on without its nodes, so running out of memory
 * ends the program. */
#ifndef BITREE_ALLOC_H
#define BITREE_ALLOC_H

#include <cstddef>

void *AllocNode(size_t size);

#endif
