// The page's links (web/page/link.js), in node: a link is either read back
// as exactly the input it was made from, or named as damaged; never another
// input. File names read as one argument on a command line.
//
//     node --test tests/web/link.test.mjs
import test from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const DsdLink = require('../../web/page/link.js');
const DSD_PROGRAMS = require('../../web/programs.js');
const SIZES = ['small', 'medium', 'large'];

test('a link gives back its input exactly, and every cut or change of it is named as damaged', () => {
  const inputs = [['', new TextEncoder().encode('1+2*3\n')], ['a', new Uint8Array([5, 0x20, 0x32, 0xc4, 0xe3, 0xff])],
                  ['', new Uint8Array(0)], ['', Uint8Array.from({ length: 3000 }, (_, i) => (i * 7919) & 0xff)]];
  for (const [flag, bytes] of inputs) {
    const value = DsdLink.encodeInput(flag, bytes);
    assert.deepEqual(DsdLink.decodeInput(value, flag ? 'ak' : ''), { flag, bytes });
    for (let cut = 1; cut <= Math.min(value.length, 40); cut++) {
      assert.ok(DsdLink.decodeInput(value.slice(0, -cut), flag ? 'ak' : '').damaged,
                `cut by ${cut} of ${value.length}: ${value.slice(0, -cut)}`);
    }
    for (const at of [0, 9, Math.floor(value.length / 2), value.length - 1]) {
      if (at >= value.length) continue;
      const changed = value.slice(0, at) + (value[at] === 'B' ? 'C' : 'B') + value.slice(at + 1);
      assert.ok(DsdLink.decodeInput(changed, flag ? 'ak' : '').damaged, `changed at ${at}: ${changed}`);
    }
  }
  // The link of 1+2*3 from before checksums is no input either.
  assert.equal(DsdLink.decodeInput('MSsyKjMK', '').damaged, 'checksum');
  // Too long for a link: refused before decoding.
  assert.equal(DsdLink.decodeInput('A'.repeat(200000), '').damaged, 'long');
});

test('tab names are the registry\'s own, and ex= takes exactly what the generator makes', () => {
  for (const p of DSD_PROGRAMS) assert.ok(DsdLink.knownProgram(p.name, DSD_PROGRAMS), p.name);
  for (const name of ['constructor', '__proto__', 'valueOf', 'toString', 'hasOwnProperty', '', 'EVALUATOR']) {
    assert.equal(DsdLink.knownProgram(name, DSD_PROGRAMS), false, name);
    const h = DsdLink.parseHash('#' + name + '&in=x');
    assert.equal(h.keys.constructor, undefined, 'keys hold only what the link holds');
  }
  assert.deepEqual(DsdLink.parseExercise('small-5', SIZES), { size: 'small', seed: 5 });
  assert.deepEqual(DsdLink.parseExercise('large-2147483647', SIZES), { size: 'large', seed: 2147483647 });
  for (const bad of ['small--5', 'small-abc', 'huge-5', 'SMALL-5', 'small-99999999999999', 'small-4294967297',
                     'small-2147483648', 'small-0', 'small-05', 'small-', '-5', 'small-5-']) {
    assert.equal(DsdLink.parseExercise(bad, SIZES), null, bad);
  }
});

test('file names: a name read differently by a console is renamed for the right reason, the rest quoted as one argument', () => {
  assert.equal(DsdLink.nameProblem('expr.txt'), null);
  assert.equal(DsdLink.nameProblem('my expr (2).txt'), null);
  assert.match(DsdLink.nameProblem('-x.txt'), /以 - 开头/);
  assert.match(DsdLink.nameProblem('a "b c.txt'), /双引号/);
  assert.match(DsdLink.nameProblem('表达式.txt'), /非 ASCII/);
  assert.match(DsdLink.nameProblem('a/b.txt'), /分隔符/);
  assert.equal(DsdLink.consoleWord('expr.txt'), 'expr.txt');
  assert.equal(DsdLink.consoleWord('my expr (2).txt'), '"my expr (2).txt"');
  assert.equal(DsdLink.consoleWord('a&b.txt'), '"a&b.txt"');
});
