// The maker of new exercises (lab/cases.h, the C++ behind the page's 换一题,
// run here as the page runs it: the entry ExerciseMain of each program's
// script, through runner.js): every input it makes, over 1000 seeds per
// program and size, is accepted by the natively built program (exit status
// 0, no message) and does what an exercise should: the expression has
// brackets and mixed precedence and ends without an error, the tree's two
// sequences make a tree, every rule rewrites something so each character
// ends as a word, and the first count goes round the ring. The same seed
// gives the same input, asked for alone or among a thousand.
//
//     DSD_BUILD_DIR=build/gcc node --test tests/web/exercise.test.mjs
//
// DSD_BUILD_DIR is the build folder that holds the programs (default
// build/gcc), relative to the source tree or absolute; the scripts come from
// build/web (scripts/web.sh), or the folder DSD_WEB_DIR names.
import test from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

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

// gbk(text): the GBK bytes of a text of the programs' own (ASCII and the
// few Chinese words checked here), as the programs write it.
const GBK = { '错误警告': [0xB4, 0xED, 0xCE, 0xF3, 0xBE, 0xAF, 0xB8, 0xE6],
              '语法错误': [0xD3, 0xEF, 0xB7, 0xA8, 0xB4, 0xED, 0xCE, 0xF3],
              '请输入正确功能序号': [0xC7, 0xEB, 0xCA, 0xE4, 0xC8, 0xEB, 0xD5, 0xFD, 0xC8, 0xB7] };
const has = (bytes, word) => Buffer.from(bytes).includes(Buffer.from(GBK[word]));

// run(program, exercise, dir): runs the program on the exercise in dir, as
// its tab would (a file named on the command line, the console, or the
// command line's words); returns {status, stdout, stderr, output}.
function run(program, exercise, dir) {
  const exe = path.join(build, program, program);
  const text = Buffer.from(exercise.bytes);
  let args = [];
  let input = '';
  if (program === 'evaluator' || program === 'translator') {
    fs.writeFileSync(path.join(dir, exercise.name), text);
    args = [exercise.name];
  } else if (program === 'bitree') {
    input = text;
  } else {
    args = text.toString().split(' ');
  }
  const out = { evaluator: 'result.txt', translator: 'translate.txt', josephus: 'out.txt' }[program];
  if (out) fs.rmSync(path.join(dir, out), { force: true });
  const r = spawnSync(exe, args, { cwd: dir, input });
  return { status: r.status, stdout: r.stdout, stderr: r.stderr,
           output: out ? fs.readFileSync(path.join(dir, out)) : r.stdout };
}

// What each program's exercise must be, beyond being accepted.
const WORTH = {
  evaluator(text, r) {
    const expr = text.trim();
    assert.ok(expr.length <= 49, 'at most 49 characters');
    assert.match(expr, /\(/);
    assert.match(expr, /[*/]/);
    assert.match(expr, /[+-]/);
    assert.ok(!has(r.output, '语法错误') && !r.output.toString('latin1').endsWith('error'), 'no error row');
  },
  bitree(text, r) {
    const [, pre, ino] = text.split('\n')[1].match(/^(\S+) (\S+)$/);
    assert.equal(new Set(pre).size, pre.length, 'distinct letters');
    const printed = r.stdout.toString('latin1');
    assert.ok(printed.includes(pre) && printed.includes(ino), 'the tree printed back in both orders');
    assert.ok(!has(r.stdout, '请输入正确功能序号'));
  },
  translator(text, r) {
    const lines = text.split('\n');
    assert.ok(lines[lines.length - 1].length <= 38, 'the sentence fits its line');
    lines.slice(1, -1).forEach((l) => assert.ok(l.length - 4 <= 9, 'a replacement of at most 9'));
    assert.ok(r.output.length > 0 && !has(r.output, '错误警告'), 'every character ends as a word');
  },
  josephus(text, r) {
    const [n, m] = text.split(' ').map(Number);
    assert.ok(m > n, 'the first count goes round the ring');
    assert.equal(r.output.toString().trim().split(' ').map(Number).sort((a, b) => a - b).join(),
                 Array.from({ length: n }, (_, k) => k + 1).join(), 'everyone leaves once');
  },
};

for (const program of Object.keys(WORTH)) {
  test(`${program}: ${SEEDS} seeds in each size give inputs worth doing that the program accepts`, async () => {
    assert.ok(fs.existsSync(path.join(build, program, program)), 'build the programs first');
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), `dsd-exercise-${program}-`));
    try {
      for (const size of SIZES) {
        const seen = new Set();
        const all = await made(program, size, 1, SEEDS);
        assert.equal(all.length, SEEDS);
        // A few asked for alone, as the page asks: the same bytes.
        for (const seed of [1, 500, SEEDS]) {
          assert.deepEqual((await made(program, size, seed))[0], all[seed - 1], `${size} seed ${seed}: the same seed, the same input`);
        }
        for (let seed = 1; seed <= SEEDS; seed++) {
          const ex = all[seed - 1];
          const text = Buffer.from(ex.bytes).toString('latin1');
          const where = `${size} seed ${seed}: ${JSON.stringify(text)}`;
          const r = run(program, ex, dir);
          assert.equal(r.status, 0, `${where}: status`);
          assert.equal(r.stderr.length, 0, `${where}: no message`);
          try {
            WORTH[program](text, r);
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
