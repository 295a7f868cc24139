#!/usr/bin/env python3
"""Write fuzzing seeds taken from the end-to-end cases.

usage: seeds.py PROGRAM MODE OUT_DIR
MODE file:  the content of the file named by a case's first argument;
MODE stdin: a case's standard input;
MODE argv:  a case's arguments, one per line (for the argument driver).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "harness"))
import run_case  # noqa: E402


def main():
    program, mode, out_dir = sys.argv[1:4]
    cases_dir = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", program, "cases")
    os.makedirs(out_dir, exist_ok=True)
    seen = set()
    for name in sorted(os.listdir(cases_dir)):
        case = run_case.parse(os.path.join(cases_dir, name))
        seed = None
        if mode == "file" and case["args"]:
            seed = case["files"].get(case["args"][0].decode("gbk", "replace"))
        elif mode == "stdin" and case["stdin"]:
            seed = case["stdin"]
        elif mode == "argv" and case["args"]:
            seed = b"\n".join(case["args"])
        # Seeds stay small, so the fuzzer spends its time on mutations.
        if seed is not None and 0 < len(seed) <= 4096 and seed not in seen:
            seen.add(seed)
            with open(os.path.join(out_dir, name[:-5]), "wb") as f:
                f.write(seed)
    print(f"{program} ({mode}): {len(seen)} seeds")


if __name__ == "__main__":
    main()
