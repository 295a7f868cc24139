/* cases.cpp -- the random draws the exercise makers share (draw.h), and
 * the sizes by name (cases.h). Each program's maker is in
 * lab/<program>/cases.cpp. */
#include <math.h>
#include <string.h>

#include "draw.h"

/* ============================ The sequence ================================ */

void DrawStart(struct Draw *draw, uint32_t seed) {
    draw->state = seed;
}

/* mulberry32: the state steps by a fixed odd number, and the number given
 * out is the state mixed by two multiplications and three shifts. */
double DrawNext(struct Draw *draw) {
    draw->state += 0x6D2B79F5u;
    uint32_t t = draw->state;
    t = (t ^ (t >> 15)) * (t | 1u);
    t ^= t + (t ^ (t >> 7)) * (t | 61u);
    return (double)(t ^ (t >> 14)) / 4294967296.0;
}

int DrawPick(struct Draw *draw, int lo, int hi) {
    return lo + (int)floor(DrawNext(draw) * (double)(hi - lo + 1));
}

void DrawShuffle(struct Draw *draw, char *items, int count) {
    for (int i = count - 1; i > 0; i--) {
        int j = DrawPick(draw, 0, i);
        char t = items[i];
        items[i] = items[j];
        items[j] = t;
    }
}

/* ============================ Shapes and expressions ====================== */

/* NewNode(pool): returns the index of a fresh node; the makers' sizes stay
 * far below DRAW_NODES, and a full pool reuses its last node rather than
 * write past it. */
static int NewNode(struct DrawPool *pool) {
    int i = pool->count < DRAW_NODES ? pool->count++ : DRAW_NODES - 1;
    pool->nodes[i].op = 0;
    pool->nodes[i].number = 0;
    pool->nodes[i].left = -1;
    pool->nodes[i].right = -1;
    return i;
}

int DrawShape(struct Draw *draw, struct DrawPool *pool, int k) {
    if (k == 0) return -1;
    int left = DrawPick(draw, 0, k - 1);
    int node = NewNode(pool);
    int l = DrawShape(draw, pool, left);
    int r = DrawShape(draw, pool, k - 1 - left);
    pool->nodes[node].left = l;
    pool->nodes[node].right = r;
    return node;
}

int DrawOperands(struct Draw *draw, const struct DrawPool *shape, int root,
                 struct DrawPool *out, int max) {
    int node = NewNode(out);
    if (root < 0) {
        out->nodes[node].number = DrawPick(draw, 1, max);
        return node;
    }
    char op = "+-*/"[DrawPick(draw, 0, 3)];
    int l = DrawOperands(draw, shape, shape->nodes[root].left, out, max);
    int r = DrawOperands(draw, shape, shape->nodes[root].right, out, max);
    if (op == '/' && out->nodes[r].op != 0) op = '*';
    out->nodes[node].op = op;
    out->nodes[node].left = l;
    out->nodes[node].right = r;
    return node;
}

/* ============================ Text ======================================== */

void TextAdd(struct Text *text, const char *s) {
    while (*s) TextAddChar(text, *s++);
}

void TextAddChar(struct Text *text, char c) {
    if (text->length + 1 < CASE_BYTES) text->bytes[text->length++] = c;
    text->bytes[text->length] = '\0';
}

void TextAddNumber(struct Text *text, long n) {
    char digits[24];
    int k = 0;
    if (n < 0) { TextAddChar(text, '-'); n = -n; }
    do { digits[k++] = (char)('0' + n % 10); n /= 10; } while (n > 0);
    while (k > 0) TextAddChar(text, digits[--k]);
}

int CaseFrom(const struct Text *text, struct Case *out) {
    out->length = text->length;
    memcpy(out->bytes, text->bytes, text->length);
    out->bytes[text->length] = '\0';
    return 1;
}

int CaseSizeNamed(const char *name) {
    static const char *const names[] = {"small", "medium", "large"};
    for (int i = 0; i < 3; i++) {
        if (name && strcmp(name, names[i]) == 0) return i;
    }
    return -1;
}
