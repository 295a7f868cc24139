/* rewrite.cpp -- expanding the bracket groups of the sentence on the stack
 * and rewriting it with the rules through the queue. */
#include "rewrite.h"

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "messages.h"
#include "rulefile.h"
#include "step.h"

LinkStack L;
LinkQueue Q;

void Start() {
    InitStack(&L);
    InitQueue(&Q);
}

/* ============================ Bracket expansion =========================== */

/* The sentence's line in the messages: line N+1 of the file counted from
 * 0, so N+2 counted from 1. */
static long long SentenceLine() {
    return static_cast<long long>(N) + 2;
}

/* Pushes c on L. A failed push would silently drop a character of the
 * sentence, so it ends the run as a failed queue append does; a push past
 * MAXGROWN characters stops the run, naming the sentence's line. */
void PushChecked(char c) {
    if (L.count >= MAXGROWN) StopAtLine(RulePath, SentenceLine(), TEXT_OVERGROWN_LINE);
    if (Push(&L, c) != OK) std::exit(OVERFLOW);
}

/* Pops the top of L into *c. An empty L means that a "(" lacks its group:
 * the run is refused, naming the sentence's line. */
static void PopChecked(char *c) {
    if (Pop(&L, c) != OK) RefuseAtLine(RulePath, SentenceLine(), TEXT_UNCLOSED_LINE);
}

void TakeGroup(char *theta) {
    /* The group's characters are on L, the first one on top. */
    char delta;
    PopChecked(theta);                       STEP(STEP_POP, *theta);
    for (;;) {
        PopChecked(&delta);                  STEP(STEP_POP, delta);
        if (delta == ')') break;  /* the group's own ")": dropped */
        EnQueue(&Q, delta);                  STEP(STEP_ENQUEUE, delta);
    }
}

void PutGroup(char theta) {
    /* Pushing θδ1 θδ2 … θδn θ leaves θδnθ…θδ1θ from the top down. */
    char delta;
    while (!QueueEmpty(&Q)) {
        DeQueue(&Q, &delta);                 STEP(STEP_DEQUEUE, delta);
        PushChecked(theta);                  STEP(STEP_PUSH, theta);
        PushChecked(delta);                  STEP(STEP_PUSH, delta);
    }
    PushChecked(theta);                      STEP(STEP_PUSH, theta);
}

void PreDeal() {                             STEP_CALL;
    for (int k = W.length - 1; k >= 0; k--) {
        char c = W.ch[k];
        if (c != '(') {
            PushChecked(c);                  STEP(STEP_LAY, c);
            continue;
        }
        char theta;
        TakeGroup(&theta);                   STEP(STEP_TAKE, theta);
        PutGroup(theta);                     STEP(STEP_PUT, theta);
    }
}

/* ============================ Rule passes ================================= */

/* Rule R[i] comes from line i+1 of the file counted from 0: line i+2 in
 * the messages. */
static long long RuleLine(int i) {
    return static_cast<long long>(i) + 2;
}

/* Appends to Q what rule R[i] makes of c (its replacement when c is its
 * symbol, c itself otherwise) and returns the new sentence's new length,
 * `length` being its length before. Stops the run, naming the rule's line,
 * when the new sentence would grow past MAXGROWN characters. */
static std::size_t Rewrite(int i, char c, std::size_t length) {
    const Rule *r = &R[i];
    std::size_t added = (c == r->symbol) ? static_cast<std::size_t>(r->length) : 1;
    if (length + added > static_cast<std::size_t>(MAXGROWN)) {
        StopAtLine(RulePath, RuleLine(i), TEXT_OVERGROWN_LINE);
    }
    if (c != r->symbol) {
        EnQueue(&Q, c);                      STEP(STEP_KEEP, c);
    } else {
        for (int k = 0; k < r->length; k++) {
            EnQueue(&Q, r->replacement[k]);  STEP(STEP_REPLACE, r->replacement[k]);
        }
    }
    return length + added;
}

std::size_t RulePass(int i, std::size_t length) {  STEP_CALL;
    std::size_t made = 0;  /* characters of the sentence made by this pass */
    char c;
    if (i == 0) {
        /* Pass 0 moves the sentence from L into Q. */
        while (!StackEmpty(&L)) {
            Pop(&L, &c);                     STEP(STEP_READ, c);
            made = Rewrite(0, c, made);
        }
        return made;
    }
    /* A further pass takes exactly the characters the previous pass left at
     * the front of Q and appends their rewriting behind them; counting them,
     * rather than marking their end in the queue, lets the sentence hold any
     * byte. */
    for (; length > 0; length--) {
        DeQueue(&Q, &c);                     STEP(STEP_READ, c);
        made = Rewrite(i, c, made);
    }
    return made;
}

void MidDeal() {                             STEP_CALL;
    if (N < 1) return;
    std::size_t length = RulePass(0, 0);     STEP(STEP_PASS, 0);
    /* An empty sentence needs no more passes (and a file that ended before
     * its sentence may lack the rule records). */
    for (int i = 1; i < N && length > 0; i++) {
        length = RulePass(i, length);        STEP(STEP_PASS, 0);
    }
}
