// The comparison of a student's output with ours, through its command line
// (web/tools/compare.mjs, which runs the C++ comparison inside the program's
// script of the browser edition, as the page does). Each case takes a real
// output of ours, made by running the natively built program on its example
// in a fresh folder, changes one thing in it and checks the exit status and
// the key parts of the report.
//
//     DSD_BUILD_DIR=build/gcc node --test tests/web/compare.test.mjs
//
// DSD_BUILD_DIR is the build folder that holds the programs (default
// build/gcc), relative to the source tree or absolute; compare.mjs takes the
// scripts from build/web (scripts/web.sh), or the folder DSD_WEB_DIR names.
import test from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const build = path.resolve(root, process.env.DSD_BUILD_DIR || 'build/gcc');
const examples = path.join(root, 'examples');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'dsd-compare-'));
process.on('exit', () => fs.rmSync(work, { recursive: true, force: true }));

// ours(program, args, stdin): runs one of our programs in a fresh folder and
// returns its output file's bytes (bitree: its stdout).
function ours(program, args, stdin) {
  const exe = path.join(build, program, program);
  assert.ok(fs.existsSync(exe), `${exe} is missing: build the programs first`);
  const dir = fs.mkdtempSync(path.join(work, program + '-'));
  const run = spawnSync(exe, args, { cwd: dir, input: stdin || '' });
  assert.equal(run.status, 0, `${program} ${args.join(' ')} failed`);
  const file = { evaluator: 'result.txt', translator: 'translate.txt', josephus: 'out.txt' }[program];
  return file ? fs.readFileSync(path.join(dir, file)) : run.stdout;
}

// compare(program, a, b): writes both outputs to files, runs the command
// line on them and returns {status, report, stderr}.
let files = 0;
function compare(program, a, b) {
  const paths = [a, b].map((bytes) => {
    const p = path.join(work, `out-${++files}.txt`);
    fs.writeFileSync(p, bytes);
    return p;
  });
  return run(program, ...paths);
}

// run(...args): runs the command line and returns {status, report, stderr}.
function run(...args) {
  const r = spawnSync(process.execPath, [path.join(root, 'web/tools/compare.mjs'), ...args]);
  return { status: r.status, report: r.stdout.toString('utf8'), stderr: r.stderr.toString('utf8') };
}

// replaceLine(bytes, n, edit): returns the bytes with line n (from 0)
// changed by edit(lineBytes) -> Buffer.
function replaceLine(bytes, n, edit) {
  const lines = [];
  let start = 0;
  for (let i = 0; i <= bytes.length; i++) {
    if (i === bytes.length || bytes[i] === 0x0A) {
      lines.push(bytes.subarray(start, i));
      start = i + 1;
    }
  }
  lines[n] = edit(lines[n]);
  return Buffer.concat(lines.flatMap((l, i) => (i ? [Buffer.from('\n'), l] : [l])));
}

// asUtf8(gbk): returns GBK bytes re-encoded as UTF-8.
const asUtf8 = (gbk) => Buffer.from(new TextDecoder('gbk').decode(gbk), 'utf8');

