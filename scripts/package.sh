#!/usr/bin/env bash
# Builds the release archives into build/package, named after the version of
# the CMake project:
#   dsdemos-<version>-linux-x86_64.tar.gz  the tree of cmake --install
#                                          (bin/, share/doc/dsdemos/)
#   dsdemos-<version>-windows-x64.zip      the programs cross-built with
#                                          MinGW-w64, statically linked, with
#                                          the examples, a demo .bat per
#                                          program and the guide as README.txt
#   dsdemos-<version>-web.zip              the browser edition's folder alone
#                                          (scripts/web.sh), for a static host
# The first two are made by CPack from the install rules in
# cmake/packaging.cmake, and both carry the browser edition too.
# Arguments are passed on to both configurations, e.g.
# -DCMAKE_COMPILE_WARNING_AS_ERROR=ON from the test command.
#
# usage: scripts/package.sh [CMAKE-ARGS...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
. scripts/lib/packages.sh
need_packages cmake make g++ g++-mingw-w64-x86-64
jobs=$(nproc 2>/dev/null || echo 2)
extra=("$@")
rm -rf build/package
mkdir -p build/package

# package BUILD-DIR CMAKE-ARGS...: build it and archive its install tree.
# Warnings are errors only when this run asks for it, whatever an earlier run
# left in the build's cache.
package() {
  local dir=build/$1
  shift
  echo "== $dir"
  cmake --no-warn-unused-cli -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DDSD_TESTS=OFF \
    -UCMAKE_COMPILE_WARNING_AS_ERROR "${extra[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs" >/dev/null
  cpack --config "$dir/CPackConfig.cmake" -B "$root/build/package" >/dev/null
}

# The browser edition first: both archives carry it, and it has one of its own.
./scripts/web.sh >/dev/null
package package-linux -DCMAKE_CXX_COMPILER=g++
package package-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
rm -rf build/package/_CPack_Packages
# dsdemos-<version>-web.zip: the edition's folder alone, for a static host;
# like the Windows zip it has no folder of its own, since unzipping makes one.
version=$(sed -n 's/^project(dsdemos VERSION \([^ )]*\).*/\1/p' CMakeLists.txt)
web=build/package-web
rm -rf "$web"
mkdir -p "$web"
(cd build/web && find . -path ./shots -prune -o -type f -print0 | xargs -0 cp --parents -t "$root/$web")
(cd "$web" && cmake -E tar cf "$root/build/package/dsdemos-$version-web.zip" --format=zip -- *)
ls -l build/package
