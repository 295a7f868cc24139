/* The chain each step of evaluator shows is the real call path: the
 * program's functions on the stack when the row was made, from Run (main
 * loads the expression with Start, which takes no step, then calls Run) down
 * to the one holding the STEP (support/call_path.h; built by
 * add_call_path_test). The step writer calls Start and Run just as main
 * does and puts nothing in front, so its chains start at Run too.
 *
 * A syntax error or a division by zero ends the process inside Run, so each
 * run is made in a child process that writes what it saw to a file in the
 * run's own temp folder; the test then reads it. */
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "call_path.h"
#include "driver.h"
#include "state.h"
#include "step.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

using Path = std::vector<std::string>;

std::FILE *heard;   /* the hooked run's record: a line per step */

/* Writes "kind<TAB>real path<TAB>the hook's chain" for the step, names
 * separated by spaces, at once (the run may end in exit right after). */
void Hear(StepKind kind, const StepSite &site, char, char, char, int, int) {
    Path chain{site.func};    /* the site's function, then its callers' frames */
    const StepCall *f = site.calls;
    if (f != nullptr && f->func == site.func) f = f->caller;
    for (; f != nullptr; f = f->caller) chain.insert(chain.begin(), f->func);
    std::fprintf(heard, "%d\t", static_cast<int>(kind));
    for (const std::string &name : CallPath()) std::fprintf(heard, "%s ", name.c_str());
    std::fputc('\t', heard);
    for (const std::string &name : chain) std::fprintf(heard, "%s ", name.c_str());
    std::fputc('\n', heard);
    std::fflush(heard);
}

/* In the child: what main does with the file, the hook set, then exit 0. */
void HookedRun(const std::string &file, const std::string &record) {
    heard = std::fopen(record.c_str(), "w");
    fp1 = std::fopen(file.c_str(), "r");
    if (heard == nullptr || fp1 == nullptr || Start() != nullptr) std::exit(3);
    std::fclose(fp1);
    fp2 = std::tmpfile();
    StepHook = Hear;
    Run();
    std::exit(0);
}

/* In the child: the writer on the file, its stdout sent to trace. */
void WriterRun(std::string file, const std::string &trace) {
    int fd = open(trace.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) std::exit(3);
    char name[] = "evaluator";
    char *argv[] = {name, &file[0], nullptr};
    WriteSteps(2, argv);
    std::fflush(stdout);
    std::exit(0);
}

/* Runs run (which ends with exit) in a child process, so that the
 * program's globals start as a fresh process has them and an exit inside
 * the program ends the child alone. Returns the child's exit status, -1
 * when it did not exit. */
template <class Run>
int InChild(Run run) {
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        run();
        std::_Exit(4);  /* run ends with exit; this is never reached */
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

struct Heard {
    int kind;
    Path real, reported;
};

Path Words(const std::string &text) {
    std::istringstream in(text);
    Path words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

std::vector<Heard> ReadHeard(const std::string &record) {
    std::ifstream in(record);
    std::vector<Heard> steps;
    for (std::string line; std::getline(in, line);) {
        std::size_t a = line.find('\t'), b = line.find('\t', a + 1);
        steps.push_back({std::stoi(line.substr(0, a)), Words(line.substr(a + 1, b - a - 1)),
                         Words(line.substr(b + 1))});
    }
    return steps;
}

/* The chains of the trace's steps, in order, each with its depth (1 when
 * the trace gives none). */
struct Shown {
    Path chain;
    int depth;
};

std::vector<Shown> TraceChains(const std::string &trace) {
    std::ifstream in(trace);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<Shown> chains;
    std::regex chain("\"chain\":\\[([^\\]]*)\\](,\"depth\":([0-9]+))?"), name("\"([^\"]*)\"");
    for (std::sregex_iterator c(text.begin(), text.end(), chain), end; c != end; ++c) {
        std::string names = (*c)[1];
        Shown shown{{}, (*c)[3].matched ? std::stoi((*c)[3]) : 1};
        for (std::sregex_iterator n(names.begin(), names.end(), name); n != end; ++n)
            shown.chain.push_back((*n)[1]);
        chains.push_back(shown);
    }
    return chains;
}

/* The chain and depth the trace writes for a real path: a function's calls
 * of itself in a row stand once, and the number of the last function's is
 * the depth. */
Shown AsWritten(const Path &real) {
    Shown shown{{}, 0};
    for (const std::string &name : real) {
        if (!shown.chain.empty() && shown.chain.back() == name) {
            shown.depth++;
        } else {
            shown.chain.push_back(name);
            shown.depth = 1;
        }
    }
    return shown;
}

TEST(EvaluatorCallPath, EveryChainTheTraceShowsIsTheRealCallPath) {
    /* Brackets and precedence; an error cell of the relation (an unclosed
     * bracket) and an operator short of operands, the two syntax errors;
     * a division by zero. With the exit status each run ends with. */
    struct Case {
        const char *expression;
        int status;
    } cases[] = {{"(2+3)*4-10/(7-2)", 0}, {"2*(3+4", 255}, {"3+", 255}, {"8/(4-4)", 255}};
    std::set<int> kinds;
    for (const Case &c : cases) {
        char folder[] = "/tmp/evaluator_call_path_XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        std::string file = std::string(folder) + "/expr.txt", record = std::string(folder) + "/heard",
                    trace = std::string(folder) + "/trace";
        std::ofstream(file) << c.expression << "\n";

        EXPECT_EQ(InChild([&] { HookedRun(file, record); }), c.status) << c.expression;
        EXPECT_EQ(InChild([&] { WriterRun(file, trace); }), c.status) << c.expression;
        std::vector<Heard> steps = ReadHeard(record);
        std::vector<Shown> shown = TraceChains(trace);
        ASSERT_FALSE(steps.empty()) << c.expression;
        EXPECT_EQ(steps.front().real.front(), "Run") << "the test calls what main calls";
        ASSERT_EQ(shown.size(), steps.size()) << c.expression;
        for (std::size_t k = 0; k < steps.size(); k++) {
            kinds.insert(steps[k].kind);
            EXPECT_EQ(steps[k].reported, steps[k].real) << c.expression << " step " << k + 1
                                                        << " as the hook hears it";
            Shown written = AsWritten(steps[k].real);
            EXPECT_EQ(shown[k].chain, written.chain) << c.expression << " step " << k + 1 << " of the trace";
            EXPECT_EQ(shown[k].depth, written.depth) << c.expression << " step " << k + 1 << " of the trace";
        }
        for (const char *name : {"/expr.txt", "/heard", "/trace", ""}) std::remove((folder + std::string(name)).c_str());
    }
    EXPECT_EQ(kinds.size(), static_cast<std::size_t>(STEP_DIVIDE_ERROR) + 1) << "every kind of step was taken";
}

}  // namespace
