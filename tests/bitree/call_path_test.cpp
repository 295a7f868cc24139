/* The chain each step of bitree shows is the real call path: the program's
 * functions on the stack when the step was taken, from RunMenu (all main
 * does is call it) down to the one holding the STEP (support/call_path.h;
 * built by add_call_path_test). The step writer calls RunMenu in main's
 * place, so its chains start there too. A function that calls itself
 * stands once in the trace's chain for its calls in a row, their number at
 * the end being the step's "depth": the real path is compared so folded.
 * The writer leaves out the last read of a choice, the one that finds the
 * input ended: so does the comparison.
 *
 * Each run is made in a child process, so that it starts from the
 * program's globals as a fresh process has them, with the session as its
 * stdin; the child writes what it saw to a file in the run's own
 * temp folder, which the test then reads. */
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
#include "menu.h"
#include "status.h"
#include "step.h"

extern "C" int WriteSteps(int argc, char **argv);

namespace {

using Path = std::vector<std::string>;

std::FILE *heard;   /* the hooked run's record: a line per step */

/* Writes "kind<TAB>real path<TAB>the hook's chain" for the step, names
 * separated by spaces. */
void Hear(StepKind kind, const StepSite &site, const void *, int value, const StepRanges &) {
    if (kind == STEP_CHOICE && value == CHOICE_END) return;  /* not in the trace */
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

/* In the child: the session file as stdin, stdout to the null device. */
void Session(const std::string &file, const char *out) {
    int fd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (std::freopen(file.c_str(), "r", stdin) == nullptr || fd < 0 || dup2(fd, STDOUT_FILENO) < 0)
        std::exit(3);
}

/* In the child: what main does on the session, the hook set, then exit 0. */
void HookedRun(const std::string &file, const std::string &record) {
    heard = std::fopen(record.c_str(), "w");
    if (heard == nullptr) std::exit(3);
    Session(file, "/dev/null");
    StepHook = Hear;
    int status = RunMenu();
    std::fclose(heard);
    std::exit(status);
}

/* In the child: the writer on the session, its stdout sent to trace. */
void WriterRun(const std::string &file, const std::string &trace) {
    Session(file, trace.c_str());
    char name[] = "bitree";
    char *argv[] = {name, nullptr};
    int status = WriteSteps(1, argv);
    std::fflush(stdout);
    std::exit(status);
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

TEST(BitreeCallPath, EveryChainTheTraceShowsIsTheRealCallPath) {
    /* Choice 0 on a tree, on pairs of unequal lengths and on a root its
     * inorder lacks; choices 1 and 2 on an expression, one that ends too
     * early and a division by zero; a number that is no choice and a word. */
    const char *session = "0 ABDECF DBEAFC\n0 AB A\n0 ABC XYZ\n1 *+123\n2 *+123\n"
                          "1 *+12\n2 /-052\n2 /10\n7\nx\n";
    char folder[] = "/tmp/bitree_call_path_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string file = std::string(folder) + "/session.txt", record = std::string(folder) + "/heard",
                trace = std::string(folder) + "/trace";
    std::ofstream(file) << session;

    EXPECT_EQ(InChild([&] { HookedRun(file, record); }), RUN_DONE);
    EXPECT_EQ(InChild([&] { WriterRun(file, trace); }), RUN_DONE);
    std::vector<Heard> steps = ReadHeard(record);
    std::vector<Shown> shown = TraceChains(trace);
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(steps.front().real.front(), "RunMenu") << "the test calls what main calls";
    ASSERT_EQ(shown.size(), steps.size());
    std::set<int> kinds;
    int deep = 0;                       /* steps of a function that called itself */
    for (std::size_t k = 0; k < steps.size(); k++) {
        kinds.insert(steps[k].kind);
        EXPECT_EQ(steps[k].reported, steps[k].real) << "step " << k + 1 << " as the hook hears it";
        Shown written = AsWritten(steps[k].real);
        if (written.depth > 1) deep++;
        EXPECT_EQ(shown[k].chain, written.chain) << "step " << k + 1 << " of the trace";
        EXPECT_EQ(shown[k].depth, written.depth) << "step " << k + 1 << " of the trace";
    }
    EXPECT_GT(deep, 0) << "recursion was on the path";
    EXPECT_EQ(kinds.size(), static_cast<std::size_t>(STEP_ZERO) + 1) << "every kind of step was taken";
    for (const char *name : {"/session.txt", "/heard", "/trace", ""}) std::remove((folder + std::string(name)).c_str());
}

}  // namespace
