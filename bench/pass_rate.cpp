/* pass_rate.cpp -- times the translator's rule passes on one rule file.
 *
 * Usage: pass_rate RULEFILE
 *
 * Runs the translator's own steps, from its library, on the file: reads the
 * rules and the sentence, expands the sentence onto the stack, and then
 * times MidDeal, which makes every rule pass, with a steady clock. Nothing
 * is written to "translate.txt".
 *
 * The characters are counted without touching the translator. Before the
 * passes, the expanded sentence is read off the stack into a table of how
 * often each byte occurs; a pass with rule r then makes
 *     length - count[symbol] + count[symbol] * (length of the replacement)
 * characters, and moves count[symbol] occurrences of the symbol over to the
 * bytes of the replacement. The last count is checked against the queue.
 *
 * Prints one line on stdout:
 *     <characters made by the passes> <most characters held> <seconds> <cpu seconds>
 * where the first is the sum, over the passes, of the characters each pass
 * appends to the queue; the second is the longest the sentence is at any
 * point of the expansion and the passes (a pass holds what is left of the
 * old sentence and what it made of the rest, so the longer of the two); the
 * third is the wall time MidDeal took and the fourth the processor time it
 * took, which other programs on a busy machine do not inflate. */
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "queue.h"
#include "rewrite.h"
#include "rulefile.h"
#include "stack.h"

/* The sentence as a table: how many times each byte value occurs. */
struct Census {
    long long count[256];  /* occurrences of each byte value */
    long long length;      /* characters in the sentence: the sum of count */
};

/* Fills *c from the stack L, which holds the expanded sentence. */
static void TakeCensus(Census *c) {
    for (long long &k : c->count) k = 0;
    c->length = 0;
    for (const LinkNode *p = L.top->next; p != nullptr; p = p->next) {
        c->count[static_cast<unsigned char>(p->data)]++;
        c->length++;
    }
}

/* Changes *c as the pass with rule r changes the sentence. */
static void ApplyRule(Census *c, const Rule *r) {
    unsigned char symbol = static_cast<unsigned char>(r->symbol);
    long long found = c->count[symbol];
    c->count[symbol] = 0;
    for (int k = 0; k < r->length; k++) {
        c->count[static_cast<unsigned char>(r->replacement[k])] += found;
    }
    c->length += found * (r->length - 1);
}

int main(int argc, char *argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pass_rate RULEFILE\n");
        return 2;
    }
    std::FILE *fp = std::fopen(argv[1], "r");
    if (fp == nullptr) {
        std::fprintf(stderr, "pass_rate: cannot read %s\n", argv[1]);
        return 2;
    }
    Start();
    bool readable = ReadRuleFile(fp);
    std::fclose(fp);
    if (!readable) return 2;
    PreDeal();

    Census census;
    TakeCensus(&census);
    long long made = 0;              /* characters appended by all passes */
    long long held = census.length;  /* the longest the sentence has been */
    for (int i = 0; i < N && census.length > 0; i++) {
        ApplyRule(&census, &R[i]);
        made += census.length;
        if (census.length > held) held = census.length;
    }

    std::clock_t cpuBegin = std::clock();
    auto begin = std::chrono::steady_clock::now();
    MidDeal();
    auto end = std::chrono::steady_clock::now();
    std::clock_t cpuEnd = std::clock();
    double seconds = std::chrono::duration<double>(end - begin).count();
    double cpuSeconds = static_cast<double>(cpuEnd - cpuBegin) / CLOCKS_PER_SEC;

    /* The count must agree with what the passes really left in the queue. */
    if (N >= 1 && QueueLength(&Q) != census.length) {
        std::fprintf(stderr, "pass_rate: counted %lld characters, the queue holds %d\n",
                     census.length, QueueLength(&Q));
        return 1;
    }
    std::printf("%lld %lld %.9f %.9f\n", made, held, seconds, cpuSeconds);
    return 0;
}
