/* compare.cpp -- the comparison of compare.h, the part common to all
 * programs: reading each side as text, the verdict, the differences of
 * form, the first difference and its window, the near miss of a fixed text,
 * and the report as plain text. Each program's own part (where a line
 * stands in its technique, its fixed texts) is lab/<program>/compare.cpp.
 *
 * How a side is read:
 *   its encoding: a UTF-16 byte order mark (FF FE little-endian, FE FF
 *   big-endian: Notepad's "Unicode"), a UTF-8 one (EF BB BF), else ASCII
 *   when every byte is below 0x80, else UTF-8 when the bytes are valid
 *   UTF-8, else GBK (the programs' own encoding);
 *   its lines: the pieces between newlines, a CR just before the newline
 *   being part of the line end; the newlines after the last non-empty line
 *   are counted apart ("the trailing newlines").
 *
 * Memory: nothing here copies a side. Each pass reads the bytes in place,
 * one character at a time, and keeps at most LINE_PREFIX characters of a
 * line and a window of about 200 characters for the report. */
#include <string.h>

#include "compare_parts.h"
#include "gbk.h"

/* ============================ Bounds ====================================== */

/* The window around the first difference, in characters: before it, of
 * the differing part, and after it. */
#define WINDOW_BEFORE 80
#define WINDOW_MARKED 80
#define WINDOW_AFTER 40
/* How many bytes of a differing part are shown in hex at most. */
#define HEX_LIMIT 48
/* How many characters of a side a reason quotes at most. */
#define QUOTE_LIMIT 24

/* The line-end kinds a side uses. */
#define ENDS_LF 1
#define ENDS_CRLF 2

struct CompareSource {
    const unsigned char *data;
    size_t size;
    size_t body;       /* where the text starts, after a byte order mark */
    int encoding;
    int bom;
    int valid;
    int pasted;
    long lines;        /* the lines up to the last non-empty one */
    long trailing;     /* the newlines after it */
    int ends;          /* ENDS_LF | ENDS_CRLF */
};

/* ============================ Text helpers ================================ */

/* Utf8Put(cp, out): writes cp as UTF-8 into out (4 bytes of room) and
 * returns the count. */
