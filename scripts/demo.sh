#!/usr/bin/env bash
# Builds the programs and runs each on its main example under examples/,
# in a scratch directory, showing what it wrote converted from GBK to UTF-8.
# First installs the compiler toolchain where it is missing (Debian packages
# cmake, make and g++; iconv comes with libc-bin), see scripts/lib/packages.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/packages.sh
. scripts/lib/registry.sh
need_packages cmake make g++ libc-bin
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=Release -DDSD_TESTS=OFF >/dev/null
cmake --build build/demo -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
bin=$root/build/demo
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

show() {  # show FILE: print a GBK file as UTF-8, with a final line break
  iconv -f GBK -t UTF-8 "$1"
  echo
}

# Each program of the registry (web/programs.js) on its main example, as its
# input kind says: 'document', the file named on the command line (shown
# first); 'console', the example on stdin; 'args', the example's line as the
# arguments, then every other example of its folder typed in. Its output
# file, else its console, is shown.
run_one() {  # run_one PROGRAM: one program's demonstration
  local program=$1 input example output exe other
  input=$(registry_field "$program" input)
  example=$(registry_field "$program" mainExample)
  output=$(registry_field "$program" output)
  exe=$bin/$program/$program
  case $input in
    document)
      echo "== $program examples/$program/$example  ->  $output"
      cat "examples/$program/$example"
      echo "--"
      cp "examples/$program/$example" "$scratch/"
      (cd "$scratch" && "$exe" "$example")
      show "$scratch/$output" ;;
    console)
      echo "== $program < examples/$program/$example  (console)"
      "$exe" < "examples/$program/$example" | iconv -f GBK -t UTF-8
      echo ;;
    args)
      echo "== $program $(cat "examples/$program/$example")  ->  $output"
      # shellcheck disable=SC2046
      (cd "$scratch" && "$exe" $(cat "$root/examples/$program/$example"))
      show "$scratch/$output"
      for other in examples/"$program"/*; do
        [ "$(basename "$other")" != "$example" ] || continue
        echo
        echo "== $program < $other  ->  $output"
        (cd "$scratch" && "$exe" < "$root/$other")
        show "$scratch/$output"
      done ;;
  esac
}

first=1
for program in $(registry_names); do
  [ $first = 1 ] || echo
  first=0
  run_one "$program"
done
