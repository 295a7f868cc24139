/* program.h -- one whole run: parameters, ring, elimination, output. */
#ifndef JOSEPHUS_PROGRAM_H
#define JOSEPHUS_PROGRAM_H

#include <cstdio>

int RunJosephus(int argc, char **argv, FILE *in);

#endif
