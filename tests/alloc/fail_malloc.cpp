/* fail_malloc.cpp -- preloaded into a program run to make its k-th heap
 * allocation fail.
 *
 * LD_PRELOAD=libfail_malloc.so with DSD_FAIL_ALLOC=k makes the k-th call
 * (counting from 1, from the start of main) of malloc, calloc or realloc
 * return null, the C library's own calls included; every other call goes to
 * the C library. With DSD_ALLOC_COUNT=path the number of calls made from the
 * start of main is written to that file when the program exits. Allocations
 * before main (the loader, the C library's start-up) are never failed, since
 * no program can handle those. glibc only. */
#include <dlfcn.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *block, size_t size);
}

/* ============================ Counting ==================================== */

static bool armed = false;      /* main has started: count and fail */
static long calls = 0;          /* allocation calls since main started */
static long fail_at = 0;        /* the call to fail, 0 for none */

/* Returns true when this allocation call is the one to fail. */
static bool ShouldFail() {
    if (!armed) return false;
    return ++calls == fail_at;
}

extern "C" void *malloc(size_t size) {
    return ShouldFail() ? nullptr : __libc_malloc(size);
}

extern "C" void *calloc(size_t count, size_t size) {
    return ShouldFail() ? nullptr : __libc_calloc(count, size);
}

extern "C" void *realloc(void *block, size_t size) {
    return ShouldFail() ? nullptr : __libc_realloc(block, size);
}

/* ============================ Start of main =============================== */

using MainFn = int (*)(int, char **, char **);
using StartFn = int (*)(MainFn, int, char **, void (*)(), void (*)(), void (*)(), void *);

static MainFn real_main = nullptr;
static const char *count_path = nullptr;

static void WriteCount() {
    armed = false;
    FILE *f = fopen(count_path, "w");
    if (f != nullptr) {
        fprintf(f, "%ld\n", calls);
        fclose(f);
    }
}

static int ArmedMain(int argc, char **argv, char **envp) {
    const char *k = getenv("DSD_FAIL_ALLOC");
    fail_at = k != nullptr ? atol(k) : 0;
    count_path = getenv("DSD_ALLOC_COUNT");
    if (count_path != nullptr) atexit(WriteCount);
    armed = true;
    return real_main(argc, argv, envp);
}

/* The C library's start routine, interposed to arm the counter at main. */
extern "C" int __libc_start_main(MainFn main, int argc, char **argv, void (*init)(),
                                 void (*fini)(), void (*rtld_fini)(), void *stack_end) {
    StartFn real_start = reinterpret_cast<StartFn>(dlsym(RTLD_NEXT, "__libc_start_main"));
    real_main = main;
    return real_start(ArmedMain, argc, argv, init, fini, rtld_fini, stack_end);
}
