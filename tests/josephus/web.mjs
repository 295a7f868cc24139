// web.mjs -- josephus's own part of the shared browser and node checks
// (tests/web/registry.mjs reads it).

// The end-to-end case that the tab must refuse, as the console refuses it.
export const refusal = 'args_refuse_n_zero';

// worth(text, r, h): an exercise worth doing: the first count goes round
// the ring, and everyone leaves once.
export function worth(text, r, { assert }) {
  const [n, m] = text.split(' ').map(Number);
  assert.ok(m > n, 'the first count goes round the ring');
  assert.equal(r.output.toString().trim().split(' ').map(Number).sort((a, b) => a - b).join(),
               Array.from({ length: n }, (_, k) => k + 1).join(), 'everyone leaves once');
}

// a11y(page, tab, h): the live region says the step's number and its
// sentence, read by a screen reader but clipped from sight; a number of
// out.txt is pressed with Enter.
export async function a11y(page, tab, { assert }) {
  const live = tab.locator('.picture .present-live[role="status"]');
  await tab.locator('.step-first').click();
  await tab.locator('.step-forward').click();
  const count = await tab.locator('.picture').getAttribute('data-count');
  const sentence = await tab.locator('.josephus-sentence').textContent();
  assert.equal(await live.textContent(), `第 2 / ${count} 步：${sentence}`);
  await page.locator('h1').click();
  await page.keyboard.press('ArrowRight');
  assert.match(await live.textContent(), new RegExp(`^第 3 / ${count} 步：`));
  const look = await live.evaluate((n) => {
    const r = n.getBoundingClientRect();
    return { display: getComputedStyle(n).display, size: r.width * r.height };
  });
  assert.notEqual(look.display, 'none');
  assert.ok(look.size <= 1, 'clipped out of sight');
  await tab.locator('.step-last').click();
  await tab.locator('.josephus-number[data-order="1"]').focus();
  await page.keyboard.press('Enter');
  assert.equal(await tab.locator('.josephus-number.current').getAttribute('data-order'), '1');
  assert.match(await live.textContent(), /出列/);
}

// operations: what the code panel's marked line must hold, for the steps
// that report it: [test on the step, pattern]. A leave unlinks its seat.
export const operations = [[(s) => /出列：/.test(s.caption), /->next\s*=/]];

// answers(ours, h): the right answer to each practice question, by its
// key, from the step writer's record of the main example: {value} for the
// button of that value, {typed} for the text box.
export function answers({ record }) {
  const find = (kind, turn, said) => record.steps.find((st) => st.kind === kind && st.turn === Number(turn) &&
                                                            (said === undefined || st.said === Number(said)));
  return (key) => {
    const [what, turn, said] = key.split(':');
    const step = find(what, turn, said);
    return what === 'leave' ? { typed: step.out.join(' ') } : { value: String(step.seat) };
  };
}

// steps: its part of the step writers' check (tests/web/steps.test.mjs).
export * as steps from './steps.mjs';
