// web.mjs -- bitree's own part of the shared browser and node checks
// (tests/web/registry.mjs reads it).

// edition(tab, c, h): after the main example, a session typed line by line
// (the case mixed_session): each Enter runs the program again, the console
// waits for the next line before the end of input, and the transcript is
// stdout with each typed line where the program read it.
export async function edition(tab, c, { assert, gbk, cases, runAndWait, expectShown }) {
  const session = cases('bitree:mixed_session')['bitree:mixed_session'];
  await runAndWait(tab, () => tab.locator('button.clear').click());
  const lines = gbk(session.stdin).split('\n');
  if (lines.at(-1) === '') lines.pop();
  for (const line of lines) {
    await runAndWait(tab, () => tab.locator('input.console-line').fill(line)
      .then(() => tab.locator('input.console-line').press('Enter')));
    assert.equal(await tab.locator('.console-screen .cursor').count(), 1);
  }
  await runAndWait(tab, () => tab.locator('button.end-input').click());
  await expectShown(tab, session);
  const typed = await tab.locator('.console-screen .typed:not(.end)').allTextContents();
  assert.deepEqual(typed, lines.map((l) => l + '\n'));
  const screen = await tab.locator('.console-screen').evaluate((s) => {
    const copy = s.cloneNode(true);
    copy.querySelectorAll('.typed, .ended').forEach((n) => n.remove());
    return copy.textContent;
  });
  assert.equal(screen, gbk(session.stdout));
}

// worth(text, r, h): an exercise worth doing: distinct letters, and the
// tree printed back in both orders.
export function worth(text, r, { assert, has, texts }) {
  const [, pre, ino] = text.split('\n')[1].match(/^(\S+) (\S+)$/);
  assert.equal(new Set(pre).size, pre.length, 'distinct letters');
  const printed = r.stdout.toString('latin1');
  assert.ok(printed.includes(pre) && printed.includes(ino), 'the tree printed back in both orders');
  assert.ok(!has(r.stdout, texts.TEXT_BAD_CHOICE.trim()));
}

// operations: what the code panel's marked line must hold, for the steps
// that report it: [test on the step, pattern]. A walk visits; a split of
// the rebuild is in PreInCreate.
export const operations = [[(s) => ['walk', 'preorder', 'inorder', 'postorder'].includes(s.phase), /Visit\w*\(/],
                           [(s) => s.phase === 'split', /PreInCreate|int right = end2 - i/]];

// answers(ours, h): the right answer to each practice question, by its
// key, from the step writer's record of the main example: {value} for the
// button of that value, {typed} for the text box.
export function answers({ record }) {
  return (key) => {
    const [what, k] = key.split(':');
    const step = record.steps[Number(k)];
    const newest = step.threads && step.threads.at(-1);
    switch (what) {
      case 'root': return { value: String(step.pre[0]) };
      case 'split': return { value: String(step.root - step.in[0]) };
      case 'value': return { typed: String(step.values[step.node]) };
      case 'thread': return { value: String(newest[0]) };
      case 'side': return { value: String(newest[1]) };
      case 'threads': return { typed: String(step.threads.length) };
      case 'tree': case 'copy': return { typed: String(step.shape.length) };
      case 'node': return { value: step.operator ? 'op' : 'leaf' };
      case 'choice': return { value: String(step.choice >= 0 && step.choice <= 2 ? step.choice : 3) };
      case 'read': return { value: step.shape === null ? 'no' : 'yes' };
      default: return { value: String(step.node) };
    }
  };
}

// steps: its part of the step writers' check (tests/web/steps.test.mjs).
export * as steps from './steps.mjs';
