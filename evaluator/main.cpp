/* main.cpp -- evaluator: evaluates the integer expression on the last line
 * of the file named by its argument with the operator-precedence method, and
 * appends a step-by-step trace table and the value to "result.txt".
 *
 * A file that cannot be evaluated at all is refused with one line on stderr
 * and exit status 1, before "result.txt" is opened, so it stays as it was. */
#include <cstdio>
#include <cstdlib>

#include "driver.h"
#include "state.h"
#include "texts.h"

/* Print a refusal message on stderr and end the program with status 1. */
[[noreturn]] static void Refuse(const char *message) {
    fprintf(stderr, "%s\n", message);
    exit(EXIT_FAILURE);
}

int main(int argc, char **argv) {
    if (argc < 2) Refuse(TEXT_USAGE);
    fp1 = fopen(argv[1], "r");
    if (fp1 == nullptr) Refuse(TEXT_CANNOT_READ);
    const char *refusal = Start();
    fclose(fp1);
    if (refusal != nullptr) Refuse(refusal);

    fp2 = fopen("result.txt", "a");
    if (fp2 == nullptr) Refuse(TEXT_CANNOT_OPEN_RESULT);
    Run();
    int write_failed = ferror(fp2);
    if (fclose(fp2) != 0 || write_failed) Refuse(TEXT_WRITE_FAILED);
    return 0;
}
