/* rewrite.h -- the bracket expansion and the rule passes.
 *
 * The sentence moves through two containers: PreDeal lays it on the stack L,
 * last character first, expanding each bracket group on the way with the
 * help of the queue Q; MidDeal then moves it into Q, rewriting it with rule
 * 0, and sends it once through Q for each further rule. Translate
 * (words.h) empties Q into the output file. The steps of each (a byte laid
 * on L; each pop, append, removal and push of a group's two halves, and the
 * halves themselves; each character a pass reads and appends, and the end
 * of the pass) are told to the step hook (step.h). */
#ifndef TRANSLATOR_REWRITE_H
#define TRANSLATOR_REWRITE_H

#include <cstddef>

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

/* Pushes c on L. Stops the run (exit OVERFLOW) when the push finds no
 * memory, or, naming the sentence's line, when L already holds MAXGROWN
 * characters; L is then unchanged. */
void PushChecked(char c);

/* The first half of a group's expansion, at its "(": pops the group's first
 * character into *theta, then moves the characters after it, up to the
 * group's ")", from L into Q in reading order; the ")" is dropped. Refuses
 * the run (exit REFUSED, naming the sentence's line) when L runs out before
 * a first character or a ")" is found. Expects Q empty. */
void TakeGroup(char *theta);

/* The second half: empties Q, pushing theta and each character taken, then
 * theta once more, so that θδnθ…θδ1θ stands on L from the top down. Stops
 * the run as PushChecked does. */
void PutGroup(char theta);

/* Expands the sentence W onto L, first character on top, leaving Q empty.
 * A group (θδ1δ2…δn) becomes θδnθ…θδ1θ: the characters after its first one
 * in reverse order, with the first one before, between and after them.
 * Groups are expanded right to left, so an inner group is expanded before
 * the group around it; a ")" that no "(" claims stays. Refuses the run (exit
 * REFUSED, naming the sentence's line) when a "(" finds no character or no
 * ")" after it; stops it (exit OVERFLOW) when a push finds no memory or the
 * sentence grows past MAXGROWN. */
void PreDeal();

/* One rule pass: rewrites the sentence with rule R[i] into Q and returns
 * the new sentence's length. Pass 0 takes the sentence from L, emptying it
 * (`length` is not used); a pass i >= 1 takes the first `length`
 * characters of Q, the sentence the previous pass left there, and appends
 * their rewriting behind them. Stops the run (exit OVERFLOW) when memory
 * runs out, or, naming the rule's line, when the sentence would grow past
 * MAXGROWN. */
std::size_t RulePass(int i, std::size_t length);

/* Applies rules R[0] to R[N-1], one pass each, in file order: every
 * occurrence of a rule's symbol in the sentence that the previous pass left
 * is replaced by the rule's replacement. Leaves L empty and the result in Q,
 * first character at the front; does nothing when N is below 1. Stops the
 * run (exit OVERFLOW) when memory runs out, or, naming the rule's line, when
 * the sentence would grow past MAXGROWN. */
void MidDeal();

#endif
