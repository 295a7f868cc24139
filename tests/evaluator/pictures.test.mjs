// pictures.test.mjs -- the evaluator's picture in a real browser,
// opened from file://, held to the trace rows of result.txt that the
// console program writes for the same input (the end-to-end cases): one
// step per row, the stacks drawn after each step equal to the OPTR and
// OPND columns the next row starts from, what the step read marked where
// that row's input column begins, the trace row of the step on screen
// marked; a click on a row and the first difference the 对照 panel finds
// go to their step; a step drawn after a step back and forward is the one
// a new page opened at it draws; a division by zero ends on its error
// step. Saves a screenshot of a middle step.
//
//     node --test tests/evaluator/pictures.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { cases, fileOrigin, freshPicture, gbk, launch, openTab, runAndWait, SHOTS } from '../web/browser.mjs';

const CASES = cases('evaluator/expr.txt', 'evaluator:deep_brackets', 'evaluator:divide_by_zero_late',
                    'evaluator:two_operators');

// traceRows(c): the trace rows of case c's result.txt: [{step, optr, opnd,
// input, action}], the columns as the program wrote them.
function traceRows(c) {
  return gbk(c.expect['result.txt']).split('\n').map((line) => line.split('\t'))
    .filter((cells) => cells.length >= 5 && /^\d+$/.test(cells[0]))
    .map((cells) => ({ step: Number(cells[0]), optr: cells[1], opnd: cells[2], input: cells.slice(3, -1).join('\t'),
                       action: cells[cells.length - 1] }));
}

// everyStep(tab): what the picture draws at each step, from the first on,
// stepped with its forward button: [{at, optr, opnd, reading, current}],
// the stacks as columns are written (each element and one space, bottom
// first), reading the expression's characters marked as read by the step,
// current the step number of the marked trace table row.
async function everyStep(tab) {
  return tab.evaluate((section) => {
    const box = section.querySelector('.picture');
    const svg = box.querySelector('svg');
    const column = (name) => Array.from(svg.querySelectorAll(`[data-stack="${name}"]`))
      .sort((a, b) => a.dataset.index - b.dataset.index).map((g) => g.dataset.value + ' ').join('');
    section.querySelector('.step-first').click();
    const seen = [];
    for (let i = 0; i < Number(box.dataset.count); i++) {
      const current = section.querySelector('table.trace tr[aria-current="step"]');
      const reading = Array.from(svg.querySelectorAll('rect[data-char="reading"]'))
        .map((r) => r.nextElementSibling.textContent).join('');
      seen.push({ at: Number(svg.querySelector('[data-kind]').dataset.at), optr: column('OPTR'),
                  opnd: column('OPND'), reading,
                  current: current ? Number(current.cells[0].textContent) : null });
      section.querySelector('.step-forward').click();
    }
    return seen;
  });
}

// runCase(tab, c): runs case c's expression file in the tab, and waits
// for the picture of the run (it may come after the run's output).
async function runCase(tab, c) {
  await runText(tab, gbk(c.files['expr.txt']));
}

// runText(tab, text): runs the expression file's text, as runCase does.
async function runText(tab, text) {
  const box = tab.locator('.picture');
  const draws = Number(await box.getAttribute('data-draws') || 0);
  await tab.locator('textarea.document').fill(text);
  await runAndWait(tab, () => tab.locator('button.run').click());
  await tab.page().waitForFunction(([el, n]) => Number(el.getAttribute('data-draws') || 0) > n,
                                   [await box.elementHandle(), draws]);
}

let browser;
let page;
let tab;
before(async () => {
  browser = await launch();
  page = await browser.newPage({ viewport: { width: 1280, height: 1000 } });
  tab = await openTab(page, fileOrigin(), 'evaluator');
});
after(async () => { await browser?.close(); });

