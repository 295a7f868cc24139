#!/usr/bin/env python3
"""Check that the user guide quotes every message the programs print.

The messages are collected from the end-to-end cases (tests/<program>/cases),
whose expected texts are compared byte for byte with real runs, so what is
collected here is what the programs really print:

  - every line of every expected stderr (the refusals, and the messages of
    a run stopped on its way);
  - evaluator: the last column of each trace row in an expected result.txt
    that is not one of the step actions (PUSH, POP, operate, RETURN), that
    is the error texts written in place of an action;
  - josephus: every line of an expected stdout (the keyboard prompt and the
    text printed when out.txt cannot be written);
  - bitree: every line of an expected stdout (the menu, the prompts and the
    dialogue's messages); a line that shows a result, such as
    "先序遍历输出：ABC", counts by its label alone ("先序遍历输出：").

The messages of exhausted memory (bitree's, josephus's, and translator's
for a rule it cannot keep) are not in any case: only a failed allocation
prints them. The allocation-failure runs (tests/alloc/check_alloc_failures.py)
fail every allocation of a run in turn and check each line they see on
stderr against the guide with stands_in() below, so those messages are
checked there, in the GCC lane, as they are really printed.

Each message must stand in the guide's section of its program (the part
under the "## " heading that names the program), character for character.
A message that holds a file name, a number or a line number may instead
match a code span of that section in which a placeholder, "<" and ">" around
at most 20 characters without blanks, stands for the varying part, as
`规则文件第<行号>行: 规则行不足3个字符` matches "规则文件第3行: 规则行不足3个字符".

The guide also travels to Windows converted to GBK, so it must hold only
characters that GBK has; and every file under examples/ must be named in
it, so that a teacher finds what each example shows.

Usage: python3 tests/docs/check_guide.py [GUIDE]   (default docs/guide-zh.md)
Exit status 0 when everything is found, 1 otherwise (the misses are listed).
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "harness"))
import run_case  # noqa: E402  (the case format is read exactly as the harness reads it)
sys.path.insert(0, os.path.join(ROOT, "scripts", "lib"))
import registry  # noqa: E402  (the programs and their texts, as the page reads them)

PROGRAMS = registry.names()
TRACE_ROW = re.compile(r"\d+\t")
_TEXTS = {}


def fixed(program, name):
    """One of the program's fixed texts (its C++ constants, decoded), without
    line breaks."""
    if not _TEXTS:
        _TEXTS.update(registry.texts())
    return _TEXTS[program][name].replace("\n", "")


def action():
    """The step actions of the evaluator's trace, as a regex; any other last
    column is a message."""
    t = lambda name: re.escape(fixed("evaluator", name))  # noqa: E731
    return re.compile("(%s|%s).*%s|%s.*%s.%s.*%s|%s|%s" % (
        t("TEXT_PUSH_OPND"), t("TEXT_PUSH_OPTR"), t("TEXT_CLOSE"),
        t("TEXT_OPERATE"), t("TEXT_BETWEEN"), t("TEXT_BETWEEN"), t("TEXT_CLOSE"),
        t("TEXT_CANCEL"), t("TEXT_RETURN")))


def bitree_labels():
    """The labels of bitree's result lines; what follows a label is the result."""
    return [fixed("bitree", name).split("%d")[0] for name in
            ("TEXT_PREORDER", "TEXT_INORDER", "TEXT_THREADED", "TEXT_VALUE_FORMAT",
             "TEXT_PREFIX", "TEXT_INFIX", "TEXT_POSTFIX")]


CODE_SPAN = re.compile(r"`([^`\n]+)`")
PLACEHOLDER = re.compile(r"<[^<>\s`]{1,20}>")


def text(data):
    """The expected bytes of a case section as text."""
    return data.decode("gbk", errors="replace")


def lines(data):
    return [line for line in text(data).replace("\r", "").split("\n") if line.strip()]


def collect(program):
    """Return {message: first case that shows it} for one program."""
    found = {}
    folder = os.path.join(ROOT, "tests", program, "cases")
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".case"):
            continue
        case = run_case.parse(os.path.join(folder, name))
        messages = lines(case["stderr"])
        if program == "evaluator":
            for data in case["expect"].values():
                for line in text(data).split("\n"):
                    if TRACE_ROW.match(line):
                        last = line.split("\t")[-1]
                        if last and not action().fullmatch(last):
                            messages.append(last)
        elif program == "josephus":
            messages += lines(case["stdout"])
        elif program == "bitree":
            for line in lines(case["stdout"]):
                label = next((l for l in bitree_labels() if line.startswith(l)), None)
                messages.append(label if label is not None else line)
        for message in messages:
            found.setdefault(message, name)
    return found


def sections(guide):
    """Return {program: the text under the "## " heading that names it}."""
    parts = {}
    heads = [m for m in re.finditer(r"^## .*$", guide, re.M)]
    for i, head in enumerate(heads):
        end = heads[i + 1].start() if i + 1 < len(heads) else len(guide)
        for program in PROGRAMS:
            if re.search(r"\b%s\b" % program, head.group(0)) and program not in parts:
                parts[program] = guide[head.start():end]
    return parts


def patterns(section):
    """The code spans of a section that hold a placeholder, as regexes."""
    result = []
    for span in CODE_SPAN.findall(section):
        pieces = PLACEHOLDER.split(span)
        if len(pieces) > 1 and sum(len(p) for p in pieces) >= 4:
            result.append(re.compile(".+?".join(re.escape(p) for p in pieces)))
    return result


def stands_in(section, message):
    """True when message stands in section, character for character or
    through a code span with placeholders."""
    return message in section or any(p.fullmatch(message) for p in patterns(section))


def read_guide(path=None):
    """The guide's text (default docs/guide-zh.md)."""
    with open(path or os.path.join(ROOT, "docs", "guide-zh.md"), encoding="utf-8") as f:
        return f.read()


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs", "guide-zh.md")
    guide = read_guide(path)
    failures = []

    for number, line in enumerate(guide.split("\n"), 1):
        try:
            line.encode("gbk")
        except UnicodeEncodeError as e:
            failures.append(f"line {number}: {line[e.start:e.end]!r} has no GBK code")

    parts = sections(guide)
    checked = 0
    for program in PROGRAMS:
        if program not in parts:
            failures.append(f"no \"## \" heading names {program}")
            continue
        section = parts[program]
        for message, case in collect(program).items():
            checked += 1
            if stands_in(section, message):
                continue
            failures.append(f"{program}: {message!r} (from {case}) is not in its section")

    examples = os.path.join(ROOT, "examples")
    for folder, _, files in os.walk(examples):
        for name in files:
            rel = os.path.relpath(os.path.join(folder, name), ROOT).replace(os.sep, "/")
            if rel not in guide:
                failures.append(f"{rel} is not named in the guide")

    for failure in failures:
        print("FAIL " + failure)
    if failures:
        return 1
    print(f"ok: {checked} messages of the cases stand in {path}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
