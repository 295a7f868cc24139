// steps.mjs -- the translator's part of the step writers' check
// (tests/web/steps.test.mjs, through web.mjs): each pass reads the
// sentence the one before made, and the words of its word steps are
// translate.txt (its first bytes, when the record was cut at its bound).
// Its large inputs: one whose record is cut, and one that grows past the
// translator's bound.
import assert from 'node:assert/strict';

// latin1(bytes): a string with one character per byte (GBK stays bytes).
const latin1 = (bytes) => Buffer.from(bytes).toString('latin1');

// The most bytes a description may take, whatever the input (the first
// comment of lab/translator/steps.cpp gives the bound).
export const bound = 4 * 1024 * 1024;

// chainFrom: where every step's chain starts.
export const chainFrom = 'main';

// does: per kind of step, what the line its "src" names must do.
export const does = {
  lay: /PushChecked\(c\)/, pop: /PopChecked\(/, enqueue: /EnQueue\(&Q, delta\)/, take: /TakeGroup\(&theta\)/,
  dequeue: /DeQueue\(&Q, &delta\)/, push: /PushChecked\(/, put: /PutGroup\(theta\)/,
  read: /Pop\(&L, &c\)|DeQueue\(&Q, &c\)/, keep: /EnQueue\(&Q, c\)/, replace: /EnQueue\(&Q, r->replacement\[k\]\)/,
  pass: /RulePass\(/, word: /used \+= word\.size/,
};

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

// check(run, steps, request, {example}): an example, and every case the
// program completes, held to translate.txt.
export function check(run, steps, request, { example }) {
  if (example || steps.ok) checkTranslator(run, steps);
}

// rules(rules, sentence): a request of a rule file: its count,
// "X = replacement" lines and the sentence.
const rules = (list, sentence) => ({ args: ['rules.txt'], files: [{ path: 'rules.txt',
  data: Buffer.from([String(list.length), ...list.map(([x, r]) => `${x} = ${r}`), sentence, ''].join('\n'), 'latin1') }] });

// inputs: [title, request, then(run, steps)], the large inputs.
export const inputs = [
  ['a sentence of 1,062,882 characters: the record is cut at its bound, the run is whole',
   rules(Array(6).fill(['t', 't'.repeat(9)]), 'tt'), (run, steps) => {
     assert.equal(steps.stopped, 'bound');
     assert.equal(run.files.find((f) => f.path === 'translate.txt').data.length, 2 * 2 * 9 ** 6);
     checkTranslator(run, steps);
   }],
  ['a sentence that grows past the bound stops both at the same pass',
   rules(Array(7).fill(['t', 't'.repeat(9)]), 'ttt'), (run, steps) => {
     assert.notEqual(run.status, 0);
     assert.equal(steps.ok, false);
     assert.equal(steps.stopped, 'passes');
   }],
];
