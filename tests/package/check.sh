#!/usr/bin/env bash
# Checks the two archives that ./scripts/package.sh wrote into build/package
# as a user meets them: the Windows zip unpacked, with each demo .bat run under
# Wine, and the Linux tree of cmake --install and of the tar.gz, with the
# end-to-end cases of the bundled examples run against its programs
# (tests/package/check_package.py says exactly what is compared); and the
# browser edition in all three archives, with the zip's page opened from
# file:// in chromium.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/lib/packages.sh
need_packages cmake python3 unzip binutils-mingw-w64-x86-64 wine64 wine
version=$(sed -n 's/^project(dsdemos VERSION \([^ )]*\).*/\1/p' CMakeLists.txt)
for archive in "dsdemos-$version-windows-x64.zip" "dsdemos-$version-linux-x86_64.tar.gz" \
               "dsdemos-$version-web.zip"; do
  if [ ! -f "build/package/$archive" ]; then
    echo "build/package/$archive is missing: run ./scripts/package.sh first" >&2
    exit 1
  fi
done
export WINEDEBUG=-all
wineboot -i >/dev/null 2>&1 || true
python3 tests/package/check_package.py "$version" build/package-linux

# The browser edition: each archive holds the folder of build/web as it is
# (but the checks' screenshots), and the page in the zip's web\ runs the
# examples in a real browser as the browser checks hold it to.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unzip -q "build/package/dsdemos-$version-windows-x64.zip" -d "$scratch/windows"
unzip -q "build/package/dsdemos-$version-web.zip" -d "$scratch/web"
tar xzf "build/package/dsdemos-$version-linux-x86_64.tar.gz" -C "$scratch"
for folder in windows/web web \
              "dsdemos-$version-linux-x86_64/share/doc/dsdemos/web"; do
  diff -r --exclude=shots build/web "$scratch/$folder" >/dev/null ||
    { echo "FAIL $folder differs from build/web" >&2; exit 1; }
  echo "ok $folder holds build/web"
done
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
DSD_WEB_DIR="$scratch/windows/web" \
  node --test --test-name-pattern='file' tests/web/edition.test.mjs
