#!/usr/bin/env bash
# Measures how much of the programs' own code the test suite runs: builds
# with GCC and --coverage in build/coverage, runs the whole CTest suite there
# (unit tests, end-to-end cases, allocation-failure runs, memcheck cases),
# then prints line and branch coverage of each program's folder (the
# programs of the registry, web/programs.js) for each program and in
# total, and of each program's step
# writer (lab/<program>/steps.cpp, with lab/json.h) on a line of
# its own (tests/, fuzz/ and build/ are not counted).
#
# usage: scripts/coverage.sh [PROGRAM...]     (every program by default)
#
# Branches that the compiler adds for exceptions and branches it proves can
# never be taken are left out of the figures. The end-to-end cases run the
# program binaries as child processes; each of them adds its counts to the
# .gcda files when it exits. CTest runs one test at a time here, so no two
# processes ever merge into the same .gcda file at once. Installs gcovr and
# the build and test tools where they are missing (scripts/lib/packages.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/lib/packages.sh
. scripts/lib/registry.sh
need_packages gcovr cmake make g++ libgtest-dev python3 valgrind
programs=("$@")
[ ${#programs[@]} -gt 0 ] || mapfile -t programs < <(registry_names)

build=build/coverage
list=$(IFS=';'; echo "${programs[*]}")
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Debug \
  "-DDSD_PROGRAMS=$list" -DCMAKE_CXX_FLAGS=--coverage \
  -DCMAKE_EXE_LINKER_FLAGS=--coverage -DCMAKE_MODULE_LINKER_FLAGS=--coverage >/dev/null
# Counts of an earlier run would add up with this one's (and the test
# listing that runs while building writes some too).
find "$build" -name '*.gcda' -delete
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
find "$build" -name '*.gcda' -delete
ctest --test-dir "$build" -j 1 --output-on-failure || status=$?

# One gcov pass over the build, kept as a tracefile; then the figures of each
# program are taken from it. CMake's own checks leave objects under
# CMakeFiles; so do the step writer libraries, <program>_steps.dir, which
# count.
trace=$build/coverage.json
filters=()
for program in "${programs[@]}"; do filters+=(--filter "$program/"); done
steps=(--filter 'lab/json\.h')
for program in "${programs[@]}"; do steps+=(--filter "lab/${program}/steps\.cpp"); done
gcovr --root . --object-directory "$build" --exclude-directories "$build/CMakeFiles/(?!\w+_steps\.dir)" \
  "${filters[@]}" "${steps[@]}" --exclude-throw-branches --exclude-unreachable-branches --json "$trace"

# The text report goes to a file of the build: gcovr checks that it can
# create its --output by creating the path and then deleting it, so given a
# device such as /dev/null it deletes the device node, and then writes its
# report to a regular file of that name.
summary() {  # summary TITLE FILTER...: one line of figures
  local title=$1; shift
  gcovr --root . --add-tracefile "$trace" "$@" --print-summary --output "$build/report.txt" |
    awk -v t="$title" '/^lines:/ {sub(/^lines: */, ""); l = $0}
                       /^branches:/ {sub(/^branches: */, ""); b = $0}
                       END {printf "%-10s lines %-26s branches %s\n", t, l, b}'
}
echo "== coverage of the programs' own code"
for program in "${programs[@]}"; do summary "$program" --filter "$program/"; done
summary total "${filters[@]}"
echo "== coverage of the step writers (lab/)"
for program in "${programs[@]}"; do
  summary "${program}" --filter "lab/${program}/steps\.cpp"
done
summary "json.h" --filter 'lab/json\.h'
echo "(what is left uncovered: gcovr --root . --add-tracefile $trace --filter PROGRAM/" \
     "[--branches] [--html-details OUT.html])"
exit "${status:-0}"
