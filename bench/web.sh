#!/usr/bin/env bash
# Benchmark of the browser edition:
#
#     ./bench/web.sh
#
# Builds the native release programs (build/bench, as bench/run.sh does) and
# the browser edition (build/web, scripts/web.sh), then bench/web.py prints:
#   - the native program against node web/tools/run.mjs on the same input, side by
#     side in one hyperfine run: the translator's 6-pass input and the
#     evaluator's 49-character expression;
#   - in Chromium, the time from a click on Run to the output shown, for
#     each tab's main example (bench/web_page.mjs);
#   - the total size of build/web;
#   - the longest main-thread block of each action that once held the page
#     up (bench/web_blocks.mjs: saving every step, long pastes, a 50 MB
#     file, the josephus tab's first load, tab switches), as JSON. With
#     DSD_BENCH_BEFORE=DIR (another build of the page, e.g. an older commit's
#     scripts/web.sh output in its own worktree) both are measured in the
#     same run, DIR first.
# Needs what bench/run.sh needs, and what the browser checks need (chromium
# and tests/web's npm packages); it installs nothing but those npm packages.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v hyperfine >/dev/null || { echo "bench: missing: hyperfine (apt-get install hyperfine)" >&2; exit 1; }
cmake -S bench -B build/bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/bench -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
./scripts/web.sh >/dev/null
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
python3 bench/web.py build/bench build/web
node bench/web_blocks.mjs ${DSD_BENCH_BEFORE:+before="$DSD_BENCH_BEFORE"} after=build/web
