// save.test.mjs -- 保存全部步骤 and a long paste, in headless chromium:
// the saved file holds every step of a 2000-step run and draws each one as
// the page does; 取消 saves nothing; a run that ends while a file is made
// never changes it; a 20 MB paste goes whole to the program while the box
// shows its first part. Nothing here is timed.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { fileOrigin, launch, openTab, runAndWait, shot, shown } from './browser.mjs';

// A ring of 100 people whose step values are all 99: some 2100 steps.
const BIG = ['100', '99'].concat(Array(100).fill('99')).join(' ');

describe('saving every step, and a long paste', () => {
  let browser, page, dir;
  before(async () => {
    browser = await launch();
    page = await browser.newPage({ viewport: { width: 1280, height: 900 }, acceptDownloads: true });
    dir = fs.mkdtempSync(path.join(os.tmpdir(), 'dsd-save-'));
  });
  after(async () => {
    await browser.close();
    fs.rmSync(dir, { recursive: true, force: true });
  });

  // opened(bytes): a new page on the saved file; closed by the caller.
  async function opened(bytes, name) {
    const file = path.join(dir, name);
    fs.writeFileSync(file, bytes);
    const deck = await browser.newPage({ viewport: { width: 1024, height: 768 } });
    await deck.goto(pathToFileURL(file).href);
    return deck;
  }

  // captions(tab): the page's sentence for its first two and last two steps.
  async function captions(tab) {
    const said = [];
    for (const button of ['.step-first', '.step-forward', '.step-last', '.step-back']) {
      await tab.locator(button).click();
      said.push(await tab.locator('.josephus-sentence').textContent());
    }
    return said;
  }

  test('every step of a 2000-step run, 取消, and a run that ends meanwhile', async () => {
    const tab = await openTab(page, fileOrigin(), 'josephus');
    const downloads = [];
    page.on('download', (d) => downloads.push(d));
    await tab.locator('input.args').fill(BIG);
    await runAndWait(tab, () => tab.locator('button.run').click());
    const count = Number(await tab.locator('.picture').getAttribute('data-count'));
    assert.ok(count >= 2000, `a long run: ${count} steps`);

    // 取消 in the same task as the click: nothing is saved.
    await tab.evaluate((section) => {
      section.querySelector('.present-all').click();
      section.querySelector('.save-cancel').click();
    });
    assert.match(await tab.locator('.save-progress').textContent(), /已取消/);

    // The whole run, saved: the first download since, so the stopped save
    // offered nothing.
    const [saved] = await Promise.all([page.waitForEvent('download'), tab.locator('.present-all').click()]);
    assert.equal(downloads.length, 1, 'the cancelled save offered no file');
    assert.match(await tab.locator('.save-progress').textContent(), new RegExp(`已保存全部 ${count} 步`));
    const bytes = fs.readFileSync(await saved.path());
    const onPage = await captions(tab);
    const picks = [0, 1, count - 1, count - 2];
    const deck = await opened(bytes, 'whole.html');
    let lastSaid;
    try {
      // Every step is drawn, each with its own sentence and marked line.
      const all = await deck.evaluate(() => {
        const n = Number(document.body.dataset.count), got = [];
        for (let i = 0; i < n; i++) {
          window.dsdGo(i);
          got.push({ said: document.querySelector('.words p').textContent,
                     ink: document.querySelector('.pic svg').childElementCount,
                     line: !!document.querySelector('.code li[aria-current]') });
        }
        return got;
      });
      assert.equal(all.length, count);
      all.forEach((s, i) => {
        assert.ok(s.said.startsWith(`第 ${i + 1} 步：`) && s.ink > 0 && s.line, `step ${i + 1} drawn: ${JSON.stringify(s)}`);
      });
      lastSaid = all[count - 1].said;
      picks.forEach((i, k) => assert.equal(all[i].said, `第 ${i + 1} 步：${onPage[k]}`, `step ${i + 1} as on the page`));
      await deck.keyboard.press('End');
      assert.equal(await deck.locator('#at').textContent(), `第 ${count} / ${count} 步`);
      await shot(deck, 'save-deck');
    } finally {
      await deck.close();
    }

    // A short run asked for, then the save clicked while it runs; the
    // save is held (its sources come late) until the short run is on
    // screen: the file made is the long run's whole, or none with the
    // reason said.
    await tab.locator('input.args').fill('3 2 1 1 1');
    const before = Number(await tab.locator('.output').getAttribute('data-runs'));
    const offered = page.waitForEvent('download', { timeout: 60000 }).catch(() => null);
    await tab.evaluate((section) => {
      const real = DsdCodePanel.sources;
      const held = new Promise((resolve) => { window.dsdRelease = resolve; });
      DsdCodePanel.sources = () => held.then(() => real());
      section.querySelector('button.run').click();
      section.querySelector('.present-all').click();
      DsdCodePanel.sources = real;
    });
    await page.waitForFunction(([el, n]) => Number(el.getAttribute('data-runs')) > n,
                               [await tab.locator('.output').elementHandle(), before]);
    await page.evaluate(() => window.dsdRelease());
    await page.waitForFunction(() => !document.querySelector('#tab-josephus .save-cancel:not([hidden])'));
    const said = await tab.locator('.save-progress').textContent();
    if (/新的运行结果出来了/.test(said)) return;
    const meanwhile = await offered;
    assert.ok(meanwhile, `a file or the reason there is none: ${said}`);
    const later = await opened(fs.readFileSync(await meanwhile.path()), 'meanwhile.html');
    try {
      assert.equal(await later.evaluate(() => Number(document.body.dataset.count)), count);
      assert.equal(await later.evaluate((n) => { window.dsdGo(n - 1); return document.querySelector('.words p').textContent; }, count),
                   lastSaid);
    } finally {
      await later.close();
    }
  });

  test('a 20 MB paste goes whole to the program; the box shows its first part', async () => {
    const tab = await openTab(page, fileOrigin(), 'evaluator');
    // Lines "1+1", the last one "2*3": the program works out the last line,
    // far past what the box shows.
    const lines = 5242879;
    await tab.locator('textarea.document').evaluate((area, n) => {
      area.focus();
      area.select();
      const data = new DataTransfer();
      data.setData('text/plain', '1+1\n'.repeat(n) + '2*3\n');
      area.dispatchEvent(new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true }));
    }, lines);
    await page.waitForFunction(() => /整段文字都交给程序/.test(document.querySelector('#tab-evaluator').textContent));
    const boxText = await tab.locator('textarea.document').inputValue();
    assert.ok(boxText.length <= 65536 && boxText.startsWith('1+1\n'), `the box shows its first part: ${boxText.length}`);
    await runAndWait(tab, () => tab.locator('button.run').click());
    const result = (await shown(tab)).files['result.txt'];
    assert.match(result, /2\*3/);
    assert.doesNotMatch(result, /1\+1/);
  });
});

