/* compare.cpp -- josephus's part of the comparison (compare_parts.h):
 * which leaving number of out.txt (seat numbers separated by blanks) holds
 * the first difference, and the two seats there. Its output holds no fixed
 * text, so no near miss is looked for. */
#include "compare_parts.h"

static void Locate(const struct Difference *d, struct Located *out) {
    const struct CompareSource *source = d->ours_exists ? d->ours_source : d->theirs_source;
    long seat = CountInLine(source, d->line, d->column, ' ') + 1;
    Append(out->where, COMPARE_WHERE_SIZE, "第 ");
    AppendNumber(out->where, COMPARE_WHERE_SIZE, seat);
    Append(out->where, COMPARE_WHERE_SIZE, " 个出列的座号");
    out->step = seat > 2147483647L ? 0 : (int)seat;
    struct LineText a, b;
    int have_a = d->ours_exists && TokenInLine(d->ours_source, d->line, seat - 1, &a);
    int have_b = d->theirs_exists && TokenInLine(d->theirs_source, d->line, seat - 1, &b);
    if (!have_a && !have_b) return;
    Append(out->reason, COMPARE_REASON_SIZE, "第 ");
    AppendNumber(out->reason, COMPARE_REASON_SIZE, seat);
    Append(out->reason, COMPARE_REASON_SIZE, " 个出列的座号：");
    if (have_b) {
        Append(out->reason, COMPARE_REASON_SIZE, "你的是 ");
        AppendChars(out->reason, COMPARE_REASON_SIZE, b.chars, 0, b.count < 24 ? b.count : 24, 1);
    } else {
        Append(out->reason, COMPARE_REASON_SIZE, "你的没有");
    }
    if (have_a) {
        Append(out->reason, COMPARE_REASON_SIZE, "，应为 ");
        AppendChars(out->reason, COMPARE_REASON_SIZE, a.chars, 0, a.count < 24 ? a.count : 24, 1);
    } else {
        Append(out->reason, COMPARE_REASON_SIZE, "，我们的没有这一个");
    }
}

static const struct CompareProgram kJosephus = {"josephus", "out.txt", Locate, NULL};

void CompareJosephus(struct Bytes ours, struct Bytes theirs, struct Compared *out) {
    CompareOutputs(&kJosephus, ours, theirs, 0, out);
}

const struct CompareProgram *JosephusComparison(void) {
    return &kJosephus;
}
