/* compare_parts.h -- what the common comparison (compare.cpp) offers each
 * program's own part (lab/<program>/compare.cpp), and what it asks of it.
 *
 * A program's part says where a line of its output stands in the technique
 * (a Locate function) and which fixed texts its output holds; the common
 * part does the rest. Lines come to it as LineTexts: the first LINE_PREFIX
 * characters of a line as code points, with the line's whole length, so
 * that nothing it looks at grows with the input. */
#ifndef LAB_COMPARE_PARTS_H
#define LAB_COMPARE_PARTS_H

#include <stdint.h>

#include "compare.h"

/* How many characters of a line a program's part sees. */
#define LINE_PREFIX 256

/* The start of one line: its first count characters (count <= LINE_PREFIX)
 * and its whole length, both in characters. */
struct LineText {
    long length;
    int count;
    uint32_t chars[LINE_PREFIX];
};

/* One side, read as text (opaque to the programs' parts). */
struct CompareSource;

/* A walk over a side's lines, from the first: LineWalkStart, then
 * LineWalkNext until it returns 0. */
struct LineWalk {
    const struct CompareSource *source;
    size_t at;
    long line;
};
void LineWalkStart(struct LineWalk *walk, const struct CompareSource *source);
int LineWalkNext(struct LineWalk *walk, struct LineText *line);

/* The first difference, as a program's part is shown it: line and column
 * from 0; the line of each side (exists 0 where the side has no such line);
 * lines, the side that has line `line` (ours where both have it), to walk
 * the lines before it; whitespace 1 when only blanks differ. */
struct Difference {
    long line;
    long column;
    int ours_exists;
    int theirs_exists;
    const struct LineText *ours;
    const struct LineText *theirs;
    const struct CompareSource *lines;
    const struct CompareSource *ours_source;
    const struct CompareSource *theirs_source;
};

/* Where a difference stands: where (appended to "第 N 行，第 C 个字符"
 * after a comma, "" for nothing), reason (one sentence naming the step,
 * "" to leave the reason to the common part), step (from 1, 0 for none). */
struct Located {
    char where[COMPARE_WHERE_SIZE];
    char reason[COMPARE_REASON_SIZE];
    int step;
};

/* A program, as the comparison needs it. fixed lists the program's fixed
 * GBK texts (from its texts.h or messages.h), ending with NULL: a near miss
 * of one of them is named as such. */
struct CompareProgram {
    const char *name;
    const char *output;     /* UTF-8: "result.txt", "stdout（控制台输出）" */
    void (*locate)(const struct Difference *difference, struct Located *out);
    const char *const *fixed;
};

/* <Name>Comparison(), one for each program that has its own part of the
 * comparison (lab/<name>/compare.cpp): the program as the comparison needs
 * it. */
#define DSD_PROGRAM(name, Name, output, input, input_file, compares, makes) \
    DSD_WHEN_##compares(const struct CompareProgram *Name##Comparison(void);)
DSD_EACH_PROGRAM
#undef DSD_PROGRAM

/* PlainComparison(name, output): a program without its own part, compared
 * line by line and token by token with no step named (output NULL for its
 * console output). Keeps one program at a time: the latest call's. */
const struct CompareProgram *PlainComparison(const char *name, const char *output);

/* CompareOutputs(program, ours, theirs, pasted, out): the comparison of
 * compare.h for that program; pasted 1 when theirs is text pasted into the
 * page (UTF-8, with no encoding or line ends of its own). */
void CompareOutputs(const struct CompareProgram *program, struct Bytes ours, struct Bytes theirs,
                    int pasted, struct Compared *out);

/* ---- Helpers for the programs' parts ---- */

/* Append(text, size, s): appends the UTF-8 string s to text (size bytes
 * of room, NUL included), cut at a character boundary. AppendNumber: the
 * same for a decimal number. AppendChars: code points from..to of a line,
 * as UTF-8, with tabs as → when visible is 1. */
void Append(char *text, size_t size, const char *s);
void AppendNumber(char *text, size_t size, long n);
void AppendChars(char *text, size_t size, const uint32_t *chars, int from, int to, int visible);

/* CountInLine(source, line, column, cp): how many of the first column
 * characters of line `line` (from 0) are cp, the whole line read however
 * long it is. TokenInLine(source, line, index, token): the index-th token
 * (from 0; tokens are separated by blanks) of that line, its first
 * LINE_PREFIX characters; returns 0 when the line has no such token. */
long CountInLine(const struct CompareSource *source, long line, long column, uint32_t cp);
int TokenInLine(const struct CompareSource *source, long line, long index, struct LineText *token);

/* GbkText(gbk, chars, room): decodes a NUL-terminated GBK text into code
 * points; returns how many (at most room). */
int GbkText(const char *gbk, uint32_t *chars, int room);

/* StartsWith(line, chars, count): whether the line starts with those code
 * points. Find(line, chars, count, from): where they stand in the line's
 * prefix from position from, or -1. */
int StartsWith(const struct LineText *line, const uint32_t *chars, int count);
int Find(const struct LineText *line, const uint32_t *chars, int count, int from);

#endif
