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
               every file of draw/ and each program's picture.js.
  guide.html   docs/guide-zh.md rendered as a page of the edition, in UTF-8,
               so that any browser shows the Chinese guide right.

The programs, their main examples and their source folders come from the
page's own list, web/programs.js, read through node. The function index is
Debian's universal-ctags (its C++ parser with end lines): it knows C++
declarations, where a scan of this code's style would have to guess at
signatures that run over several lines.
"""
import base64
import html
import json
import os
import sys

import subprocess
import zlib

import markdown

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The node program that prints web/programs.js's DSD_PROGRAMS as JSON: the
# file is a classic script, so it runs in a context of its own.
READ_PROGRAMS = ("const fs = require('fs'), vm = require('vm');"
                 "const box = {};"
                 "vm.runInNewContext(fs.readFileSync(process.argv[1], 'utf8') +"
                 " ';this.DSD_PROGRAMS = DSD_PROGRAMS;', box);"
                 "process.stdout.write(JSON.stringify(box.DSD_PROGRAMS));")

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


def programs():
    """Return the page's programs, the stanzas of web/programs.js."""
    out = subprocess.run(["node", "-e", READ_PROGRAMS, os.path.join(ROOT, "web", "programs.js")],
                         check=True, capture_output=True)
    return json.loads(out.stdout)


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
    paths += [p["name"] + "/picture.js" for p in registry]
    texts = {}
    for path in paths:
        with open(os.path.join(ROOT, "web", path), encoding="utf-8", newline="") as f:
            texts[path] = f.read()
    return texts


def guide():
    """Return the user guide as a whole HTML page."""
    with open(os.path.join(ROOT, "docs", "guide-zh.md"), encoding="utf-8") as f:
        text = f.read()
    title = text.splitlines()[0].lstrip("# ").strip()
    body = markdown.markdown(text, extensions=["tables", "fenced_code", "toc"])
    return GUIDE_PAGE.format(title=html.escape(title), body=body)


def main():
    out = sys.argv[1]
    registry = programs()
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
