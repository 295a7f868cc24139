/* compare.h -- one comparison of a program's output with a student's, for
 * the page's 对照 panel, web/tools/compare.mjs and the grading kit alike.
 *
 * Both outputs come as bytes. Ours is what the program writes (GBK, or
 * ASCII); the student's may be GBK, UTF-8 (with or without a byte order
 * mark) or UTF-16 with its mark, with LF or CRLF line ends. The comparison
 * says one of three things:
 *
 *   COMPARE_SAME       the same bytes;
 *   COMPARE_FORM       格式错误: the same tokens (runs of non-blank
 *                      characters) on the same lines, and only the form
 *                      differs: the encoding, a byte order mark, the line
 *                      ends, blanks or tabs, or the newlines at the end;
 *   COMPARE_DIFFERENT  内容不同: a token differs, or a line is missing.
 *
 * and gives one Chinese sentence (UTF-8) that names what differs, the step
 * of the technique where it falls, and a bounded window of each side around
 * the first difference. Nothing in a Compared grows with the input: a
 * student's 50 MB one-line file gives the same few hundred bytes.
 *
 * The part common to all programs lives in lab/compare.cpp (the library
 * lab_common); each program's own part (where a line stands in its output,
 * its fixed texts taken from its texts.h or messages.h) in
 * lab/<program>/compare.cpp, in the library <program>_lab. Each program's
 * function has its own name, so that one tool can link them all. A program
 * without its own part is compared by the common part alone
 * (PlainComparison, compare_parts.h). */
#ifndef LAB_COMPARE_H
#define LAB_COMPARE_H

#include <stddef.h>

#include "programs.gen.h"

#ifdef __cplusplus
extern "C" {
#endif

/* A run of bytes that the caller owns; data may be NULL when length is 0. */
struct Bytes {
    const unsigned char *data;
    size_t length;
};

/* The verdicts, worst last. */
enum {
    COMPARE_SAME = 0,
    COMPARE_FORM = 1,
    COMPARE_DIFFERENT = 2
};

/* The room of each text of a Compared, NUL included. A window holds about
 * 200 characters of UTF-8 (up to 4 bytes each), with its marks. */
#define COMPARE_REASON_SIZE 512
#define COMPARE_WHERE_SIZE 256
#define COMPARE_WINDOW_SIZE 1024
#define COMPARE_HEX_SIZE 256
#define COMPARE_NOTE_SIZE 256
#define COMPARE_NOTES 5

/* The encodings a side can be read as. */
enum {
    ENCODING_EMPTY = 0,   /* no bytes at all */
    ENCODING_ASCII,       /* every byte below 0x80: GBK and UTF-8 alike */
    ENCODING_UTF8,
    ENCODING_GBK,
    ENCODING_UTF16LE,     /* after FF FE */
    ENCODING_UTF16BE      /* after FE FF */
};

/* What the comparison tells of one side. */
struct CompareSide {
    int encoding;          /* ENCODING_... */
    int bom;               /* 1 when the bytes start with a byte order mark */
    int valid;             /* 0 when some bytes decode to nothing (shown as U+FFFD) */
    size_t size;           /* its length in bytes */
};

/* One side of the first differing line, as shown: the characters before
 * the difference, the differing part and those after it, each cut to the
 * window (an ellipsis … marks a cut), tabs shown as →, CRs as ␍, and blanks
 * in the differing part as ·; hex is the differing part's bytes in upper-
 * case pairs (at most 48, then the count). exists is 0 where the side has
 * no such line (before then says so). */
struct CompareView {
    int exists;
    char before[COMPARE_WINDOW_SIZE];
    char marked[COMPARE_WINDOW_SIZE];
    char after[COMPARE_WINDOW_SIZE];
    char hex[COMPARE_HEX_SIZE];
};

/* The report. Every text is UTF-8 and ends with a NUL. */
struct Compared {
    int verdict;                      /* COMPARE_SAME, _FORM or _DIFFERENT */
    char headline[COMPARE_REASON_SIZE];  /* "对照 <程序> 的 <输出>：完全一致" */
    char encodings[COMPARE_REASON_SIZE]; /* "编码：我们的…，你的…" */
    char reason[COMPARE_REASON_SIZE];    /* one sentence: what differs, named
                                            by its step where there is one,
                                            e.g. "第 3 个出列的座号：你的是 5，应为 2";
                                            "" for COMPARE_SAME */
    int step;                         /* the first differing step, from 1
                                         (the unit of the program's output:
                                         a trace row, a menu choice, a word,
                                         a leaving number); 0 when none */
    long line;                        /* the first differing line and column
                                         (in characters), from 1; 0 when the
                                         lines' tokens are all the same */
    long column;
    char where[COMPARE_WHERE_SIZE];   /* "第 9 行，第 12 个字符，第 8 步，OPND栈 列" */
    struct CompareView expected;      /* ours */
    struct CompareView got;           /* the student's */
    struct CompareSide ours;
    struct CompareSide theirs;
    int note_count;                   /* the differences of form, each one */
    char notes[COMPARE_NOTES][COMPARE_NOTE_SIZE];  /* sentence: encoding, BOM,
                                         line ends, blanks, final newlines */
};

/* Compare<Name>(ours, theirs, out), one for each program that has its own
 * part of the comparison (lab/<name>/compare.cpp; programs.gen.h, from the
 * registry, lists them): compares our output of that program (the file its
 * stanza's `output` names, or its console output) with a student's and
 * fills *out. Needs no memory beyond a bounded amount of stack and never
 * fails; time grows linearly with the inputs. */
#define DSD_PROGRAM(name, Name, output, input, input_file, compares, makes) \
    DSD_WHEN_##compares(void Compare##Name(struct Bytes ours, struct Bytes theirs, struct Compared *out);)
DSD_EACH_PROGRAM
#undef DSD_PROGRAM

/* CompareFormat(report, text, size): writes the report as plain text, one
 * fact a line, each ending with a newline, the differing part between 【
 * and 】, into text (at most size bytes, NUL included; cut at a character's
 * boundary when it is too small). Returns the length written. The page and
 * the kit print this same text. */
size_t CompareFormat(const struct Compared *report, char *text, size_t size);

#ifdef __cplusplus
}
#endif

#endif
