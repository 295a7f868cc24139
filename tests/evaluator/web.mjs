// web.mjs -- evaluator's own part of the shared browser and node checks
// (tests/web/registry.mjs reads it).

// The end-to-end case that the tab must refuse, as the console refuses it.
export const refusal = 'line_of_50_refused';

// An expression typed into the tab in place of its example, which it runs.
export const typed = '1+2*3';

// edition(tab, c, h): after the main example c is shown, its trace table
// has a row per line of result.txt.
export async function edition(tab, c, { assert, gbk }) {
  const rows = await tab.locator('table.trace tr').count();
  assert.equal(rows, gbk(c.expect['result.txt']).split('\n').filter(Boolean).length);
}

// worth(text, r, h): an exercise worth doing: brackets and mixed precedence
// in at most 49 characters, and no error row.
export function worth(text, r, { assert, has, texts }) {
  const expr = text.trim();
  assert.ok(expr.length <= 49, 'at most 49 characters');
  assert.match(expr, /\(/);
  assert.match(expr, /[*/]/);
  assert.match(expr, /[+-]/);
  assert.ok(!has(r.output, texts.TEXT_SYNTAX_ERROR) &&
            !r.output.toString('latin1').endsWith(texts.TEXT_DIVIDE_ERROR), 'no error row');
}

// a11y(page, tab, h): the step table is one Tab stop, the row on screen;
// ↑ ↓ move between its rows and the picture follows; Tab leaves it.
export async function a11y(page, tab, { assert }) {
  const rows = tab.locator('table.trace tr[tabindex]');
  const stops = () => rows.evaluateAll((rs) => rs.filter((r) => r.tabIndex === 0).map((r) => r.rowIndex));
  assert.ok(await rows.count() > 5, 'the table\'s rows go to their steps');
  assert.equal((await stops()).length, 1, 'one row takes Tab');
  await tab.locator('table.trace tr[tabindex="0"]').focus();
  const before = await tab.locator('.picture').getAttribute('data-step');
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('ArrowDown');
  const moved = await page.evaluate(() => document.activeElement.rowIndex);
  assert.notEqual(await tab.locator('.picture').getAttribute('data-step'), before, '↓ steps the picture');
  assert.deepEqual(await stops(), [moved], 'the row reached keeps the Tab stop');
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.closest('table.trace')), null, 'Tab leaves the table');
}

// operations: what the code panel's marked line must hold, for the steps
// that report it: [test on the step, pattern]. PUSH(OPND,…) pushes onto
// OPND, PUSH(OPTR,…) onto OPTR, a cancelled bracket pops OPTR.
export const operations = [[(s) => s.kind === 'push_opnd', /Push\w*\(&OPND/],
                           [(s) => s.kind === 'push_optr', /Push\w*\(&OPTR/],
                           [(s) => s.kind === 'cancel', /Pop\w*\(&OPTR/]];

// answers(ours, h): the right answer to each practice question, by its
// key, from the main example's result.txt and the step writer's record:
// {value} for the button of that value, {typed} for the text box.
export function answers({ file, record }, { gbk }) {
  // The trace's rows by their step number, each its OPND column and action.
  const rows = {};
  for (const line of gbk(file('result.txt')).split('\n')) {
    const cells = line.split('\t');
    if (cells.length >= 5 && /^\d+$/.test(cells[0])) rows[cells[0]] = { opnd: cells[2].trim().split(' '), action: cells[4] };
  }
  const kind = (a) => (a.startsWith('PUSH(OPND') ? 'push_opnd' : a.startsWith('PUSH(OPTR') ? 'push_optr'
                       : a.startsWith('POP(OPTR)') ? 'cancel' : 'operate');
  const sign = { push_optr: '<', cancel: '=', operate: '>' };
  return (key) => {
    const [what, row] = key.split(':');
    if (what === 'relation') return { value: sign[kind(rows[row].action)] };
    if (what === 'action') return { value: kind(rows[row].action) };
    if (what === 'return') return { typed: String(record.steps.find((s) => s.kind === 'return').value) };
    if (what === 'error') return { value: 'stop' };
    return { typed: rows[Number(row) + 1].opnd.at(-1) };
  };
}

// savedAnswer: a line the saved score of full marks holds: an answer as
// its button says it.
export const savedAnswer = /你的答案：压入运算数 PUSH\(OPND\)　正确/;

// steps: its part of the step writers' check (tests/web/steps.test.mjs).
export * as steps from './steps.mjs';
