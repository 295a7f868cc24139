# packages.sh -- sourced by the scripts that need Debian packages.
#
#     . scripts/lib/packages.sh
#     need_packages cmake make g++
#
# need_packages installs those of the named packages that are not installed
# yet, after `apt-get update`: directly when the script runs as root,
# through sudo otherwise. Where neither works (no root, no sudo, no apt-get)
# it stops the script with one line naming the exact command to run. It does
# nothing, and runs no apt-get at all, when every package is already there.

# missing_packages PKG...: prints those of PKG that dpkg does not list as
# installed, one per line.
missing_packages() {
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q ' installed$' || echo "$pkg"
  done
}

# need_packages PKG...: installs the missing ones among PKG; exits the
# script with status 1 and one line on stderr when it cannot.
need_packages() {
  local missing sudo=()
  if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    echo "needs the Debian packages: $* (this is not a Debian or Ubuntu system; install them by hand)" >&2
    exit 1
  fi
  mapfile -t missing < <(missing_packages "$@")
  [ ${#missing[@]} -gt 0 ] || return 0
  if [ "$(id -u)" != 0 ]; then
    if ! command -v sudo >/dev/null; then
      echo "missing packages; run as root: apt-get update && apt-get install -y ${missing[*]}" >&2
      exit 1
    fi
    sudo=(sudo)
  fi
  echo "== installing: ${missing[*]}"
  if ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
     ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null; then
    echo "could not install the packages; run: sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}

# sanitizer_runtime_package: prints the Debian package that holds the
# AddressSanitizer and UndefinedBehaviorSanitizer runtime of the installed
# clang: libclang-rt-N-dev where the archive has it (Debian 12, Ubuntu 24.04),
# else libclang-common-N-dev, which holds it on older releases (Ubuntu 22.04).
# N is clang's major version. Needs clang installed; prints nothing without it.
sanitizer_runtime_package() {
  local major
  major=$(clang -dumpversion 2>/dev/null) || return 0
  major=${major%%.*}
  if apt-cache show "libclang-rt-$major-dev" >/dev/null 2>&1; then
    echo "libclang-rt-$major-dev"
  else
    echo "libclang-common-$major-dev"
  fi
}
