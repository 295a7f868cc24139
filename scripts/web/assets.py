#!/usr/bin/env python3
"""Writes the browser edition's generated files into its folder (the argument):

  examples.js  every file under examples/, as the global DSD_EXAMPLES:
               {program: [{name, base64}, ...]}, each program's main example
               first. A page opened from file:// may not read files beside
               it, so the examples travel inside a script; base64 keeps
               their exact bytes (GBK, line ends, byte order marks).
  sources.js   the programs' own C++, for the code panel beside each
               picture: DSD_SOURCES, the JSON text of {"<folder>/<file>":
               text} with every .cpp and .h file of each program's source
               folder, copied exactly as they are now, compressed with
               zlib's deflate and written in base64 (the page inflates it
               with the browser's DecompressionStream: 50 KB instead of
               140); and DSD_FUNCTIONS, {"<folder>/<file>": [{name, first,
               last}, ...]}, every function defined there with its first
               and last line (from 1), by line.
  drawing.js   the page's own drawing code as text, for the file that
               保存全部步骤 writes (it draws each step itself, offline):
               DSD_DRAWING, {"<path under web/>": text} with dom.js, gbk.js,
               every file of draw/ and each program's parts and picture.js,
               in the order the page loads them.
  texts.js     the programs' fixed texts, DSD_TEXTS: {program: {NAME:
               text}}, read from the byte-escaped GBK constants of their
               C++ (web/tools/texts.js) and decoded, so that the page, the
               对照 panel and the checks type none of them again.
  guide.html   docs/guide-zh.md rendered as a page of the edition, in UTF-8,
               so that any browser shows the Chinese guide right.

The programs, their main examples, source folders and text files come from
the page's own list, web/programs.js, read through node
(scripts/lib/registry.py). The function index is
Debian's universal-ctags (its C++ parser with end lines): it knows C++
declarations, where a scan of this code's style would have to guess at
signatures that run over several lines.
"""
import base64
import html
import json
import os
import re
import sys

import subprocess
import zlib

import markdown

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "lib"))
import registry as dsd_registry  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
GUIDE_PAGE = """<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title}</title>
<link rel="stylesheet" href="style.css">
</head>
<body class="guide">
<p><a href="index.html">← 返回浏览器版</a></p>
{body}
</body>
</html>
"""


def examples(registry):
    """Return {program: [{name, base64}]} for the files under examples/,
    each program's main example first."""
    main = {p["name"]: p["mainExample"] for p in registry}
    packed = {}
    folder = os.path.join(ROOT, "examples")
    for program in sorted(os.listdir(folder)):
        names = sorted(os.listdir(os.path.join(folder, program)),
                       key=lambda n: (n != main.get(program), n))
        packed[program] = []
        for name in names:
            with open(os.path.join(folder, program, name), "rb") as f:
                packed[program].append({"name": name,
                                        "base64": base64.b64encode(f.read()).decode("ascii")})
    return packed


def source_files(registry):
    """Return the paths, from the repository's root, of every .cpp and .h
    file in each program's source folder, in the registry's order."""
    paths = []
    for p in registry:
        for name in sorted(os.listdir(os.path.join(ROOT, p["sources"]))):
            if name.endswith((".cpp", ".h")):
                paths.append(p["sources"] + "/" + name)
    return paths


def sources(paths):
    """Return {path: text} for those files, their exact text (they are
    UTF-8; newline="" keeps every line end as it is)."""
    texts = {}
    for path in paths:
        with open(os.path.join(ROOT, path), encoding="utf-8", newline="") as f:
            texts[path] = f.read()
    return texts


def functions(paths):
    """Return {path: [{name, first, last}]}: the functions defined in those
    files, by line, as universal-ctags finds them."""
    out = subprocess.run(["ctags", "--languages=C++", "--language-force=C++", "--kinds-C++=f",
                          "--fields=+ne", "--output-format=json", "--sort=no", "-f", "-"] + paths,
                         cwd=ROOT, check=True, capture_output=True, text=True)
    index = {path: [] for path in paths}
    for line in out.stdout.splitlines():
        tag = json.loads(line)
        if tag.get("_type") == "tag" and "end" in tag:
            index[tag["path"]].append({"name": tag["name"], "first": tag["line"], "last": tag["end"]})
    for found in index.values():
        found.sort(key=lambda f: f["first"])
    return index


def drawing(registry):
    """Return {path under web/: text} for the scripts a saved all-steps
    file carries to draw its steps."""
    paths = ["page/dom.js", "page/gbk.js"]
    paths += ["draw/" + n for n in sorted(os.listdir(os.path.join(ROOT, "web", "draw"))) if n.endswith(".js")]
    for p in registry:
        paths += [p["name"] + "/" + part for part in p.get("parts", [])] + [p["name"] + "/picture.js"]
    texts = {}
    for path in paths:
        with open(os.path.join(ROOT, "web", path), encoding="utf-8", newline="") as f:
            texts[path] = f.read()
    return texts


