/* rewrite.h -- the bracket expansion and the rule passes.
 *
 * The sentence moves through two containers: PreDeal lays it on the stack L,
 * last character first, expanding each bracket group on the way with the
 * help of the queue Q; MidDeal then moves it into Q, rewriting it with rule
 * 0, and sends it once through Q for each further rule. Translate
 * (words.h) empties Q into the output file. */
#ifndef TRANSLATOR_REWRITE_H
#define TRANSLATOR_REWRITE_H

#include "queue.h"
#include "stack.h"

/* Longest sentence, in characters, that the expansion or a rule pass may
 * make. A few rules that each multiply a symbol would otherwise fill the
 * machine's memory. */
constexpr long MAXGROWN = 10000000;

extern LinkStack L;  /* the stack of the expansion */
extern LinkQueue Q;  /* the queue of the expansion, the rule passes and the output */

/* Initialises L, then Q; exhausted memory ends the program (exit OVERFLOW). */
void Start();

/* Expands the sentence W onto L, first character on top, leaving Q empty.
 * A group (θδ1δ2…δn) becomes θδnθ…θδ1θ: the characters after its first one
 * in reverse order, with the first one before, between and after them.
 * Groups are expanded right to left, so an inner group is expanded before
 * the group around it; a ")" that no "(" claims stays. Refuses the run (exit
 * REFUSED, naming the sentence's line) when a "(" finds no character or no
 * ")" after it; stops it (exit OVERFLOW) when a push finds no memory or the
 * sentence grows past MAXGROWN. */
void PreDeal();

/* Applies rules R[0] to R[N-1], one pass each, in file order: every
 * occurrence of a rule's symbol in the sentence that the previous pass left
 * is replaced by the rule's replacement. Leaves L empty and the result in Q,
 * first character at the front; does nothing when N is below 1. Stops the
 * run (exit OVERFLOW) when memory runs out, or, naming the rule's line, when
 * the sentence would grow past MAXGROWN. */
void MidDeal();

#endif