test('evaluator: one changed thing in a trace', async (t) => {
  const trace = ours('evaluator', [path.join(examples, 'evaluator/expr.txt')]);

  await t.test('identical files are identical', () => {
    const r = compare('evaluator', trace, trace);
    assert.equal(r.status, 0);
    assert.match(r.report, /^对照 evaluator 的 result\.txt：完全一致\n/);
  });

  await t.test('a digit in the OPND column names the step and the column', () => {
    // Line 9 is step 8, whose OPND column is "3 5 ".
    const mine = replaceLine(trace, 8, (l) => Buffer.from(l.toString('latin1').replace('\t3 5 \t', '\t3 6 \t'), 'latin1'));
    const r = compare('evaluator', trace, mine);
    assert.equal(r.status, 1);
    assert.match(r.report, /内容不同/);
    assert.match(r.report, /第一个不同：第 9 行，第 12 个字符，第 8 步，OPND栈 列\n/);
    assert.match(r.report, /我们的：8→# \* \( →3 【5】 →/);
    assert.match(r.report, /不同的字节：我们的 35；你的 36\n/);
  });

  await t.test('a tab replaced by blanks is a difference of form, shown, in hex too', () => {
    // Step 3: "3\t# * \t3 \t..."; the tab that closes the OPTR column.
    const mine = replaceLine(trace, 3, (l) => Buffer.from(l.toString('latin1').replace('# * \t', '# *     '), 'latin1'));
    const r = compare('evaluator', trace, mine);
    assert.equal(r.status, 0);
    assert.match(r.report, /：格式错误——文字相同，只有空白不同（不是内容上的不同）\n/);
    assert.match(r.report, /第一个不同：第 4 行，第 7 个字符，第 3 步，OPTR栈 列（该列后面的制表符）\n/);
    assert.match(r.report, /我们的：3→# \* 【→】3 →/);
    assert.match(r.report, /你的：  3→# \* 【····】3 →/);
    assert.match(r.report, /不同的字节：我们的 09；你的 20 20 20 20\n/);
    assert.match(r.report, /另外，空白不同：第 4 行第 7 个字符：我们的是“→”，你的是“····”/);
  });

  await t.test('CRLF line ends are reported as only that', () => {
    const mine = Buffer.from(trace.toString('latin1').replace(/\n/g, '\r\n'), 'latin1');
    const r = compare('evaluator', trace, mine);
    assert.equal(r.status, 0);
    assert.match(r.report, /文字相同，只有行尾不同（不是内容上的不同）\n/);
    assert.match(r.report, /行尾不同：我们的是 LF（0A），你的是 CRLF（0D 0A）/);
    assert.doesNotMatch(r.report, /第一个不同/);
  });

  await t.test('GBK against UTF-8 is the same text, the encodings named', () => {
    const r = compare('evaluator', trace, asUtf8(trace));
    assert.equal(r.status, 0);
    assert.match(r.report, /文字相同，只有编码不同/);
    assert.match(r.report, /编码：我们的按 GBK 解码，你的按 UTF-8 解码\n/);
    assert.doesNotMatch(r.report, /第一个不同/);
  });

  await t.test('UTF-16 with its byte order mark (Notepad\'s "Unicode") is the same text; a change in it is found', () => {
    const text = new TextDecoder('gbk').decode(trace);
    const le = Buffer.concat([Buffer.from([0xFF, 0xFE]), Buffer.from(text, 'utf16le')]);
    const be = Buffer.from(le);
    for (let i = 0; i < be.length; i += 2) [be[i], be[i + 1]] = [le[i + 1], le[i]];
    for (const [bytes, name] of [[le, '按 UTF-16（小端，FF FE）解码'], [be, '按 UTF-16（大端，FE FF）解码']]) {
      const r = compare('evaluator', trace, bytes);
      assert.equal(r.status, 0, r.report);
      assert.match(r.report, /文字相同，只有编码、BOM不同/);
      assert.ok(r.report.includes('你的' + name), r.report);
    }
    const changed = Buffer.concat([Buffer.from([0xFF, 0xFE]), Buffer.from(text.replace('\t3 5 \t', '\t3 6 \t'), 'utf16le')]);
    const r = compare('evaluator', trace, changed);
    assert.equal(r.status, 1);
    assert.match(r.report, /第一个不同：第 9 行.*第 8 步，OPND栈 列/);
  });
});

test('translator: one wrong word', () => {
  // 天上一只地鹅蛋鹅恨鹅, two bytes a character: the 7th character (蛋,
  // the 6th word) becomes the 6th (鹅).
  const words = ours('translator', [path.join(examples, 'translator/rules.txt')]);
  const mine = Buffer.from(words);
  words.copy(mine, 12, 10, 12);
  const r = compare('translator', words, mine);
  assert.equal(r.status, 1);
  assert.match(r.report, /第一个不同：第 1 行，第 7 个字符，第 6 个词（蛋）\n/);
  assert.match(r.report, /我们的：天上一只地鹅【蛋】鹅恨鹅/);
  assert.match(r.report, /你的：  天上一只地鹅【鹅】鹅恨鹅/);
});

test('bitree: a transcript', async (t) => {
  const transcript = ours('bitree', [], fs.readFileSync(path.join(examples, 'bitree/session.txt')));

  await t.test('one printed line names the choice and the line', () => {
    const mine = Buffer.from(transcript.toString('latin1').replace('1+2*3', '(1+2)*3'), 'latin1');
    const r = compare('bitree', transcript, mine);
    assert.equal(r.status, 1);
    assert.match(r.report, /第一个不同：第 15 行，第 6 个字符，第 3 次选择（功能 1）打印的第 3 行（中缀表达式）\n/);
    assert.match(r.report, /我们的：中缀表达式【1\+2】\*3/);
  });

  await t.test('a near miss of a fixed text is named as such', () => {
    // 后续 (BA F3 D0 F8) written as 后序 (BA F3 D0 F2).
    const mine = Buffer.from(transcript.toString('latin1').replace('\xBA\xF3\xD0\xF8', '\xBA\xF3\xD0\xF2'), 'latin1');
    assert.notDeepEqual(mine, transcript);
    const r = compare('bitree', transcript, mine);
    assert.equal(r.status, 1);
    assert.match(r.report, /“后续线索化二叉树遍历输出：”是程序的固定文字，你的写成了“后序线索化二叉树遍历输出：”（1 个字不同）\n/);
  });

  await t.test('a missing last newline is reported as only that', () => {
    const r = compare('bitree', transcript, transcript.subarray(0, transcript.length - 1));
    assert.equal(r.status, 0);
    assert.match(r.report, /文字相同，只有末尾的换行不同（不是内容上的不同）\n/);
    assert.match(r.report, /你的文件末尾少了 1 个换行/);
  });
});

test('josephus: a missing last blank is a difference of form, a changed seat names its leaving number', () => {
  const order = ours('josephus', ['7', '20', '3', '1', '7', '2', '4', '8', '4']);
  const text = order.toString('latin1');
  assert.match(text, / $/);
  let r = compare('josephus', order, Buffer.from(text.trimEnd(), 'latin1'));
  assert.equal(r.status, 0, r.report);
  assert.match(r.report, /^对照 josephus 的 out\.txt：格式错误——文字相同，只有空白不同（不是内容上的不同）\n/);
  assert.match(r.report, /空白不同：第 1 行末尾少了 1 个空格\n/);
  const seats = text.trim().split(' ');
  [seats[1], seats[2]] = [seats[2], seats[1]];
  r = compare('josephus', order, Buffer.from(seats.join(' ') + ' ', 'latin1'));
  assert.equal(r.status, 1);
  assert.match(r.report, new RegExp(`第 2 个出列的座号：你的是 ${seats[1]}，应为 ${seats[2]}\n`));
});

test('a 50 MB student file of one line gives a report of a few lines', () => {
  const order = ours('josephus', ['7', '20', '3', '1', '7', '2', '4', '8', '4']);
  const mine = Buffer.alloc(50 << 20, 0x37);
  const r = compare('josephus', order, mine);
  assert.equal(r.status, 1);
  assert.ok(r.report.length < 2000, `a report of ${r.report.length} characters`);
  assert.match(r.report, /你的：  【7{80}…】\n/);
});

test('bad usage and unreadable files: status 2 and one line', () => {
  for (const args of [[], ['sorter', 'a', 'b'], ['evaluator', path.join(work, 'none'), path.join(work, 'none')]]) {
    const r = run(...args);
    assert.equal(r.status, 2, args.join(' '));
    assert.equal(r.report, '');
    assert.match(r.stderr, /^(用法：|无法读取文件 )[^\n]*\n$/);
  }
});
