/* compare.cpp -- translator's part of the comparison (compare_parts.h):
 * which word of translate.txt holds the first difference, the words taken
 * from the program's own WordFor. Its output has no fixed text longer than
 * a word, so no near miss is looked for. */
#include "compare_parts.h"
#include "words.h"

/* The letters that have a word, and one that has the error word. */
static const char kLetters[] = "tdsaezgxnhA";
#define WORDS 11

/* WordsOf(chars, counts): reads the words as code points. */
static void WordsOf(uint32_t chars[WORDS][8], int counts[WORDS]) {
    for (int k = 0; k < WORDS; k++) counts[k] = GbkText(WordFor(kLetters[k]).gbk, chars[k], 8);
}

/* WordAt(line, at, chars, counts): the word that starts at `at`, or -1. */
static int WordAt(const struct LineText *line, int at, uint32_t chars[WORDS][8], const int counts[WORDS]) {
    for (int w = 0; w < WORDS; w++) {
        if (at + counts[w] > line->count) continue;
        int k = 0;
        while (k < counts[w] && line->chars[at + k] == chars[w][k]) k++;
        if (k == counts[w]) return w;
    }
    return -1;
}

static void Locate(const struct Difference *d, struct Located *out) {
    uint32_t chars[WORDS][8];
    int counts[WORDS];
    WordsOf(chars, counts);
    const struct LineText *line = d->ours_exists ? d->ours : d->theirs;
    int at = 0, count = 0;
    while (at < line->count) {
        int w = WordAt(line, at, chars, counts);
        if (w < 0) return;
        count++;
        if (at + counts[w] > d->column) {
            Append(out->where, COMPARE_WHERE_SIZE, "第 ");
            AppendNumber(out->where, COMPARE_WHERE_SIZE, count);
            Append(out->where, COMPARE_WHERE_SIZE, " 个词（");
            AppendChars(out->where, COMPARE_WHERE_SIZE, chars[w], 0, counts[w], 0);
            Append(out->where, COMPARE_WHERE_SIZE, "）");
            out->step = count;
            int theirs = d->theirs_exists ? WordAt(d->theirs, at, chars, counts) : -1;
            if (theirs >= 0) {
                Append(out->reason, COMPARE_REASON_SIZE, "第 ");
                AppendNumber(out->reason, COMPARE_REASON_SIZE, count);
                Append(out->reason, COMPARE_REASON_SIZE, " 个词：你的是“");
                AppendChars(out->reason, COMPARE_REASON_SIZE, chars[theirs], 0, counts[theirs], 0);
                Append(out->reason, COMPARE_REASON_SIZE, "”，应为“");
                AppendChars(out->reason, COMPARE_REASON_SIZE, chars[w], 0, counts[w], 0);
                Append(out->reason, COMPARE_REASON_SIZE, "”");
            }
            return;
        }
        at += counts[w];
    }
    if (line->count < line->length) return;   /* past what is read of a long line */
    Append(out->where, COMPARE_WHERE_SIZE, "第 ");
    AppendNumber(out->where, COMPARE_WHERE_SIZE, count + 1);
    Append(out->where, COMPARE_WHERE_SIZE, " 个词（我们的译文在此之前结束）");
    out->step = count + 1;
}

static const struct CompareProgram kTranslator = {"translator", "translate.txt", Locate, NULL};

void CompareTranslator(struct Bytes ours, struct Bytes theirs, struct Compared *out) {
    CompareOutputs(&kTranslator, ours, theirs, 0, out);
}

const struct CompareProgram *TranslatorComparison(void) {
    return &kTranslator;
}
