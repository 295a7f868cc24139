#!/usr/bin/env python3
"""Prints, as JSON, the end-to-end cases that the browser checks hold the
page to, so that the page is compared with the very bytes the console
programs are compared with (tests/harness/run_case.py reads the same files).

Each argument is PROGRAM/EXAMPLE (the case whose input is exactly that file
of examples/, found as the package check finds it) or PROGRAM:CASE (the case
tests/PROGRAM/cases/CASE.case). The output maps each argument to
{path, args, stdin, files, expect, stdout, stderr, status}, bytes as base64.
"""
import base64
import json
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "package"))
import check_package  # noqa: E402  (its find_case, and run_case's parse)
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
import registry  # noqa: E402  (the programs' input kinds)


def b64(data):
    return base64.b64encode(data).decode("ascii")


def case_of(selector):
    """Return the path of the case the selector names (see above)."""
    if ":" in selector:
        program, name = selector.split(":", 1)
        return os.path.join(ROOT, "tests", program, "cases", name + ".case")
    program, name = selector.split("/", 1)
    data = check_package.example(selector)
    # By the program's input kind: a console reads its example on stdin; a
    # program of the command line takes its main example as the arguments
    # and its other examples typed in; a document is the file named.
    stanza = next(p for p in registry.programs() if p["name"] == program)
    if stanza["input"] == "console" or (stanza["input"] == "args" and name != stanza["mainExample"]):
        path = check_package.find_case(program, stdin=data)
    elif stanza["input"] == "args":
        path = check_package.find_case(program, args=data.split())
    else:
        path = check_package.find_case(program, args=[name.encode()], files={name: data})
    if path is None:
        raise SystemExit(f"no end-to-end case has exactly the input of examples/{selector}")
    return path


def main():
    out = {}
    for selector in sys.argv[1:]:
        path = case_of(selector)
        case = check_package.parse(path)
        out[selector] = {
            "path": os.path.relpath(path, ROOT),
            "args": [a.decode("latin-1") for a in case["args"]],
            "stdin": b64(case["stdin"]),
            "files": {k: b64(v) for k, v in case["files"].items()},
            "expect": {k: b64(v) for k, v in case["expect"].items()},
            "stdout": b64(case["stdout"]),
            "stderr": b64(case["stderr"]),
            "status": case["status"] & 0xFF,
        }
    json.dump(out, sys.stdout, indent=1)


if __name__ == "__main__":
    main()
