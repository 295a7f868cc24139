/* compare.cpp -- evaluator's part of the comparison (compare_parts.h):
 * where a line of result.txt stands in the trace (a row's step and column,
 * the header, the blank line or the value, with the run counted when the
 * file holds more than one), and the fixed texts of texts.h. */
#include "compare_parts.h"
#include "texts.h"

/* The fixed texts that result.txt holds. */
static const char *const kFixed[] = {TEXT_HEADER, TEXT_PUSH_OPND, TEXT_PUSH_OPTR, TEXT_OPERATE,
                                     TEXT_CANCEL, TEXT_RETURN, TEXT_SYNTAX_ERROR, TEXT_RESULT, NULL};

/* The header's first two columns, which start each run's table, and the
 * words before the value. */
struct Trace {
    uint32_t header[64];
    int header_count;
    int columns;                 /* how many columns the header names */
    int column_start[8];         /* where each column's name starts in header */
    int column_end[8];
    uint32_t result[16];
    int result_count;
};

/* TraceTexts(trace): reads the header and the result's words from texts.h. */
static void TraceTexts(struct Trace *t) {
    t->header_count = GbkText(TEXT_HEADER, t->header, 64);
    if (t->header_count > 0 && t->header[t->header_count - 1] == '\n') t->header_count--;
    t->columns = 0;
    for (int k = 0; k <= t->header_count && t->columns < 8;) {
        while (k < t->header_count && t->header[k] == ' ') k++;
        int start = k;
        while (k < t->header_count && t->header[k] != '\t') k++;
        t->column_start[t->columns] = start;
        t->column_end[t->columns++] = k;
        k++;
    }
    t->result_count = GbkText(TEXT_RESULT + 1, t->result, 16);
}

/* RowNumber(line): the step number a trace row starts with (digits and a
 * tab), or 0 when the line is no row. */
static long RowNumber(const struct LineText *line) {
    long n = 0;
    int k = 0;
    while (k < line->count && line->chars[k] >= '0' && line->chars[k] <= '9' && n < 100000000) {
        n = n * 10 + (long)(line->chars[k] - '0');
        k++;
    }
    return k > 0 && k < line->count && line->chars[k] == '\t' ? n : 0;
}

/* Field(line, column, from, to): the characters of the row's column
 * (counted from 0, between tabs) as from..to; returns 0 when there is none. */
static int Field(const struct LineText *line, int column, int *from, int *to) {
    int k = 0;
    for (int c = 0; c < column; c++) {
        while (k < line->count && line->chars[k] != '\t') k++;
        if (k >= line->count) return 0;
        k++;
    }
    *from = k;
    while (k < line->count && line->chars[k] != '\t') k++;
    *to = k;
    /* The blanks that separate the stack's items are shown, the one after
     * the last is not. */
    while (*to > *from && line->chars[*to - 1] == ' ') (*to)--;
    while (*from < *to && line->chars[*from] == ' ') (*from)++;
    return 1;
}

static void Locate(const struct Difference *d, struct Located *out) {
    struct Trace t;
    TraceTexts(&t);
    const struct LineText *line = d->ours_exists ? d->ours : d->theirs;
    /* Count the runs: a header line starts each. */
    int two = t.column_end[1];
    long runs = 0, total = 0, k = 0;
    struct LineWalk walk;
    struct LineText other;
    LineWalkStart(&walk, d->lines);
    while (LineWalkNext(&walk, &other)) {
        int at = Find(&other, t.header, two, 0);
        if (at >= 0) {
            total++;
            if (k < d->line || (k == d->line && d->column >= at)) runs++;
        }
        k++;
    }
    char run[64] = "";
    if (total > 1) {
        Append(run, sizeof run, "第 ");
        AppendNumber(run, sizeof run, runs > 1 ? runs : 1);
        Append(run, sizeof run, " 次运行，");
    }
    long row = RowNumber(line);
    if (row > 0) {
        int tabs = 0;
        for (long c = 0; c < d->column && c < line->count; c++) tabs += line->chars[c] == '\t';
        int column = tabs < t.columns ? tabs : t.columns - 1;
        Append(out->where, COMPARE_WHERE_SIZE, run);
        Append(out->where, COMPARE_WHERE_SIZE, "第 ");
        AppendNumber(out->where, COMPARE_WHERE_SIZE, row);
        Append(out->where, COMPARE_WHERE_SIZE, " 步，");
        AppendChars(out->where, COMPARE_WHERE_SIZE, t.header, t.column_start[column], t.column_end[column], 0);
        Append(out->where, COMPARE_WHERE_SIZE, " 列");
        if (d->column < line->count && line->chars[d->column] == '\t')
            Append(out->where, COMPARE_WHERE_SIZE, "（该列后面的制表符）");
        out->step = (int)row;
        /* The reason: that column of the student's row against ours. */
        int a0, a1, b0, b1;
        if (d->ours_exists && d->theirs_exists && Field(d->ours, column, &a0, &a1) &&
            Field(d->theirs, column, &b0, &b1)) {
            Append(out->reason, COMPARE_REASON_SIZE, "第 ");
            AppendNumber(out->reason, COMPARE_REASON_SIZE, row);
            Append(out->reason, COMPARE_REASON_SIZE, " 步：你的 ");
            AppendChars(out->reason, COMPARE_REASON_SIZE, t.header, t.column_start[column], t.column_end[column], 0);
            Append(out->reason, COMPARE_REASON_SIZE, " 是“");
            AppendChars(out->reason, COMPARE_REASON_SIZE, d->theirs->chars, b0, b1, 1);
            Append(out->reason, COMPARE_REASON_SIZE, "”，应为“");
            AppendChars(out->reason, COMPARE_REASON_SIZE, d->ours->chars, a0, a1, 1);
            Append(out->reason, COMPARE_REASON_SIZE, "”");
        }
        return;
    }
    int header = Find(line, t.header, two, 0);
    if (StartsWith(line, t.result, t.result_count) && (header < 0 || d->column < header)) {
        Append(out->where, COMPARE_WHERE_SIZE, run);
        Append(out->where, COMPARE_WHERE_SIZE, "运算结果");
    } else if (header >= 0) {
        Append(out->where, COMPARE_WHERE_SIZE, run);
        Append(out->where, COMPARE_WHERE_SIZE, "表头");
    } else if (line->length == 0) {
        Append(out->where, COMPARE_WHERE_SIZE, run);
        Append(out->where, COMPARE_WHERE_SIZE, "运算结果前的空行");
    }
}

static const struct CompareProgram kEvaluator = {"evaluator", "result.txt", Locate, kFixed};

void CompareEvaluator(struct Bytes ours, struct Bytes theirs, struct Compared *out) {
    CompareOutputs(&kEvaluator, ours, theirs, 0, out);
}

const struct CompareProgram *EvaluatorComparison(void) {
    return &kEvaluator;
}
