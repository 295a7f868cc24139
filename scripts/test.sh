#!/usr/bin/env bash
# Builds every program and runs every test: the plain build with GCC, then the
# sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) with Clang,
# then, where MinGW-w64 and Wine are installed, the Windows build with the
# end-to-end cases run under Wine. Each lane ends with CTest's summary line;
# the script fails if any lane fails.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
status=0
passed=0
failed=0

lane() {  # lane NAME CMAKE-ARGS...
  local name=$1 log
  shift
  echo "== lane: $name"
  cmake -S . -B "build/$name" "$@" >/dev/null
  cmake --build "build/$name" -j "$jobs" >/dev/null
  log=$(mktemp)
  ctest --test-dir "build/$name" -j "$jobs" --output-on-failure | tee "$log" || status=1
  # "N% tests passed, F tests failed out of T"
  read -r f t < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$log") || true
  rm -f "$log"
  failed=$((failed + ${f:-1}))
  passed=$((passed + ${t:-0} - ${f:-0}))
}

lane gcc -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
lane sanitize -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON
if command -v x86_64-w64-mingw32-g++ >/dev/null && command -v wine >/dev/null; then
  # A persistent wineserver spares every case the start of a new one.
  export WINEDEBUG=-all
  wineboot -i >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 || true
  lane windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
  wineserver -k >/dev/null 2>&1 || true
else
  echo "== lane: windows SKIPPED: x86_64-w64-mingw32-g++ or wine is missing"
  echo "   (install with: apt-get install g++-mingw-w64-x86-64 wine64 wine)"
fi
echo "all lanes: $passed passed, $failed failed"
exit $status
