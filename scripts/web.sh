#!/usr/bin/env bash
# Builds the browser edition into build/web/: the four programs compiled by
# emscripten (cmake/web.cmake), each one self-contained script, beside the
# page (web/), the examples packed into examples.js, the programs' own C++
# for the code panel in sources.js, and the user guide rendered as
# guide.html. The folder opens from file:// by double-click and
# from any static host; it needs nothing else.
#
# First installs what it needs where it is missing (Debian packages
# emscripten, cmake, make, python3, python3-markdown, universal-ctags,
# whose end lines give the code panel its function index, and terser, which
# shortens the programs' emscripten JavaScript (cmake/web.cmake); see
# scripts/lib/packages.sh). Extra arguments go to CMake's configuration.
#
# build/web is emptied first, so that a file removed from web/ or left by
# another build never lands in the edition or its packages; and build/wasm
# forgets the options cached by an earlier configuration (a test build's
# -DCMAKE_COMPILE_WARNING_AS_ERROR=ON would otherwise stay), so a user's
# build never treats warnings as errors. The test command builds its own
# wasm lane in build/wasm-test.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/packages.sh
need_packages emscripten cmake make python3 python3-markdown universal-ctags terser
# emcc runs its JavaScript tools with node and finds their acorn parser only
# through Debian's module folder when node is not Debian's own.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
out=$root/build/web
jobs=$(nproc 2>/dev/null || echo 2)

rm -rf "$out" build/wasm/CMakeCache.txt
mkdir -p "$out"
# Optimised for size: the page loads every program at once, and the runs
# take no longer than with -O3.
emcmake cmake -S . -B build/wasm -DCMAKE_BUILD_TYPE=MinSizeRel -DDSD_WEB_DIR="$out" "$@" >/dev/null
cmake --build build/wasm -j "$jobs" >/dev/null
# The page: its HTML, CSS and scripts under web/, but the node tools
# (web/tools/) and the rooms' READMEs.
(cd web && find . -type f \( -name '*.html' -o -name '*.css' -o -name '*.js' \) \
   ! -path './tools/*' -print0 | xargs -0 cp --parents -t "$out")
# Debian's python3, which the Debian package python3-markdown serves.
/usr/bin/python3 scripts/web/assets.py "$out"
size=$(find "$out" -path "$out/shots" -prune -o -type f -printf '%s\n' | awk '{s += $1} END {print int(s / 1024)}')
echo "build/web: $size KB in its files; open build/web/index.html"
