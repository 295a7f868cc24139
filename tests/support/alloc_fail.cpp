/* alloc_fail.cpp -- the malloc hook behind alloc_fail.h. */
#include "alloc_fail.h"

#include <cstddef>

extern "C" void *__real_malloc(size_t size);

/* Allocations left before the failing one; -1 when none is to fail. */
static int countdown = -1;

void FailAllocationAfter(int k) { countdown = k; }

void AllowAllAllocations() { countdown = -1; }

extern "C" void *__wrap_malloc(size_t size) {
    if (countdown == 0) {
        countdown = -1;
        return nullptr;
    }
    if (countdown > 0) countdown--;
    return __real_malloc(size);
}
