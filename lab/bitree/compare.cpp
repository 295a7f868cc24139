/* compare.cpp -- bitree's part of the comparison (compare_parts.h): where a
 * line of the console transcript stands: a menu line, or the choice whose
 * answer holds it (counted from 1), its kind and the line's place in the
 * answer with its label; the fixed texts of texts.h. */
#include "compare_parts.h"
#include "texts.h"

/* The fixed texts that the transcript holds. */
static const char *const kFixed[] = {
    TEXT_MENU_TITLE, TEXT_MENU_0, TEXT_MENU_1, TEXT_MENU_2, TEXT_BAD_CHOICE, TEXT_ASK_SEQUENCES,
    TEXT_PREORDER, TEXT_INORDER, TEXT_THREADED, TEXT_MISMATCH, TEXT_ASK_EXPRESSION, TEXT_PREFIX,
    TEXT_INFIX, TEXT_POSTFIX, TEXT_VALUE_FORMAT, TEXT_INCOMPLETE, TEXT_DIVIDE_BY_ZERO, TEXT_TOO_LONG, NULL};

/* The menu's lines before the first choice's answer. */
#define MENU_LINES 4

/* A fixed text as code points, without its line ends, cut at a printf
 * format. */
struct Piece {
    uint32_t chars[64];
    int count;
};

/* PieceOf(gbk, piece): reads a fixed text into a piece. */
static void PieceOf(const char *gbk, struct Piece *p) {
    uint32_t all[64];
    int n = GbkText(gbk, all, 64);
    p->count = 0;
    for (int k = 0; k < n && all[k] != '%'; k++) {
        if (all[k] != '\n') p->chars[p->count++] = all[k];
    }
}

/* The answers' first lines and the printed lines' labels. */
enum { ASK_TREE, ASK_EXPRESSION, BAD_CHOICE, LABEL_PREORDER, LABEL_INORDER, LABEL_THREADED,
       LABEL_VALUE, LABEL_PREFIX, LABEL_INFIX, LABEL_POSTFIX, DIVIDE, PIECES };

struct Texts {
    struct Piece piece[PIECES];
};

static void ReadTexts(struct Texts *t) {
    const char *const gbk[PIECES] = {TEXT_ASK_SEQUENCES, TEXT_ASK_EXPRESSION, TEXT_BAD_CHOICE,
                                     TEXT_PREORDER, TEXT_INORDER, TEXT_THREADED, TEXT_VALUE_FORMAT,
                                     TEXT_PREFIX, TEXT_INFIX, TEXT_POSTFIX, TEXT_DIVIDE_BY_ZERO};
    for (int k = 0; k < PIECES; k++) PieceOf(gbk[k], &t->piece[k]);
    /* "除数为零": the division's message is told by its start. */
    if (t->piece[DIVIDE].count > 4) t->piece[DIVIDE].count = 4;
}

/* Is(line, piece): whether the line is the piece, whole. */
static int Is(const struct LineText *line, const struct Piece *p) {
    return line->length == p->count && StartsWith(line, p->chars, p->count);
}

/* StartsAnswer(t, line): whether bitree starts the answer to a choice with
 * this line. */
static int StartsAnswer(const struct Texts *t, const struct LineText *line) {
    return Is(line, &t->piece[ASK_TREE]) || Is(line, &t->piece[ASK_EXPRESSION]) || Is(line, &t->piece[BAD_CHOICE]);
}

static void Locate(const struct Difference *d, struct Located *out) {
    if (d->line < MENU_LINES) {
        Append(out->where, COMPARE_WHERE_SIZE, "菜单第 ");
        AppendNumber(out->where, COMPARE_WHERE_SIZE, d->line + 1);
        Append(out->where, COMPARE_WHERE_SIZE, " 行");
        return;
    }
    static struct Texts t;   /* static: read once, and kept off a small stack */
    static int read = 0;
    if (!read) { ReadTexts(&t); read = 1; }
    /* One walk: the choice that holds line d->line, then its kind from the
     * lines of its answer. */
    struct LineWalk walk;
    struct LineText line;
    LineWalkStart(&walk, d->lines);
    long k = 0, start = MENU_LINES;
    int choice = 0;
    const char *kind = NULL;
    int label = -1;
    while (LineWalkNext(&walk, &line)) {
        int answer = k >= MENU_LINES && StartsAnswer(&t, &line);
        if (k > d->line && (answer || kind)) break;
        if (answer) {
            choice++;
            start = k;
            kind = Is(&line, &t.piece[ASK_TREE]) ? "功能 0" : Is(&line, &t.piece[BAD_CHOICE]) ? "无效的功能序号" : NULL;
        } else if (choice > 0 && !kind && k > start) {
            if (StartsWith(&line, t.piece[LABEL_VALUE].chars, t.piece[LABEL_VALUE].count) ||
                StartsWith(&line, t.piece[DIVIDE].chars, t.piece[DIVIDE].count)) {
                kind = "功能 2";
            } else if (StartsWith(&line, t.piece[LABEL_PREFIX].chars, t.piece[LABEL_PREFIX].count) ||
                       StartsWith(&line, t.piece[LABEL_INFIX].chars, t.piece[LABEL_INFIX].count) ||
                       StartsWith(&line, t.piece[LABEL_POSTFIX].chars, t.piece[LABEL_POSTFIX].count)) {
                kind = "功能 1";
            }
        }
        if (k == d->line) {
            for (int p = LABEL_PREORDER; p <= LABEL_POSTFIX && label < 0; p++) {
                if (StartsWith(&line, t.piece[p].chars, t.piece[p].count)) label = p;
            }
        }
        k++;
    }
    if (choice == 0) {
        Append(out->where, COMPARE_WHERE_SIZE, "菜单之后、第一个选择之前");
        return;
    }
    Append(out->where, COMPARE_WHERE_SIZE, "第 ");
    AppendNumber(out->where, COMPARE_WHERE_SIZE, choice);
    Append(out->where, COMPARE_WHERE_SIZE, " 次选择（");
    Append(out->where, COMPARE_WHERE_SIZE, kind ? kind : "功能 1 或 2");
    Append(out->where, COMPARE_WHERE_SIZE, "）打印的第 ");
    AppendNumber(out->where, COMPARE_WHERE_SIZE, d->line - start + 1);
    Append(out->where, COMPARE_WHERE_SIZE, " 行");
    if (label >= 0) {
        Append(out->where, COMPARE_WHERE_SIZE, "（");
        AppendChars(out->where, COMPARE_WHERE_SIZE, t.piece[label].chars, 0, t.piece[label].count, 0);
        Append(out->where, COMPARE_WHERE_SIZE, "）");
    }
    out->step = choice;
}

static const struct CompareProgram kBitree = {"bitree", "stdout（控制台输出）", Locate, kFixed};

void CompareBitree(struct Bytes ours, struct Bytes theirs, struct Compared *out) {
    CompareOutputs(&kBitree, ours, theirs, 0, out);
}

const struct CompareProgram *BitreeComparison(void) {
    return &kBitree;
}