describe('the evaluator picture, from file://', () => {
  test('one step per trace row, each drawing the stacks the next row starts from and what its row reads, ' +
       'the row marked', async () => {
    for (const name of ['evaluator/expr.txt', 'evaluator:deep_brackets', 'evaluator:two_operators']) {
      if (name !== 'evaluator/expr.txt') await runCase(tab, CASES[name]);
      const rows = traceRows(CASES[name]);
      const drawn = await everyStep(tab);
      assert.equal(drawn.length, rows.length, `${name}: steps`);
      drawn.forEach((seen, i) => {
        const where = `${name}: step ${i + 1}`;
        assert.equal(seen.at, rows[i].step, where);
        assert.equal(seen.current, rows[i].step, where);
        if (i + 1 < rows.length) assert.deepEqual([seen.optr, seen.opnd], [rows[i + 1].optr, rows[i + 1].opnd], where);
        assert.ok(seen.reading.length > 0, where);
        assert.ok(rows[i].input.trimStart().startsWith(seen.reading), `${where}: reads ${seen.reading} of ${rows[i].input}`);
      });
      assert.equal(drawn.at(-1).opnd, '', `${name}: the value is popped at the end`);
    }
  });

  test('a row click and the 对照 panel go to their step; a step back then forward, by button and by key, ' +
       'draws the same picture', async () => {
    const c = CASES['evaluator/expr.txt'];
    await runCase(tab, c);
    const svg = tab.locator('.picture svg');
    const picture = tab.locator('.picture');
    const lines = gbk(c.expect['result.txt']).split('\n');
    lines[8] = lines[8].replace(/\t[^\t]*$/, '\tPOP(OPTR)');   // row 8 differs
    await tab.locator('textarea.dsd-compare-input').fill(lines.join('\n'));
    await tab.locator('button.dsd-compare-run').click();
    await tab.locator('.dsd-compare-result').waitFor();   // the comparison runs in the worker
    assert.equal(await picture.getAttribute('data-step'), '7');
    await tab.locator('table.trace tr[data-at="7"] td').first().click();   // an operate step
    assert.equal(await picture.getAttribute('data-step'), '6');
    assert.match(page.url(), /&step=7$/);
    const middle = await svg.evaluate((s) => s.outerHTML);
    await tab.locator('.step-back').click();
    assert.notEqual(await svg.evaluate((s) => s.outerHTML), middle);
    await tab.locator('.step-forward').click();
    await page.keyboard.press('ArrowLeft');
    await page.keyboard.press('ArrowRight');
    // After the visits, step 7 looks as in a new page opened at it.
    const fresh = await freshPicture(browser, page.url(), 'evaluator');
    assert.equal(fresh.step, 6);
    assert.equal(await svg.evaluate((s) => s.outerHTML), fresh.svg);
    assert.equal(middle, fresh.svg);
    fs.mkdirSync(SHOTS, { recursive: true });
    await picture.screenshot({ path: path.join(SHOTS, 'picture-evaluator.png') });
  });

  test('a division by zero ends on its error step', async () => {
    const c = CASES['evaluator:divide_by_zero_late'];
    await runCase(tab, c);
    const rows = traceRows(c);
    assert.equal(rows.at(-1).action, 'error');
    await tab.locator('.step-last').click();
    const picture = tab.locator('.picture');
    assert.equal(await picture.getAttribute('data-count'), String(rows.length));
    assert.equal(await picture.getAttribute('data-step'), String(rows.length - 1));
    assert.equal(await tab.locator('.picture svg [data-kind]').getAttribute('data-kind'), 'divide_error');
    assert.equal(await tab.locator('.picture svg [data-end]').getAttribute('data-end'), 'divide_error');
    // The division's operands and operator, popped by the step, are the
    // ones the row before the error shows on top of its stacks.
    const before = rows.at(-1);
    const popped = await tab.locator('.picture svg [data-popped]').evaluateAll((gs) => gs.map((g) => g.dataset.value));
    assert.deepEqual(popped, [before.optr.trim().split(' ').at(-1), ...before.opnd.trim().split(' ').slice(-2)]);
    await tab.locator('.step-forward').click();
    assert.equal(await picture.getAttribute('data-step'), String(rows.length - 1));
  });
});

describe('the evaluator picture explains what it cannot read', () => {
  test('a full-width bracket is named as the full-width （, not an operator', async () => {
    await runText(tab, '1+（2）');
    await tab.locator('.step-last').click();
    assert.equal(await tab.locator('.picture svg [data-kind]').getAttribute('data-kind'), 'syntax_error');
    const said = await tab.locator('.picture svg').textContent();
    assert.match(said, /读入的 '（' 是中文输入法打出的全角的（/);
    assert.match(said, /不是表达式的运算符：程序只认半角的 \(/);
  });
});
