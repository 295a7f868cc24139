/* main.cpp -- evaluator: evaluates the integer expression on the last line
 * of the file named by its argument with the operator-precedence method, and
 * appends a step-by-step trace table and the value to "result.txt".
 *
 * A file that cannot be evaluated at all is refused with one line on stderr
 * and exit status 1, before "result.txt" is opened, so it stays as it was.
 * A result file that cannot be opened or written is refused the same way. */
#include <cstdio>
#include <cstdlib>

#include "driver.h"
#include "state.h"
#include "texts.h"

/* The result file, in the current directory. */
constexpr char RESULT_FILE[] = "result.txt";

/* Print the refusal format as one line on stderr, with name in place of its
 * %s, and end the program with status 1. */
[[noreturn]] static void Refuse(const char *format, const char *name) {
    fprintf(stderr, format, name);
    fputc('\n', stderr);
    exit(EXIT_FAILURE);
}

int main(int argc, char **argv) {
    if (argc < 2) Refuse(TEXT_USAGE, "evaluator");
    fp1 = fopen(argv[1], "r");
    if (fp1 == nullptr) Refuse(TEXT_CANNOT_READ, argv[1]);
    const char *refusal = Start();
    fclose(fp1);
    if (refusal != nullptr) Refuse(refusal, argv[1]);

    fp2 = fopen(RESULT_FILE, "a");
    if (fp2 == nullptr) Refuse(TEXT_CANNOT_OPEN_RESULT, RESULT_FILE);
    Run();
    int write_failed = ferror(fp2);
    if (fclose(fp2) != 0 || write_failed) Refuse(TEXT_WRITE_FAILED, RESULT_FILE);
    return 0;
}
