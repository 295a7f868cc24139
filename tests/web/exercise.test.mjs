// The maker of new exercises (lab/cases.h, the C++ behind the page's 换一题,
// run here as the page runs it: the entry ExerciseMain of each program's
// script, through runner.js): every input it makes, over 1000 seeds per
// program of the registry and size, is accepted by the natively built program (exit status
// 0, no message) and does what an exercise should: the expression has
// brackets and mixed precedence and ends without an error, the tree's two
// sequences make a tree, every rule rewrites something so each character
// ends as a word, and the first count goes round the ring (worth() of each
// program's tests/<name>/web.mjs). The same seed gives the same input,
// asked for alone or among a thousand.
//
//     DSD_BUILD_DIR=build/gcc node --test tests/web/exercise.test.mjs
//
// DSD_BUILD_DIR is the build folder that holds the programs (default
// build/gcc), relative to the source tree or absolute.
import test from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import { PROGRAMS, TEXTS } from './registry.mjs';

const require = createRequire(import.meta.url);
const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const build = path.resolve(root, process.env.DSD_BUILD_DIR || 'build/gcc');
const web = path.resolve(root, process.env.DSD_WEB_DIR || 'build/web');
const DsdRunner = require(path.join(root, 'web/worker/runner.js'));
const SIZES = ['small', 'medium', 'large'];
const SEEDS = 1000;

// made(program, size, seed, count): the exercises of seeds seed.. seed+count-1
// from the program's script, each {name, bytes}; with no count, the one
// exercise as the page asks for it.
async function made(program, size, seed, count) {
  const script = path.join(web, program + '.js');
  assert.ok(fs.existsSync(script), `${script} is missing: run scripts/web.sh first`);
  const args = [size, String(seed)].concat(count ? [String(count)] : []);
  const r = await DsdRunner().runProgram(require(script), program, { entry: 'ExerciseMain', args });
  assert.equal(r.status, 0, Buffer.from(r.stderr).toString());
  const out = Buffer.from(r.stdout);
  const pieces = [];
  if (!count) pieces.push(out);
  for (let at = 0; count && at < out.length;) {
    const end = out.indexOf(0, at);
    pieces.push(out.subarray(at, end));
    at = end + 1;
  }
  return pieces.map((bytes, k) => ({ name: `${program}-${size}-${seed + k}.txt`, bytes }));
}

// GBK_OF: the GBK bytes of each Chinese character, from node's decoder
// (node decodes GBK but cannot encode it).
const GBK_OF = (() => {
  const map = new Map();
  const decoder = new TextDecoder('gbk');
  for (let lead = 0x81; lead <= 0xFE; lead++) {
    for (let trail = 0x40; trail <= 0xFE; trail++) {
      const ch = decoder.decode(Uint8Array.of(lead, trail));
      if (ch.length === 1 && ch !== '\uFFFD' && !map.has(ch)) map.set(ch, [lead, trail]);
    }
  }
  return map;
})();

// has(bytes, text): whether the output holds one of the program's own
// texts (its C++ constants, tests/web/registry.mjs) as the program writes it.
const has = (bytes, text) => Buffer.from(bytes).includes(
  Buffer.from([...text].flatMap((ch) => (ch < '\x80' ? [ch.charCodeAt(0)] : GBK_OF.get(ch)))));

// run(p, exercise, dir): runs program p on the exercise in dir, as its tab
// would (a file named on the command line, the console, or the command
// line's words); returns {status, stdout, stderr, output}.
function run(p, exercise, dir) {
  const exe = path.join(build, p.name, p.name);
  const text = Buffer.from(exercise.bytes);
  let args = [];
  let input = '';
  if (p.input === 'document') {
    fs.writeFileSync(path.join(dir, exercise.name), text);
    args = [exercise.name];
  } else if (p.input === 'console') {
    input = text;
  } else {
    args = text.toString().split(' ');
  }
  const out = p.output;
  if (out) fs.rmSync(path.join(dir, out), { force: true });
  const r = spawnSync(exe, args, { cwd: dir, input });
  return { status: r.status, stdout: r.stdout, stderr: r.stderr,
           output: out ? fs.readFileSync(path.join(dir, out)) : r.stdout };
}

for (const p of PROGRAMS) {
  const program = p.name;
  test(`${program}: ${SEEDS} seeds in each size give inputs worth doing that the program accepts`, async () => {
    assert.ok(fs.existsSync(path.join(build, program, program)), 'build the programs first');
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), `dsd-exercise-${program}-`));
    try {
      for (const size of SIZES) {
        const seen = new Set();
        const all = await made(program, size, 1, SEEDS);
        assert.equal(all.length, SEEDS, `${program} makes ${SEEDS} exercises of size ${size}`);
        // A few asked for alone, as the page asks: the same bytes.
        for (const seed of [1, 500, SEEDS]) {
          assert.deepEqual((await made(program, size, seed))[0], all[seed - 1], `${size} seed ${seed}: the same seed, the same input`);
        }
        for (let seed = 1; seed <= SEEDS; seed++) {
          const ex = all[seed - 1];
          const text = Buffer.from(ex.bytes).toString('latin1');
          const where = `${size} seed ${seed}: ${JSON.stringify(text)}`;
          const r = run(p, ex, dir);
          assert.equal(r.status, 0, `${where}: status`);
          assert.equal(r.stderr.length, 0, `${where}: no message`);
          try {
            if (p.checks.worth) p.checks.worth(text, r, { assert, has, texts: TEXTS[program] });
          } catch (e) {
            e.message = `${where}: ${e.message}`;
            throw e;
          }
          seen.add(text);
        }
        assert.ok(seen.size > SEEDS * 0.9, `${size}: the seeds give different inputs (${seen.size})`);
      }
    } finally {
      fs.rmSync(dir, { recursive: true, force: true });
    }
  });
}
