// pictures.test.mjs -- the josephus picture, opened from file://,
// held to the program's own text: step by step, the seats are greyed in
// the order of out.txt, one on each unlinking and none elsewhere, and the
// count stands on a seat still in the ring; each number of out.txt leads
// to the step on which its seat leaves; a step drawn after the others is
// the one a new page opened at it draws; a ring of 1000 seats draws its
// recorded steps, whose leavers begin out.txt; a count larger than the
// ring goes straight to (count−1) mod size. Saves the ring halfway as
// build/web/shots/picture-josephus.png for people to look at.
//
//     node --test tests/josephus/pictures.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, afterEach, before, beforeEach, describe, test } from 'node:test';
import { cases, fileOrigin, freshPicture, gbk, launch, openTab, runAndWait, SHOTS } from '../web/browser.mjs';

const CASES = cases('josephus/args.txt', 'josephus:args_thousand_largest_counts', 'josephus:args_refuse_n_zero');

// outNumbers(c): the numbers of case c's out.txt, in order.
function outNumbers(c) {
  return gbk(c.expect['out.txt']).split(/\s+/).filter(Boolean).map(Number);
}

// ring(tab): what the picture on screen shows: {svg (its markup), step
// (from 0), count, left (the seat numbers greyed so far, by leaving
// number), written (the numbers of out.txt shown), current (the marked
// one), here (the seat the count is on, by its outline), gone (true when
// that seat is greyed)}.
async function ring(tab) {
  return tab.locator('.picture').evaluate((box) => {
    const left = [...box.querySelectorAll('.josephus-ring [data-left]')]
      .sort((a, b) => a.dataset.left - b.dataset.left).map((s) => Number(s.dataset.num));
    const written = [...box.querySelectorAll('.josephus-number')].map((s) => Number(s.textContent));
    const current = box.querySelector('.josephus-number.current');
    const here = [...box.querySelectorAll('.josephus-ring .seat')].find((g) => g.querySelector('circle').getAttribute('stroke-width') === '3.5');
    return { svg: box.querySelector('svg').outerHTML, step: Number(box.dataset.step), count: Number(box.dataset.count),
             left, written, current: current ? Number(current.textContent) : null,
             here: here ? Number(here.dataset.num) : null, gone: here ? here.hasAttribute('data-left') : null,
             sentence: box.querySelector('.josephus-sentence').textContent };
  });
}

// runArgs(tab, args): runs the program on these arguments and waits until
// the picture has taken the new run (its ring has args[0] seats, or its
// note is shown).
async function runArgs(tab, args) {
  await tab.locator('input.args').fill(args.join(' '));
  await runAndWait(tab, () => tab.locator('button.run').click());
  await tab.page().waitForFunction(([box, n]) => {
    const g = box.querySelector('.josephus-ring');
    return (g && g.dataset.n === n && box.dataset.count !== '0') || !box.querySelector('.picture-note').hidden;
  }, [await tab.locator('.picture').elementHandle(), args[0]]);
}

