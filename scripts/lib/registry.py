"""The programs of the registry (web/programs.js) and their fixed texts, for
the Python scripts and checks, read the one way the page reads them.

  programs()   the stanzas, as dicts, in the tabs' order
  names()      their names (without node)
  texts()      {program: {NAME: text}}: the byte-escaped GBK constants of
               the files each stanza names under `texts`, decoded (the
               reading is web/tools/texts.js's; this runs it under node)

Import it with the repository's scripts/lib on sys.path.
"""
import json
import os
import re
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
READER = os.path.join(ROOT, "web", "tools", "texts.js")


def _node(code):
    out = subprocess.run(["node", "-e", code, READER, ROOT], check=True, capture_output=True)
    return json.loads(out.stdout)


def programs():
    """Return the stanzas of web/programs.js."""
    return _node("const t = require(process.argv[1]);"
                 "process.stdout.write(JSON.stringify(t.registry(process.argv[2])));")


def names():
    """Return the programs' names, in the registry's order: the line each
    stanza opens with, `{ name: '<name>', ...`, read as cmake/registry.cmake
    and scripts/lib/registry.sh read it, so that it needs no node."""
    with open(os.path.join(ROOT, "web", "programs.js"), encoding="utf-8") as f:
        return re.findall(r"^[ \t]*\{[ \t]*name:[ \t]*'([a-z][a-z0-9_]*)'", f.read(), re.M)


def texts():
    """Return {program: {NAME: text}}, every fixed text decoded from GBK."""
    return _node("const t = require(process.argv[1]);"
                 "process.stdout.write(JSON.stringify(t.read(process.argv[2])));")
