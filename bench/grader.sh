#!/usr/bin/env bash
# Benchmark of the grading kit: a class of STUDENTS submissions (default
# 100) × CASES cases (default 30: our 3 josephus examples and seeded ones),
# against the same executable run bare in a shell loop, each run in a
# fresh folder of its own as the kit does, on the same machine.
#
#     ./bench/grader.sh [GRADER] [STUDENTS] [CASES]
#
# GRADER defaults to build/gcc/grader/grader (built by the gcc lane). Every
# student hands in the same executable, our josephus compiled once, so that
# compiling is left out and both sides run the very same program. Prints
# the seconds of each side, the milliseconds per case and their ratio: the
# kit's cost per case (sandbox, limits, launcher, comparison, reports)
# over a bare run. Run it on an otherwise idle machine.
set -euo pipefail
cd "$(dirname "$0")/.."
grader=$(realpath "${1:-build/gcc/grader/grader}")
students=${2:-100}
cases=${3:-30}
ours=$(dirname "$grader")/../josephus/josephus
[ -x "$grader" ] && [ -x "$ours" ] || { echo "build grader and josephus first" >&2; exit 1; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for i in $(seq -w 1 "$students"); do
  mkdir -p "$scratch/class/s$i"
  cp "$ours" "$scratch/class/s$i/main"
done

start=$(date +%s.%N)
"$grader" josephus "$scratch/class" --cases $((cases - 3)) --jobs "$(nproc)" \
  --out "$scratch/out" >/dev/null
kit=$(echo "$(date +%s.%N) - $start" | bc)

# The bare loop: the same number of runs, the examples' arguments in turn,
# two at a time as the kit runs on two cores.
args1=$(cat examples/josephus/args.txt)
args2=$(cat examples/josephus/classic.txt)
bare_half() {  # bare_half FOLDER RUNS
  local n
  for ((n = 0; n < $2; n++)); do
    rm -rf "$1/w"; mkdir "$1/w"; cp "$ours" "$1/w/main"
    if ((n % 2)); then (cd "$1/w" && ./main $args1 >/dev/null 2>&1); else (cd "$1/w" && ./main $args2 >/dev/null 2>&1); fi
  done
}
runs=$((students * cases))
mkdir -p "$scratch/b1" "$scratch/b2"
start=$(date +%s.%N)
bare_half "$scratch/b1" $((runs / 2)) &
bare_half "$scratch/b2" $((runs - runs / 2))
wait
bare=$(echo "$(date +%s.%N) - $start" | bc)

echo "| side | seconds | ms per case |"
echo "|---|---|---|"
printf '| grader, %d students × %d cases | %.1f | %.2f |\n' "$students" "$cases" "$kit" "$(echo "$kit * 1000 / $runs" | bc -l)"
printf '| bare shell loop, %d runs | %.1f | %.2f |\n' "$runs" "$bare" "$(echo "$bare * 1000 / $runs" | bc -l)"
printf 'ratio: %.2f\n' "$(echo "$kit / $bare" | bc -l)"
