// web.mjs -- translator's own part of the shared browser and node checks
// (tests/web/registry.mjs reads it).

// The end-to-end case that the tab must refuse, as the console refuses it.
export const refusal = 'refuse_long_sentence';

// worth(text, r, h): an exercise worth doing: the sentence fits its line,
// every replacement fits, and every character ends as a word.
export function worth(text, r, { assert, has, texts }) {
  const lines = text.split('\n');
  assert.ok(lines[lines.length - 1].length <= 38, 'the sentence fits its line');
  lines.slice(1, -1).forEach((l) => assert.ok(l.length - 4 <= 9, 'a replacement of at most 9'));
  assert.ok(r.output.length > 0 && !has(r.output, texts.TEXT_WORD_ERROR), 'every character ends as a word');
}

// operations: what the code panel's marked line must hold, for the steps
// that report it: [test on the step, pattern]. A character read onto L is
// a Push call; a word taken from the queue is counted where it is written.
export const operations = [[(s) => /^读入第 \d+ 个字符.*压入栈 L/.test(s.caption), /Push\w*\(/],
                           [(s) => /出队，译成「/.test(s.caption), /used \+= word\.size/]];

// answers(ours, h): the right answer to each practice question, by its
// key, from the step writer's record of the main example: {value} for the
// button of that value, {typed} for the text box.
export function answers({ record }, { gbk }) {
  const find = (kind, test) => record.steps.find((s) => s.kind === kind && test(s));
  return (key) => {
    const [what, a, b] = key.split(':');
    const step = record.steps[Number(a)];
    if (['pop', 'enqueue', 'dequeue', 'take', 'read'].includes(what)) return { typed: step.c };
    if (what === 'keep' || what === 'replace') return { value: step.kind };
    if (what === 'put') return { typed: step.stack.text };
    if (what === 'lay') return { typed: find('lay', (s) => s.read === Number(a)).c };
    if (what === 'push') return { typed: find('push', (s) => s.read === Number(a) && s.stack.length === Number(b)).c };
    if (what === 'pass') return { typed: find('pass', (s) => s.at === Number(a)).sentence.text };
    return { value: gbk(Buffer.from(find('word', (s) => s.index === Number(a)).word, 'latin1')) };
  };
}

// steps: its part of the step writers' check (tests/web/steps.test.mjs).
export * as steps from './steps.mjs';
