#!/usr/bin/env python3
"""The browser edition's benchmark (bench/web.sh builds what it needs).

    python3 bench/web.py BENCH_BUILD WEB_DIR

Prints a Markdown table of three measures:
  - node: the native program (BENCH_BUILD/programs/<p>/<p>) against the same
    input through node web/tools/run.mjs WEB_DIR/<p>.js, in one hyperfine run,
    with the ratio of their median wall times. The inputs are bench.py's:
    the translator's 2-byte sentence with 6 rules of nine 't' each, and the
    evaluator's 49-character expression. run.mjs starts node and a fresh
    instance of the program, so a short run is mostly that start.
  - Chromium: the time from a click on Run to the output shown, for each
    tab's main example, as the page measures it (bench/web_page.mjs; the
    median of its clicks).
  - size: the total size of WEB_DIR, without the checks' screenshots.
  - Chromium, largest inputs: for bench.py's largest input of each program,
    the time the picture takes to build and draw its first step once the
    step writer has answered, and the time of one step forward.
  - Chromium, big files: the longest main-thread block (long tasks) while
    a 50 MB expression file is opened and run, and while a rule file whose
    translate.txt has about 20 MB is opened, run and shown.
Targets: the translator under node at most 2.0x native; every click shown
within 100 ms; the folder at most 700 KB; each largest input drawn within
1 s; no main-thread block over 200 ms on the big files.
"""
import json
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench  # noqa: E402  (its inputs, so both benchmarks time the same)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def node_against_native(bin_dir, web_dir, scratch):
    """Return [(name, native median s, node median s)] from one hyperfine run."""
    with open(os.path.join(scratch, "rules_6.txt"), "wb") as f:
        f.write(bench.rule_file(bench.RULES_6, bench.SHORT_SENTENCE))
    with open(os.path.join(scratch, "expr.txt"), "wb") as f:
        f.write((bench.evaluator_expression() + "\n").encode())
    run_mjs = os.path.join(ROOT, "web", "tools", "run.mjs")
    pairs = [("translator: 2 bytes, 6 passes", "translator", "rules_6.txt"),
             ("evaluator: 49 characters", "evaluator", "expr.txt")]
    cmd = ["hyperfine", "-N", "--warmup", "2", "--min-runs", "10", "--style", "basic",
           "--prepare", "rm -f result.txt translate.txt", "--export-json", "times.json"]
    for _, program, arg in pairs:
        native = os.path.join(bin_dir, "programs", program, program)
        script = os.path.join(web_dir, program + ".js")
        cmd += ["--command-name", program + " native", "%s %s" % (native, arg),
                "--command-name", program + " node", "node %s %s %s" % (run_mjs, script, arg)]
    subprocess.run(cmd, cwd=scratch, check=True, stdout=sys.stderr)
    with open(os.path.join(scratch, "times.json")) as f:
        medians = [r["median"] for r in json.load(f)["results"]]
    return [(name, medians[2 * i], medians[2 * i + 1]) for i, (name, _, _) in enumerate(pairs)]


def largest_inputs(scratch):
    """Writes bench.py's largest input of each program into scratch; returns
    them as PROGRAM=FILE arguments of web_page.mjs."""
    pre, inorder = bench.balanced(0, 10)
    counts = [2147483647] * 1001
    files = {
        "evaluator": ("expr_49.txt", (bench.evaluator_expression() + "\n").encode()),
        "bitree": ("balanced_1023.txt", b"0 " + pre + b" " + inorder + b"\n"),
        "translator": ("rules_1m.txt", bench.rule_file(bench.RULES_1M, bench.SENTENCE)),
        "josephus": ("keyboard_1000.txt", ("1000 " + " ".join(map(str, counts)) + "\n").encode()),
    }
    args = []
    for program, (name, data) in files.items():
        path = os.path.join(scratch, name)
        with open(path, "wb") as f:
            f.write(data)
        args.append("%s=%s" % (program, path))
    return args


def big_files(scratch):
    """Writes the big files into scratch: a 50 MB expression file (half a
    million comment-like lines, then the expression) and bench.py's rule file
    with a 20 MB translate.txt; returns them as block:PROGRAM=FILE arguments
    of web_page.mjs."""
    files = {
        "evaluator": ("expr_50mb.txt", b"#" * 99 + b"\n", 500000, b"3*(7-2)\n"),
        "translator": ("rules_10m.txt", b"", 0, bench.rule_file(bench.RULES_10M, bench.SENTENCE)),
    }
    args = []
    for program, (name, line, count, last) in files.items():
        path = os.path.join(scratch, name)
        with open(path, "wb") as f:
            f.write(line * count + last)
        args.append("block:%s=%s" % (program, path))
    return args


def folder_size(web_dir):
    """The bytes of every file under web_dir but the screenshots."""
    total = 0
    for base, dirs, names in os.walk(web_dir):
        dirs[:] = [d for d in dirs if not (base == web_dir and d == "shots")]
        total += sum(os.path.getsize(os.path.join(base, n)) for n in names)
    return total


def main():
    bin_dir, web_dir = (os.path.abspath(a) for a in sys.argv[1:3])
    with tempfile.TemporaryDirectory(prefix="dsd-web-bench-") as scratch:
        rows = node_against_native(bin_dir, web_dir, scratch)
        largest = largest_inputs(scratch) + big_files(scratch)
        page = json.loads(subprocess.run(["node", os.path.join(ROOT, "bench", "web_page.mjs"), web_dir]
                                         + largest, check=True, stdout=subprocess.PIPE).stdout)
    print()
    print("Machine: " + bench.machine())
    print()
    print("| measure | native | browser edition | ratio |")
    print("|---|---|---|---|")
    for name, native, node in rows:
        print("| %s, node run.mjs | %s | %s | %.2fx |" % (name, bench.ms(native), bench.ms(node),
                                                         node / native))
    for program, clicks in page["clicks"].items():
        clicks.sort()
        print("| %s main example, Run click to output shown (Chromium, median of %d) | | %.1f ms | |"
              % (program, len(clicks), clicks[len(clicks) // 2]))
    for name, d in page["draws"].items():
        print("| %s (%d steps): picture built and first step drawn; one step (Chromium) | | "
              "%.0f ms; %.0f ms | |" % (name, d["steps"], d["draw"], d["step"]))
    for name, b in page["blocks"].items():
        print("| %s opened, run and shown: longest main-thread block; output shown after (Chromium) | | "
              "%.0f ms; %.1f s | |" % (name, b["longest"], b["shown"] / 1000))
    print("| size of build/web | | %d KB | |" % round(folder_size(web_dir) / 1024))
    print()
    print("Targets: the translator under node at most 2.0x native; a click on Run shown within "
          "100 ms; the whole folder at most 700 KB; the largest inputs drawn within 1 s; "
          "no main-thread block over 200 ms on the big files.")


if __name__ == "__main__":
    main()
