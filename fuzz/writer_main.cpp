/* writer_main.cpp -- runs a program's step writer (lab/<program>/steps.cpp, WriteSteps)
 * as a console program, on the arguments and stdin it is given, so that a
 * fuzzer reaches it through the program's own input paths: the expression
 * or rule file named by the first argument, or stdin. */
extern "C" int WriteSteps(int argc, char **argv);

int main(int argc, char **argv) {
    return WriteSteps(argc, argv);
}
