/* alloc.cpp -- node allocation that never returns null. */
#include "alloc.h"

#include <cstdio>
#include <cstdlib>

#include "status.h"
#include "texts.h"

/* Return a new heap block of size bytes (uninitialised). When malloc fails,
 * print the line TEXT_NO_MEMORY ("内存不足，...") on stderr and end the
 * program with exit status OVERFLOW (-1); this never returns null. */
void *AllocNode(size_t size) {
    void *block = malloc(size);
    if (block == nullptr) {
        fflush(stdout);
        WRITE_TEXT(stderr, TEXT_NO_MEMORY);
        exit(OVERFLOW);
    }
    return block;
}
