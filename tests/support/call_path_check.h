/* call_path_check.h -- what the call-path tests share: a program run twice
 * on one input, once as main runs it with the step hook set and once
 * through its step writer, and the chains the writer's trace shows held,
 * step for step, to the real call paths (call_path.h) the hook heard.
 *
 * Each run is made in a child process, so that it starts from the
 * program's globals as a fresh process has them, and an exit inside the
 * program (a syntax error, say) ends the child alone. The child runs in
 * the input's own temp folder, with the input file as its stdin; it writes
 * what it saw to a file there, which the test then reads. A program's test
 * keeps only what is its own: its inputs, the two entries, its hook, and
 * what it expects of the steps besides:
 *
 *     void Hear(StepKind kind, const StepSite &site, ...) {
 *         HearStep(kind, ChainOf(site));
 *     }
 *     int Hooked(char *file) { ...what main does, StepHook = Hear...; return 0; }
 *     int Writer(char *file) { ...return WriteSteps(argc, argv); }
 *     ...
 *     StepRuns runs = RunTwice("<program>", input, Hooked, Writer);
 *     ExpectTheRealPaths(runs, "Run");
 */
#ifndef TEST_SUPPORT_CALL_PATH_CHECK_H
#define TEST_SUPPORT_CALL_PATH_CHECK_H

#include <string>
#include <vector>

using Path = std::vector<std::string>;

/* The chain a step's site carries: the frames of its function's callers,
 * outermost first, then the function itself, as lab/json.h writes "chain".
 * Site is the program's own StepSite (each program has its own: they
 * share nothing); its frames list the function itself first when it put a
 * frame of its own, so that one is left out. */
template <class Site>
Path ChainOf(const Site &site) {
    Path chain{site.func};
    auto f = site.calls;
    if (f != nullptr && f->func == site.func) f = f->caller;
    for (; f != nullptr; f = f->caller) chain.insert(chain.begin(), f->func);
    return chain;
}

/* For the hook of the hooked run: writes the step to the run's record,
 * its kind, its real call path (CallPath()) and the chain the hook was
 * given, at once (the run may end in exit right after). */
void HearStep(int kind, const Path &chain);

/* A step as the hook heard it. */
struct Heard {
    int kind;
    Path real;       /* the real call path, outermost first */
    Path reported;   /* the chain the hook was given */
};

/* A step's chain as the trace shows it, with its depth (1 when the trace
 * gives none). */
struct Shown {
    Path chain;
    int depth;
};

/* The chains of the steps of the trace text, in order. */
std::vector<Shown> TraceChains(const std::string &trace);

/* The chain and depth the trace writes for a real path: a function's
 * calls of itself in a row stand once, and the number of the last
 * function's is the depth. */
Shown AsWritten(const Path &real);

/* What the two runs on one input gave. */
struct StepRuns {
    int hooked, writer;         /* their exit statuses; -1 for one that did not exit */
    std::vector<Heard> heard;   /* the hooked run's steps, in order */
    std::vector<Shown> shown;   /* the chains of the writer's trace, in order */
};

/* Runs program (which names the temp folder) on input, the text of its
 * input file, twice, each in a child process in that folder with the file
 * as stdin: hooked(file), what main does with the file and the step hook
 * set to one that calls HearStep, its stdout to the null device; then
 * writer(file), the step writer on the file, its stdout the trace. Each
 * child exits with what its function returns (unless the program exits
 * first). file is the input file's path. The folder is removed after. */
StepRuns RunTwice(const char *program, const std::string &input, int (*hooked)(char *file),
                  int (*writer)(char *file));

/* Expects (GoogleTest) every step of runs to have been given its real
 * call path, and the trace to show, step for step, that path as written
 * (AsWritten), with before in front of its chain: as many steps in the
 * trace as the hook heard, and the first one's path starting at entry,
 * the function main calls (that the test calls what main calls). */
void ExpectTheRealPaths(const StepRuns &runs, const char *entry, const Path &before = {});

#endif
