#!/usr/bin/env python3
"""Run one end-to-end case against a built program and compare exact bytes.

A case file is UTF-8 text made of sections. Each section starts with a line
"=== KIND [NAME] [escaped]"; its content is the lines up to the next "==="
line, joined with "\n" (the line break before the next marker is a separator,
not content, so a trailing newline is written as one empty line).

  === args            one command-line argument per line
  === stdin           the standard input
  === file NAME       a file that exists in the run directory before the run
  === dir NAME        a directory that exists there before the run
  === link NAME PATH  a symbolic link to PATH there (e.g. /dev/full, where
                      every write fails as on a full disk; a PATH in /dev
                      that is not a character device fails the case)
  === expect NAME     the file's exact content after the run (a given file
                      without an expect section must be left unchanged)
  === absent NAME     the file must not exist after the run
  === stdout          the exact standard output (empty when the section is missing)
  === stdout-to PATH  the standard output goes to the character device PATH
                      instead (e.g. /dev/full, to see a failed console write);
                      the "stdout" section must then be missing
  === stderr          the exact standard error (empty when the section is missing)
  === status N        the exit status (0 when the section is missing; -1 is 255)

Text is converted to GBK before it is written or compared. In an "escaped"
section \\n, \\r, \\t, \\\\ and \\xHH stand for those bytes (\\xHH is taken as a
raw byte, not converted). Lines before the first marker are a description.

Every run gets a fresh temporary directory; after the run the directory must
hold exactly the given files, directories and links and the expected files.

With --windows the program is a Windows executable run under Wine: every "\\n"
that the program writes in text mode arrives as "\\r\\n", so the expected
console texts, and the part of an expected file that the run added behind the
file's given content, are converted before they are compared.

With --wrapper=COMMAND the program runs under COMMAND (split like a shell
command line), e.g. a memory checker. The console streams are compared as
usual, so the wrapper must write its own report to a file: "{log}" in
COMMAND stands for a file outside the run directory, shown when the case
fails.
"""
import argparse
import atexit
import os
import re
import shlex
import shutil
import stat
import subprocess
import sys
import tempfile

ESCAPE = re.compile(r"\\(x[0-9A-Fa-f]{2}|[nrt\\])")
ESCAPED_BYTE = {"n": b"\n", "r": b"\r", "t": b"\t", "\\": b"\\"}


def to_bytes(text, escaped):
    """Convert a section's UTF-8 text to the GBK bytes it stands for."""
    if not escaped:
        return text.encode("gbk")
    out = bytearray()
    pos = 0
    for m in ESCAPE.finditer(text):
        out += text[pos:m.start()].encode("gbk")
        code = m.group(1)
        out += bytes([int(code[1:], 16)]) if code[0] == "x" else ESCAPED_BYTE[code]
        pos = m.end()
    out += text[pos:].encode("gbk")
    return bytes(out)


def parse(path):
    """Return the case as a dict of its sections."""
    with open(path, encoding="utf-8", newline="") as f:
        whole = f.read()
    # The case file's own final line break ends the last section's last line.
    lines = (whole[:-1] if whole.endswith("\n") else whole).split("\n")
    case = {"args": [], "stdin": b"", "files": {}, "dirs": [], "links": {}, "expect": {},
            "absent": [], "stdout_to": None,
            "stdout": b"", "stderr": b"", "status": 0}
    sections = []
    for line in lines:
        if line.startswith("=== "):
            sections.append((line[4:].split(), []))
        elif sections:
            sections[-1][1].append(line)
    for head, body in sections:
        escaped = "escaped" in head
        head = [h for h in head if h != "escaped"]
        text = "\n".join(body)
        kind = head[0]
        if kind == "args":
            case["args"] = [to_bytes(a, escaped) for a in body]
        elif kind == "stdin":
            case["stdin"] = to_bytes(text, escaped)
        elif kind == "file":
            case["files"][head[1]] = to_bytes(text, escaped)
        elif kind == "dir":
            case["dirs"].append(head[1])
        elif kind == "link":
            case["links"][head[1]] = head[2]
        elif kind == "expect":
            case["expect"][head[1]] = to_bytes(text, escaped)
        elif kind == "absent":
            case["absent"].append(head[1])
        elif kind in ("stdout", "stderr"):
            case[kind] = to_bytes(text, escaped)
        elif kind == "stdout-to":
            case["stdout_to"] = head[1]
        elif kind == "status":
            case["status"] = int(head[1])
        else:
            raise SystemExit(f"{path}: unknown section {kind!r}")
    return case


def require_device(path):
    """Stop unless path is a character device: a program, or this harness,
    that opened a device that is missing would create a regular file in its
    place."""
    if not (os.path.exists(path) and stat.S_ISCHR(os.stat(path).st_mode)):
        raise SystemExit(f"{path} is not a character device")


def make_run_dir(case, prefix):
    """Create a fresh temporary directory holding the case's given directories,
    links and files, and return its path (the caller removes it). A link into
    /dev must lead to a character device."""
    for target in case["links"].values():
        if target.startswith("/dev/"):
            require_device(target)
    run_dir = tempfile.mkdtemp(prefix=prefix)
    for name in case["dirs"]:
        os.mkdir(os.path.join(run_dir, name))
    for name, target in case["links"].items():
        os.symlink(target, os.path.join(run_dir, name))
    for name, data in case["files"].items():
        with open(os.path.join(run_dir, name), "wb") as f:
            f.write(data)
    return run_dir


