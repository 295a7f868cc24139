/* main.cpp -- josephus: people seated in a ring, each carrying a step value,
 * are counted out one by one; their seat numbers, in leaving order, go to
 * "out.txt".
 *
 *   josephus n m s1 ... sn     parameters on the command line
 *   josephus                   parameters from the keyboard, after a prompt
 */
#include <cstdio>

#include "program.h"

int main(int argc, char **argv) {
    return RunJosephus(argc, argv, stdin);
}
