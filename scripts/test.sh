#!/usr/bin/env bash
# Builds every program and runs every test: the plain build with GCC, then the
# sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) with Clang.
# Each lane ends with CTest's summary line; the script fails if any lane fails.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
status=0

lane() {  # lane NAME CMAKE-ARGS...
  local name=$1; shift
  echo "== lane: $name"
  cmake -S . -B "build/$name" "$@" >/dev/null
  cmake --build "build/$name" -j "$jobs" >/dev/null
  ctest --test-dir "build/$name" -j "$jobs" --output-on-failure || status=1
}

lane gcc -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
lane sanitize -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON
exit $status
