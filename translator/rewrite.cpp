/* rewrite.cpp -- expanding the bracket groups of the sentence on the stack
 * and rewriting it with the rules through the queue. */
#include "rewrite.h"

#include <cstddef>
#include <cstdlib>

#include "messages.h"
#include "rulefile.h"

LinkStack L;
LinkQueue Q;

void Start() {
    InitStack(&L);
    InitQueue(&Q);
}

/* ============================ Bracket expansion =========================== */

/* Pushes c on L. A failed push would silently drop a character of the
 * sentence, so it ends the run as a failed queue append does. */
static void PushChecked(char c) {
    if (L.count >= MAXGROWN) StopOutOfMemory(TEXT_OVERGROWN);
    if (Push(&L, c) != OK) std::exit(OVERFLOW);
}

void PreDeal() {
    for (int k = W.length - 1; k >= 0; k--) {
        char c = W.ch[k];
        if (c != '(') {
            PushChecked(c);
            continue;
        }
        /* The group's characters are on L, the first one on top. */
        char theta, delta;
        if (Pop(&L, &theta) != OK) Refuse(TEXT_UNCLOSED);
        for (;;) {
            if (Pop(&L, &delta) != OK) Refuse(TEXT_UNCLOSED);
            if (delta == ')') break;  /* the group's own ")": dropped */
            EnQueue(&Q, delta);
        }
        /* Pushing θδ1 θδ2 … θδn θ leaves θδnθ…θδ1θ from the top down. */
        while (!QueueEmpty(&Q)) {
            DeQueue(&Q, &delta);
            PushChecked(theta);
            PushChecked(delta);
        }
        PushChecked(theta);
    }
}

/* ============================ Rule passes ================================= */

/* Appends c to Q as character number `length` of the new sentence and
 * returns the new length. */
static std::size_t Append(char c, std::size_t length) {
    if (length >= static_cast<std::size_t>(MAXGROWN)) StopOutOfMemory(TEXT_OVERGROWN);
    EnQueue(&Q, c);
    return length + 1;
}

/* Appends to Q what rule r makes of c (its replacement when c is its
 * symbol, c itself otherwise) and returns the new sentence's new length. */
static std::size_t Rewrite(const Rule *r, char c, std::size_t length) {
    if (c != r->symbol) return Append(c, length);
    for (int k = 0; k < r->length; k++) length = Append(r->replacement[k], length);
    return length;
}

void MidDeal() {
    if (N < 1) return;
    std::size_t length = 0;  /* characters of the sentence made by this pass */
    char c;
    /* Pass 0 moves the sentence from L into Q. */
    while (!StackEmpty(&L)) {
        Pop(&L, &c);
        length = Rewrite(&R[0], c, length);
    }
    /* Each further pass takes exactly the characters the previous pass left
     * at the front of Q and appends their rewriting behind them; counting
     * them, rather than marking their end in the queue, lets the sentence
     * hold any byte. An empty sentence needs no more passes (and a file that
     * ended before its sentence may lack the rule records). */
    for (int i = 1; i < N && length > 0; i++) {
        std::size_t left = length;
        length = 0;
        for (; left > 0; left--) {
            DeQueue(&Q, &c);
            length = Rewrite(&R[i], c, length);
        }
    }
}
