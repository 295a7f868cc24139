#!/usr/bin/env bash
# Fuzzes the programs' real input paths with AFL++ under ASan + UBSan.
#
# usage: fuzz/run.sh SECONDS [TARGET...]
#   TARGET: each program of the registry (web/programs.js) on its real
#   input: the file named on its command line for input 'document' (an
#   expression file, a rule file), stdin for 'console' and 'args' (menu
#   choices, keyboard input); <program>_writer, its step writer
#   (lab/<program>/steps.cpp) on the same input; and <program>_argv, its
#   arguments one per line, where it has such a driver
#   (tests/<program>/fuzz_argv.cpp, built by fuzz/CMakeLists.txt); all of
#   them by default. Two targets run at a time, each
#   for SECONDS. Seeds come from the end-to-end cases, dictionaries from
#   fuzz/dict. Prints executions, paths, crashes and hangs per target and
#   fails if any target found a crash or a hang (kept under build/fuzz-work).
#   AFL counts a run as a hang after 10 s; on a loaded machine a sound but
#   slow run can pass that (a rule file whose sentence grows to its bound takes
#   about 3 s under the sanitizers), so every input saved as a hang is run
#   again alone with 60 s to finish, and only one that still does not end,
#   or ends in a sanitizer report, fails the script.
#   Installs afl++, the build tools and clang's sanitizer runtime where they
#   are missing. Each target runs between two checks of the device guard
#   (scripts/lib/guard.sh): one that leaves /dev/null, /dev/zero or /dev/full
#   other than it found them stops the script at once (status 3).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/guard.sh
. scripts/lib/packages.sh
. scripts/lib/registry.sh
guard_start
fuzz_packages() {  # afl++ (which brings clang), the build tools, the sanitizer runtime
  local runtime
  need_packages afl++ cmake make python3
  runtime=$(sanitizer_runtime_package)
  [ -z "$runtime" ] || need_packages "$runtime"
}
guarded "fuzzing: package installation" fuzz_packages
seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} = 0 ]; then
  for program in $(registry_names); do
    targets+=("$program")
    [ ! -f "tests/$program/fuzz_argv.cpp" ] || targets+=("${program}_argv")
    [ ! -f "lab/$program/steps.cpp" ] || targets+=("${program}_writer")
  done
fi

build=$root/build/fuzz
work=$root/build/fuzz-work
CC=afl-clang-fast CXX=afl-clang-fast++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DDSD_SANITIZE=ON -DDSD_TESTS=OFF -DDSD_FUZZ=ON >/dev/null
AFL_QUIET=1 cmake --build "$build" -j "$(nproc)" >/dev/null

export AFL_SKIP_CPUFREQ=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 AFL_NO_UI=1 AFL_NO_AFFINITY=1
export ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0
export UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:symbolize=0

target_info() {  # target_info TARGET: sets bin, mode and program
  program=${1%_writer}
  program=${program%_argv}
  case $(registry_field "$program" input) in
    document) mode=file ;;
    console|args) mode=stdin ;;
    *) echo "unknown target $1" >&2; return 2 ;;
  esac
  case $1 in
    *_argv) bin=$build/fuzz/$1; mode=argv ;;
    *_writer) bin=$build/fuzz/$1 ;;
    *) bin=$build/$1/$1 ;;
  esac
}

fuzz_one() {  # fuzz_one TARGET: runs afl-fuzz in the target's own directory
  local target=$1 bin mode program
  target_info "$target" || return 2
  local dir=$work/$target
  rm -rf "$dir" && mkdir -p "$dir" || return 1
  # The programs write their output file (the registry's `output`) into this
  # directory: a private file, never a shared device. Most are rewritten by
  # every run; one that a program appends to (result.txt) grows by about
  # 0.1 MB per second of fuzzing.
  # report() removes them once the figures are taken.
  python3 "$root/fuzz/seeds.py" "$program" "$mode" "$dir/seeds" >"$dir/seeds.log" || return 1
  local input=()
  [ "$mode" = stdin ] || input=(@@)
  local dict=()   # the program's dictionary, where it has one
  [ ! -f "$root/fuzz/dict/$program.dict" ] || dict=(-x "$root/fuzz/dict/$program.dict")
  (cd "$dir" && afl-fuzz -i seeds -o findings "${dict[@]}" \
      -V "$seconds" -t 10000 -- "$bin" "${input[@]}" >afl.log 2>&1) || {
    echo "$target: afl-fuzz failed, see $dir/afl.log"; tail -5 "$dir/afl.log"; return 1; }
}

rerun_hangs() {  # rerun_hangs TARGET: counts saved hangs that still hang
  local bin mode program still=0 input
  target_info "$1"
  for input in "$work/$1"/findings/default/hangs/id*; do
    [ -f "$input" ] || continue
    local rc=0
    if [ "$mode" = stdin ]; then
      (cd "$work/$1" && timeout 60 "$bin" <"$input" >rerun.out 2>rerun.err) || rc=$?
    else
      (cd "$work/$1" && timeout 60 "$bin" "$input" >rerun.out 2>rerun.err) || rc=$?
    fi
    # 124: still running after 60 s; 134: aborted by a sanitizer report.
    if [ $rc = 124 ] || [ $rc = 134 ] || grep -q Sanitizer "$work/$1/rerun.err"; then
      still=$((still + 1))
      echo "$1: $input does not end soundly (status $rc)" >&2
    fi
  done
  echo $still
}

report() {  # report TARGET: one line of figures; fails on crashes or real hangs
  local stats=$work/$1/findings/default/fuzzer_stats
  [ -f "$stats" ] || { echo "$1: no statistics"; return 1; }
  local execs paths crashes hangs real
  execs=$(awk -F' *: *' '$1=="execs_done"{print $2}' "$stats")
  paths=$(awk -F' *: *' '$1=="corpus_count"||$1=="paths_total"{print $2}' "$stats")
  crashes=$(awk -F' *: *' '$1=="saved_crashes"||$1=="unique_crashes"{print $2}' "$stats")
  hangs=$(awk -F' *: *' '$1=="saved_hangs"||$1=="unique_hangs"{print $2}' "$stats")
  real=$(rerun_hangs "$1")
  local bin mode program output
  target_info "$1"
  output=$(registry_field "$program" output)
  rm -f "$work/$1"/rerun.out ${output:+"$work/$1/$output"}
  printf '%-15s %10s execs %6s paths %4s crashes %4s hangs (%s still hang alone)\n' \
    "$1" "$execs" "$paths" "$crashes" "$hangs" "$real"
  [ "$crashes" = 0 ] && [ "$real" = 0 ]
}

# Two targets at a time, each checked by the guard in its own process; a
# failed check there stops the whole script at once.
status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    guarded "fuzzing $target" fuzz_one "$target" & pids+=($!)
  done
  for pid in "${pids[@]}"; do
    rc=0
    wait "$pid" || rc=$?
    if [ $rc = "$guard_status" ]; then
      kill "${pids[@]}" 2>/dev/null || true
      exit $rc
    fi
    [ $rc = 0 ] || status=1
  done
done
echo "== fuzzing, $seconds s per target"
for target in "${targets[@]}"; do guarded "fuzzing report $target" report "$target" || status=1; done
exit $status
