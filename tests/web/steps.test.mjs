// steps.test.mjs -- the step writers of the browser edition (WriteSteps,
// lab/<program>/) against the programs' own text output. Each input goes
// twice to the program's worker (web/worker/worker.js, through node's client
// web/tools/worker.mjs), as the page sends it: once as the program (main,
// 'run'), once as its step writer ('steps'), on the same args, stdin and
// files; the worker parses the writer's record. The writer
// must end with the program's status and stderr, write ASCII JSON (every
// byte from 0x80 up escaped) under MAX_DESCRIPTION bytes, and describe what
// the program printed or wrote, all of it (only a description that says it
// was cut may stop early):
//   evaluator   one step per row of result.txt's trace table, of its kind;
//   bitree      each walk's last visit has seen its printed line (the
//               preorder, inorder and threaded walk, the three forms); the
//               rebuild is one step per node; every thread points to the
//               walk's neighbour; the value is the printed value, a
//               division by zero at a '/' whose divisor's value is 0;
//   translator  each pass reads the sentence the one before made, and the
//               words of its word steps are translate.txt (its first bytes,
//               when the record was cut at its bound);
//   josephus    the leaving order is out.txt (its first numbers, when the
//               trace stopped at its bound); each pass moves the count to
//               the next seat still seated, a turn passes its moves and
//               unlinks the seat the count is on, and the next turn counts
//               that seat's value from the seat after it.
// Every step's "src" must name a line of the program's source that does
// what the step says (a push onto OPND, the unlinking of a seat, a visit,
// an append of a replacement...), inside the function it names, the last
// of its chain.
// Inputs: every file of examples/, every end-to-end case of
// tests/<program>/cases (but the few that need a device or a folder the
// runner does not make), and one large input each (a 1023-node tree and
// 1023-character expressions, more choices than are described, a 1000-seat
// ring, translator input that is cut, and one that grows past the
// translator's bound).
//
//     node --test tests/web/          (after the browser build; DSD_WEB_DIR
//                                      names its folder, build/web by default)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import { after, describe, test } from 'node:test';

const require = createRequire(import.meta.url);
const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const WEB_DIR = path.resolve(ROOT, process.env.DSD_WEB_DIR || 'build/web');
const EXAMPLES = path.join(ROOT, 'examples');
const { startWorker } = await import(path.join(ROOT, 'web/tools/worker.mjs'));
const DsdTree = require(path.join(ROOT, 'web/draw/tree.js'));

// The most bytes a description may take, whatever the input (the first
// comments of lab/<program>/steps.cpp give the bounds).
const MAX_DESCRIPTION = { evaluator: 64 * 1024, josephus: 31 * 1024 * 1024, translator: 4 * 1024 * 1024,
                          bitree: 10 * 1024 * 1024 };

// latin1(bytes): a string with one character per byte (GBK stays bytes).
const latin1 = (bytes) => Buffer.from(bytes).toString('latin1');

// examples(program): [name, bytes] of each file in examples/<program>/.
function examples(program) {
  const dir = path.join(EXAMPLES, program);
  return fs.readdirSync(dir).sort().map((name) => [name, fs.readFileSync(path.join(dir, name))]);
}

// both(program, request): runs the program and its step writer on the
// request; checks what the two must share and the description's form;
// returns {run, steps}, steps being the parsed description.
const workers = {};
after(() => Promise.all(Object.values(workers).map((w) => w.stop())));
async function both(program, request) {
  workers[program] ||= startWorker(path.join(WEB_DIR, `${program}.js`), program);
  const { result: run, error } = await workers[program].run(request);
  assert.equal(error, undefined, 'the program ran');
  const answer = await workers[program].steps(request);
  assert.equal(answer.error, undefined, 'the step writer ran and wrote JSON');
  const { trace: steps, result: writer } = answer;
  assert.equal(run.crash, undefined, 'the program ran');
  assert.equal(writer.status, run.status, 'exit status');
  assert.equal(latin1(writer.stderr), latin1(run.stderr), 'stderr');
  assert.ok(writer.stdout.length < MAX_DESCRIPTION[program], `description of ${writer.stdout.length} bytes`);
  assert.ok(writer.stdout.every((b) => b < 0x80), 'bytes from 0x80 up are escaped');
  for (const f of writer.files) {
    const same = run.files.find((g) => g.path === f.path);
    assert.ok(same && Buffer.compare(Buffer.from(f.data), Buffer.from(same.data)) === 0,
              `a file the step writer writes (${f.path}) is the program's, byte for byte`);
  }
  checkSources(program, steps);
  return { run, steps };
}

