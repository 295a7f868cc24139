/* judge.h -- the verdict of one case, and the sentence that says why.
 *
 * The verdicts are the ones students know from a course's online judge,
 * each with a stable English code for report.json. The comparison of the
 * output files is one call, CompareOutputs; everything else (time, memory,
 * output size, signals, exit status, the output file's mode) is decided
 * here from the run. Every text is UTF-8: it goes into the reports. */
#ifndef GRADER_JUDGE_H
#define GRADER_JUDGE_H

#include <string>

#include "sandbox.h"

struct CompareProgram;

enum Verdict { V_AC, V_PE, V_WA, V_TLE, V_MLE, V_OLE, V_RE, V_CE, V_COUNT };

/* VerdictCode(v): "AC", "PE", ...; VerdictName(v): 答案正确, 格式错误, ... */
const char *VerdictCode(Verdict v);
const char *VerdictName(Verdict v);

/* CompareOutputs(program, ours, theirs, reason, step): compares a
 * student's output bytes with ours by the program's comparison (the one of
 * the page's 对照, lab/compare_parts.h). Returns V_AC for the same bytes, V_PE when only the form
 * differs (line ends, blanks, final newlines, a byte order mark, the
 * encoding), V_WA otherwise; *reason gets one sentence (empty for V_AC; the
 * differences of form one after another) and *step the first differing
 * step counted from 1 (0: none). */
Verdict CompareOutputs(const struct CompareProgram *program, const std::string &ours, const std::string &theirs,
                       std::string *reason, int *step);

/* What one side of a case left behind. */
struct Outcome {
    RunResult run;
    int has_file;          /* the output file exists after the run */
    std::string output;    /* the output file, or stdout for a console program */
};

/* JudgeCase(program, ours, theirs, robust, seeded, limits, reason, step): the verdict
 * of a student's run against ours on one case. robust: a case of bad input,
 * where only a clean refusal counts (no crash, no hang, a non-zero exit,
 * the output file as before, where ours leaves it so: seeded says what it
 * held). */
Verdict JudgeCase(const struct CompareProgram *program, const Outcome &ours, const Outcome &theirs, int robust,
                  const std::string &seeded, int seeded_exists, const Limits &limits,
                  std::string *reason, int *step);

/* ToUtf8(bytes): GBK (or UTF-8 already) bytes as UTF-8 for the reports;
 * bytes that are neither become U+FFFD. */
std::string ToUtf8(const std::string &bytes);

#endif
