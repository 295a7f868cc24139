// screen.test.mjs -- the picture beside its code on one screen: after the
// run of each tab's main example, at a 1366×768 laptop and a 1024×768
// projector, the picture and the code panel's marked line are both inside
// the window without scrolling, on the page and in full screen; the input
// of a document tab (what its tests/<name>/web.mjs gives as `typed`) folds
// after a run and unfolds on 显示输入; on a 390 px phone the picture comes
// before the code. Saves
// build/web/shots/screen-<program>-<width>.png for people to look at.
//
//     node --test tests/web/screen.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, afterEach, before, describe, test } from 'node:test';
import { fileOrigin, launch, openTab, runAndWait, SHOTS } from './browser.mjs';
import { PROGRAMS } from './registry.mjs';

// drawn(page, program): waits for the picture of the main example and for
// its code panel's marked line.
async function drawn(page, program) {
  await page.waitForFunction((p) => {
    const box = document.querySelector(`#tab-${p} .picture`);
    return box && Number(box.dataset.count) > 0 && box.querySelector('.code-scroll [aria-current="step"]');
  }, program, { timeout: 20000 });
}

// inView(page, program): where the picture and the marked line stand:
// {picture, marked: [left, top, right, bottom]}, the window's size, and how
// far the page is scrolled.
async function inView(page, program) {
  return page.evaluate((p) => {
    const box = document.querySelector(`#tab-${p} .picture`);
    const rect = (n) => { const r = n.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom].map(Math.round); };
    return { picture: rect(box.querySelector('.picture-canvas')),
             marked: rect(box.querySelector('.code-scroll [aria-current="step"]')),
             window: [innerWidth, innerHeight], scrolled: scrollY };
  }, program);
}

// inside(r, [w, h]): true when rectangle r is whole inside a w×h window.
function inside(r, [w, h]) {
  return r[0] >= 0 && r[1] >= 0 && r[2] <= w && r[3] <= h && r[2] > r[0] && r[3] > r[1];
}

describe('the picture beside its code on one screen', () => {
  let browser;
  let page;
  before(async () => { browser = await launch(); });
  after(async () => { await browser?.close(); });
  afterEach(async () => { await page?.close(); });

  for (const [width, height] of [[1366, 768], [1024, 768]]) {
    test(`at ${width}×${height}, each tab's main example: the picture and the marked line in sight, on the page and in full screen`, async () => {
      page = await browser.newPage({ viewport: { width, height } });
      for (const { name: program } of PROGRAMS) {
        const tab = await openTab(page, fileOrigin(), program);
        await drawn(page, program);
        const at = await inView(page, program);
        assert.equal(at.scrolled, 0, `${program}: the page is not scrolled`);
        assert.ok(inside(at.picture, at.window), `${program}: the picture ${at.picture} is inside ${at.window}`);
        assert.ok(inside(at.marked, at.window), `${program}: the marked line ${at.marked} is inside ${at.window}`);
        if (width === 1366) {
          fs.mkdirSync(SHOTS, { recursive: true });
          await page.screenshot({ path: path.join(SHOTS, `screen-${program}-${width}.png`) });
        }
        await tab.locator('.present-full').click();
        await page.waitForFunction((p) => document.fullscreenElement?.matches(`#tab-${p} .picture.presenting`), program);
        await page.waitForFunction((p) => {
          const b = document.querySelector(`#tab-${p} .picture`);
          const m = b.querySelector('.code-scroll [aria-current="step"]').getBoundingClientRect();
          return m.bottom <= innerHeight && m.top >= 0;
        }, program, { timeout: 5000 }).catch(() => {});
        const full = await inView(page, program);
        assert.ok(inside(full.picture, full.window), `${program} in full screen: the picture ${full.picture}`);
        assert.ok(inside(full.marked, full.window), `${program} in full screen: the marked line ${full.marked}`);
        await page.keyboard.press('Escape');
        await page.waitForFunction(() => !document.fullscreenElement);
      }
    });
  }

  test('the input folds after a run and unfolds on 显示输入, 示例 says when it was edited or restarted; on a phone the picture comes before the code', async () => {
    page = await browser.newPage({ viewport: { width: 1366, height: 768 } });
    const label = (t) => t.locator('select.examples').evaluate((s) => s.options[s.selectedIndex].textContent);
    // A document tab with an input of its own to type (tests/<name>/web.mjs).
    const typed = PROGRAMS.filter((q) => q.input === 'document' && q.checks.typed);
    assert.ok(typed.length > 0, 'a document tab gives an input to type');
    for (const p of typed) {
      const tab = await openTab(page, fileOrigin(), p.name);
      await drawn(page, p.name);
      const area = tab.locator('textarea.document');
      const high = () => area.evaluate((a) => a.getBoundingClientRect().height);
      const runs = (n) => page.waitForFunction(([id, k]) => document.querySelector(`#tab-${id} .output`).dataset.runs === k,
                                               [p.name, String(n)]);
      assert.ok(await high() < 50, `${p.name}: folded to a line after the first run (${await high()} px)`);
      // Typing opens it, and it stays open while 运行 is clicked (it must
      // not move under the mouse), until the run is shown.
      await area.fill(p.checks.typed);
      assert.ok(await high() > 100, `${p.name}: open while typing in it (${await high()} px)`);
      // 示例 says what is in the box.
      assert.equal(await label(tab), `（已改动：原为 ${p.mainExample}）`);
      await tab.locator('button.run').click();
      await runs(2);
      assert.ok(await high() < 50, `${p.name}: folded again by the run`);
      await tab.locator('button.fold').click();
      assert.equal(await tab.locator('button.fold').getAttribute('aria-expanded'), 'true');
      await tab.locator('button.run').click();
      await runs(3);
      assert.ok(await high() > 100, `${p.name}: opened by 显示输入, it stays so through the next run`);
    }
    // A console tab started again holds only the lines typed.
    for (const p of PROGRAMS.filter((q) => q.input === 'console')) {
      const tab = await openTab(page, fileOrigin(), p.name);
      await runAndWait(tab, () => tab.locator('button.clear').click());
      assert.equal(await label(tab), '（重新开始：只有你输入的行）', p.name);
    }
    await page.close();

    page = await browser.newPage({ viewport: { width: 390, height: 844 } });
    for (const { name: program } of PROGRAMS) {
      await openTab(page, fileOrigin(), program);
      await drawn(page, program);
      const order = await page.evaluate((p) => {
        const box = document.querySelector(`#tab-${p} .picture`);
        return [box.querySelector('.picture-canvas'), box.querySelector('.code-panel')]
          .map((n) => n.getBoundingClientRect().top);
      }, program);
      assert.ok(order[0] < order[1], `${program}: the picture (${order[0]}) above the code (${order[1]})`);
    }
  });
});
