#!/usr/bin/env python3
"""Fail each heap allocation of a program run in turn and check how it ends.

usage: check_alloc_failures.py [--failure-stdout=TEXT] PRELOAD PROGRAM CASE...

For every end-to-end CASE, the program is first run as the case says to count
its allocations (from the start of main); then, for every k from 1 to that
count, it is run again with the k-th allocation failing (PRELOAD is the
fail_malloc library). Each such run must end in one of two ways:
  - exit status 0 with exactly the case's expected output, or
  - exit status 1 or -1, with at most one line on stderr, which stands in
    the user guide's section of the program (tests/docs/check_guide.py:
    these runs are where the messages of exhausted memory show), and the console
    output and every expected file a prefix of what the case expects (nothing
    beyond what was already written; a file the run refuses to touch keeps
    its given content). With --failure-stdout, the console output may also
    end with TEXT behind such a prefix: how the program reports an output
    file it cannot open, which is how a failed allocation inside fopen shows.
A crash, a hang, a sanitizer report or any other status fails the check.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "harness"))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs"))
import check_guide  # noqa: E402
import run_case  # noqa: E402


def run(program, case, env):
    """Run the case once; return (status, stdout, stderr, files after the run)."""
    run_dir = run_case.make_run_dir(case, "alloc-")
    try:
        proc = subprocess.run([program] + case["args"], input=case["stdin"], cwd=run_dir,
                              env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=60)
        files = {}
        for name in case["expect"]:
            path = os.path.join(run_dir, name)
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    files[name] = f.read()
        return proc.returncode, proc.stdout, proc.stderr, files
    finally:
        shutil.rmtree(run_dir, ignore_errors=True)


def check_case(preload, program, case_path, failure_stdout, section):
    """Run the case with each allocation failing in turn; return the problems.
    section is the guide's section of the program."""
    case = run_case.parse(case_path)
    env = dict(os.environ, LD_PRELOAD=preload)
    fd, count_file = tempfile.mkstemp(prefix="alloc-count-")
    os.close(fd)
    try:
        status, out, err, files = run(program, case, dict(env, DSD_ALLOC_COUNT=count_file))
        with open(count_file) as f:
            total = int(f.read())
    finally:
        os.unlink(count_file)
    if (status & 0xFF) != (case["status"] & 0xFF) or out != case["stdout"] or files != case["expect"]:
        return [f"{case_path}: the run without failures does not match the case"]
    problems = []
    for k in range(1, total + 1):
        status, out, err, files = run(program, case, dict(env, DSD_FAIL_ALLOC=str(k)))
        where = f"{case_path}: allocation {k} of {total} failed:"
        if status == 0:
            if out != case["stdout"] or files != case["expect"]:
                problems.append(f"{where} exit status 0 with different output")
            continue
        if status not in (1, 255):
            problems.append(f"{where} exit status {status}\n{err.decode('gbk', 'replace')}")
            continue
        if err.count(b"\n") > 1:
            problems.append(f"{where} more than one line on stderr")
        message = err.decode("gbk", "replace").strip()
        if message and not check_guide.stands_in(section, message):
            problems.append(f"{where} the guide does not show its message {message!r}")
        if failure_stdout and out.endswith(failure_stdout):
            out = out[:-len(failure_stdout)]
        if not case["stdout"].startswith(out):
            problems.append(f"{where} the console output goes beyond the expected one")
        for name, expected in case["expect"].items():
            got = files.get(name, case["files"].get(name))
            if got is not None and not expected.startswith(got):
                problems.append(f"{where} {name} goes beyond the expected content")
    print(f"{case_path}: {total} allocations, each failed once: "
          f"{'ok' if not problems else str(len(problems)) + ' problems'}")
    return problems


def main():
    parser = argparse.ArgumentParser(description="Fail each heap allocation of a run in turn.",
                                     allow_abbrev=False)
    parser.add_argument("--failure-stdout", metavar="TEXT",
                        help="the console text for an output file that cannot be opened")
    parser.add_argument("preload", help="the fail_malloc library")
    parser.add_argument("program", help="the program to run")
    parser.add_argument("cases", nargs="+", metavar="case", help="end-to-end case files")
    options = parser.parse_args()
    failure_stdout = options.failure_stdout.encode("gbk") if options.failure_stdout else None
    name = os.path.basename(options.program)
    section = check_guide.sections(check_guide.read_guide()).get(name, "")
    problems = []
    for case_path in options.cases:
        problems += check_case(os.path.abspath(options.preload), os.path.abspath(options.program),
                               case_path, failure_stdout, section)
    for p in problems:
        print("FAIL " + p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
