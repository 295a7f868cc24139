# guard.sh -- sourced by the scripts that run the builds, tests and fuzzing.
#
#     . scripts/lib/guard.sh
#     guard_start                        # record the devices, fail if one is wrong
#     guarded "lane gcc" some_command    # check, run, check again
#
# The builds and tests write to /dev/null, and some tests through links to
# /dev/full; these and /dev/zero are devices that every program on the
# machine shares. This has happened: a tool given /dev/null as its output
# file deleted the device node to check that it could create the file, and
# then wrote a regular file in its place (gcovr, see scripts/coverage.sh). A
# run that damages a device that way breaks every later program that uses
# it, and lets later phases pass on a damaged machine. So every phase is run
# between two checks that each of these paths is still the character device,
# with the same major:minor numbers, that it was when the script started. A failed check stops the script at once with
# one line naming the phase and the device, and exit status 3.
#
# The devices checked are /dev/null, /dev/zero and /dev/full. Only the guard's
# own self-test (scripts/lib/guard_test.sh) points it at stand-in paths, through
# DSD_GUARD_SELF_TEST_DEVICES; nothing else sets that variable.

guard_devices=(/dev/null /dev/zero /dev/full)
if [ -n "${DSD_GUARD_SELF_TEST_DEVICES:-}" ]; then
  read -r -a guard_devices <<<"$DSD_GUARD_SELF_TEST_DEVICES"
fi
guard_status=3          # the exit status of a run stopped by a failed check
guard_seen=()           # per device: "character device MAJOR:MINOR" at the start

# guard_describe PATH: prints what a program opening PATH gets (symbolic
# links followed): "character device MAJOR:MINOR" (hexadecimal numbers),
# another file type as stat names it ("regular file", "directory", ...), or
# "missing" (also for a link that leads nowhere).
guard_describe() {
  local what
  what=$(stat -L -c '%F %t:%T' -- "$1" 2>/dev/null) || { echo missing; return; }
  case $what in
    "character special file "*) echo "character device ${what##* }" ;;
    *) echo "${what% *}" ;;
  esac
}

# guard_start: records what each device is; stops the script (status 3)
# when one of them is not a character device to begin with.
guard_start() {
  local i now
  guard_seen=()
  for i in "${!guard_devices[@]}"; do
    now=$(guard_describe "${guard_devices[i]}")
    case $now in
      "character device "*) guard_seen[i]=$now ;;
      *) echo "device guard: before the first phase: ${guard_devices[i]} is $now, not a character device" >&2
         exit $guard_status ;;
    esac
  done
}

# guard_check WHEN: stops the script (status 3) with one line naming WHEN
# and the device when a device is no longer what guard_start recorded;
# returns 0 and prints nothing otherwise.
guard_check() {
  local i now
  for i in "${!guard_devices[@]}"; do
    now=$(guard_describe "${guard_devices[i]}")
    if [ "$now" != "${guard_seen[i]}" ]; then
      echo "device guard: $1: ${guard_devices[i]} is $now, was ${guard_seen[i]}" >&2
      exit $guard_status
    fi
  done
}

# guarded NAME COMMAND...: runs COMMAND between a check before and a check
# after phase NAME; returns the command's status (a failed check exits).
guarded() {
  local name=$1 rc=0
  shift
  guard_check "before $name"
  "$@" || rc=$?
  guard_check "after $name"
  return $rc
}
