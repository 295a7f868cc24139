/* call_path.h -- the real call path of a program's own functions, for the
 * tests that hold the chain a step shows (its STEP_CALL frames) to the
 * calls that really led to the step.
 *
 * How it knows: the test's copy of the program's core is compiled with
 * -finstrument-functions, so that every function of the program calls
 * __cyg_profile_func_enter on entry and __cyg_profile_func_exit on return
 * (call_path.cpp keeps them on a stack); nothing else is compiled so, so
 * GoogleTest's and the test's own functions never show. Names come from
 * the executable's own symbols: the exported ones (dladdr; the test is
 * linked with its symbols exported, -rdynamic), and for a static function,
 * which is never exported, the full symbol table of the file itself.
 *
 * Another program's test uses it in two lines: in tests/<program>/
 * CMakeLists.txt
 *     add_call_path_test(<program> call_path_test.cpp)
 * (tests/CMakeLists.txt: the test, the traced core and the program's step
 * writer built on it), and in the test's step hook
 *     HearStep(kind, ChainOf(site));
 * which keeps CallPath() beside the step's chain, its function's callers,
 * outermost first, then the function itself (as lab/json.h writes
 * "chain"); call_path_check.h runs the program and holds the two, and the
 * trace's chains, to each other. Native GCC and Clang builds only. */
#ifndef TEST_SUPPORT_CALL_PATH_H
#define TEST_SUPPORT_CALL_PATH_H

#include <string>
#include <vector>

/* The names of the program's functions running now, outermost first: the
 * function the test called into, down to the one that is running (the one
 * whose STEP called the hook, when called from a hook). A function whose
 * name cannot be found stands as "?" followed by its address, so that it
 * never matches a name. */
std::vector<std::string> CallPath();

#endif
