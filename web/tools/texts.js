/* texts.js -- reads the programs' fixed texts from their own C++, so that
 * no other file types them again.
 *
 * A program's texts are the byte-escaped GBK constants of the files its
 * stanza in programs.js names under `texts` (e.g. <name>/texts.h):
 *
 *     constexpr char TEXT_RESULT[] = "\n\xd4\xcb..." "...";
 *     #define SAVE_AS_PLAIN_TEXT "..." "..."
 *
 * each the concatenation of its string literals and of the #define'd names
 * between them, as the compiler joins them. read() returns
 * {program: {NAME: text}}, every text decoded from GBK ("%s" and "%d" of a
 * format kept as they are).
 *
 * Used three ways, all the same reading:
 *   - scripts/web/assets.py runs `node web/tools/texts.js` and writes what
 *     it prints into the page's texts.js (the global DSD_TEXTS);
 *   - under node, the browser checks require() it (tests/web/registry.mjs);
 *   - Python checks run it through scripts/lib/registry.py (texts()).
 * Run as a program, it prints the JSON of read() on stdout. */
'use strict';
const fs = require('fs');
const path = require('path');
const vm = require('vm');

const ROOT = path.join(__dirname, '..', '..');

/* registry(root): returns the stanzas of web/programs.js (a classic
 * script, run in a context of its own). */
function registry(root) {
  const box = {};
  vm.runInNewContext(fs.readFileSync(path.join(root || ROOT, 'web', 'programs.js'), 'utf8') +
                     ';this.DSD_PROGRAMS = DSD_PROGRAMS;', box);
  return box.DSD_PROGRAMS;
}

/* literal(s): returns the bytes of one C string literal's body (without
 * its quotes), its escapes resolved as C resolves them: \x takes every hex
 * digit that follows, which is why the headers split a literal before a
 * digit. */
function literal(s) {
  const bytes = [];
  const simple = { n: 10, t: 9, r: 13, '0': 0, '\\': 92, '"': 34, "'": 39, '?': 63, a: 7, b: 8, f: 12, v: 11 };
  for (let i = 0; i < s.length; i++) {
    if (s[i] !== '\\') {
      for (const b of Buffer.from(s[i], 'utf8')) bytes.push(b);
      continue;
    }
    const c = s[++i];
    if (c === 'x') {
      let j = i + 1;
      while (j < s.length && /[0-9a-fA-F]/.test(s[j])) j++;
      bytes.push(parseInt(s.slice(i + 1, j), 16));
      i = j - 1;
    } else if (c in simple) {
      bytes.push(simple[c]);
    } else {
      throw new Error('unknown escape \\' + c);
    }
  }
  return bytes;
}

/* parse(source): returns {NAME: Uint8Array} for every text constant and
 * every #define of string literals in one C++ source. */
function parse(source) {
  const code = source.replace(/\/\*[\s\S]*?\*\//g, ' ').replace(/\\\r?\n/g, ' ');
  const found = {};
  const join = (body) => {
    const bytes = [];
    const token = /"((?:[^"\\\n]|\\.)*)"|([A-Za-z_]\w*)/g;
    let m;
    while ((m = token.exec(body))) {
      if (m[1] !== undefined) bytes.push(...literal(m[1]));
      else if (found[m[2]]) bytes.push(...found[m[2]]);
      else return null;  // a name that is no text: not a text constant
    }
    return Uint8Array.from(bytes);
  };
  const decl = /constexpr\s+char\s+(\w+)\s*\[\s*\]\s*=((?:\s+|"(?:[^"\\\n]|\\.)*"|\w+)*);|^[ \t]*#define[ \t]+(\w+)[ \t]+("[^\n]*)$/gm;
  let m;
  while ((m = decl.exec(code))) {
    const bytes = join(m[2] !== undefined ? m[2] : m[4]);
    if (bytes) found[m[1] || m[3]] = bytes;
  }
  return found;
}

/* read(root): returns {program: {NAME: text}} for every program of the
 * registry, its texts decoded from GBK. */
function read(root) {
  root = root || ROOT;
  const gbk = new TextDecoder('gbk');
  const texts = {};
  for (const p of registry(root)) {
    texts[p.name] = {};
    for (const file of p.texts || []) {
      const bytes = parse(fs.readFileSync(path.join(root, file), 'utf8'));
      for (const name of Object.keys(bytes)) texts[p.name][name] = gbk.decode(bytes[name]);
    }
  }
  return texts;
}

module.exports = { read, parse, registry };

if (require.main === module) process.stdout.write(JSON.stringify(read(process.argv[2])));
