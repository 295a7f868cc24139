/* argv_main.cpp -- runs a program's main with command-line arguments taken
 * from a file, one argument per line, so a fuzzer can vary them. The
 * program's main.cpp is compiled with -Dmain=program_main beside this. */
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int program_main(int argc, char **argv);

int main(int argc, char **argv) {
    if (argc < 2) return 2;
    FILE *f = fopen(argv[1], "rb");
    if (f == nullptr) return 2;
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
    return program_main(static_cast<int>(args.size()) - 1, args.data());
}
