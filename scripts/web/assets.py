#!/usr/bin/env python3
"""Writes the browser edition's generated files into its folder (the argument):

  examples.js  every file under examples/, as the global DSD_EXAMPLES:
               {program: [{name, base64}, ...]}, each program's main example
               first. A page opened from file:// may not read files beside
               it, so the examples travel inside a script; base64 keeps
               their exact bytes (GBK, line ends, byte order marks).
  guide.html   docs/guide-zh.md rendered as a page of the edition, in UTF-8,
               so that any browser shows the Chinese guide right.
"""
import base64
import html
import json
import os
import sys

import markdown

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# The example each tab opens with: the one the demo and the guide use.
MAIN_EXAMPLE = {"evaluator": "expr.txt", "translator": "rules.txt",
                "josephus": "args.txt", "bitree": "session.txt"}

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


def examples():
    """Return {program: [{name, base64}]} for the files under examples/."""
    packed = {}
    folder = os.path.join(ROOT, "examples")
    for program in sorted(os.listdir(folder)):
        names = sorted(os.listdir(os.path.join(folder, program)),
                       key=lambda n: (n != MAIN_EXAMPLE.get(program), n))
        packed[program] = []
        for name in names:
            with open(os.path.join(folder, program, name), "rb") as f:
                packed[program].append({"name": name,
                                        "base64": base64.b64encode(f.read()).decode("ascii")})
    return packed


def guide():
    """Return the user guide as a whole HTML page."""
    with open(os.path.join(ROOT, "docs", "guide-zh.md"), encoding="utf-8") as f:
        text = f.read()
    title = text.splitlines()[0].lstrip("# ").strip()
    body = markdown.markdown(text, extensions=["tables", "fenced_code", "toc"])
    return GUIDE_PAGE.format(title=html.escape(title), body=body)


def main():
    out = sys.argv[1]
    with open(os.path.join(out, "examples.js"), "w", encoding="utf-8") as f:
        f.write("/* The bundled examples, generated from examples/ by scripts/web/assets.py. */\n")
        f.write("var DSD_EXAMPLES = " + json.dumps(examples(), indent=1) + ";\n")
    with open(os.path.join(out, "guide.html"), "w", encoding="utf-8") as f:
        f.write(guide())


if __name__ == "__main__":
    main()