describe('josephus picture, opened from file', () => {
  let browser;
  let page;
  before(async () => { browser = await launch(); });
  after(async () => { await browser?.close(); });
  // Each test opens the page afresh: the # part keeps the last run's step.
  beforeEach(async () => { page = await browser.newPage({ viewport: { width: 1200, height: 900 } }); });
  afterEach(async () => { await page?.close(); });

  test('the main example: seats greyed in the order of out.txt, text and picture in step, a step after the others as in a new page', async () => {
    const tab = await openTab(page, fileOrigin(), 'josephus');
    await tab.locator('.josephus-ring').waitFor();
    const out = outNumbers(CASES['josephus/args.txt']);
    await tab.locator('.step-first').click();
    const first = await ring(tab);
    assert.deepEqual(first.left, [], 'nobody has left on the first step');
    const greyed = [];
    let shown = first;
    for (let i = 1; i < first.count; i++) {
      await tab.locator('.step-forward').click();
      const now = await ring(tab);
      assert.equal(now.step, i);
      // A step greys at most one more seat, and keeps the ones before; the
      // seat greyed is the one the count is on, and a step that greys none
      // has the count on a seat still in the ring.
      assert.deepEqual(now.left.slice(0, shown.left.length), shown.left, `step ${i + 1}`);
      assert.ok(now.left.length - shown.left.length <= 1, `step ${i + 1} greys one seat at most`);
      if (now.left.length > shown.left.length) {
        greyed.push(now.left.at(-1));
        assert.equal(now.here, now.left.at(-1), `step ${i + 1}: the seat the count is on leaves`);
        assert.match(now.sentence, new RegExp(`^${now.here} 号出列`));
      } else {
        assert.equal(now.gone, false, `step ${i + 1}: the count is on seat ${now.here}, still in the ring`);
      }
      // out.txt shows the numbers greyed so far, the latest marked.
      assert.deepEqual(now.written, now.left, `out.txt beside step ${i + 1}`);
      assert.equal(now.current, now.left.at(-1) ?? null);
      shown = now;
    }
    assert.deepEqual(greyed, out);

    // Each number of out.txt leads to the step on which its seat leaves
    // (from the last: a number shows once its seat has left).
    for (const [k, num] of [...out.entries()].reverse()) {
      await tab.locator(`.josephus-number[data-order="${k + 1}"]`).click();
      const now = await ring(tab);
      assert.deepEqual(now.left, out.slice(0, k + 1), `clicking ${num}`);
      assert.equal(now.current, num);
    }

    // After all those visits, the middle step looks as in a new page opened at it.
    await tab.locator('.step-first').click();
    for (let i = 0; i < Math.floor(first.count / 2); i++) await tab.locator('.step-forward').click();
    const fresh = await freshPicture(browser, page.url(), 'josephus');
    assert.equal(fresh.step, Math.floor(first.count / 2));
    assert.equal((await ring(tab)).svg, fresh.svg);
    fs.mkdirSync(SHOTS, { recursive: true });
    await tab.locator('.picture').screenshot({ path: path.join(SHOTS, 'picture-josephus.png') });
  });

  test('a ring of 1000 seats draws its recorded steps, whose leavers begin out.txt; a refused input draws nothing', async () => {
    const tab = await openTab(page, fileOrigin(), 'josephus');
    const c = CASES['josephus:args_thousand_largest_counts'];
    await runArgs(tab, c.args);
    assert.equal(await tab.locator('.josephus-ring [data-num]').count(), 1000);
    // The trace stops at the writer's bound: the steps it holds are the
    // run's first, and their leavers begin out.txt.
    assert.match(await tab.locator('.picture-note').textContent(), /只保存了前 \d+ 步/);
    await tab.locator('.step-last').click();
    const last = await ring(tab);
    assert.equal(last.step, last.count - 1);
    assert.ok(last.left.length > 0);
    assert.deepEqual(last.left, outNumbers(c).slice(0, last.left.length));
    assert.match(await tab.locator('.picture-text').textContent(), /人数超过 \d+/);

    const refusal = CASES['josephus:args_refuse_n_zero'];
    await runArgs(tab, refusal.args);
    assert.match(await tab.locator('.picture-note').textContent(), /拒绝/);
    assert.equal(await tab.locator('.picture-svg').isVisible(), false);
  });
});

describe('josephus picture, a count larger than the ring', () => {
  test('m=4 among 3: the program moves (4−1) mod 3 = 0 seats, and the seat that says 1 leaves', async () => {
    const browser = await launch();
    try {
      const page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
      const tab = await openTab(page, fileOrigin(), 'josephus');
      await runArgs(tab, ['3', '4', '1', '1', '1']);
      await tab.locator('.step-first').click();
      const start = await ring(tab);
      assert.match(start.sentence, /\(4−1\) mod 3 = 0/);
      assert.equal(start.here, 1);
      await tab.locator('.step-forward').click();
      const next = await ring(tab);
      assert.deepEqual(next.left, [1], 'person 1 leaves straight after the count');
      assert.equal(start.count, 6, 'each of the three turns: a count and an unlinking, nothing walked');
    } finally {
      await browser.close();
    }
  });
});
