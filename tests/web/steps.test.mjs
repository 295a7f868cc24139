// steps.test.mjs -- the step writers of the browser edition (WriteSteps,
// web/steps/) against the programs' own text output. Each input runs twice
// through web/worker/runner.js, as the page runs it: once as the program (main),
// once as its step writer, on the same args, stdin and files. The writer
// must end with the program's status and stderr, write ASCII JSON (every
// byte from 0x80 up escaped) under MAX_DESCRIPTION bytes, and describe what
// the program printed or wrote, all of it (only a description that says it
// was cut may stop early):
//   evaluator   one row per row of result.txt's trace table, with its text;
//   bitree      the nodes of each tree are the printed preorder (in number
//               order) and inorder (by inorder position); the walk is the
//               printed post-order line; every thread points to the walk's
//               neighbour; the three walks are the printed forms; the value
//               is the printed value, a division by zero at a '/' whose
//               divisor's value is 0;
//   translator  each pass reads the sentence the one before made, and the
//               words of its word steps are translate.txt (its first bytes,
//               when the record was cut at its bound);
//   josephus    the leaving order is out.txt, and each turn's moves from
//               its first seat land on the seat that leaves.
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
import { describe, test } from 'node:test';

const require = createRequire(import.meta.url);
const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const WEB_DIR = path.resolve(ROOT, process.env.DSD_WEB_DIR || 'build/web');
const EXAMPLES = path.join(ROOT, 'examples');
const DsdRunner = require(path.join(ROOT, 'web/worker/runner.js'));

