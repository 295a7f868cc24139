#!/usr/bin/env python3
"""Check the release archives the way a user meets them.

    check_package.py VERSION LINUX-BUILD-DIR

The archives are build/package/dsdemos-VERSION-windows-x64.zip and
build/package/dsdemos-VERSION-linux-x86_64.tar.gz (./scripts/package.sh).

Windows: the zip is unpacked, as Windows' "Extract All" does, into a folder
named after it; the zip has no folder of its own, so that folder must hold
the four programs, the grading kit grader.exe (each needing no DLL beyond
Windows' own), the examples of examples/ with CRLF line ends, the four
demo-<program>.bat and README.txt (the guide with a byte order mark and
CRLF line ends). Every .bat runs twice under Wine, as `wine cmd /c
demo-<program>.bat` from that folder with a line break typed for its pause;
each time it must show exactly its heading lines, the console text and the
output file of the end-to-end case whose input is the example it runs, and
the pause prompt. Afterwards the folder holds only what the zip brought and
work\\, where each program's folder holds just the case's files.

What the comparison converts, and nothing else: the expected console texts
and files get CRLF line ends, as a Windows program writes them in text mode;
the pause prompt is the one Wine's own `cmd /c pause` prints. Wine's cmd
passes the programs' bytes and typed files through unchanged when its output
is a pipe. With no console behind it, cmd has no code page to switch, so
`chcp 936` only says so (the .bat discards that), and the GBK bytes are
compared as the programs wrote them.

Linux: `cmake --install LINUX-BUILD-DIR` into a temporary prefix must give
the programs in bin/ and the guide, README.md (its pages in docs/) and the
examples in share/doc/dsdemos/, and the grading kit bin/grader, which must
grade a class of one (our josephus sources) from that tree alone; the tar.gz must hold one folder with the same tree, byte
for byte, and a README at its top that names the guide's path. The matching end-to-end cases then run against the programs of
both trees (tests/harness/run_case.py).

The matching case of an example is found among tests/<program>/cases/*.case
and tests/package/cases/<program>_*.case: the one whose only input is exactly
that example.
"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "harness"))
from run_case import crlf, parse, show  # noqa: E402

PROGRAMS = ["evaluator", "translator", "josephus", "bitree"]
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll"}
BOM = b"\xef\xbb\xbf"

failures = []


def fail(text):
    failures.append(text)
    print("FAIL " + text)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def example(name):
    return read(os.path.join(ROOT, "examples", name))


def tree(top):
    """Return {relative path: bytes} of every file below top."""
    files = {}
    for base, _, names in os.walk(top):
        for name in names:
            path = os.path.join(base, name)
            files[os.path.relpath(path, top)] = read(path)
    return files


def web_files():
    """The files of the browser edition, build/web, but the browser checks'
    screenshots: every archive carries them (check.sh compares the bytes)."""
    return [rel for rel in tree(os.path.join(ROOT, "build", "web"))
            if not rel.startswith("shots" + os.sep)]


def find_case(program, args=(), files=None, stdin=b""):
    """Return the path of the first case with exactly this input, or None."""
    paths = sorted(glob.glob(os.path.join(ROOT, "tests", program, "cases", "*.case")))
    paths += sorted(glob.glob(os.path.join(ROOT, "tests", "package", "cases", program + "_*.case")))
    for path in paths:
        case = parse(path)
        if (case["args"] == list(args) and case["files"] == (files or {}) and
                case["stdin"] == stdin and not case["dirs"] and not case["links"]):
            return path
    return None


class Run:
    """One run of a program on one example, with its matching case."""

    def __init__(self, program, example_name, args=(), file=None, stdin=False):
        data = example(example_name)
        files = {file: data} if file else {}
        self.data = data
        self.path = find_case(program, args, files, data if stdin else b"")
        if self.path is None:
            fail(f"no end-to-end case of {program} has exactly the input of examples/{example_name}")
            self.case = None
        else:
            self.case = parse(self.path)

    def windows_data(self):
        """The example as the zip carries it."""
        return crlf(self.data)

    def console(self):
        """What the run prints, as a Windows program prints it."""
        return crlf(self.case["stdout"])

    def output(self, name):
        """The output file, as a Windows program writes it."""
        return crlf(self.case["expect"][name])

    def work(self):
        """Every file its work folder holds afterwards, as under Windows: the
        example copied from the zip, and the output files."""
        files = {name: crlf(data) for name, data in self.case["files"].items()}
        files.update({name: self.output(name) for name in self.case["expect"]})
        return files


ARGS_LINE = example("josephus/args.txt").rstrip(b"\r\n")
RUNS = {
    "evaluator": [Run("evaluator", "evaluator/expr.txt", [b"expr.txt"], file="expr.txt")],
    "translator": [Run("translator", "translator/rules.txt", [b"rules.txt"], file="rules.txt")],
    "josephus": [Run("josephus", "josephus/args.txt", ARGS_LINE.split()),
                 Run("josephus", "josephus/keyboard.txt", stdin=True)],
    "bitree": [Run("bitree", "bitree/session.txt", stdin=True)],
}


def shown(program, pause):
    """The exact text demo-<program>.bat shows, ending with the pause prompt."""
    runs = RUNS[program]
    if program == "evaluator":
        [r] = runs
        return (b"== evaluator expr.txt  ->  work\\evaluator\\result.txt\r\n\r\n" +
                r.console() + r.output("result.txt") + b"\r\n\r\n" + pause)
    if program == "translator":
        [r] = runs
        return (b"== translator rules.txt  ->  work\\translator\\translate.txt\r\n\r\n" +
                r.windows_data() + b"--\r\n" + r.console() + r.output("translate.txt") + b"\r\n\r\n" + pause)
    if program == "josephus":
        a, k = runs
        return (b"== josephus " + ARGS_LINE + b"  ->  work\\josephus\\out.txt\r\n\r\n" +
                a.console() + a.output("out.txt") + b"\r\n\r\n" +
                b"== josephus < examples\\josephus\\keyboard.txt  ->  work\\josephus\\out.txt\r\n\r\n" +
                k.console() + k.output("out.txt") + b"\r\n\r\n" + pause)
    [r] = runs
    return b"== bitree < examples\\bitree\\session.txt\r\n\r\n" + r.console() + b"\r\n" + pause


def wine_cmd(cwd, *args):
    """Run `wine cmd /c ARGS` in cwd with a line break as its input; None if it hangs."""
    env = dict(os.environ, WINEDEBUG="-all")
    command = [os.environ.get("WINE", "wine"), "cmd", "/c"] + list(args)
    # Wine itself now and then hangs at a start; such a run is tried again.
    for _ in range(3):
        try:
            return subprocess.run(command, cwd=cwd, env=env, input=b"\r\n",
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
        except subprocess.TimeoutExpired:
            continue
    return None


def unpack(archive_name, command, into_flag, unpacked, name):
    """Unpack build/package/ARCHIVE_NAME with COMMAND into the new folder
    UNPACKED; return the path of the one folder NAME it must hold, or None
    (after a failure is recorded) when it holds anything else."""
    archive = os.path.join(ROOT, "build", "package", archive_name)
    os.mkdir(unpacked)
    subprocess.run(command + [archive, into_flag, unpacked], check=True)
    if os.listdir(unpacked) != [name]:
        fail(f"{archive} holds {sorted(os.listdir(unpacked))}, expected the one folder {name}")
        return None
    return os.path.join(unpacked, name)


def check_windows(version, scratch):
    name = f"dsdemos-{version}-windows-x64"
    top = os.path.join(scratch, name)
    os.mkdir(top)
    subprocess.run(["unzip", "-q", os.path.join(ROOT, "build", "package", name + ".zip"), "-d", top],
                   check=True)

    brought = tree(top)
    wanted = {f"{p}.exe" for p in PROGRAMS + ["grader"]} | {f"demo-{p}.bat" for p in PROGRAMS}
    wanted |= {"README.txt"}
    wanted |= {os.path.join("examples", n) for n in tree(os.path.join(ROOT, "examples"))}
    wanted |= {os.path.join("web", n) for n in web_files()}
    if set(brought) != wanted:
        fail(f"the zip's folder: missing {sorted(wanted - set(brought))}, "
             f"unexpected {sorted(set(brought) - wanted)}")
        return
    for rel, data in tree(os.path.join(ROOT, "examples")).items():
        if brought[os.path.join("examples", rel)] != crlf(data.replace(b"\r\n", b"\n")):
            fail(f"examples\\{rel} in the zip is not examples/{rel} with CRLF line ends")
    guide = os.path.join(ROOT, "docs", "guide-zh.md")
    if not os.path.exists(guide) or brought["README.txt"] != BOM + crlf(read(guide).replace(b"\r\n", b"\n")):
        fail("README.txt is not docs/guide-zh.md with a byte order mark and CRLF line ends")
    for p in PROGRAMS + ["grader"]:
        if p != "grader" and b"\n" in brought[f"demo-{p}.bat"].replace(b"\r\n", b""):
            fail(f"demo-{p}.bat has a line end without CR")
        dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", os.path.join(top, f"{p}.exe")],
                              stdout=subprocess.PIPE, check=True).stdout.decode(errors="replace")
        dlls = {line.split("DLL Name:")[1].strip().lower()
                for line in dump.splitlines() if "DLL Name:" in line}
        if not dlls or dlls - SYSTEM_DLLS:
            fail(f"{p}.exe needs DLLs that Windows does not bring: {sorted(dlls - SYSTEM_DLLS)}")

    pause = wine_cmd(top, "pause")
    if pause is None or not pause.stdout:
        fail("wine cmd /c pause printed no prompt")
        return
    pause = pause.stdout
    if any(RUNS[p][i].case is None for p in PROGRAMS for i in range(len(RUNS[p]))):
        return
    for p in PROGRAMS:
        expect_out = shown(p, pause)
        expect_err = b"".join(crlf(r.case["stderr"]) for r in RUNS[p])
        for attempt in ("first", "second"):
            proc = wine_cmd(top, f"demo-{p}.bat")
            if proc is None:
                fail(f"demo-{p}.bat ({attempt} run) did not end in 60 s, three times")
                continue
            if proc.stdout != expect_out:
                fail(f"demo-{p}.bat ({attempt} run) shows\n{show(proc.stdout)}\n--- expected\n{show(expect_out)}")
            elif proc.stderr != expect_err:
                fail(f"demo-{p}.bat ({attempt} run) wrote to stderr\n{show(proc.stderr)}")
            else:
                cases = ", ".join(os.path.relpath(r.path, ROOT) for r in RUNS[p])
                print(f"ok demo-{p}.bat, {attempt} run, shows {cases}")

    after = tree(top)
    new = sorted(rel for rel in after if rel not in brought and not rel.startswith("work" + os.sep))
    changed = sorted(rel for rel, data in brought.items() if after.get(rel) != data)
    entries = sorted(os.listdir(top))
    if new or changed or entries != sorted({rel.split(os.sep)[0] for rel in brought} | {"work"}):
        fail(f"the demos changed the top folder: it holds {entries}; new {new}, changed {changed}")
    elif sorted(os.listdir(os.path.join(top, "work"))) != sorted(PROGRAMS):
        fail(f"work\\ holds {sorted(os.listdir(os.path.join(top, 'work')))}")
    else:
        for p in PROGRAMS:
            work, folder = RUNS[p][-1].work(), os.path.join(top, "work", p)
            if sorted(os.listdir(folder)) != sorted(work) or tree(folder) != work:
                fail(f"work\\{p} holds {sorted(os.listdir(folder))}, expected {sorted(work)} "
                     "with the bytes of the case")


def check_linux_tree(top, label, files):
    """files is the tree below top, the install tree; run the matching cases
    on its programs."""
    doc = os.path.join("share", "doc", "dsdemos")
    wanted = {os.path.join("bin", p) for p in PROGRAMS + ["grader"]} | {os.path.join(doc, "guide-zh.md"),
                                                           os.path.join(doc, "README.md")}
    pages = {name: read(os.path.join(ROOT, "docs", name)) for name in os.listdir(os.path.join(ROOT, "docs"))
             if name.endswith(".md") and name != "guide-zh.md"}
    wanted |= {os.path.join(doc, "docs", name) for name in pages}
    examples = tree(os.path.join(ROOT, "examples"))
    wanted |= {os.path.join(doc, "examples", rel) for rel in examples}
    wanted |= {os.path.join(doc, "web", rel) for rel in web_files()}
    if set(files) != wanted:
        fail(f"{label}: missing {sorted(wanted - set(files))}, unexpected {sorted(set(files) - wanted)}")
        return None
    if files[os.path.join(doc, "guide-zh.md")] != read(os.path.join(ROOT, "docs", "guide-zh.md")):
        fail(f"{label}: the guide differs from docs/guide-zh.md")
    if files[os.path.join(doc, "README.md")] != read(os.path.join(ROOT, "README.md")):
        fail(f"{label}: README.md differs from the one of the sources")
    for name, data in pages.items():
        if files[os.path.join(doc, "docs", name)] != data:
            fail(f"{label}: docs/{name} differs from the one of the sources")
    for rel, data in examples.items():
        if files[os.path.join(doc, "examples", rel)] != data:
            fail(f"{label}: examples/{rel} differs")
    for p in PROGRAMS:
        for r in RUNS[p]:
            if r.path is None:
                continue
            proc = subprocess.run([sys.executable, os.path.join(ROOT, "tests", "harness", "run_case.py"),
                                   os.path.join(top, "bin", p), r.path],
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            if proc.returncode != 0:
                fail(f"{label}: {proc.stdout.decode(errors='replace')}")
            else:
                print(f"ok {label}: bin/{p} passes {os.path.relpath(r.path, ROOT)}")
    check_grader(top, label)
    return files


def check_grader(top, label):
    """The installed kit grades a class of one, our own josephus sources, with
    the josephus and the examples of the same tree: full marks."""
    with tempfile.TemporaryDirectory() as scratch:
        student = os.path.join(scratch, "class", "ours")
        os.makedirs(student)
        for name in glob.glob(os.path.join(ROOT, "josephus", "*.[ch]*")):
            shutil.copy(name, student)
        out = os.path.join(scratch, "out")
        proc = subprocess.run([os.path.join(top, "bin", "grader"), "josephus",
                               os.path.join(scratch, "class"), "--out", out, "--jobs", "1"],
                              stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        report = os.path.join(out, "report.json")
        text = read(report).decode() if os.path.exists(report) else ""
        if proc.returncode != 0 or '"score": 100' not in text:
            fail(f"{label}: bin/grader on a class of one: {proc.stdout.decode('gbk', 'replace')} {text}")
        else:
            print(f"ok {label}: bin/grader gives our josephus full marks")


def check_linux(version, build, scratch):
    prefix = os.path.join(scratch, "prefix")
    subprocess.run(["cmake", "--install", build, "--prefix", prefix],
                   stdout=subprocess.DEVNULL, check=True)
    installed = check_linux_tree(prefix, "cmake --install", tree(prefix))

    name = f"dsdemos-{version}-linux-x86_64"
    top = unpack(name + ".tar.gz", ["tar", "-xzf"], "-C", os.path.join(scratch, "linux"), name)
    if top is None:
        return
    packed = tree(top)
    readme = packed.pop("README", b"")
    guide = "/".join(["share", "doc", "dsdemos", "guide-zh.md"]).encode()
    if guide not in readme:
        fail(f"{name}.tar.gz: no README at its top that names {guide.decode()}")
    packed = check_linux_tree(top, name + ".tar.gz", packed)
    if installed is not None and packed is not None and packed != installed:
        fail(f"{name}.tar.gz differs from the tree of cmake --install")


def main():
    version, build = sys.argv[1], os.path.abspath(sys.argv[2])
    if not os.path.exists(os.path.join(ROOT, "docs", "guide-zh.md")):
        fail("docs/guide-zh.md is missing: both archives must carry the guide")
        return 1
    scratch = tempfile.mkdtemp(prefix="package-check-")
    try:
        check_linux(version, build, scratch)
        check_windows(version, scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)
    print(f"package check: {len(failures)} failed" if failures else "package check: all passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
