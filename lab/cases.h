/* cases.h -- new exercises on demand: a random input that a program
 * accepts, made from a size and a seed, so that one link (ex=<size>-<seed>)
 * gives every student the same exercise, on the page, and the same case in
 * the grading kit.
 *
 * The maker knows the programs' input formats, never their techniques: it
 * writes an expression, a preorder/inorder pair of one random tree with two
 * prefix expressions, a rule file, a ring with its step values. Each input
 * is worth doing by hand and stays within what the page draws in full;
 * each program's maker says in its first comment what it writes.
 *
 * The numbers come from mulberry32 on 32-bit integers, the same sequence on
 * every machine. Each program's maker has its own name (lab/<program>/
 * cases.cpp, in the library <program>_lab), so that one tool can link
 * them all. A program without one has no new exercises: the page says so,
 * and the grading kit uses its examples alone. */
#ifndef LAB_CASES_H
#define LAB_CASES_H

#include <stddef.h>
#include <stdint.h>

#include "programs.gen.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The sizes, as the page's bar names them (小, 中, 大) and links spell
 * them (small, medium, large). */
enum {
    CASE_SMALL = 0,
    CASE_MEDIUM = 1,
    CASE_LARGE = 2
};

/* The room for one input: the largest is a few dozen bytes. */
#define CASE_BYTES 256

/* One exercise: its input as the program's tab loads it (the input file,
 * the session typed line by line, or the command-line words separated by
 * blanks), ASCII, not NUL-terminated (a
 * NUL follows for convenience). */
struct Case {
    size_t length;
    unsigned char bytes[CASE_BYTES];
};

/* Make<Name>Case(size, seed, out), one for each program that has a maker
 * (lab/<name>/cases.cpp; programs.gen.h, from the registry, lists them):
 * writes the exercise of that size (CASE_SMALL, CASE_MEDIUM or CASE_LARGE)
 * and seed into *out and returns 1; returns 0, *out empty, for any other
 * size. Every seed from 0 to 4294967295 is taken; the page makes them from
 * 1 to 2147483647, and links carry them in decimal. The same size and seed
 * give the same bytes on every machine, every time. */
#define DSD_PROGRAM(name, Name, output, input, input_file, compares, makes) \
    DSD_WHEN_##makes(int Make##Name##Case(int size, uint32_t seed, struct Case *out);)
DSD_EACH_PROGRAM
#undef DSD_PROGRAM

/* CaseSizeNamed(name): returns the size a link spells ("small", "medium",
 * "large"), or -1 for any other name. */
int CaseSizeNamed(const char *name);

#ifdef __cplusplus
}
#endif

#endif
