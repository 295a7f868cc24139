#!/usr/bin/env bash
# Self-test of the device guard (guard.sh), run by the test command. The
# guard is pointed at stand-ins in a temporary directory, never at the real
# devices: a symbolic link to /dev/zero stands for a sound device (only its
# type and numbers are read, it is never opened), a regular file of 1 KB of
# zero bytes for a destroyed one. Prints one line per check and fails if the
# guard lets a damaged stand-in through, names the wrong phase or device, or
# stops a run whose devices are sound.
set -euo pipefail
guard=$(cd "$(dirname "$0")" && pwd)/guard.sh
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0

# run_guarded DEVICES SCRIPT: runs SCRIPT in a shell that has sourced the
# guard with DEVICES as its device list; sets rc, out and err.
run_guarded() {
  rc=0
  DSD_GUARD_SELF_TEST_DEVICES=$1 bash -c ". '$guard'; $2" >"$tmp/out" 2>"$tmp/err" || rc=$?
  out=$(cat "$tmp/out")
  err=$(cat "$tmp/err")
}

# expect TITLE CONDITION...: one line of result; counts a failed condition.
expect() {
  local title=$1
  shift
  if "$@"; then
    echo "ok   guard: $title"
  else
    echo "FAIL guard: $title (status $rc, stdout '$out', stderr '$err')"
    failures=$((failures + 1))
  fi
}

# A device that is already a regular file when the run starts.
head -c 1024 /dev/zero >"$tmp/broken"
run_guarded "$tmp/broken" 'guard_start; echo reached'
expect "a regular file at the start stops the run" \
  test $rc = 3 -a -z "$out" -a \
       "$err" = "device guard: before the first phase: $tmp/broken is regular file, not a character device"

# A phase that replaces a sound device by a regular file; the next phase
# must not run.
ln -s /dev/zero "$tmp/null"
run_guarded "$tmp/null" "guard_start
  guarded 'lane one' true
  guarded 'lane two' sh -c 'rm \"$tmp/null\" && head -c 1024 /dev/zero >\"$tmp/null\"'
  echo reached"
expect "a device destroyed during a phase stops the run after it" \
  test $rc = 3 -a -z "$out" -a \
       "$err" = "device guard: after lane two: $tmp/null is regular file, was character device $(stat -L -c %t:%T /dev/zero)"

# Sound devices: a failing phase only returns its status, the run goes on.
rm -f "$tmp/null"
ln -s /dev/zero "$tmp/null"
run_guarded "$tmp/null" "guard_start
  guarded 'lane one' sh -c 'exit 7' || echo \"lane one: \$?\"
  echo reached"
expect "sound devices let the run go on with the phase's status" \
  test $rc = 0 -a -z "$err" -a "$out" = "lane one: 7
reached"

[ $failures = 0 ]
