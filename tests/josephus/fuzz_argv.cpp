/* fuzz_argv.cpp -- runs josephus with command-line arguments taken from a
 * file, one argument per line, so a fuzzer can vary them. It calls the
 * program's own entry function, RunJosephus, as josephus/main.cpp does. */
#include <cstdio>
#include <string>
#include <vector>

#include "program.h"

/* Exit status when the file of arguments is missing or unreadable. */
constexpr int USAGE_FAILED = 2;

/* Reads the arguments from the file named by argv[1], one per line (what
 * follows the last line break is one more, empty when the file ends with a
 * line break), and returns the exit status of the run. Returns
 * USAGE_FAILED without a run when no file is named or it cannot be opened. */
int main(int argc, char **argv) {
    if (argc < 2) return USAGE_FAILED;
    FILE *f = fopen(argv[1], "rb");
    if (f == nullptr) return USAGE_FAILED;
    std::vector<std::string> lines(1, std::string());
    for (int c; (c = getc(f)) != EOF;) {
        if (c == '\n') lines.emplace_back();
        else lines.back() += static_cast<char>(c);
    }
    fclose(f);
    std::vector<char *> args;
    args.push_back(argv[0]);
    for (std::string &line : lines) args.push_back(&line[0]);
    args.push_back(nullptr);
    return RunJosephus(static_cast<int>(args.size()) - 1, args.data(), stdin);
}
