/* alloc_fail.h -- make a chosen malloc call of the code under test fail.
 *
 * Unit test binaries are linked with -Wl,--wrap=malloc, so every malloc call
 * of the programs' own code goes through this hook first. */
#ifndef TESTS_ALLOC_FAIL_H
#define TESTS_ALLOC_FAIL_H

/* Let the next k allocations succeed and make the one after them return
 * null; later allocations succeed again. k = 0 fails the very next one. */
void FailAllocationAfter(int k);

/* Cancel a pending failure. */
void AllowAllAllocations();

#endif
