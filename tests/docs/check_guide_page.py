#!/usr/bin/env python3
"""Check that the guide's page (guide.html, scripts/web/assets.py) keeps the
structure of its markdown, docs/guide-zh.md: every list item of the
markdown is an item of the page at the same depth (an item indented under
another is inside it), a numbered step N is the Nth item of its list (a
command block or a paragraph between two steps does not start the list
again), and every code block of the markdown is a code block of the page.

The markdown is read here by its indentation alone, as a person reads the
plain text; the page by its HTML elements.

Usage: /usr/bin/python3 tests/docs/check_guide_page.py   (needs Debian's
python3-markdown, as scripts/web.sh does)
Exit status 0 when the structures agree, 1 otherwise (the differences listed).
"""
import os
import re
import sys
from html.parser import HTMLParser

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "scripts", "web"))
import assets  # noqa: E402

ITEM = re.compile(r"^( *)([-*+]|(\d+)\.) +(.*)$")


def words(text):
    """The first characters of an item's text, without markup."""
    return re.sub(r"[`*_\s]", "", text)[:12]


def markdown_items(text):
    """[(depth, number or None, words)] of the markdown's list items, and
    the number of its code blocks."""
    items, open_items, blocks, in_fence = [], [], 0, False
    for line in text.split("\n"):
        if line.lstrip().startswith("```"):
            blocks += 0 if in_fence else 1
            in_fence = not in_fence
            continue
        if in_fence:
            continue
        m = ITEM.match(line)
        if not m:
            continue
        indent = len(m.group(1))
        while open_items and indent <= open_items[-1]:
            open_items.pop()
        open_items.append(indent)
        items.append((len(open_items), int(m.group(3)) if m.group(3) else None, words(m.group(4))))
    return items, blocks


class Page(HTMLParser):
    """Collects the page's list items: depth, place in an <ol>, first words."""

    def __init__(self):
        super().__init__()
        self.lists = []      # [kind, items so far] of each open list
        self.items = []      # [depth, number, text]
        self.reading = None  # the item whose first words are being read
        self.blocks = 0

    def handle_starttag(self, tag, attrs):
        if tag in ("ul", "ol"):
            self.lists.append([tag, 0])
            self.reading = None
        elif tag == "li":
            self.lists[-1][1] += 1
            kind, count = self.lists[-1]
            self.reading = [len(self.lists), count if kind == "ol" else None, ""]
            self.items.append(self.reading)
        elif tag == "pre":
            self.blocks += 1
            self.reading = None

    def handle_endtag(self, tag):
        if tag in ("ul", "ol"):
            self.lists.pop()
        if tag in ("li", "p"):
            self.reading = None

    def handle_data(self, data):
        if self.reading is not None:
            self.reading[2] += data


def main():
    with open(os.path.join(ROOT, "docs", "guide-zh.md"), encoding="utf-8") as f:
        text = f.read()
    want, want_blocks = markdown_items(text)
    page = Page()
    page.feed(assets.guide())
    got = [(d, n, words(t)) for d, n, t in page.items]
    failures = []
    for k in range(max(len(want), len(got))):
        w = want[k] if k < len(want) else None
        g = got[k] if k < len(got) else None
        if w != g:
            failures.append(f"list item {k + 1}: the markdown has {w}, the page {g}")
            break
    if len(want) != len(got):
        failures.append(f"{len(want)} list items in the markdown, {len(got)} in the page")
    if want_blocks != page.blocks:
        failures.append(f"{want_blocks} code blocks in the markdown, {page.blocks} in the page")
    for failure in failures:
        print("FAIL " + failure)
    if failures:
        return 1
    print(f"ok: {len(want)} list items and {want_blocks} code blocks of the guide as written")
    return 0


if __name__ == "__main__":
    sys.exit(main())
