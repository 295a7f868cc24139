/* call_path_check.cpp -- the two runs of a call-path test, each in a child
 * process, and the check of the trace's chains against the real paths
 * (see call_path_check.h). */
#include "call_path_check.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "call_path.h"

namespace {

std::FILE *heard;   /* the hooked run's record: a line per step */

/* ============================ The children ================================ */

/* Runs run (which ends with exit) in a child process. Returns the child's
 * exit status, -1 when it did not exit. */
template <class Run>
int InChild(Run run) {
    std::fflush(nullptr);   /* nothing buffered is written twice */
    pid_t pid = fork();
    if (pid == 0) {
        run();
        std::_Exit(4);  /* run ends with exit; this is never reached */
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

/* In the child: into folder, the input file as stdin, stdout to out. */
void Enter(const std::string &folder, const std::string &file, const char *out) {
    int fd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (chdir(folder.c_str()) != 0 || std::freopen(file.c_str(), "r", stdin) == nullptr || fd < 0 ||
        dup2(fd, STDOUT_FILENO) < 0)
        std::exit(3);
}

/* ============================ The records ================================= */

Path Words(const std::string &text) {
    std::istringstream in(text);
    Path words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

/* The record's steps: a line "kind<TAB>real path<TAB>chain" each, names
 * separated by spaces (HearStep). */
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

std::string ReadAll(const std::string &file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

/* Removes folder and every file the runs left in it. */
void RemoveFolder(const std::string &folder) {
    if (DIR *dir = opendir(folder.c_str())) {
        while (const dirent *entry = readdir(dir))
            if (entry->d_name[0] != '.') std::remove((folder + "/" + entry->d_name).c_str());
        closedir(dir);
    }
    std::remove(folder.c_str());
}

}  // namespace

/* ============================ The interface =============================== */

void HearStep(int kind, const Path &chain) {
    std::fprintf(heard, "%d\t", kind);
    for (const std::string &name : CallPath()) std::fprintf(heard, "%s ", name.c_str());
    std::fputc('\t', heard);
    for (const std::string &name : chain) std::fprintf(heard, "%s ", name.c_str());
    std::fputc('\n', heard);
    std::fflush(heard);
}

std::vector<Shown> TraceChains(const std::string &trace) {
    std::vector<Shown> chains;
    std::regex chain("\"chain\":\\[([^\\]]*)\\](,\"depth\":([0-9]+))?"), name("\"([^\"]*)\"");
    for (std::sregex_iterator c(trace.begin(), trace.end(), chain), end; c != end; ++c) {
        std::string names = (*c)[1];
        Shown shown{{}, (*c)[3].matched ? std::stoi((*c)[3]) : 1};
        for (std::sregex_iterator n(names.begin(), names.end(), name); n != end; ++n)
            shown.chain.push_back((*n)[1]);
        chains.push_back(shown);
    }
    return chains;
}

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

StepRuns RunTwice(const char *program, const std::string &input, int (*hooked)(char *file),
                  int (*writer)(char *file)) {
    StepRuns runs{-1, -1, {}, {}};
    std::string folder = "/tmp/" + std::string(program) + "_call_path_XXXXXX";
    if (mkdtemp(&folder[0]) == nullptr) {
        ADD_FAILURE() << "no temp folder for " << program;
        return runs;
    }
    std::string file = folder + "/input.txt", record = folder + "/heard", trace = folder + "/trace";
    std::ofstream(file, std::ios::binary) << input;

    runs.hooked = InChild([&] {
        heard = std::fopen(record.c_str(), "w");
        if (heard == nullptr) std::exit(3);
        Enter(folder, file, "/dev/null");
        std::exit(hooked(&file[0]));
    });
    runs.writer = InChild([&] {
        Enter(folder, file, trace.c_str());
        int status = writer(&file[0]);
        std::fflush(stdout);
        std::exit(status);
    });
    runs.heard = ReadHeard(record);
    runs.shown = TraceChains(ReadAll(trace));
    RemoveFolder(folder);
    return runs;
}

void ExpectTheRealPaths(const StepRuns &runs, const char *entry, const Path &before) {
    ASSERT_FALSE(runs.heard.empty()) << "the hook heard no step";
    const Path &first = runs.heard.front().real;
    EXPECT_EQ(first.empty() ? std::string() : first.front(), entry) << "the test calls what main calls";
    ASSERT_EQ(runs.shown.size(), runs.heard.size()) << "steps in the trace";
    for (std::size_t k = 0; k < runs.heard.size(); k++) {
        const Heard &step = runs.heard[k];
        EXPECT_EQ(step.reported, step.real) << "step " << k + 1 << " as the hook hears it";
        Shown written = AsWritten(step.real);
        written.chain.insert(written.chain.begin(), before.begin(), before.end());
        EXPECT_EQ(runs.shown[k].chain, written.chain) << "step " << k + 1 << " of the trace";
        EXPECT_EQ(runs.shown[k].depth, written.depth) << "step " << k + 1 << " of the trace";
    }
}