// ============================================================== sources

// sourceLines(file): the lines of a source file of the project, cached.
const sources = new Map();
function sourceLines(file) {
  if (!sources.has(file)) sources.set(file, fs.readFileSync(path.join(ROOT, file), 'latin1').split('\n'));
  return sources.get(file);
}

// functionAt(file, line): the name of the function whose definition holds
// the line: the nearest line above it that starts a definition at column 0
// (its frame, STEP_CALL, may end that line).
function functionAt(file, line) {
  const lines = sourceLines(file);
  for (let k = line - 1; k >= 0; k--) {
    const m = /^[A-Za-z[].*?\b([A-Za-z_]\w*)\s*\([^;]*$/.exec(lines[k].replace(/\s*STEP_CALL;\s*$/, ''));
    if (m && !/^(if|for|while|switch|return)$/.test(m[1])) return m[1];
  }
  return null;
}

// checkSrc(program, src, what, pattern): src names a line of the program's
// folder inside the function it names, ending its chain, and the line does
// `what` (it matches pattern).
function checkSrc(program, src, what, pattern) {
  assert.ok(src && typeof src.file === 'string', `${what}: a src`);
  assert.ok(src.file.startsWith(`${program}/`), `${what}: ${src.file} is the program's`);
  const text = sourceLines(src.file)[src.line - 1];
  assert.ok(text !== undefined, `${what}: ${src.file}:${src.line} exists`);
  assert.match(text, pattern, `${what}: ${src.file}:${src.line} does it`);
  assert.equal(functionAt(src.file, src.line), src.func, `${what}: ${src.file}:${src.line} is in ${src.func}`);
  assert.equal(src.chain.at(-1), src.func, `${what}: the chain ends with the function`);
}

// What each step's line must do, per program and kind of step.
const DOES = {
  opnd: /PushTq\(&OPND, Value\)/, optr: /PushSq\(&OPTR, C\)/, cancel: /PopSq\(&OPTR/,
  operate: /PushTq\(&OPND, Calculate\(/, ret: /PopTq\(&OPND/, error: /TEXT_SYNTAX_ERROR|TEXT_DIVIDE_ERROR/,
  count: /CountMoves\(m, size\)/, leave: /before->next = leaver->next/, seat: /current = current->next/,
  lay: /PushChecked\(c\)/, pop: /PopChecked\(/, enqueue: /EnQueue\(&Q, delta\)/, take: /TakeGroup\(&theta\)/,
  dequeue: /DeQueue\(&Q, &delta\)/, push: /PushChecked\(/, put: /PutGroup\(theta\)/,
  read: /Pop\(&L, &c\)|DeQueue\(&Q, &c\)/, keep: /EnQueue\(&Q, c\)/, replace: /EnQueue\(&Q, r->replacement\[k\]\)/,
  pass: /RulePass\(/, word: /used \+= word\.size/,
  tree: /PreInCreate\(|CreateExpressTree\(/, threads: /PostCreatBiThrTree\(/, walk: /Visit\(p\)/,
  visit: /Visit\(T\)/, value: /\*value = /,
};
// What the line of each kind of bitree's step must do.
const BITREE_DOES = {
  choice: /ReadChoice\(/, read: /int got = Read/, split: /int right = end2 - i;/, missing: /if \(i > end2\)/,
  uneven: /end1 - s1 != end2 - s2/, tree: /\*T = (PreInCreate|CreateExpressTree)\(/, copy: /\*Q = PreInCreateThr\(/,
  thread: /(T->ltag|pre->rtag) = Thread;/, threaded: /PostCreatBiThrTree\(\*Q\)/, walk: /Visit\(p\)/,
  preorder: /Visit\(T\)/, inorder: /Visit\(T\)/, postorder: /Visit\(T\)/, node: /flag\+\+/,
  short: /flag >= static_cast<int>\(strlen\(str\)\)/, value: /\*value = /, zero: /if \(right == 0\)/,
};

// The evaluator's kinds of step, each with the DOES of its line and how
// its row's action begins in the trace table (GBK texts as latin1 strings).
const EVALUATOR_KINDS = {
  push_opnd: ['opnd', 'PUSH(OPND,'], push_optr: ['optr', 'PUSH(OPTR,'], cancel: ['cancel', 'POP(OPTR)'],
  operate: ['operate', 'operate('], return: ['ret', 'RETURN('],
  syntax_error: ['error', latin1([0xca, 0xe4, 0xc8, 0xeb])],   // 输入
  divide_error: ['error', 'error'],
};

// checkSources(program, steps): every step's src, as above.
function checkSources(program, steps) {
  if (steps.ok === false && !(steps.steps && steps.steps.length)) return;   // a stop record
  const check = (src, what, kind) => checkSrc(program, src, what, DOES[kind]);
  if (program === 'evaluator') {
    for (const r of steps.steps) {
      assert.ok(EVALUATOR_KINDS[r.kind], `row ${r.at}: a kind of step`);
      check({ ...r.src, chain: r.chain }, `row ${r.at}`, EVALUATOR_KINDS[r.kind][0]);
    }
  } else if (program === 'josephus') {
    steps.steps.forEach((t, k) => check({ ...t.src, chain: t.chain }, `step ${k + 1} (${t.kind})`, t.kind === 'pass' ? 'seat' : t.kind));
  } else if (program === 'translator') {
    steps.steps.forEach((s, k) => {
      check(Object.assign({ chain: s.chain }, s.src), `step ${k + 1} (${s.kind})`, s.kind);
      assert.equal(s.chain[0], 'main', `step ${k + 1}: the chain starts at main`);
    });
  } else {
    for (const [k, step] of steps.steps.entries()) {
      assert.ok(BITREE_DOES[step.kind], `step ${k}: a kind of bitree's (${step.kind})`);
      checkSrc(program, { ...step.src, chain: step.chain }, `step ${k} (${step.kind})`, BITREE_DOES[step.kind]);
    }
  }
}

// ============================================================== cases

// endToEndCases(program): [name, request, given] of each case of
// tests/<program>/cases that the runner can run (tests/web/cases.py reads
// them): its args, stdin and files, and the files given before the run.
function endToEndCases(program) {
  const dir = path.join(ROOT, 'tests', program, 'cases');
  const names = fs.readdirSync(dir).filter((f) => f.endsWith('.case')).sort()
    .filter((f) => !/^=== (link|dir|stdout-to)/m.test(fs.readFileSync(path.join(dir, f), 'utf8')))
    .map((f) => f.slice(0, -'.case'.length));
  const raw = JSON.parse(execFileSync('python3', [path.join(ROOT, 'tests/web/cases.py'),
                                                  ...names.map((n) => `${program}:${n}`)]));
  return names.map((n) => {
    const c = raw[`${program}:${n}`];
    const files = Object.entries(c.files).map(([p, b]) => ({ path: p, data: new Uint8Array(Buffer.from(b, 'base64')) }));
    return [n, { args: c.args, stdin: new Uint8Array(Buffer.from(c.stdin, 'base64')), files }];
  });
}

// ============================================================== evaluator

// tableRows(text): [number, action] of each row of the trace table in text.
function tableRows(text) {
  return text.split('\n').filter((l) => /^\d+\t/.test(l))
    .map((l) => [Number(l.slice(0, l.indexOf('\t'))), l.slice(l.lastIndexOf('\t') + 1)]);
}

// checkEvaluator(run, steps, request): the steps are the rows of the
// table that the run appended to result.txt, one each, of the row's kind.
function checkEvaluator(run, steps, request) {
  if (steps.stopped === 'read') {
    assert.ok(!run.files.some((f) => f.path === 'result.txt'), 'a refused file leaves result.txt');
    return;
  }
  const out = run.files.find((f) => f.path === 'result.txt');
  assert.ok(out, 'the program wrote result.txt');
  const given = (request.files || []).find((f) => f.path === 'result.txt');
  const added = latin1(out.data).slice(given ? given.data.length : 0);
  const rows = tableRows(added);
  assert.deepEqual(steps.steps.map((r) => r.at), rows.map((row) => row[0]));
  steps.steps.forEach((r, i) => assert.ok(rows[i][1].startsWith(EVALUATOR_KINDS[r.kind][1]), `row ${r.at}: ${r.kind}`));
  assert.equal(steps.ok, run.status === 0);
}

describe('evaluator', () => {
  for (const [name, bytes] of examples('evaluator')) {
    test(`examples/evaluator/${name}`, async () => {
      const request = { args: [name], files: [{ path: name, data: new Uint8Array(bytes) }] };
      const { run, steps } = await both('evaluator', request);
      checkEvaluator(run, steps, request);
    });
  }
  for (const [name, request] of endToEndCases('evaluator')) {
    test(`tests/evaluator/cases/${name}`, async () => {
      const { run, steps } = await both('evaluator', request);
      checkEvaluator(run, steps, request);
    });
  }
});

// ============================================================== bitree

// The labels of bitree's printed lines, GBK bytes as latin1 strings.
const LABEL = {
  preorder: latin1([0xcf, 0xc8, 0xd0, 0xf2, 0xb1, 0xe9, 0xc0, 0xfa, 0xca, 0xe4, 0xb3, 0xf6, 0xa3, 0xba]),  // 先序遍历输出：
  inorder: latin1([0xd6, 0xd0, 0xd0, 0xf2, 0xb1, 0xe9, 0xc0, 0xfa, 0xca, 0xe4, 0xb3, 0xf6, 0xa3, 0xba]),   // 中序遍历输出：
  walk: latin1([0xba, 0xf3, 0xd0, 0xf8, 0xcf, 0xdf, 0xcb, 0xf7, 0xbb, 0xaf, 0xb6, 0xfe, 0xb2, 0xe6, 0xca,
                0xf7, 0xb1, 0xe9, 0xc0, 0xfa, 0xca, 0xe4, 0xb3, 0xf6, 0xa3, 0xba]),                       // 后续线索化二叉树遍历输出：
  prefix: latin1([0xb2, 0xa8, 0xc0, 0xbc, 0xca, 0xbd, 0xa3, 0xba]),                                        // 波兰式：
  infix: latin1([0xd6, 0xd0, 0xd7, 0xba, 0xb1, 0xed, 0xb4, 0xef, 0xca, 0xbd]),                            // 中缀表达式
  postfix: latin1([0xc4, 0xe6, 0xb2, 0xa8, 0xc0, 0xbc, 0xca, 0xbd]),                                       // 逆波兰式
  value: latin1([0xb2, 0xa8, 0xc0, 0xbc, 0xca, 0xbd, 0xd6, 0xb5, 0xce, 0xaa, 0xa3, 0xba]),                 // 波兰式值为：
  zero: latin1([0xb3, 0xfd, 0xca, 0xfd, 0xce, 0xaa, 0xc1, 0xe3]),                                          // 除数为零
};

// printed(stdout): for each label, the rest of every line that starts
// with it, in order; the value lines of a division by zero give 'zero'.
function printed(stdout) {
  const lines = latin1(stdout).split('\n');
  const got = Object.fromEntries(Object.keys(LABEL).map((k) => [k, []]));
  for (const line of lines) {
    for (const [key, label] of Object.entries(LABEL)) {
      if (line.startsWith(label)) got[key === 'zero' ? 'value' : key].push(key === 'zero' ? 'zero' : line.slice(label.length));
    }
  }
  return got;
}

// checkBitree(stdout, trace): the recorded choices against the printed
// lines: the last visit of each walk has seen the printed line; the
// rebuild made one node per PreInCreate call; every thread points to the
// walk's neighbour, and every empty link but the root's right one became
// one; the value is the printed value, or a division by zero at a '/'.
// A record cut at its bound is checked up to its last choice.
function checkBitree(stdout, trace) {
  const got = printed(stdout);
  const choices = trace.input.choices;
  const whole = trace.stopped === false ? choices.length : (trace.steps.at(-1)?.at ?? 1) - 1;
  const last = choices.map(() => ({}));
  const count = choices.map(() => ({}));
  for (const s of trace.steps) {
    assert.ok(s.at >= 1 && s.at <= choices.length, 'a step of a recorded choice');
    last[s.at - 1][s.kind] = s;
    count[s.at - 1][s.kind] = (count[s.at - 1][s.kind] || 0) + 1;
  }
  const lines = Object.fromEntries(Object.keys(LABEL).map((k) => [k, []]));
  choices.slice(0, whole).forEach((c, i) => {
    const p = last[i];
    const text = (step) => step.seen.map((k) => (c.choice === 0 ? c.preorder : c.expression)[k]).join('');
    if (c.choice === 0 && p.tree?.shape) {
      const n = p.tree.shape.length;
      assert.equal(count[i].split, n, 'one PreInCreate call per node');
      for (const walk of ['preorder', 'inorder', 'walk']) lines[walk].push(text(p[walk]));
      const order = p.walk.seen;
      for (const [k, side, to] of p.threaded.threads) {
        const at = order.indexOf(k);
        assert.equal(to, side === 0 ? (at > 0 ? order[at - 1] : -1) : order[at + 1], `thread ${k} ${side}`);
      }
      const rootRight = Number(p.tree.shape[0]) & 2;
      assert.equal(p.threaded.threads.length, n + 1 - (rootRight ? 0 : 1), 'every empty link but one');
      assert.equal(count[i].thread, p.threaded.threads.length, 'one step per thread');
    } else if (c.choice === 1 && p.tree?.shape) {
      assert.equal(count[i].node, p.tree.shape.length, 'one step per node made');
      lines.prefix.push(text(p.preorder));
      lines.infix.push(text(p.inorder));
      lines.postfix.push(text(p.postorder));
    } else if (c.choice === 2 && p.tree?.shape) {
      if (p.zero) {
        assert.equal(c.expression[p.zero.node], '/');
        const divisor = DsdTree.parse(p.zero.shape)[p.zero.node].right;
        assert.equal(p.zero.values[divisor], 0, 'the divisor is 0');
        lines.value.push('zero');
      } else {
        assert.equal(p.value.node, 0, 'the root gets its value last');
        assert.equal(count[i].value, p.tree.shape.length, 'every node gets a value');
        lines.value.push(String(p.value.values[0]));
      }
    }
  });
  for (const key of Object.keys(lines)) {
    const printedLines = got[key === 'walk' ? 'walk' : key];
    assert.deepEqual(lines[key], whole === choices.length && trace.stopped === false
      ? printedLines : printedLines.slice(0, lines[key].length), key);
  }
}

// balanced(level, levels): preorder and inorder of a perfect tree whose
// node characters are their levels (A at the root), as bench/ builds it.
function balanced(level, levels) {
  if (level === levels) return ['', ''];
  const here = String.fromCharCode(65 + level);
  const [pre, inorder] = balanced(level + 1, levels);
  return [here + pre + pre, inorder + here + inorder];
}

// A 1023-character prefix expression: 511 operators, then 512 digits 1 to 9.
const OPERATORS = Array.from({ length: 511 }, (_, k) => '+-*/'[k % 4]).join('');
const DIGITS = Array.from({ length: 512 }, (_, k) => '123456789'[k % 9]).join('');
const [PRE, IN] = balanced(0, 10);
const LARGE_SESSION = `0 ${PRE} ${IN}\n1 ${OPERATORS}${DIGITS}\n2 ${OPERATORS}${DIGITS}\n`;

describe('bitree', () => {
  for (const [name, bytes] of examples('bitree')) {
    test(`examples/bitree/${name}`, async () => {
      const { run, steps } = await both('bitree', { stdin: bytes });
      assert.equal(steps.stopped, false);
      checkBitree(run.stdout, steps);
    });
  }
  test('a 1023-node tree and 1023-character expressions', async () => {
    const { run, steps } = await both('bitree', { stdin: Buffer.from(LARGE_SESSION, 'latin1') });
    assert.equal(steps.steps.filter((s) => s.kind === 'split').length, 1023, 'the whole rebuild is recorded');
    checkBitree(run.stdout, steps);
  });
  test('more choices than are described', async () => {
    const session = '1 +12\n2 /1-33\n0 AB BA\n'.repeat(40) + '7\n';
    const { run, steps } = await both('bitree', { stdin: Buffer.from(session, 'latin1') });
    assert.equal(steps.input.choices.length, 100);
    assert.equal(steps.stopped, 'bound', '121 choices are more than are recorded');
    checkBitree(run.stdout, steps);
  });
  for (const [name, request] of endToEndCases('bitree')) {
    test(`tests/bitree/cases/${name}`, async () => {
      const { run, steps } = await both('bitree', request);
      if (steps.steps) checkBitree(run.stdout, steps);
    });
  }
});

// ============================================================== translator

// checkTranslator(run, steps): each pass reads what the one before made,
// what a replacement wrote is the replacement and the rest is the sentence
// read without the rule's symbol, and the words are translate.txt.
function checkTranslator(run, steps) {
  const out = run.files.find((f) => f.path === 'translate.txt');
  assert.ok(out, 'the program wrote translate.txt');
  const text = latin1(out.data);
  const all = steps.steps;
  const words = all.filter((s) => s.kind === 'word');
  const joined = words.map((s) => s.word).join('');
  if (steps.stopped === false) assert.equal(joined, text, 'the words are translate.txt');
  else assert.equal(joined, text.slice(0, joined.length), 'the words recorded begin translate.txt');
  const lastWord = words.at(-1);
  if (lastWord) assert.equal(lastWord.output.length, joined.length, 'the last word has written them all');

  const expansion = all.filter((s) => s.read !== undefined);
  let sentence = expansion.length ? expansion.at(-1).stack : { text: steps.input.sentence, length: steps.input.sentence.length };
  for (const pass of all.filter((s) => s.kind === 'pass')) {
    const rule = steps.input.rules[pass.rule];
    const m = Math.min(pass.before.text.length, sentence.text.length);
    assert.equal(pass.before.length, sentence.length, `pass ${pass.at} reads as many as the one before made`);
    assert.equal(pass.before.text.slice(0, m), sentence.text.slice(0, m), `pass ${pass.at} reads what the one before made`);
    if (!rule) { sentence = pass.sentence; continue; }
    const marked = new Set(pass.rewritten);
    const after = [...pass.sentence.text];
    const written = after.filter((_, k) => marked.has(k)).join('');
    assert.equal(written, rule.replacement.repeat(written.length).slice(0, written.length), `pass ${pass.at} marks`);
    const kept = after.filter((_, k) => !marked.has(k)).join('');
    const others = [...pass.before.text].filter((c) => c !== rule.symbol).join('');
    const whole = pass.sentence.text.length === pass.sentence.length && pass.before.text.length === pass.before.length;
    const n = whole ? Math.max(kept.length, others.length) : Math.min(kept.length, others.length);
    assert.equal(kept.slice(0, n), others.slice(0, n), `pass ${pass.at} keeps the other characters`);
    assert.equal(pass.queue.length, pass.sentence.length, `pass ${pass.at} leaves its sentence in Q`);
    sentence = pass.sentence;
  }
  if (words.length && steps.stopped === false) {
    assert.equal(words.map((s) => s.c).join(''), sentence.text, 'the words translate the last sentence');
  }
}

// A rule file: its count, "X = replacement" lines and the sentence.
const ruleFile = (rules, sentence) =>
  Buffer.from([String(rules.length), ...rules.map(([x, r]) => `${x} = ${r}`), sentence, ''].join('\n'), 'latin1');

describe('translator', () => {
  const translate = (name, data) => both('translator', { args: [name], files: [{ path: name, data }] });
  for (const [name, bytes] of examples('translator')) {
    test(`examples/translator/${name}`, async () => {
      const { run, steps } = await translate(name, bytes);
      checkTranslator(run, steps);
    });
  }
  test('a sentence of 1,062,882 characters: the record is cut at its bound, the run is whole', async () => {
    const { run, steps } = await translate('rules.txt', ruleFile(Array(6).fill(['t', 't'.repeat(9)]), 'tt'));
    assert.equal(steps.stopped, 'bound');
    assert.equal(run.files.find((f) => f.path === 'translate.txt').data.length, 2 * 2 * 9 ** 6);
    checkTranslator(run, steps);
  });
  for (const [name, request] of endToEndCases('translator')) {
    test(`tests/translator/cases/${name}`, async () => {
      const { run, steps } = await both('translator', request);
      if (steps.ok) checkTranslator(run, steps);
    });
  }
  test('a sentence that grows past the bound stops both at the same pass', async () => {
    const { run, steps } = await translate('rules.txt', ruleFile(Array(7).fill(['t', 't'.repeat(9)]), 'ttt'));
    assert.notEqual(run.status, 0);
    assert.equal(steps.ok, false);
    assert.equal(steps.stopped, 'passes');
  });
});

// ============================================================== josephus

// checkJosephus(run, steps): see the top. The ring is followed through the
// steps' own seated strings: each step is checked against the one before.
function checkJosephus(run, steps) {
  const out = latin1(run.files.find((f) => f.path === 'out.txt').data);
  const { n, m, values } = steps.input;
  assert.equal(values.length, n);
  const left = steps.steps.filter((t) => t.kind === 'leave').map((t) => `${t.seat} `).join('');
  if (steps.stopped === 'bound') assert.ok(out.startsWith(left), 'the leavers begin out.txt');
  else assert.equal(left, out);
  let seated = '1'.repeat(n);
  let count = m;
  const written = [];    /* out.txt so far */
  let turn = null;       /* the turn's count step, and the seat the count is on */
  steps.steps.forEach((t, k) => {
    const what = `step ${k + 1} (${t.kind})`;
    if (t.kind === 'count') {
      assert.equal(turn, null, `${what}: the turn before has ended`);
      assert.equal(t.count, count, what);
      assert.equal(t.size, seated.split('1').length - 1, what);
      assert.equal(t.said, 1, what);
      assert.equal(t.seat, t.from, what);
      turn = { count: t, on: t.seat, said: 1 };
    } else {
      assert.ok(turn, `${what}: in a turn`);
      for (const f of ['from', 'count', 'size', 'moves', 'turn']) assert.equal(t[f], turn.count[f], `${what}: ${f}`);
      if (t.kind === 'pass') {
        let next = turn.on % n;   /* the next seat still seated, by index */
        while (seated[next] !== '1') next = (next + 1) % n;
        assert.equal(t.seat, next + 1, `${what}: the next seat still seated`);
        assert.equal(t.said, turn.said + 1, what);
        turn.on = t.seat;
        turn.said = t.said;
      } else {
        assert.equal(t.seat, turn.on, `${what}: the seat the count is on leaves`);
        assert.equal(turn.said, t.moves + 1, `${what}: after passing its moves`);
        assert.equal(t.said, t.moves + 1, what);
        assert.equal(t.at, t.turn, what);
        seated = seated.slice(0, t.seat - 1) + '0' + seated.slice(t.seat);
        written.push(t.seat);
        count = values[t.seat - 1];
        turn = null;
      }
    }
    assert.equal(t.seated, seated, `${what}: the ring after it`);
    assert.deepEqual(t.out, written, `${what}: out.txt so far`);
  });
  if (steps.stopped !== 'bound') assert.equal(seated, '0'.repeat(n), 'everyone has left');
}

describe('josephus', () => {
  for (const [name, bytes] of examples('josephus')) {
    test(`examples/josephus/${name}`, async () => {
      // As the page takes them: the keyboard example is typed, the others are arguments.
      const request = /keyboard/.test(name) ? { stdin: bytes } : { args: latin1(bytes).trim().split(/\s+/) };
      const { run, steps } = await both('josephus', request);
      checkJosephus(run, steps);
    });
  }
  for (const [name, request] of endToEndCases('josephus')) {
    test(`tests/josephus/cases/${name}`, async () => {
      const { run, steps } = await both('josephus', request);
      if (steps.ok) checkJosephus(run, steps);
    });
  }
  test('a ring of 1000 seats with large counts', async () => {
    let seed = 20240601;
    const counts = Array.from({ length: 1001 }, (_, k) => {
      seed = (seed * 48271) % 2147483647;
      return k % 3 === 0 ? 2147483647 : seed;
    });
    const { run, steps } = await both('josephus', { args: ['1000', ...counts.map(String)] });
    assert.equal(steps.stopped, 'bound', 'hundreds of megabytes of steps, kept to the bound');
    checkJosephus(run, steps);
  });
});

// ============================================================== the worker

test('the worker answers each request once, an unknown one by its name, and runs on after it', async () => {
  const worker = startWorker(path.join(WEB_DIR, 'josephus.js'), 'josephus');
  try {
    const answers = await Promise.all([worker.ask('draw', { request: { args: ['3', '1', '1', '1', '1'] } }),
                                       worker.run({ args: ['3', '1', '1', '1', '1'] }), worker.ask('')]);
    assert.deepEqual(answers[0], { error: '未知的请求：draw' });
    assert.equal(latin1(answers[1].result.files[0].data), '1 2 3 ');
    assert.deepEqual(answers[2], { error: '未知的请求：' });
  } finally {
    await worker.stop();
  }
});