static int Utf8Put(uint32_t cp, unsigned char *out) {
    if (cp < 0x80) { out[0] = (unsigned char)cp; return 1; }
    if (cp < 0x800) {
        out[0] = (unsigned char)(0xC0 | (cp >> 6));
        out[1] = (unsigned char)(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = (unsigned char)(0xE0 | (cp >> 12));
        out[1] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
        out[2] = (unsigned char)(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = (unsigned char)(0xF0 | (cp >> 18));
    out[1] = (unsigned char)(0x80 | ((cp >> 12) & 0x3F));
    out[2] = (unsigned char)(0x80 | ((cp >> 6) & 0x3F));
    out[3] = (unsigned char)(0x80 | (cp & 0x3F));
    return 4;
}

void Append(char *text, size_t size, const char *s) {
    size_t at = strlen(text);
    size_t n = strlen(s);
    if (at + n + 1 > size) {
        /* Cut before the character that would not fit whole. */
        n = size > at + 1 ? size - at - 1 : 0;
        while (n > 0 && ((unsigned char)s[n] & 0xC0) == 0x80) n--;
    }
    memcpy(text + at, s, n);
    text[at + n] = '\0';
}

void AppendNumber(char *text, size_t size, long n) {
    char digits[24];
    int k = 0;
    unsigned long u = n < 0 ? 0UL - (unsigned long)n : (unsigned long)n;
    do { digits[k++] = (char)('0' + u % 10); u /= 10; } while (u > 0);
    if (n < 0) digits[k++] = '-';
    char out[24];
    int m = 0;
    while (k > 0) out[m++] = digits[--k];
    out[m] = '\0';
    Append(text, size, out);
}

/* AppendCode(text, size, cp, mode): appends one character; mode 1 shows a
 * tab as → and a CR as ␍, mode 2 a blank as · too. */
static void AppendCode(char *text, size_t size, uint32_t cp, int mode) {
    if (mode >= 1 && cp == '\t') cp = 0x2192;
    else if (mode >= 1 && cp == '\r') cp = 0x240D;
    else if (mode == 2 && cp == ' ') cp = 0x00B7;
    unsigned char bytes[5];
    int n = Utf8Put(cp, bytes);
    bytes[n] = '\0';
    Append(text, size, (const char *)bytes);
}

void AppendChars(char *text, size_t size, const uint32_t *chars, int from, int to, int visible) {
    for (int k = from; k < to; k++) AppendCode(text, size, chars[k], visible ? 1 : 0);
}

/* ============================ Decoding ==================================== */

/* Utf8At(data, size, at, cp): decodes the UTF-8 character at `at`; returns
 * its byte count, or 0 when the bytes there are no valid character. */
static size_t Utf8At(const unsigned char *data, size_t size, size_t at, uint32_t *cp) {
    unsigned char b = data[at];
    if (b < 0x80) { *cp = b; return 1; }
    size_t n;
    uint32_t c, min;
    if (b >= 0xC2 && b <= 0xDF) { n = 2; c = b & 0x1F; min = 0x80; }
    else if (b >= 0xE0 && b <= 0xEF) { n = 3; c = b & 0x0F; min = 0x800; }
    else if (b >= 0xF0 && b <= 0xF4) { n = 4; c = b & 0x07; min = 0x10000; }
    else return 0;
    if (at + n > size) return 0;
    for (size_t k = 1; k < n; k++) {
        if ((data[at + k] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (data[at + k] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    *cp = c;
    return n;
}

/* GbkAt(data, size, at, cp): decodes the GBK character at `at`; returns its
 * byte count, or 0 when the bytes there are no valid character. Four-byte
 * sequences are taken whole, as U+FFFD. */
static size_t GbkAt(const unsigned char *data, size_t size, size_t at, uint32_t *cp) {
    unsigned char b = data[at];
    if (b < 0x80) { *cp = b; return 1; }
    if (b == 0x80) { *cp = 0x20AC; return 1; }
    if (b == 0xFF || at + 1 >= size) return 0;
    unsigned char t = data[at + 1];
    if (t >= 0x30 && t <= 0x39) {
        if (at + 3 >= size) return 0;
        *cp = 0xFFFD;
        return 4;
    }
    if (t < 0x40 || t == 0x7F || t == 0xFF) return 0;
    uint32_t c = kGbk[(b - 0x81) * 191 + (t - 0x40)];
    if (c == 0xFFFD) return 0;
    *cp = c;
    return 2;
}

/* Utf16At(source, at, cp): decodes the UTF-16 character at `at`; returns
 * its byte count, or 0 when it is a lone surrogate or half a unit. */
static size_t Utf16At(const struct CompareSource *s, size_t at, uint32_t *cp) {
    if (at + 2 > s->size) return 0;
    int big = s->encoding == ENCODING_UTF16BE;
    const unsigned char *d = s->data;
    uint32_t u = big ? (uint32_t)(d[at] << 8 | d[at + 1]) : (uint32_t)(d[at + 1] << 8 | d[at]);
    if (u < 0xD800 || u > 0xDFFF) { *cp = u; return 2; }
    if (u > 0xDBFF || at + 4 > s->size) return 0;
    uint32_t v = big ? (uint32_t)(d[at + 2] << 8 | d[at + 3]) : (uint32_t)(d[at + 3] << 8 | d[at + 2]);
    if (v < 0xDC00 || v > 0xDFFF) return 0;
    *cp = 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00);
    return 4;
}

/* Decode(source, at, cp): decodes the character at `at` (< size); returns
 * its byte count, at least 1: bytes that are no character give U+FFFD. */
static size_t Decode(const struct CompareSource *s, size_t at, uint32_t *cp) {
    size_t n;
    if (s->encoding == ENCODING_UTF16LE || s->encoding == ENCODING_UTF16BE) {
        n = Utf16At(s, at, cp);
        if (n == 0) { *cp = 0xFFFD; n = at + 2 <= s->size ? 2 : s->size - at; }
        return n;
    }
    n = s->encoding == ENCODING_GBK ? GbkAt(s->data, s->size, at, cp) : Utf8At(s->data, s->size, at, cp);
    if (n == 0) { *cp = 0xFFFD; n = 1; }
    return n;
}

/* AllValid(source): whether every character of the side decodes. */
static int AllValid(const struct CompareSource *s) {
    uint32_t cp;
    for (size_t at = s->body; at < s->size;) {
        size_t n;
        if (s->encoding == ENCODING_UTF16LE || s->encoding == ENCODING_UTF16BE) n = Utf16At(s, at, &cp);
        else if (s->encoding == ENCODING_GBK) n = GbkAt(s->data, s->size, at, &cp);
        else n = Utf8At(s->data, s->size, at, &cp);
        if (n == 0) return 0;
        at += n;
    }
    return 1;
}

/* ============================ Lines ======================================= */

/* NextInLine(source, at, cp, start): reads the next character of the line
 * that *at stands in and moves *at past it (start, when given, gets where
 * it began); returns 0 at the line's end, *at then behind its newline (or
 * at the end of the side). A CR just before a newline is part of the end. */
static int NextInLine(const struct CompareSource *s, size_t *at, uint32_t *cp, size_t *start) {
    if (*at >= s->size) return 0;
    uint32_t c;
    size_t n;
    if (s->data[*at] < 0x80 && s->data[*at] != '\r' && s->encoding != ENCODING_UTF16LE &&
        s->encoding != ENCODING_UTF16BE) {
        /* The common case, an ASCII byte, without the decoder. */
        c = s->data[*at];
        n = 1;
    } else {
        n = Decode(s, *at, &c);
    }
    if (c == '\n') { *at += n; return 0; }
    if (c == '\r' && *at + n < s->size) {
        uint32_t d;
        size_t m = Decode(s, *at + n, &d);
        if (d == '\n') { *at += n + m; return 0; }
    }
    if (start) *start = *at;
    *at += n;
    *cp = c;
    return 1;
}

/* Scan(source): finds the side's lines, trailing newlines and line ends. */
static void Scan(struct CompareSource *s) {
    s->lines = 0;
    s->trailing = 0;
    s->ends = 0;
    long line = 0;
    size_t at = s->body;
    while (at < s->size) {
        long count = 0;
        int ended = 0;
        while (at < s->size) {
            uint32_t c, d;
            size_t n = Decode(s, at, &c);
            if (c == '\n') {
                at += n;
                ended = ENDS_LF;
                break;
            }
            if (c == '\r' && at + n < s->size) {
                size_t m = Decode(s, at + n, &d);
                if (d == '\n') {
                    at += n + m;
                    ended = ENDS_CRLF;
                    break;
                }
            }
            at += n;
            count++;
        }
        s->ends |= ended;
        if (count > 0) {
            s->lines = line + 1;
            s->trailing = ended ? 1 : 0;
        } else if (ended) {
            s->trailing++;
        }
        line++;
    }
}

void LineWalkStart(struct LineWalk *walk, const struct CompareSource *source) {
    walk->source = source;
    walk->at = source->body;
    walk->line = 0;
}

/* ReadLine(source, at, line): reads the line at *at into line and moves
 * *at to the next line. */
static void ReadLine(const struct CompareSource *s, size_t *at, struct LineText *line) {
    uint32_t cp;
    line->length = 0;
    line->count = 0;
    while (NextInLine(s, at, &cp, NULL)) {
        if (line->count < LINE_PREFIX) line->chars[line->count++] = cp;
        line->length++;
    }
}

int LineWalkNext(struct LineWalk *walk, struct LineText *line) {
    if (walk->line >= walk->source->lines) return 0;
    ReadLine(walk->source, &walk->at, line);
    walk->line++;
    return 1;
}

/* LinesEqual(a, at_a, b, at_b): whether the lines at *at_a and *at_b hold
 * the same characters; both move to their next line. */
static int LinesEqual(const struct CompareSource *a, size_t *at_a, const struct CompareSource *b, size_t *at_b) {
    int same = 1;
    for (;;) {
        uint32_t x = 0, y = 0;
        int more_a = NextInLine(a, at_a, &x, NULL);
        int more_b = NextInLine(b, at_b, &y, NULL);
        if (!more_a && !more_b) return same;
        if (more_a != more_b || x != y) {
            same = 0;
            while (more_a) more_a = NextInLine(a, at_a, &x, NULL);
            while (more_b) more_b = NextInLine(b, at_b, &y, NULL);
            return 0;
        }
    }
}

/* IsBlank(cp): a blank for the comparison of tokens: space, tab, a CR
 * inside a line, form feed, vertical tab. */
static int IsBlank(uint32_t cp) {
    return cp == ' ' || cp == '\t' || cp == '\r' || cp == '\f' || cp == '\v';
}

/* A reader of a line's tokens, one character at a time, with one blank
 * standing for each run of blanks between two tokens. */
struct TokenReader {
    const struct CompareSource *source;
    size_t at;
    int exists;
    int ended;
    int started;
};

/* NextToken(reader, cp): returns 0 at the line's end, else 1 with the next
 * character of the line's tokens; a character that starts a token after
 * the first comes with its top bit set, standing for the blanks before it,
 * so that two lines agree when their tokens and the places of their
 * separations do. */
static int NextToken(struct TokenReader *r, uint32_t *cp) {
    if (!r->exists || r->ended) return 0;
    int blanks = 0;
    uint32_t c;
    for (;;) {
        if (!NextInLine(r->source, &r->at, &c, NULL)) {
            r->ended = 1;
            return 0;
        }
        if (!IsBlank(c)) break;
        blanks = 1;
    }
    *cp = blanks && r->started ? (c | 0x80000000u) : c;
    r->started = 1;
    return 1;
}

/* TokensEqual(a, at_a, a_exists, b, at_b, b_exists): whether two lines
 * hold the same tokens; both move to their next line. */
static int TokensEqual(const struct CompareSource *a, size_t *at_a, int a_exists,
                       const struct CompareSource *b, size_t *at_b, int b_exists) {
    struct TokenReader x = {a, *at_a, a_exists, 0, 0};
    struct TokenReader y = {b, *at_b, b_exists, 0, 0};
    int same = 1;
    for (;;) {
        uint32_t p = 0, q = 0;
        int more_x = NextToken(&x, &p);
        int more_y = NextToken(&y, &q);
        if (!more_x && !more_y) break;
        if (more_x != more_y || p != q) {
            same = 0;
            while (NextToken(&x, &p)) {}
            while (NextToken(&y, &q)) {}
            break;
        }
    }
    if (a_exists) *at_a = x.at;
    if (b_exists) *at_b = y.at;
    return same;
}

/* ============================ Helpers for the programs' parts ============= */

int GbkText(const char *gbk, uint32_t *chars, int room) {
    const unsigned char *d = (const unsigned char *)gbk;
    size_t size = strlen(gbk);
    int count = 0;
    for (size_t at = 0; at < size && count < room;) {
        uint32_t cp;
        size_t n = GbkAt(d, size, at, &cp);
        if (n == 0) { cp = 0xFFFD; n = 1; }
        chars[count++] = cp;
        at += n;
    }
    return count;
}

int StartsWith(const struct LineText *line, const uint32_t *chars, int count) {
    if (count > line->count) return 0;
    for (int k = 0; k < count; k++) {
        if (line->chars[k] != chars[k]) return 0;
    }
    return 1;
}

int Find(const struct LineText *line, const uint32_t *chars, int count, int from) {
    for (int at = from; at + count <= line->count; at++) {
        int k = 0;
        while (k < count && line->chars[at + k] == chars[k]) k++;
        if (k == count) return at;
    }
    return -1;
}

/* LineStart(source, line): where line `line` (from 0) starts, or the end. */
static size_t LineStart(const struct CompareSource *s, long line) {
    size_t at = s->body;
    uint32_t cp;
    for (long k = 0; k < line && at < s->size; k++) {
        while (NextInLine(s, &at, &cp, NULL)) {}
    }
    return at;
}

long CountInLine(const struct CompareSource *s, long line, long column, uint32_t cp) {
    size_t at = LineStart(s, line);
    long count = 0;
    uint32_t c;
    for (long k = 0; k < column && NextInLine(s, &at, &c, NULL); k++) count += c == cp;
    return count;
}

int TokenInLine(const struct CompareSource *s, long line, long index, struct LineText *token) {
    size_t at = LineStart(s, line);
    uint32_t c;
    long k = -1;
    int in = 0;
    token->count = 0;
    token->length = 0;
    while (NextInLine(s, &at, &c, NULL)) {
        if (IsBlank(c)) {
            if (in && k == index) return 1;
            in = 0;
            continue;
        }
        if (!in) { in = 1; k++; }
        if (k == index) {
            if (token->count < LINE_PREFIX) token->chars[token->count++] = c;
            token->length++;
        }
    }
    return k == index;
}

/* ============================ The first difference ======================== */

/* CommonStart(a, at_a, a_exists, b, at_b, b_exists, from, len_a, len_b,
 * line_a, line_b): reads the two lines side by side (a side without the
 * line reads as empty) and gives the number of leading characters they
 * share, their lengths, and their first LINE_PREFIX characters. */
static void CommonStart(const struct CompareSource *a, size_t at_a, int a_exists,
                        const struct CompareSource *b, size_t at_b, int b_exists,
                        long *from, long *len_a, long *len_b,
                        struct LineText *line_a, struct LineText *line_b) {
    uint32_t x = 0, y = 0;
    int more_a = a_exists, more_b = b_exists, same = 1;
    *from = 0;
    *len_a = 0;
    *len_b = 0;
    line_a->count = line_b->count = 0;
    for (;;) {
        if (more_a) more_a = NextInLine(a, &at_a, &x, NULL);
        if (more_b) more_b = NextInLine(b, &at_b, &y, NULL);
        if (!more_a && !more_b) break;
        if (more_a) {
            if (line_a->count < LINE_PREFIX) line_a->chars[line_a->count++] = x;
            (*len_a)++;
        }
        if (more_b) {
            if (line_b->count < LINE_PREFIX) line_b->chars[line_b->count++] = y;
            (*len_b)++;
        }
        if (same && more_a && more_b && x == y) (*from)++;
        else same = 0;
    }
    line_a->length = *len_a;
    line_b->length = *len_b;
}

/* Skip(source, at, n): moves *at past n characters of its line. */
static void Skip(const struct CompareSource *s, size_t *at, long n) {
    uint32_t cp;
    while (n-- > 0 && NextInLine(s, at, &cp, NULL)) {}
}

/* CommonEnd(a, at_a, len_a, b, at_b, len_b, from): returns how many
 * trailing characters the two lines share, not reaching into the first
 * from characters: the two ends are read side by side, forward. */
static long CommonEnd(const struct CompareSource *a, size_t at_a, long len_a,
                      const struct CompareSource *b, size_t at_b, long len_b, long from) {
    long m = len_a - from < len_b - from ? len_a - from : len_b - from;
    if (m <= 0) return 0;
    Skip(a, &at_a, len_a - m);
    Skip(b, &at_b, len_b - m);
    long last = -1;
    for (long k = 0; k < m; k++) {
        uint32_t x = 0, y = 0;
        NextInLine(a, &at_a, &x, NULL);
        NextInLine(b, &at_b, &y, NULL);
        if (x != y) last = k;
    }
    return m - (last + 1);
}

/* HexAdd(hex, count, bytes, n): adds n bytes to the hex text, the first
 * HEX_LIMIT of them written, all of them counted. */
static void HexAdd(char *hex, size_t *count, const unsigned char *bytes, size_t n) {
    static const char digits[] = "0123456789ABCDEF";
    for (size_t k = 0; k < n; k++, (*count)++) {
        if (*count >= HEX_LIMIT) continue;
        char pair[4] = {0, 0, 0, 0};
        int at = 0;
        if (*count > 0) pair[at++] = ' ';
        pair[at++] = digits[bytes[k] >> 4];
        pair[at++] = digits[bytes[k] & 15];
        Append(hex, COMPARE_HEX_SIZE, pair);
    }
}

/* View(source, at, exists, from, to, view): fills one side's view of the
 * differing line: up to WINDOW_BEFORE characters before from, the
 * characters from..to (at most WINDOW_MARKED), up to WINDOW_AFTER after;
 * an ellipsis where a part is cut. */
static void View(const struct CompareSource *s, size_t at, int exists, long from, long to, long length,
                 struct CompareView *view) {
    view->before[0] = view->marked[0] = view->after[0] = view->hex[0] = '\0';
    view->exists = exists;
    if (!exists) {
        Append(view->before, COMPARE_WINDOW_SIZE, "（没有这一行：文件在此之前结束）");
        Append(view->hex, COMPARE_HEX_SIZE, "（无）");
        return;
    }
    long first = from > WINDOW_BEFORE ? from - WINDOW_BEFORE : 0;
    if (first > 0) Append(view->before, COMPARE_WINDOW_SIZE, "…");
    Skip(s, &at, first);
    size_t hexed = 0;
    uint32_t cp;
    size_t start;
    for (long k = first; k < length && k < to + WINDOW_AFTER && NextInLine(s, &at, &cp, &start); k++) {
        if (k < from) {
            AppendCode(view->before, COMPARE_WINDOW_SIZE, cp, 1);
        } else if (k < to) {
            if (k < from + WINDOW_MARKED) AppendCode(view->marked, COMPARE_WINDOW_SIZE, cp, 2);
            else if (k == from + WINDOW_MARKED) Append(view->marked, COMPARE_WINDOW_SIZE, "…");
            if (s->pasted) {
                if (hexed++ < HEX_LIMIT / 4) {
                    char code[16] = "U+";
                    static const char digits[] = "0123456789ABCDEF";
                    char h[9];
                    int n = 0;
                    uint32_t v = cp;
                    do { h[n++] = digits[v & 15]; v >>= 4; } while (v > 0);
                    while (n < 4) h[n++] = '0';
                    int m = 2;
                    while (n > 0) code[m++] = h[--n];
                    code[m] = '\0';
                    if (view->hex[0]) Append(view->hex, COMPARE_HEX_SIZE, " ");
                    Append(view->hex, COMPARE_HEX_SIZE, code);
                }
            } else if (s->encoding == ENCODING_UTF16LE || s->encoding == ENCODING_UTF16BE) {
                unsigned char bytes[4];
                HexAdd(view->hex, &hexed, bytes, (size_t)Utf8Put(cp, bytes));
            } else {
                HexAdd(view->hex, &hexed, s->data + start, at - start > 4 ? 0 : (size_t)(at - start));
            }
        } else {
            if (k == to + WINDOW_AFTER - 1 && k + 1 < length) Append(view->after, COMPARE_WINDOW_SIZE, "…");
            else AppendCode(view->after, COMPARE_WINDOW_SIZE, cp, 1);
        }
    }
    if (from == to) Append(view->hex, COMPARE_HEX_SIZE, "（无）");
    else if (!s->pasted && hexed > HEX_LIMIT) {
        Append(view->hex, COMPARE_HEX_SIZE, " …（共 ");
        AppendNumber(view->hex, COMPARE_HEX_SIZE, (long)hexed);
        Append(view->hex, COMPARE_HEX_SIZE, " 个字节）");
    }
    if (!s->pasted && from != to && (s->encoding == ENCODING_UTF16LE || s->encoding == ENCODING_UTF16BE))
        Append(view->hex, COMPARE_HEX_SIZE, "（换成 UTF-8 后的字节）");
}

/* Quote(text, size, line, from, to): appends “…” around characters
 * from..to of a line's prefix, at most QUOTE_LIMIT, tabs shown as →. */
static void Quote(char *text, size_t size, const struct LineText *line, long from, long to) {
    Append(text, size, "“");
    long stop = to < from + QUOTE_LIMIT ? to : from + QUOTE_LIMIT;
    if (stop > line->count) stop = line->count;
    for (long k = from; k < stop; k++) AppendCode(text, size, line->chars[k], 2);
    if (stop < to) Append(text, size, "…");
    Append(text, size, "”");
}

/* IsFixed(program, chars, count): whether those characters are one whole
 * piece of one of the program's fixed texts (a piece: the text between its
 * line ends, tabs and printf formats). */
static int IsFixed(const struct CompareProgram *program, const uint32_t *chars, int count) {
    for (int t = 0; program->fixed[t]; t++) {
        uint32_t text[LINE_PREFIX];
        int n = GbkText(program->fixed[t], text, LINE_PREFIX);
        for (int start = 0; start < n;) {
            int end = start;
            while (end < n && text[end] != '\n' && text[end] != '\t' && text[end] != '%') end++;
            if (end - start == count && memcmp(text + start, chars, sizeof *chars * (size_t)count) == 0) return 1;
            start = end + 1;
        }
    }
    return 0;
}

/* NearMiss(program, ours, theirs, column, reason): when the difference at
 * column falls inside one of the program's fixed texts in our line, and
 * the student's line has there a text of the same length with only a few
 * characters changed (and not another of the fixed texts), names that as a
 * near miss in reason and returns 1. */
static int NearMiss(const struct CompareProgram *program, const struct LineText *ours,
                    const struct LineText *theirs, long column, char *reason) {
    if (!program->fixed) return 0;
    for (int t = 0; program->fixed[t]; t++) {
        uint32_t chars[LINE_PREFIX];
        int count = GbkText(program->fixed[t], chars, LINE_PREFIX);
        /* The fixed text in pieces between its line ends, tabs and printf
         * formats: each piece stands whole in one line of the output. */
        for (int start = 0; start < count;) {
            int end = start;
            while (end < count && chars[end] != '\n' && chars[end] != '\t' && chars[end] != '%') end++;
            int length = end - start;
            if (length >= 2) {
                for (int at = Find(ours, chars + start, length, 0); at >= 0;
                     at = Find(ours, chars + start, length, at + 1)) {
                    if (column < at || column >= at + length || at + length > theirs->count) continue;
                    int changed = 0;
                    for (int k = 0; k < length; k++) changed += theirs->chars[at + k] != chars[start + k];
                    /* Another fixed text written in its place is another step, not a slip. */
                    if (changed == 0 || changed > (length + 3) / 4 || IsFixed(program, theirs->chars + at, length))
                        continue;
                    reason[0] = '\0';
                    Quote(reason, COMPARE_REASON_SIZE, ours, at, at + length);
                    Append(reason, COMPARE_REASON_SIZE, "是程序的固定文字，你的写成了");
                    Quote(reason, COMPARE_REASON_SIZE, theirs, at, at + length);
                    Append(reason, COMPARE_REASON_SIZE, "（");
                    AppendNumber(reason, COMPARE_REASON_SIZE, changed);
                    Append(reason, COMPARE_REASON_SIZE, " 个字不同）");
                    return 1;
                }
            }
            start = end + 1;
            if (end < count && chars[end] == '%') {
                while (start < count && !(chars[start] >= 'a' && chars[start] <= 'z')) start++;
                start++;
            }
        }
    }
    return 0;
}

/* ============================ Form ======================================== */

static const char *EncodingName(int encoding) {
    switch (encoding) {
    case ENCODING_ASCII: return "ASCII";
    case ENCODING_UTF8: return "UTF-8";
    case ENCODING_GBK: return "GBK";
    case ENCODING_UTF16LE: return "UTF-16LE";
    case ENCODING_UTF16BE: return "UTF-16BE";
    default: return "";
    }
}

/* EncodingText(source, text): says in words what a side was read as. */
static void EncodingText(const struct CompareSource *s, char *text) {
    if (s->size == 0 && !s->pasted) { Append(text, COMPARE_REASON_SIZE, "是空文件"); return; }
    if (s->pasted) { Append(text, COMPARE_REASON_SIZE, "是粘贴的文字（不涉及编码）"); return; }
    static const char *const names[] = {"", "只有 ASCII 字符（GBK 与 UTF-8 相同）", "按 UTF-8 解码", "按 GBK 解码",
                                        "按 UTF-16（小端，FF FE）解码", "按 UTF-16（大端，FE FF）解码"};
    Append(text, COMPARE_REASON_SIZE, names[s->encoding]);
    if (s->bom) Append(text, COMPARE_REASON_SIZE, "（带 BOM）");
    if (!s->valid) Append(text, COMPARE_REASON_SIZE, "（有无法解码的字节，显示为 �）");
}

static const char *EndName(int ends) {
    return ends == ENDS_LF ? "LF（0A）" : ends == ENDS_CRLF ? "CRLF（0D 0A）" : "CRLF 和 LF 混用";
}

static const char *BomName(const struct CompareSource *s) {
    return s->encoding == ENCODING_UTF16LE ? "UTF-16 的 BOM（FF FE）"
         : s->encoding == ENCODING_UTF16BE ? "UTF-16 的 BOM（FE FF）" : "UTF-8 的 BOM（EF BB BF）";
}

/* The kinds of form a note names, in the headline's words. */
enum { NOTE_ENCODING, NOTE_BOM, NOTE_ENDS, NOTE_BLANKS, NOTE_FINAL, NOTE_PASTED };

/* AddNote(out, kinds, kind, text): adds one difference of form. */
static char *AddNote(struct Compared *out, int *kinds, int kind) {
    if (out->note_count >= COMPARE_NOTES) return NULL;
    kinds[out->note_count] = kind;
    char *note = out->notes[out->note_count++];
    note[0] = '\0';
    return note;
}

/* FormNotes(a, b, out, kinds): the differences of form between the sides:
 * the encoding, a BOM, the line ends, the trailing newlines. */
static void FormNotes(const struct CompareSource *a, const struct CompareSource *b, struct Compared *out, int *kinds) {
    char *n;
    if (b->pasted) {
        if ((n = AddNote(out, kinds, NOTE_PASTED)))
            Append(n, COMPARE_NOTE_SIZE, "粘贴的文字没有编码和行尾，只比较了文字；要逐字节对照，请打开文件");
        return;
    }
    if (a->encoding != b->encoding && a->encoding > ENCODING_ASCII && b->encoding > ENCODING_ASCII &&
        (n = AddNote(out, kinds, NOTE_ENCODING))) {
        Append(n, COMPARE_NOTE_SIZE, "编码不同：我们的是 ");
        Append(n, COMPARE_NOTE_SIZE, EncodingName(a->encoding));
        Append(n, COMPARE_NOTE_SIZE, "，你的是 ");
        Append(n, COMPARE_NOTE_SIZE, EncodingName(b->encoding));
    }
    if (a->bom != b->bom && (n = AddNote(out, kinds, NOTE_BOM))) {
        Append(n, COMPARE_NOTE_SIZE, b->bom ? "你的" : "我们的");
        Append(n, COMPARE_NOTE_SIZE, "文件开头有 ");
        Append(n, COMPARE_NOTE_SIZE, BomName(b->bom ? b : a));
        Append(n, COMPARE_NOTE_SIZE, b->bom ? "，我们的没有" : "，你的没有");
    }
    if (a->ends && b->ends && a->ends != b->ends && (n = AddNote(out, kinds, NOTE_ENDS))) {
        Append(n, COMPARE_NOTE_SIZE, "行尾不同：我们的是 ");
        Append(n, COMPARE_NOTE_SIZE, EndName(a->ends));
        Append(n, COMPARE_NOTE_SIZE, "，你的是 ");
        Append(n, COMPARE_NOTE_SIZE, EndName(b->ends));
    }
}

/* FinalNote(a, b, out, kinds): the note on the trailing newlines. */
static void FinalNote(const struct CompareSource *a, const struct CompareSource *b, struct Compared *out, int *kinds) {
    char *n;
    if (b->pasted || a->trailing == b->trailing || !(n = AddNote(out, kinds, NOTE_FINAL))) return;
    long d = a->trailing > b->trailing ? a->trailing - b->trailing : b->trailing - a->trailing;
    Append(n, COMPARE_NOTE_SIZE, "末尾的换行不同：你的文件末尾");
    Append(n, COMPARE_NOTE_SIZE, b->trailing < a->trailing ? "少了 " : "多了 ");
    AppendNumber(n, COMPARE_NOTE_SIZE, d);
    Append(n, COMPARE_NOTE_SIZE, " 个换行（我们的有 ");
    AppendNumber(n, COMPARE_NOTE_SIZE, a->trailing);
    Append(n, COMPARE_NOTE_SIZE, " 个，你的有 ");
    AppendNumber(n, COMPARE_NOTE_SIZE, b->trailing);
    Append(n, COMPARE_NOTE_SIZE, " 个）");
}

/* BlankNote(difference, views, text): says how the blanks of the first line
 * whose blanks differ differ: at its end, or inside it. */
static void BlankNote(long line, long column, const struct LineText *a, const struct LineText *b,
                      long from, long to_a, long to_b, char *text) {
    text[0] = '\0';
    Append(text, COMPARE_NOTE_SIZE, "空白不同：第 ");
    AppendNumber(text, COMPARE_NOTE_SIZE, line + 1);
    Append(text, COMPARE_NOTE_SIZE, " 行");
    long extra = (to_b - from) - (to_a - from);
    int at_end = to_a == a->length && to_b == b->length;
    int spaces_only = 1;
    for (long k = from; k < to_a && k < a->count; k++) spaces_only &= a->chars[k] == ' ';
    for (long k = from; k < to_b && k < b->count; k++) spaces_only &= b->chars[k] == ' ';
    if (at_end && spaces_only && extra != 0) {
        Append(text, COMPARE_NOTE_SIZE, "末尾");
        Append(text, COMPARE_NOTE_SIZE, extra < 0 ? "少了 " : "多了 ");
        AppendNumber(text, COMPARE_NOTE_SIZE, extra < 0 ? -extra : extra);
        Append(text, COMPARE_NOTE_SIZE, " 个空格");
        return;
    }
    Append(text, COMPARE_NOTE_SIZE, "第 ");
    AppendNumber(text, COMPARE_NOTE_SIZE, column + 1);
    Append(text, COMPARE_NOTE_SIZE, " 个字符：我们的是");
    Quote(text, COMPARE_NOTE_SIZE, a, from, to_a);
    Append(text, COMPARE_NOTE_SIZE, "，你的是");
    Quote(text, COMPARE_NOTE_SIZE, b, from, to_b);
    Append(text, COMPARE_NOTE_SIZE, "（→ 是制表符，· 是空格）");
}

/* ============================ The comparison ============================== */

/* Open(source, bytes, pasted): reads one side's encoding, lines and ends. */
static void Open(struct CompareSource *s, struct Bytes bytes, int pasted) {
    static const unsigned char empty[1] = {0};
    s->data = bytes.data ? bytes.data : empty;
    s->size = bytes.data ? bytes.length : 0;
    s->pasted = pasted;
    s->bom = 0;
    s->body = 0;
    s->valid = 1;
    const unsigned char *d = s->data;
    if (pasted) {
        s->encoding = ENCODING_UTF8;
    } else if (s->size >= 2 && d[0] == 0xFF && d[1] == 0xFE) {
        s->encoding = ENCODING_UTF16LE; s->bom = 1; s->body = 2;
    } else if (s->size >= 2 && d[0] == 0xFE && d[1] == 0xFF) {
        s->encoding = ENCODING_UTF16BE; s->bom = 1; s->body = 2;
    } else if (s->size >= 3 && d[0] == 0xEF && d[1] == 0xBB && d[2] == 0xBF) {
        s->encoding = ENCODING_UTF8; s->bom = 1; s->body = 3;
    } else {
        size_t k = 0;
        while (k < s->size && d[k] < 0x80) k++;
        if (k == s->size) {
            s->encoding = s->size ? ENCODING_ASCII : ENCODING_EMPTY;
        } else {
            s->encoding = ENCODING_UTF8;
            if (!AllValid(s)) s->encoding = ENCODING_GBK;
        }
    }
    if (s->encoding != ENCODING_ASCII && s->encoding != ENCODING_EMPTY && !pasted) s->valid = AllValid(s);
    Scan(s);
    if (pasted) s->ends = 0;
}

/* Headline(program, out, kinds): the verdict in words. */
static void Headline(const struct CompareProgram *program, struct Compared *out, const int *kinds) {
    static const char *const names[] = {"编码", "BOM", "行尾", "空白", "末尾的换行", ""};
    Append(out->headline, COMPARE_REASON_SIZE, "对照 ");
    Append(out->headline, COMPARE_REASON_SIZE, program->name);
    Append(out->headline, COMPARE_REASON_SIZE, " 的 ");
    Append(out->headline, COMPARE_REASON_SIZE, program->output);
    Append(out->headline, COMPARE_REASON_SIZE, "：");
    if (out->verdict == COMPARE_DIFFERENT) { Append(out->headline, COMPARE_REASON_SIZE, "内容不同"); return; }
    int named = 0;
    char list[COMPARE_REASON_SIZE] = "";
    for (int k = 0; k < out->note_count; k++) {
        if (kinds[k] == NOTE_PASTED) continue;
        if (named++) Append(list, sizeof list, "、");
        Append(list, sizeof list, names[kinds[k]]);
    }
    if (out->verdict == COMPARE_SAME) {
        Append(out->headline, COMPARE_REASON_SIZE, named || out->note_count ? "文字相同" : "完全一致");
        return;
    }
    Append(out->headline, COMPARE_REASON_SIZE, "格式错误——文字相同，只有");
    Append(out->headline, COMPARE_REASON_SIZE, list);
    Append(out->headline, COMPARE_REASON_SIZE, "不同（不是内容上的不同）");
}

void CompareOutputs(const struct CompareProgram *program, struct Bytes ours, struct Bytes theirs,
                    int pasted, struct Compared *out) {
    memset(out, 0, sizeof *out);
    struct CompareSource a, b;
    Open(&a, ours, 0);
    Open(&b, theirs, pasted);
    out->ours.encoding = a.encoding; out->ours.bom = a.bom; out->ours.valid = a.valid; out->ours.size = a.size;
    out->theirs.encoding = b.pasted ? ENCODING_UTF8 : b.encoding;
    out->theirs.bom = b.bom; out->theirs.valid = b.valid; out->theirs.size = b.size;
    Append(out->encodings, COMPARE_REASON_SIZE, "编码：我们的");
    EncodingText(&a, out->encodings);
    Append(out->encodings, COMPARE_REASON_SIZE, "，你的");
    EncodingText(&b, out->encodings);
    int kinds[COMPARE_NOTES] = {0};
    if (!pasted && a.size == b.size && (a.size == 0 || memcmp(a.data, b.data, a.size) == 0)) {
        out->verdict = COMPARE_SAME;
        Headline(program, out, kinds);
        return;
    }
    FormNotes(&a, &b, out, kinds);

    /* The lines as text, side by side, up to the first that differs. */
    long count = a.lines > b.lines ? a.lines : b.lines;
    size_t at_a = a.body, at_b = b.body;
    long i = 0;
    for (; i < count; i++) {
        size_t next_a = at_a, next_b = at_b;
        if (i < a.lines && i < b.lines && LinesEqual(&a, &next_a, &b, &next_b)) {
            at_a = next_a;
            at_b = next_b;
            continue;
        }
        break;
    }
    if (i == count) {
        FinalNote(&a, &b, out, kinds);
        int named = 0;
        for (int k = 0; k < out->note_count; k++) named += kinds[k] != NOTE_PASTED;
        out->verdict = named ? COMPARE_FORM : COMPARE_SAME;
        if (named) strcpy(out->reason, out->notes[0]);
        Headline(program, out, kinds);
        return;
    }

    /* Line i differs: only in its blanks, when every line from it on holds
     * the same tokens. */
    int blanks_only = 1;
    {
        size_t x = at_a, y = at_b;
        for (long k = i; k < count && blanks_only; k++)
            blanks_only = TokensEqual(&a, &x, k < a.lines, &b, &y, k < b.lines);
    }
    int a_exists = i < a.lines, b_exists = i < b.lines;
    struct LineText line_a, line_b;
    long from, len_a, len_b;
    CommonStart(&a, at_a, a_exists, &b, at_b, b_exists, &from, &len_a, &len_b, &line_a, &line_b);
    long tail = CommonEnd(&a, at_a, len_a, &b, at_b, len_b, from);
    out->line = i + 1;
    out->column = from + 1;
    View(&a, at_a, a_exists, from, len_a - tail, len_a, &out->expected);
    View(&b, at_b, b_exists, from, len_b - tail, len_b, &out->got);

    struct Difference difference;
    difference.line = i;
    difference.column = from;
    difference.ours_exists = a_exists;
    difference.theirs_exists = b_exists;
    difference.ours = &line_a;
    difference.theirs = &line_b;
    difference.lines = a_exists ? &a : &b;
    difference.ours_source = &a;
    difference.theirs_source = &b;
    struct Located located;
    memset(&located, 0, sizeof located);
    if (program->locate) program->locate(&difference, &located);
    out->step = located.step;
    Append(out->where, COMPARE_WHERE_SIZE, "第 ");
    AppendNumber(out->where, COMPARE_WHERE_SIZE, i + 1);
    Append(out->where, COMPARE_WHERE_SIZE, " 行，第 ");
    AppendNumber(out->where, COMPARE_WHERE_SIZE, from + 1);
    Append(out->where, COMPARE_WHERE_SIZE, " 个字符");
    if (located.where[0]) {
        Append(out->where, COMPARE_WHERE_SIZE, "，");
        Append(out->where, COMPARE_WHERE_SIZE, located.where);
    }

    if (blanks_only) {
        char *n = NULL;
        /* The blanks' note goes before the one on the final newlines. */
        if ((n = AddNote(out, kinds, NOTE_BLANKS)))
            BlankNote(i, from, &line_a, &line_b, from, len_a - tail, len_b - tail, n);
        FinalNote(&a, &b, out, kinds);
        out->verdict = COMPARE_FORM;
        if (n) strcpy(out->reason, n);
        Headline(program, out, kinds);
        return;
    }

    out->verdict = COMPARE_DIFFERENT;
    FinalNote(&a, &b, out, kinds);
    int near = a_exists && b_exists && NearMiss(program, &line_a, &line_b, from, out->reason);
    if (near) {
        /* The near miss names it best. */
    } else if (located.reason[0]) {
        strcpy(out->reason, located.reason);
    } else if (!b_exists) {
        Append(out->reason, COMPARE_REASON_SIZE, "你的输出在第 ");
        AppendNumber(out->reason, COMPARE_REASON_SIZE, i + 1);
        Append(out->reason, COMPARE_REASON_SIZE, " 行之前就结束了");
    } else if (!a_exists) {
        Append(out->reason, COMPARE_REASON_SIZE, "你的输出从第 ");
        AppendNumber(out->reason, COMPARE_REASON_SIZE, i + 1);
        Append(out->reason, COMPARE_REASON_SIZE, " 行起多出了内容");
    } else {
        Append(out->reason, COMPARE_REASON_SIZE, out->where);
        Append(out->reason, COMPARE_REASON_SIZE, "：你的是");
        Quote(out->reason, COMPARE_REASON_SIZE, &line_b, from, len_b - tail);
        Append(out->reason, COMPARE_REASON_SIZE, "，应为");
        Quote(out->reason, COMPARE_REASON_SIZE, &line_a, from, len_a - tail);
    }
    Headline(program, out, kinds);
}

/* ============================ A program without its own part ============== */

/* PlainComparison: the program's name and output and nothing else; the
 * common part then names a difference by its line and column alone. The
 * name is kept in a buffer of its own, since the caller's may not last. */
const struct CompareProgram *PlainComparison(const char *name, const char *output) {
    static char kept[64];
    static const char *const none[] = {NULL};
    static struct CompareProgram plain;
    kept[0] = '\0';
    Append(kept, sizeof kept, name);
    plain.name = kept;
    plain.output = output ? output : "stdout（控制台输出）";
    plain.locate = NULL;
    plain.fixed = none;
    return &plain;
}

/* ============================ The report as text ========================== */

/* SideLine(view, text, size): one side of the differing line as text. */
static void SideLine(const struct CompareView *view, char *text, size_t size) {
    Append(text, size, view->before);
    if (!view->exists) return;
    Append(text, size, "【");
    Append(text, size, view->marked);
    Append(text, size, "】");
    Append(text, size, view->after);
}

size_t CompareFormat(const struct Compared *report, char *text, size_t size) {
    if (size == 0) return 0;
    text[0] = '\0';
    Append(text, size, report->headline);
    Append(text, size, "\n");
    Append(text, size, report->encodings);
    Append(text, size, "\n");
    int shown = report->line > 0;
    if (shown) {
        Append(text, size, "第一个不同：");
        Append(text, size, report->where);
        Append(text, size, "\n");
        if (report->reason[0] && report->verdict == COMPARE_DIFFERENT) {
            Append(text, size, "  ");
            Append(text, size, report->reason);
            Append(text, size, "\n");
        }
        Append(text, size, "  我们的：");
        SideLine(&report->expected, text, size);
        Append(text, size, "\n  你的：  ");
        SideLine(&report->got, text, size);
        Append(text, size, "\n  不同的字节：我们的 ");
        Append(text, size, report->expected.hex);
        Append(text, size, "；你的 ");
        Append(text, size, report->got.hex);
        Append(text, size, "\n  （【】中是不同的部分，→ 是制表符，· 是空格）\n");
    }
    for (int k = 0; k < report->note_count; k++) {
        if (shown) Append(text, size, "另外，");
        Append(text, size, report->notes[k]);
        Append(text, size, "\n");
    }
    return strlen(text);
}
