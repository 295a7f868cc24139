#!/usr/bin/env bash
# Checks the two archives that ./scripts/package.sh wrote into build/package
# as a user meets them: the Windows zip unpacked, with each demo .bat run under
# Wine, and the Linux tree of cmake --install and of the tar.gz, with the
# end-to-end cases of the bundled examples run against its programs
# (tests/package/check_package.py says exactly what is compared).
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib/packages.sh
need_packages cmake python3 unzip binutils-mingw-w64-x86-64 wine64 wine
version=$(sed -n 's/^project(dsdemos VERSION \([^ )]*\).*/\1/p' CMakeLists.txt)
for archive in "dsdemos-$version-windows-x64.zip" "dsdemos-$version-linux-x86_64.tar.gz"; do
  if [ ! -f "build/package/$archive" ]; then
    echo "build/package/$archive is missing: run ./scripts/package.sh first" >&2
    exit 1
  fi
done
export WINEDEBUG=-all
wineboot -i >/dev/null 2>&1 || true
python3 tests/package/check_package.py "$version" build/package-linux
