#!/usr/bin/env bash
# Builds the programs and runs each on its bundled example under examples/,
# in a scratch directory, showing what it wrote converted from GBK to UTF-8.
# First installs the compiler toolchain where it is missing (Debian packages
# cmake, make and g++; iconv comes with libc-bin), see scripts/lib/packages.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/packages.sh
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

echo "== evaluator examples/evaluator/expr.txt  ->  result.txt"
cp examples/evaluator/expr.txt "$scratch/"
(cd "$scratch" && "$bin/evaluator/evaluator" expr.txt)
show "$scratch/result.txt"

echo
echo "== translator examples/translator/rules.txt  ->  translate.txt"
cat examples/translator/rules.txt
echo "--"
cp examples/translator/rules.txt "$scratch/"
(cd "$scratch" && "$bin/translator/translator" rules.txt)
show "$scratch/translate.txt"

echo
echo "== josephus $(cat examples/josephus/args.txt)  ->  out.txt"
# shellcheck disable=SC2046
(cd "$scratch" && "$bin/josephus/josephus" $(cat "$root/examples/josephus/args.txt"))
show "$scratch/out.txt"

echo
echo "== josephus < examples/josephus/keyboard.txt  ->  out.txt"
(cd "$scratch" && "$bin/josephus/josephus" < "$root/examples/josephus/keyboard.txt")
show "$scratch/out.txt"

echo
echo "== bitree < examples/bitree/session.txt  (console)"
"$bin/bitree/bitree" < examples/bitree/session.txt | iconv -f GBK -t UTF-8
echo