def crlf(data):
    return data.replace(b"\n", b"\r\n")


def show(data):
    """Render bytes for a failure report: GBK decoded, control bytes visible."""
    text = data.decode("gbk", errors="backslashreplace")
    return text.replace("\r", "\\r").replace("\t", "\\t")


def main():
    parser = argparse.ArgumentParser(description="Run one end-to-end case.", allow_abbrev=False)
    parser.add_argument("program", help="the program to run")
    parser.add_argument("case", help="the case file")
    parser.add_argument("--windows", action="store_true",
                        help="the program is a Windows executable, run under Wine")
    parser.add_argument("--wrapper", metavar="COMMAND",
                        help="run the program under COMMAND; {log} is its report file")
    options = parser.parse_args()
    windows = options.windows
    program, case_path = os.path.abspath(options.program), options.case
    case = parse(case_path)

    expect_stdout, expect_stderr = case["stdout"], case["stderr"]
    expected_files = dict(case["expect"])
    if windows:
        expect_stdout, expect_stderr = crlf(expect_stdout), crlf(expect_stderr)
        for name, data in expected_files.items():
            given = case["files"].get(name, b"")
            if data.startswith(given):
                expected_files[name] = given + crlf(data[len(given):])
            else:
                expected_files[name] = crlf(data)

    env = dict(os.environ)
    env["ASAN_OPTIONS"] = "detect_leaks=1:exitcode=86"
    env["UBSAN_OPTIONS"] = "halt_on_error=1:print_stacktrace=1:exitcode=86"
    env["WINEDEBUG"] = "-all"
    command = [program] + case["args"]
    if windows:
        command = [os.environ.get("WINE", "wine"), program] + case["args"]
    log = None
    if options.wrapper:
        fd, log = tempfile.mkstemp(prefix="e2e-wrapper-", suffix=".log")
        os.close(fd)
        atexit.register(os.unlink, log)
        command = [w.replace("{log}", log) for w in shlex.split(options.wrapper)] + command

    # Under Wine a run now and then hangs in Wine itself, or ends before the
    # program has written a byte to either stream; such a run is tried again
    # in a fresh directory, and only a case that does so every time fails.
    tries, limit = (3, 40) if windows else (1, 120)
    for attempt in range(tries):
        failures = []
        run_dir = make_run_dir(case, "e2e-")
        stdout = subprocess.PIPE
        if case["stdout_to"] is not None:
            require_device(case["stdout_to"])
            stdout = os.open(case["stdout_to"], os.O_WRONLY)  # never creates a file
        try:
            try:
                proc = subprocess.run(command, input=case["stdin"], cwd=run_dir, env=env,
                                      stdout=stdout, stderr=subprocess.PIPE,
                                      timeout=limit)
            except subprocess.TimeoutExpired:
                continue
            finally:
                if stdout != subprocess.PIPE:
                    os.close(stdout)
            compare(case, proc, run_dir, expect_stdout, expect_stderr, expected_files, failures)
            silent = not proc.stdout and not proc.stderr and (expect_stdout or expect_stderr)
            if windows and failures and silent and attempt < tries - 1:
                continue
            break
        finally:
            shutil.rmtree(run_dir, ignore_errors=True)
    else:
        print(f"FAIL {case_path}: the run did not end within {limit} s ({tries} tries)")
        return 1

    if failures:
        print(f"FAIL {case_path}")
        for f in failures:
            print("  " + f)
        if log is not None:
            with open(log, encoding="utf-8", errors="replace") as f:
                print("--- the wrapper's report\n" + f.read())
        return 1
    print(f"ok {case_path}")
    return 0


def compare(case, proc, run_dir, expect_stdout, expect_stderr, expected_files, failures):
    """Append to failures every way in which the run differs from the case."""
    if (proc.returncode & 0xFF) != (case["status"] & 0xFF):
        failures.append(f"exit status {proc.returncode}, expected {case['status']}")
    stdout = proc.stdout or b""  # None when it went to a device
    if stdout != expect_stdout:
        failures.append(f"stdout differs\n--- expected\n{show(expect_stdout)}\n--- got\n{show(stdout)}")
    if proc.stderr != expect_stderr:
        failures.append(f"stderr differs\n--- expected\n{show(expect_stderr)}\n--- got\n{show(proc.stderr)}")
    for name, data in expected_files.items():
        path = os.path.join(run_dir, name)
        if not os.path.exists(path):
            failures.append(f"{name} was not written")
            continue
        with open(path, "rb") as f:
            got = f.read()
        if got != data:
            failures.append(f"{name} differs\n--- expected\n{show(data)}\n--- got\n{show(got)}")
    for name, data in case["files"].items():
        if name in expected_files:
            continue
        path = os.path.join(run_dir, name)
        if not os.path.isfile(path):
            failures.append(f"{name} was removed")
            continue
        with open(path, "rb") as f:
            if f.read() != data:
                failures.append(f"{name} was changed")
    for name in case["absent"]:
        if os.path.exists(os.path.join(run_dir, name)):
            failures.append(f"{name} exists but must not")
    left = set(os.listdir(run_dir))
    allowed = set(case["files"]) | set(case["dirs"]) | set(case["links"]) | set(case["expect"])
    stray = sorted(left - allowed)
    if stray:
        failures.append(f"unexpected files left: {', '.join(stray)}")


if __name__ == "__main__":
    sys.exit(main())
