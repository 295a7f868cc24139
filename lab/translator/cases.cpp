/* cases.cpp -- translator's exercise maker (cases.h): a rule file whose
 * every rule rewrites something (a rule's symbol stands in the sentence or
 * in an earlier rule's replacement) and whose sentence has the size's
 * bracket groups, one nested in the large size. The sentence line has no
 * line end, so each character of the result has a word. */
#include <string.h>

#include "draw.h"

/* The letters that have a word. */
static const char kWords[] = "tdsaezgxnh";

/* Rules and bracket groups, per size. */
static const struct { int rules, groups; } kRules[] = {{2, 1}, {3, 2}, {4, 2}};

/* The sentence is put together from pieces, shuffled as wholes. */
#define PIECES 8
#define PIECE_BYTES 32

struct Piece {
    char text[PIECE_BYTES];
};

/* Letters(draw, lo, hi, text): writes lo to hi letters that have a word. */
static void Letters(struct Draw *draw, int lo, int hi, char *text) {
    size_t at = strlen(text);
    for (int n = DrawPick(draw, lo, hi); n > 0; n--) text[at++] = kWords[DrawPick(draw, 0, 9)];
    text[at] = '\0';
}

/* Group(draw, inner, text): writes a bracket group: its first letter and one
 * to three more, with inner (a group, or "") among them. */
static void Group(struct Draw *draw, const char *inner, char *text) {
    char rest[8] = "", first[4] = "";
    Letters(draw, 1, 3, rest);
    int at = DrawPick(draw, 0, (int)strlen(rest));
    Letters(draw, 1, 1, first);
    strcpy(text, "(");
    strcat(text, first);
    strncat(text, rest, (size_t)at);
    strcat(text, inner);
    strcat(text, rest + at);
    strcat(text, ")");
}

int MakeTranslatorCase(int size, uint32_t seed, struct Case *out) {
    out->length = 0;
    out->bytes[0] = '\0';
    if (size < CASE_SMALL || size > CASE_LARGE) return 0;
    struct Draw draw;
    DrawStart(&draw, seed);
    int rules = kRules[size].rules;
    char symbols[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    DrawShuffle(&draw, symbols, 26);
    struct Piece pieces[PIECES];
    int count = 0;
    char replacements[4][16];
    for (int i = 0; i < rules; i++) {
        char r[16] = "";
        Letters(&draw, 1, 4, r);
        /* The next rule's symbol comes in with this replacement, or stands
         * in the sentence. */
        if (i + 1 < rules && DrawNext(&draw) < 0.5) {
            int at = DrawPick(&draw, 0, (int)strlen(r));
            memmove(r + at + 1, r + at, strlen(r + at) + 1);
            r[at] = symbols[i + 1];
        } else if (i + 1 < rules) {
            pieces[count].text[0] = symbols[i + 1];
            pieces[count++].text[1] = '\0';
        }
        strcpy(replacements[i], r);
    }
    pieces[count].text[0] = symbols[0];
    pieces[count++].text[1] = '\0';
    char inner[PIECE_BYTES] = "";
    if (size == CASE_LARGE) Group(&draw, "", inner);
    for (int g = 0; g < kRules[size].groups; g++) Group(&draw, g == 0 ? inner : "", pieces[count++].text);
    pieces[count].text[0] = '\0';
    Letters(&draw, 0, 2, pieces[count].text);
    if (pieces[count].text[0] != '\0') count++;
    /* The pieces in a random order, as DrawShuffle orders characters. */
    for (int i = count - 1; i > 0; i--) {
        int j = DrawPick(&draw, 0, i);
        struct Piece t = pieces[i];
        pieces[i] = pieces[j];
        pieces[j] = t;
    }
    struct Text text = {0, {0}};
    TextAddNumber(&text, rules);
    for (int k = 0; k < rules; k++) {
        TextAddChar(&text, '\n');
        TextAddChar(&text, symbols[k]);
        TextAdd(&text, " = ");
        TextAdd(&text, replacements[k]);
    }
    TextAddChar(&text, '\n');
    for (int k = 0; k < count; k++) TextAdd(&text, pieces[k].text);
    return CaseFrom(&text, out);
}