// The most bytes a description may take, whatever the input (the layout
// comments of web/steps/*.cpp give the bounds).
const MAX_DESCRIPTION = { evaluator: 64 * 1024, josephus: 512 * 1024, translator: 4 * 1024 * 1024,
                          bitree: 60 * 1024 * 1024 };

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
async function both(program, request) {
  const factory = require(path.join(WEB_DIR, `${program}.js`));
  const runner = DsdRunner();
  const run = await runner.runProgram(factory, program, request);
  const writer = await runner.runProgram(factory, program, { ...request, entry: 'WriteSteps' });
  assert.equal(run.crash, undefined, 'the program ran');
  assert.equal(writer.crash, undefined, 'the step writer ran');
  assert.equal(writer.status, run.status, 'exit status');
  assert.equal(latin1(writer.stderr), latin1(run.stderr), 'stderr');
  assert.ok(writer.stdout.length < MAX_DESCRIPTION[program], `description of ${writer.stdout.length} bytes`);
  assert.ok(writer.stdout.every((b) => b < 0x80), 'bytes from 0x80 up are escaped');
  for (const f of writer.files) {
    const same = run.files.find((g) => g.path === f.path);
    assert.ok(same && Buffer.compare(Buffer.from(f.data), Buffer.from(same.data)) === 0,
              `a file the step writer writes (${f.path}) is the program's, byte for byte`);
  }
  const steps = JSON.parse(latin1(writer.stdout));
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
// the line: the nearest line above it that starts a definition at column 0.
function functionAt(file, line) {
  const lines = sourceLines(file);
  for (let k = line - 1; k >= 0; k--) {
    const m = /^[A-Za-z[].*?\b([A-Za-z_]\w*)\s*\([^;]*(\{\s*STEP_CALL;)?$/.exec(lines[k]);
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
  count: /CountMoves\(m, size\)/, leave: /before->next = leaver->next/,
  lay: /PushChecked\(c\)/, pop: /PopChecked\(/, enqueue: /EnQueue\(&Q, delta\)/, take: /TakeGroup\(&theta\)/,
  dequeue: /DeQueue\(&Q, &delta\)/, push: /PushChecked\(/, put: /PutGroup\(theta\)/,
  read: /Pop\(&L, &c\)|DeQueue\(&Q, &c\)/, keep: /EnQueue\(&Q, c\)/, replace: /EnQueue\(&Q, r->replacement\[k\]\)/,
  pass: /RulePass\(/, word: /used \+= word\.size/,
  tree: /PreInCreate\(|CreateExpressTree\(/, threads: /PostCreatBiThrTree\(/, walk: /Visit\(p\)/,
  visit: /Visit\(T\)/, value: /\*value = /,
};

// The GBK texts that begin the evaluator's actions, as latin1 strings.
const PUSH_OPND = 'PUSH(OPND,', PUSH_OPTR = 'PUSH(OPTR,', CANCEL = 'POP(OPTR)', OPERATE = 'operate(';

// checkSources(program, steps): every step's src, as above.
function checkSources(program, steps) {
  if (steps.ok === false && !steps.steps) return;
  const check = (src, what, kind) => checkSrc(program, src, what, DOES[kind]);
  if (program === 'evaluator') {
    for (const r of steps.steps) {
      const a = r.action;
      const kind = a.startsWith(PUSH_OPND) ? 'opnd' : a.startsWith(PUSH_OPTR) ? 'optr'
        : a.startsWith(CANCEL) ? 'cancel' : a.startsWith(OPERATE) ? 'operate'
        : a.startsWith('RETURN(') ? 'ret' : 'error';
      check(r.src, `row ${r.row}`, kind);
    }
  } else if (program === 'josephus') {
    for (const r of steps.removals) {
      check(r.countSrc, `count of turn ${r.order}`, 'count');
      check(r.src, `leave of turn ${r.order}`, 'leave');
    }
  } else if (program === 'translator') {
    steps.steps.forEach((s, k) => {
      check(Object.assign({ chain: s.chain }, s.src), `step ${k + 1} (${s.kind})`, s.kind);
      assert.equal(s.chain[0], 'main', `step ${k + 1}: the chain starts at main`);
    });
  } else {
    for (const c of steps.choices.filter((c) => c.ok)) {
      check(c.treeSrc, `choice ${c.choice}: the tree`, 'tree');
      if (c.choice === 0) {
        check(c.threadsSrc, 'the threads', 'threads');
        assert.equal(c.walkSrc.length, c.walk.length, 'one src per step of the walk');
        c.walkSrc.forEach((src, k) => check(src, `walk step ${k}`, 'walk'));
      } else if (c.choice === 1) {
        for (const form of ['prefix', 'infix', 'postfix']) {
          assert.equal(c[form + 'Src'].length, c[form].length, `one src per step of the ${form}`);
          c[form + 'Src'].forEach((src, k) => check(src, `${form} step ${k}`, 'visit'));
        }
      } else {
        c.values.forEach((v, k) => check(v.src, `value ${k}`, 'value'));
      }
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

// checkEvaluator(run, steps, request): the rows are those of the table
// that the run appended to result.txt.
function checkEvaluator(run, steps, request) {
  if (steps.stopped === 'read') {
    assert.ok(!run.files.some((f) => f.path === 'result.txt'), 'a refused file leaves result.txt');
    return;
  }
  const out = run.files.find((f) => f.path === 'result.txt');
  assert.ok(out, 'the program wrote result.txt');
  const given = (request.files || []).find((f) => f.path === 'result.txt');
  const added = latin1(out.data).slice(given ? given.data.length : 0);
  assert.deepEqual(steps.steps.map((r) => [r.row, r.action]), tableRows(added));
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

// chars(nodes, order): the characters of the nodes in this order.
const chars = (nodes, order) => order.map((k) => nodes[k].ch).join('');

// checkBitree(stdout, steps): the described choices against the printed lines.
function checkBitree(stdout, steps) {
  const got = printed(stdout);
  const ok = (n) => steps.choices.filter((c) => c.choice === n && c.ok);
  const trees = ok(0);
  const forms = ok(1);
  const values = ok(2);
  const numbers = (nodes) => nodes.map((_, k) => k);
  for (const c of [...trees, ...forms, ...values]) {
    assert.equal(c.nodes[0].depth, 0, 'node 0 is the root');
    for (const node of c.nodes) {
      for (const child of [node.left, node.right].filter((k) => k >= 0)) {
        assert.equal(c.nodes[child].depth, node.depth + 1, 'a child is one level down');
      }
    }
  }
  // All that was printed is described, unless the description was cut.
  const upTo = (lines, n) => (steps.cut ? lines.slice(0, n) : lines);
  if (!steps.cut) {
    const failed = steps.choices.filter((c) => !c.ok).length;
    assert.equal(trees.length + forms.length + values.length + failed, steps.choices.length);
  }
  assert.deepEqual(trees.map((c) => chars(c.nodes, numbers(c.nodes))), upTo(got.preorder, trees.length));
  for (const [i, c] of trees.entries()) {
    assert.equal(c.nodes.length, got.preorder[i].length, 'one node per printed character');
    const byColumn = numbers(c.nodes).sort((a, b) => c.nodes[a].inorder - c.nodes[b].inorder);
    assert.equal(chars(c.nodes, byColumn), got.inorder[i]);
    assert.equal(chars(c.nodes, c.walk), got.walk[i]);
    // A thread points to the node before (left) or after (right) in the walk.
    c.walk.forEach((k, at) => {
      const node = c.nodes[k];
      if (node.ltag === 1) assert.equal(node.lchild, at > 0 ? c.walk[at - 1] : -1);
      else assert.equal(node.lchild, node.left);
      if (node.rtag === 1) assert.equal(node.rchild, c.walk[at + 1]);
      else assert.equal(node.rchild, node.right);
    });
  }
  assert.deepEqual(forms.map((c) => chars(c.nodes, c.prefix)), upTo(got.prefix, forms.length));
  for (const [i, c] of forms.entries()) {
    assert.equal(chars(c.nodes, c.infix), got.infix[i]);
    assert.equal(chars(c.nodes, c.postfix), got.postfix[i]);
  }
  assert.deepEqual(values.map((c) => (c.value === null ? 'zero' : String(c.value))),
                   upTo(got.value, values.length));
  for (const c of values) {
    const valueOf = new Map(c.values.map((v) => [v.node, v.value]));
    if (c.value === null) {
      const slash = c.nodes[c.divideByZero];
      assert.equal(slash.ch, '/');
      assert.equal(valueOf.get(slash.right), 0, 'the divisor is 0');
    } else {
      assert.equal(c.divideByZero, -1);
      assert.equal(valueOf.get(0), c.value, 'the root gets the value');
      assert.equal(c.values.at(-1).node, 0, 'the root gets its value last');
      assert.equal(c.values.length, c.nodes.length);
    }
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
      assert.equal(steps.cut, false);
      checkBitree(run.stdout, steps);
    });
  }
  test('a 1023-node tree and 1023-character expressions', async () => {
    const { run, steps } = await both('bitree', { stdin: Buffer.from(LARGE_SESSION, 'latin1') });
    assert.equal(steps.choices[0].nodes.length, 1023);
    assert.equal(steps.cut, false);
    checkBitree(run.stdout, steps);
  });
  test('more choices than are described', async () => {
    const session = '1 +12\n2 /1-33\n0 AB BA\n'.repeat(40) + '7\n';
    const { run, steps } = await both('bitree', { stdin: Buffer.from(session, 'latin1') });
    assert.equal(steps.choices.length, 100);
    assert.equal(steps.cut, true, '121 choices are more than are described');
    checkBitree(run.stdout, steps);
  });
  for (const [name, request] of endToEndCases('bitree')) {
    test(`tests/bitree/cases/${name}`, async () => {
      const { run, steps } = await both('bitree', request);
      if (!steps.stopped) checkBitree(run.stdout, steps);
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

// checkJosephus(run, steps): the leaving order is out.txt; each turn
// counts from the seat after the last to leave and its moves land on the
// seat that leaves.
function checkJosephus(run, steps) {
  const out = run.files.find((f) => f.path === 'out.txt');
  assert.equal(steps.removals.map((r) => `${r.leaves} `).join(''), latin1(out.data));
  assert.deepEqual(steps.seats.map((s) => s.num), Array.from({ length: steps.n }, (_, k) => k + 1));
  const seated = steps.seats.map((s) => s.num);
  let count = steps.m;
  for (const r of steps.removals) {
    assert.equal(r.count, count);
    assert.equal(r.size, seated.length);
    const at = (seated.indexOf(r.from) + r.moves) % seated.length;
    assert.equal(seated[at], r.leaves, `turn ${r.order}`);
    seated.splice(at, 1);
    if (seated.length) assert.equal(steps.removals[r.order].from, seated[at % seated.length]);
    count = r.next;
  }
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
    assert.equal(steps.removals.length, 1000);
    checkJosephus(run, steps);
  });
});
