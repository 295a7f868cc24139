#!/usr/bin/env bash
# Builds every program and runs every test. First installs the Debian
# packages the lanes need that are missing (scripts/lib/packages.sh) and runs
# the device guard's self-test; then the lanes: the plain build with GCC
# (with the allocation-failure runs and the valgrind memcheck cases), the
# sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) with Clang,
# and the Windows build with MinGW-w64, whose end-to-end cases run under
# Wine; then the two archives of scripts/package.sh, checked as a user meets
# them, the check that the user guide quotes every message, and the tests of
# the comparison script web/tools/compare.mjs on the GCC build's outputs; then the
# browser edition: the wasm lane (build/wasm-test), whose end-to-end cases run
# its program scripts through web/tools/run.mjs, and the browser checks, which
# drive Debian's chromium through playwright-core over the page that
# scripts/web.sh builds in build/web. Every build
# here treats compiler warnings as errors, which a user's build does not. An
# installation that fails stops the script with the command to run by hand;
# a tool that a lane needs and that is still missing after it fails that
# lane. Each lane ends with CTest's summary line; the last line sums up the
# lanes' tests and the other checks (one each), and the script fails if
# anything failed.
#
# Every phase runs between two checks of the device guard
# (scripts/lib/guard.sh): a phase that leaves /dev/null, /dev/zero or
# /dev/full other than it found them stops the script at once (status 3).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/guard.sh
. scripts/lib/packages.sh
guard_start
jobs=$(nproc 2>/dev/null || echo 2)
status=0
passed=0
failed=0

# phase NAME COMMAND...: runs one phase between two device checks. A failed
# phase fails the script; one that added no failure of its own to the count
# (every phase but a lane) counts as one failure.
phase() {
  local name=$1 rc=0 before=$failed
  shift
  echo "== $name"
  guarded "$name" "$@" || rc=$?
  if [ $rc != 0 ]; then
    status=1
    [ "$failed" -gt "$before" ] || failed=$((failed + 1))
    echo "== $name: failed (status $rc)"
  fi
}

# check NAME COMMAND...: a phase that counts as one test.
check() {
  local before=$failed
  phase "$@"
  [ "$failed" -gt "$before" ] || passed=$((passed + 1))
}

packages() {  # every package a lane needs
  local runtime
  need_packages cmake make g++ clang libgtest-dev python3 libc-bin valgrind \
    g++-mingw-w64-x86-64 wine64 wine unzip nodejs emscripten python3-markdown \
    universal-ctags terser chromium fonts-wqy-microhei bubblewrap
  # npm comes with nodejs where that is not Debian's own package.
  command -v npm >/dev/null || need_packages npm
  runtime=$(sanitizer_runtime_package)
  [ -z "$runtime" ] || need_packages "$runtime"
}

# lane NAME CMAKE-ARGS...: configures and builds build/NAME with every
# program (a subset left in its cache by a partial build is dropped) and
# every compiler warning an error, runs its tests and adds them to the
# counts; fails when any step fails.
lane() {
  local name=$1
  shift
  cmake -S . -B "build/$name" -UDSD_PROGRAMS -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@" >/dev/null ||
    return 1
  cmake --build "build/$name" -j "$jobs" >/dev/null || return 1
  count_tests "$name"
}

# count_tests NAME: runs the tests of build/NAME and adds them to the
# counts; fails when a test fails or when there is none.
count_tests() {
  local name=$1 log rc=0 f t
  log=$(mktemp)
  ctest --test-dir "build/$name" -j "$jobs" --output-on-failure | tee "$log" || rc=$?
  # "N% tests passed, F tests failed out of T"
  read -r f t < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' "$log") || true
  rm -f "$log"
  if [ -z "${t:-}" ] || [ "$t" = 0 ]; then
    echo "lane $name ran no test"
    return 1
  fi
  failed=$((failed + f))
  passed=$((passed + t - f))
  return $rc
}

# The Windows lane runs under a Wine prefix of its own in build/, with one
# persistent wineserver, which spares every case the start of a new one; the
# server is stopped at the end, whatever the lane's outcome.
windows_lane() {
  local tool rc=0
  for tool in x86_64-w64-mingw32-g++ wine wineboot wineserver; do
    command -v "$tool" >/dev/null || { echo "$tool is missing"; return 1; }
  done
  export WINEPREFIX=$root/build/wine-prefix WINEDEBUG=-all
  wineserver -k >/dev/null 2>&1 && wineserver -w  # one left by an interrupted run
  mkdir -p "$WINEPREFIX"
  wineserver -p >/dev/null 2>&1 || { echo "wineserver did not start"; return 1; }
  if wineboot -i >/dev/null 2>&1; then
    lane windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release || rc=$?
  else
    echo "wineboot could not set up $WINEPREFIX"
    rc=1
  fi
  wineserver -k >/dev/null 2>&1 || true
  return $rc
}

# package_check: builds both archives and checks them as a user meets them:
# the zip's demos under Wine (in the Windows lane's prefix), the Linux trees
# against the end-to-end cases of the examples.
package_check() {
  export WINEPREFIX=$root/build/wine-prefix WINEDEBUG=-all
  ./scripts/package.sh -DCMAKE_COMPILE_WARNING_AS_ERROR=ON && tests/package/check.sh
}

# compare_check: the tests of web/tools/compare.mjs and of the exercise maker
# (the C++ of lab/, run inside the programs' scripts of the wasm lane,
# build/wasm-test/web), which run the programs of the GCC lane; node's test
# runner needs node 18 or later.
compare_check() {
  local major
  major=$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null) || { echo "node is missing"; return 1; }
  [ "$major" -ge 18 ] || { echo "node $major is too old: the tests need node 18 or later"; return 1; }
  DSD_BUILD_DIR=build/gcc DSD_WEB_DIR=build/wasm-test/web node --test tests/web/compare.test.mjs tests/web/exercise.test.mjs
}

# wasm_lane: builds the programs with emscripten in a folder of its own,
# build/wasm-test (the scripts go to build/wasm-test/web, never into the
# edition's build/web), with the tests and every warning an error, and runs
# every end-to-end case against those scripts through web/tools/run.mjs, as the
# page runs them.
wasm_lane() {
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
  emcmake cmake -S . -B build/wasm-test -UDSD_PROGRAMS -DCMAKE_BUILD_TYPE=MinSizeRel -DDSD_TESTS=ON \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON -DDSD_WEB_DIR="$root/build/wasm-test/web" >/dev/null || return 1
  cmake --build build/wasm-test -j "$jobs" >/dev/null || return 1
  count_tests wasm-test
}

# browser_check: the page as a user builds it (scripts/web.sh, build/web) in a
# real browser: the shared checks (tests/web/*.test.mjs but the comparison's
# and the exercise generator's own tests, which compare_check runs) and each
# program's own (tests/<name>/*.test.mjs), with playwright-core at the
# version its lock file pins.
browser_check() {
  ./scripts/web.sh >/dev/null || return 1
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error) || return 1
  node --test $(ls tests/*/*.test.mjs | grep -v '^tests/web/compare\.test\.mjs$\|^tests/web/exercise\.test\.mjs$')
}

phase "package installation" packages
check "device guard self-test" bash scripts/lib/guard_test.sh
phase "lane gcc" lane gcc -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
phase "lane sanitize" lane sanitize -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug -DDSD_SANITIZE=ON
phase "lane windows" windows_lane
check "packages" package_check
check "user guide messages" python3 tests/docs/check_guide.py
phase "lane wasm" wasm_lane
check "compare script" compare_check
check "browser checks" browser_check
echo "lanes: $passed passed, $failed failed"
exit $status