# --------------------------------------------------------------- the guide
#
# The guide is written as the common markdown readers (and a reader of the
# plain text) take it: a nested list indented to its parent's text (two
# spaces under "- ", three under "1. "), and a command of a numbered step in
# a fenced block at the margin, the step's text going on indented after it.
# python-markdown nests only by four spaces and knows no fenced block inside
# a list, so the guide is first put in its terms: each level of a list four
# spaces in, and a fenced block that a list goes on after, an indented code
# block of its item.

LIST_ITEM = re.compile(r"^( *)([-*+]|\d+\.) +(.*)$")
FENCE = re.compile(r"^ *```")


def nest_lists(text):
    """Return the guide's markdown with its lists indented as python-markdown
    reads them (see above)."""
    lines = text.split("\n")
    out = []
    stack = []          # the text column of each open list item, outermost first
    blank = True        # the line before was blank
    went_on = False     # the open item has a paragraph after a blank line
    i = 0
    while i < len(lines):
        line = lines[i]
        indent = len(line) - len(line.lstrip(" "))
        item = LIST_ITEM.match(line)
        if not line.strip():
            out.append("")
            blank = True
            i += 1
            continue
        if FENCE.match(line):
            end = i + 1
            while end < len(lines) and not FENCE.match(lines[end]):
                end += 1
            block = lines[i + 1:end]
            after = next((l for l in lines[end + 1:] if l.strip()), "")
            after_indent = len(after) - len(after.lstrip(" "))
            goes_on = stack and (after_indent > 0 or (LIST_ITEM.match(after) and after_indent == 0))
            if goes_on:
                level = max(1, sum(1 for col in stack if col <= max(after_indent, indent)))
                del stack[level:]
                if out and out[-1] != "":
                    out.append("")
                out += [" " * (4 * level + 4) + l if l.strip() else "" for l in block]
                out.append("")
            else:
                stack.clear()
                out += lines[i:end + 1]
            i = end + 1
            blank = False
            continue
        if item:
            went_on_before = went_on
            went_on = False
            while stack and indent < stack[-1]:
                stack.pop()
            # After an item's later paragraph the next item needs a blank
            # line, or python-markdown runs it into that paragraph.
            if went_on_before and not blank:
                out.append("")
            out.append(" " * (4 * len(stack)) + item.group(2) + " " + item.group(3))
            stack.append(indent + len(item.group(2)) + 1)
        elif stack and indent > 0:
            level = sum(1 for col in stack if col <= indent) or 1
            del stack[level:]
            out.append(" " * (4 * level + max(0, indent - stack[level - 1])) + line.lstrip(" "))
            went_on = went_on or blank
        else:
            if blank:
                stack.clear()
            out.append(line)
        blank = False
        i += 1
    return "\n".join(out)


def guide():
    """Return the user guide as a whole HTML page."""
    with open(os.path.join(ROOT, "docs", "guide-zh.md"), encoding="utf-8") as f:
        text = f.read()
    title = text.splitlines()[0].lstrip("# ").strip()
    body = markdown.markdown(nest_lists(text), extensions=["tables", "fenced_code", "toc"])
    return GUIDE_PAGE.format(title=html.escape(title), body=body)


def main():
    out = sys.argv[1]
    registry = dsd_registry.programs()
    with open(os.path.join(out, "texts.js"), "w", encoding="utf-8") as f:
        f.write("/* The programs' fixed texts, read from their C++ by scripts/web/assets.py. */\n")
        f.write("var DSD_TEXTS = " + json.dumps(dsd_registry.texts(), ensure_ascii=False, indent=1) + ";\n")
    with open(os.path.join(out, "examples.js"), "w", encoding="utf-8") as f:
        f.write("/* The bundled examples, generated from examples/ by scripts/web/assets.py. */\n")
        f.write("var DSD_EXAMPLES = " + json.dumps(examples(registry), indent=1) + ";\n")
    paths = source_files(registry)
    with open(os.path.join(out, "sources.js"), "w", encoding="utf-8", newline="\n") as f:
        f.write("/* The programs' own C++ and its function index, copied from the source\n"
                " * folders by scripts/web/assets.py. */\n")
        packed = zlib.compress(json.dumps(sources(paths), ensure_ascii=False).encode("utf-8"), 9)
        f.write("var DSD_SOURCES = '" + base64.b64encode(packed).decode("ascii") + "';\n")
        f.write("var DSD_FUNCTIONS = " + json.dumps(functions(paths), separators=(",", ":")) + ";\n")
    with open(os.path.join(out, "drawing.js"), "w", encoding="utf-8", newline="\n") as f:
        f.write("/* The page's drawing code as text, for saved all-steps files; copied\n"
                " * from web/ by scripts/web/assets.py. */\n")
        f.write("var DSD_DRAWING = " + json.dumps(drawing(registry), ensure_ascii=False) + ";\n")
    with open(os.path.join(out, "guide.html"), "w", encoding="utf-8") as f:
        f.write(guide())


if __name__ == "__main__":
    main()
