#!/usr/bin/env python3
"""Check that each program is named only in its homes, the registry and the
documents, so that adding a program is its stanza and its folders, and
removing one leaves nothing behind.

A program is a stanza of the registry, web/programs.js. Its homes, the
places where its name may stand:

  <name>/                      the program itself
  lab/<name>/                  its step writer
  web/<name>/                  its tab, picture and style
  tests/<name>/                its tests, and its part of the shared checks
                               (web.mjs, fuzz_argv.cpp, lab_test.cpp)
  examples/<name>/             its examples
  scripts/windows/demo-<name>.bat   its demo in the Windows package
  fuzz/dict/<name>.dict        its fuzzing dictionary

Besides these: the registry itself, and the documents (every *.md file,
docs/, and the package's README template), which talk about the programs
by name. Any other file of the tree that names a program (as a word) must
be one of the EXCEPTIONS below, each with its reason; an exception that no
longer names any program fails too, so the list stays true.

Usage: python3 tests/homes/check_homes.py [ROOT]
Exit status 0 when every name stands where it may, 1 otherwise (listed).
"""
import fnmatch
import os
import re
import subprocess
import sys

ROOT = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
    os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
import registry  # noqa: E402

HOMES = ["{name}/*", "lab/{name}/*", "web/{name}/*", "tests/{name}/*", "examples/{name}/*",
         "scripts/windows/demo-{name}.bat", "fuzz/dict/{name}.dict"]
REGISTRY = ["web/programs.js"]
DOCUMENTS = ["*.md", "docs/*", "cmake/package-readme.txt.in"]

# Files that name programs outside their homes on purpose, and why.
EXCEPTIONS = {
    "bench/*": "the benchmarks' inputs are each program's worst case, chosen by hand; "
               "a new program has none until one is written",
    "tests/CMakeLists.txt": "the end-to-end cases that cannot apply to the browser build "
                            "(their output goes to /dev/full)",
    "tests/docs/check_guide.py": "the messages of a program are read where it writes them "
                                 "(a trace column, a console line)",
    "tests/package/*": "the screens of the Windows demos, one per demo-<name>.bat, and the "
                       "cases of the packaged examples",
    "web/frame/compare-panel.js": "its comment gives the comparison's places by program",
    "web/tools/compare.mjs": "its usage line gives a program as an example",
    "tests/grader/*": "the kit graded end to end on classes made from real programs' sources, "
                      "each changed by hand where its output differs",
    "tests/web/grader-report.test.mjs": "the kit's report, as one real program's grading writes it",
    "tests/web/compare.test.mjs": "one case per program's part of the comparison",
    "tests/web/compare-panel.test.mjs": "one program's output stands for all in the panel",
    # Known, in rooms of the page and of the step writers that are being
    # moved into the programs' homes by their developers:
    "lab/json.h": "known: a comment names a program as an example",
    "web/page/*": "known: the exercise generator and the shell keep per-program parts",
    "web/tools/run.mjs": "known: its usage line gives a program as an example",
    "tests/web/runs.test.mjs": "known: runs of particular programs' inputs",
    "tests/web/present.test.mjs": "known: full screen shown on particular tabs",
    "tests/web/save.test.mjs": "known: saving needs a run of thousands of steps, which one "
                               "program's ring gives, and a paste into a document tab",
    "web/style.css": "known: a comment names the tabs whose input folds to one line",
}


def files():
    """The tree's files, as git lists them (tracked and new, not ignored);
    outside git, every file but the build folders."""
    try:
        out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard", "-z"], cwd=ROOT,
                             check=True, capture_output=True).stdout
        found = [f for f in out.decode("utf-8").split("\0") if f]
    except (OSError, subprocess.CalledProcessError):
        found = []
        for folder, dirs, names in os.walk(ROOT):
            dirs[:] = [d for d in dirs if not d.startswith(("build", ".git", "node_modules"))]
            found += [os.path.relpath(os.path.join(folder, n), ROOT).replace(os.sep, "/") for n in names]
    return sorted(f for f in found if os.path.isfile(os.path.join(ROOT, f)) and "/node_modules/" not in f)


def matches(path, patterns):
    return any(fnmatch.fnmatchcase(path, p) for p in patterns)


def main():
    names = registry.names()
    word = re.compile(r"(?<![A-Za-z0-9_])(%s)(?![A-Za-z0-9])" % "|".join(map(re.escape, names)))
    failures = []
    used = set()
    for path in files():
        if matches(path, REGISTRY + DOCUMENTS):
            continue
        try:
            with open(os.path.join(ROOT, path), encoding="utf-8") as f:
                text = f.read()
        except UnicodeDecodeError:
            continue  # a binary file names nothing
        named = sorted(set(word.findall(text)))
        stray = [n for n in named if not matches(path, [h.format(name=n) for h in HOMES])]
        if not stray:
            continue
        excepted = [p for p in EXCEPTIONS if fnmatch.fnmatchcase(path, p)]
        if excepted:
            used.update(excepted)
            continue
        line = next(i for i, l in enumerate(text.split("\n"), 1) if word.search(l) and
                    any(n in word.findall(l) for n in stray))
        failures.append(f"{path}:{line}: names {', '.join(stray)} outside its homes")
    for pattern in sorted(set(EXCEPTIONS) - used):
        failures.append(f"exception {pattern!r} names no program any more: remove it")
    for failure in failures:
        print("FAIL " + failure)
    if failures:
        return 1
    print(f"ok: {len(names)} programs named only in their homes, the registry, the documents "
          f"and {len(used)} listed exceptions")
    return 0


if __name__ == "__main__":
    sys.exit(main())
