#!/usr/bin/env bash
# Benchmark: each program at its largest inputs, side by side with a program
# that does nothing, whose run is the cost of starting a process.
#
#     ./bench/run.sh
#
# Builds, in build/bench, the release programs, an empty C++ program and
# the translator's pass timer, all with the same compiler and flags (one
# CMake build: bench/CMakeLists.txt on top of the project). Then
# bench/bench.py writes the inputs into a scratch directory, checks one run
# of every program on them, times them with hyperfine against the empty
# program and prints a Markdown table: per input the median wall time, its
# ratio to the empty program's median (and the same ratio for the processor
# time), the peak memory (largest resident set, from GNU time), and for the
# translator the characters per second over the whole run and through its
# rule passes, and the peak memory per character held. bench/bench.py
# describes the inputs.
#
# Characters per second through the rule passes: bench/pass_rate.cpp runs
# the translator's own library on the rule file and times the one call that
# makes all the passes (MidDeal), leaving out the start of the process, the
# reading of the file, the bracket expansion and the writing of the words.
# The characters are counted, not estimated: a census of the expanded
# sentence, carried through the rules, gives the characters each pass
# appends to the queue, and is checked against the queue afterwards. The
# figure is their sum over all passes divided by the time, the median of
# five runs. The whole-run column divides the same count by the whole run's
# median wall time less the empty program's, and by its processor time less
# the empty program's: the rate a user sees, words written included.
#
# Needs cmake, a C++ compiler, python3 (3.9 or later), hyperfine and GNU
# time (/usr/bin/time); it installs nothing. Run it on an otherwise idle
# machine: the report gives the load average before and after the timing.
set -euo pipefail
cd "$(dirname "$0")/.."

missing=""
for tool in cmake python3 hyperfine; do
  command -v "$tool" >/dev/null 2>&1 || missing="$missing $tool"
done
[ -x /usr/bin/time ] || missing="$missing time"
if [ -n "$missing" ]; then
  echo "bench: missing:$missing (on Debian: apt-get install$missing)" >&2
  exit 1
fi

cmake -S bench -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
exec python3 bench/bench.py build/bench
