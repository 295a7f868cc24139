/* grade.h -- the plain structures of a grading: the programs, the cases,
 * the students and their results, shared by the run (main.cpp) and the
 * reports (report.cpp). */
#ifndef GRADER_GRADE_H
#define GRADER_GRADE_H

#include <cstdint>
#include <string>
#include <vector>

#include "judge.h"

struct CompareProgram;
struct Case;

/* One program of the project, as a student's submission must behave: a
 * stanza of web/programs.js, as the build writes it into programs.gen.h
 * (main.cpp makes the table from it). */
struct Program {
    const char *name;
    const char *output;      /* the file compared; nullptr: stdout */
    char input;              /* 'd' a file named on the command line, 'c' the
                                console, 'a' command-line arguments or keys */
    const char *input_file;  /* for 'd': the name the file is given */
    /* its own comparison (lab/<name>/compare.cpp), nullptr where it has
     * none and is compared line by line */
    const struct CompareProgram *(*comparison)(void);
    /* its exercise maker (lab/<name>/cases.cpp), nullptr where it has none
     * and is graded on the examples and the teacher's inputs alone */
    int (*make)(int size, uint32_t seed, struct Case *out);
};

/* One case: its input and what our own program did with it. */
struct TestCase {
    std::string id;          /* the file's name without .txt, or seed-<size>-<seed> */
    std::string exercise;    /* a seeded case: <size>-<seed>, as the page's links say */
    std::string group;       /* 公开, 教师, 随机 or 健壮性 */
    int is_public;           /* its input may be shown to students */
    int robust;              /* bad input: only a clean refusal is asked */
    int keyboard;            /* arguments typed at the keyboard instead */
    std::string input;       /* the bytes */
    std::string seed;        /* the output file's text before the run */
    int seed_exists;
    Outcome ours;
};

/* One case of one student. */
struct CaseResult {
    Verdict verdict;
    std::string reason;
    int step;
    long time_ms;
    long memory_kb;
    std::string mine;   /* the student's output when a report's link can carry it (32 KB), else empty */
};

/* One student: a subfolder of the class. */
struct Student {
    std::string folder;      /* the name on disk */
    std::string name;        /* the same in UTF-8 */
    std::string hint;        /* a note for Windows-only code, or empty */
    int compiled;            /* 0: 编译错误, every case CE */
    std::vector<CaseResult> results;
    int done;
};

/* Everything a report shows. */
struct Grading {
    const Program *program;
    unsigned seed;
    int public_only;
    std::vector<TestCase> cases;
    std::vector<Student> students;
    std::string sandbox_note;  /* empty, or why the runs were not sandboxed */
};

/* WriteReports(g, out): report.json, report.csv and report.html in the
 * folder out, from the students done so far. Returns 0 when a file could
 * not be written. */
int WriteReports(const Grading &g, const std::string &out);

/* Score(s): the student's score out of 100: the share of cases passed. */
int Score(const Grading &g, const Student &s);

#endif
