// steps.mjs -- bitree's part of the step writers' check
// (tests/web/steps.test.mjs, through web.mjs): each walk's last visit has
// seen its printed line (the preorder, inorder and threaded walk, the three
// forms); the rebuild is one step per node; every thread points to the
// walk's neighbour; the value is the printed value, a division by zero at
// a '/' whose divisor's value is 0. Its large inputs: a 1023-node tree and
// 1023-character expressions, and more choices than are described.
import assert from 'node:assert/strict';
import path from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const DsdTree = createRequire(import.meta.url)(path.join(ROOT, 'web/draw/tree.js'));

// latin1(bytes): a string with one character per byte (GBK stays bytes).
const latin1 = (bytes) => Buffer.from(bytes).toString('latin1');

// The most bytes a description may take, whatever the input (the first
// comment of lab/bitree/steps.cpp gives the bound).
export const bound = 10 * 1024 * 1024;

// does: per kind of step, what the line its "src" names must do.
export const does = {
  choice: /ReadChoice\(/, read: /int got = Read/, split: /int right = end2 - i;/, missing: /if \(i > end2\)/,
  uneven: /end1 - s1 != end2 - s2/, tree: /\*T = (PreInCreate|CreateExpressTree)\(/, copy: /\*Q = PreInCreateThr\(/,
  thread: /(T->ltag|pre->rtag) = Thread;/, threaded: /PostCreatBiThrTree\(\*Q\)/, walk: /Visit\(p\)/,
  preorder: /Visit\(T\)/, inorder: /Visit\(T\)/, postorder: /Visit\(T\)/, node: /flag\+\+/,
  short: /flag >= static_cast<int>\(strlen\(str\)\)/, value: /\*value = /, zero: /if \(right == 0\)/,
};

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

// check(run, steps, request, {example}): an example is described whole;
// every record with steps is held to the printed lines.
export function check(run, steps, request, { example }) {
  if (example) assert.equal(steps.stopped, false);
  if (example || steps.steps) checkBitree(run.stdout, steps);
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

// inputs: [title, request, then(run, steps)], the large inputs.
export const inputs = [
  ['a 1023-node tree and 1023-character expressions', { stdin: Buffer.from(LARGE_SESSION, 'latin1') }, (run, steps) => {
    assert.equal(steps.steps.filter((s) => s.kind === 'split').length, 1023, 'the whole rebuild is recorded');
    checkBitree(run.stdout, steps);
  }],
  ['more choices than are described', { stdin: Buffer.from('1 +12\n2 /1-33\n0 AB BA\n'.repeat(40) + '7\n', 'latin1') }, (run, steps) => {
    assert.equal(steps.input.choices.length, 100);
    assert.equal(steps.stopped, 'bound', '121 choices are more than are recorded');
    checkBitree(run.stdout, steps);
  }],
];
