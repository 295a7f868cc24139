// present.test.mjs -- the picture shown to a class and saved for slides,
// opened from file://: full screen scales the picture so that its labels
// read from the back of a room at 1024×768, the code panel comes along
// with the step's line in sight, and the keys step it; a step
// saved as PNG is a PNG of the picture with its sentence; every step saved
// in one HTML file holds each step as the page draws it and steps with the
// keys; and the input friction a teacher met is gone (josephus's keyboard
// box, bitree's 运行 and its console copied for 对照). Saves
// build/web/shots/present-fullscreen.png and present-saved.png.
//
//     node --test tests/web/present.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { after, afterEach, before, beforeEach, describe, test } from 'node:test';
import { cases, fileOrigin, gbk, launch, openTab, runAndWait, SHOTS, shown } from './browser.mjs';

const CASES = cases('josephus/keyboard.txt', 'bitree:tree_worked_examples');

// saved(page, button): clicks button and returns {name, bytes} of the file
// it saves.
async function saved(page, button) {
  const [download] = await Promise.all([page.waitForEvent('download'), button.click()]);
  return { name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path()) };
}

// stepOf(tab): the picture's step on screen (from 0).
async function stepOf(tab) {
  return Number(await tab.locator('.picture').getAttribute('data-step'));
}

describe('presenting and saving, opened from file', () => {
  let browser;
  let page;
  before(async () => { browser = await launch(); });
  after(async () => { await browser?.close(); });
  afterEach(async () => { await page?.close(); });

  describe('at 1024×768', () => {
    beforeEach(async () => { page = await browser.newPage({ viewport: { width: 1024, height: 768 } }); });

    test('full screen: the frame fills the screen, labels 20 px high, the sentence and the code panel under, keys step, Esc leaves', async () => {
      const tab = await openTab(page, fileOrigin(), 'evaluator');
      await tab.locator('.picture[data-draws]').waitFor();
      const box = tab.locator('.picture');
      const count = Number(await box.getAttribute('data-count'));
      await tab.locator('.present-full').click();
      await page.waitForFunction(() => document.fullscreenElement?.matches('.picture.presenting'));
      const size = await box.evaluate((b) => {
        const svg = b.querySelector('svg');
        const r = svg.getBoundingClientRect();
        const [, , w, h] = svg.getAttribute('viewBox').split(' ').map(Number);
        const heights = (sel) => [...svg.querySelectorAll(sel)].map((t) => t.getBoundingClientRect().height)
          .sort((a, b) => a - b);
        const all = heights('text');
        return { box: [b.clientWidth, b.clientHeight], scale: Math.min(r.width / w, r.height / h),
                 stack: heights('[data-stack] > text:first-of-type, [data-char] + text'), median: all[all.length >> 1] };
      });
      assert.deepEqual(size.box, [1024, 768]);
      assert.ok(size.scale > 1.2, `the picture is scaled up (${size.scale})`);
      assert.ok(size.stack.length && size.stack[0] >= 20, `the stacks' and the expression's labels: ${size.stack}`);
      assert.ok(size.median >= 20, `half the picture's texts are 20 px high or more (${size.median})`);
      // The code panel comes along: on screen, clear of the picture and
      // the sentence, its text a readable size, the step's line in sight.
      await page.waitForFunction(() => {
        const b = document.querySelector('#tab-evaluator .picture');
        const lines = b.querySelector('.code-scroll').getBoundingClientRect();
        const marked = b.querySelector('.code-scroll [aria-current="step"]')?.getBoundingClientRect();
        return marked && marked.top >= lines.top && marked.bottom <= lines.bottom;
      }, null, { timeout: 5000 });
      const parts = await box.evaluate((b) => Object.fromEntries(['.picture-canvas', '.code-panel', '.present-caption'].map((s) => {
        const r = b.querySelector(s).getBoundingClientRect();
        return [s, [r.left, r.top, r.right, r.bottom]];
      }).concat([['font', parseFloat(getComputedStyle(b.querySelector('.code-lines')).fontSize)]])));
      const apart = (a, b) => a[2] <= b[0] || b[2] <= a[0] || a[3] <= b[1] || b[3] <= a[1];
      for (const [name, r] of Object.entries(parts).filter(([k]) => k !== 'font')) {
        assert.ok(r[0] >= 0 && r[1] >= 0 && r[2] <= 1024 && r[3] <= 768 && r[2] - r[0] > 200 && r[3] - r[1] > 100,
                  `${name} on screen: ${r}`);
      }
      assert.ok(apart(parts['.picture-canvas'], parts['.code-panel']), 'the code panel is clear of the picture');
      assert.ok(apart(parts['.present-caption'], parts['.code-panel']), 'the code panel is clear of the sentence');
      assert.ok(parts.font >= 14, `the code's size (${parts.font} px)`);

      // The keys step it, also while a button has the focus (space must
      // not press the button as well), and the sentence follows.
      const caption = tab.locator('.present-caption');
      assert.match(await caption.textContent(), /^第 1 步：读入的是数 3/);
      // PageDown and PageUp are what a presenter's clicker sends.
      for (const [key, step] of [['ArrowRight', 1], [' ', 2], ['End', count - 1], ['ArrowRight', count - 1],
                                 ['Home', 0], ['ArrowLeft', 0], ['PageDown', 1], ['PageDown', 2], ['PageUp', 1]]) {
        await page.keyboard.press(key);
        assert.equal(await stepOf(tab), step, `after ${key}`);
      }
      await tab.locator('.step-forward').click();
      await page.keyboard.press(' ');
      assert.equal(await stepOf(tab), 3, 'space on the focused 下一步 button steps once');
      assert.match(await caption.textContent(), /^第 4 步：/);
      fs.mkdirSync(SHOTS, { recursive: true });
      await page.screenshot({ path: path.join(SHOTS, 'present-fullscreen.png') });

      await page.keyboard.press('Escape');
      await page.waitForFunction(() => !document.fullscreenElement);
      assert.equal(await box.evaluate((b) => b.classList.contains('presenting')), false);
      assert.equal(await tab.locator('.present-caption').isVisible(), false);
    });

    test('without full screen a tall tree grows its box to the window\'s height', async () => {
      const tab = await openTab(page, fileOrigin(), 'bitree');
      await runAndWait(tab, () => tab.locator('button.clear').click());
      await tab.locator('input.console-line').fill('0 ABCDEFGHIJ JIHGFEDCBA');   // a chain of 10
      await runAndWait(tab, () => tab.locator('input.console-line').press('Enter'));
      await page.waitForFunction(() => document.querySelector('#tab-bitree .picture').dataset.count > 0);
      await tab.locator('.step-last').click();                             // the whole chain, walked
      const canvas = await tab.locator('.picture-canvas').evaluate((c) => ({
        box: c.clientHeight, picture: Number(c.querySelector('svg').getAttribute('height')) }));
      assert.ok(canvas.picture > 768, `the chain is taller than the window (${canvas.picture})`);
      assert.ok(canvas.box >= 768 - 40, `its box is as tall as the window allows (${canvas.box})`);
    });

    test('a 1023-deep chain: full screen shows it at a readable size that scrolls, its PNG is scaled to fit and says so', async () => {
      const tab = await openTab(page, fileOrigin(), 'bitree');
      await runAndWait(tab, () => tab.locator('button.clear').click());
      const chain = 'A'.repeat(1023);
      await tab.locator('input.console-line').fill(`0 ${chain} ${chain}`);
      await runAndWait(tab, () => tab.locator('input.console-line').press('Enter'));
      await page.waitForFunction(() => document.querySelector('#tab-bitree .picture').dataset.count > 0);
      await tab.locator('.step-last').click();
      await tab.locator('.present-full').click();
      await page.waitForFunction(() => document.fullscreenElement?.matches('.picture.presenting'));
      const seen = await tab.locator('.picture-canvas').evaluate((c) => {
        const svg = c.querySelector('svg');
        const [, , w, h] = svg.getAttribute('viewBox').split(' ').map(Number);
        const r = svg.getBoundingClientRect();
        return { scale: Math.min(r.width / w, r.height / h), cell: c.clientHeight, scrolls: c.scrollHeight > c.clientHeight };
      });
      assert.ok(seen.scale >= 0.6, `the chain at a readable scale (${seen.scale})`);
      assert.ok(seen.cell >= 300, `its box is not a strip (${seen.cell} px)`);
      assert.ok(seen.scrolls, 'the box scrolls');
      await page.keyboard.press('Escape');

      const png = await saved(page, tab.locator('.present-png'));
      const [w, h] = [png.bytes.readUInt32BE(16), png.bytes.readUInt32BE(20)];
      assert.ok(w <= 16384 && h <= 16384 && w * h <= 64e6, `the PNG fits the limit (${w}×${h})`);
      assert.ok(Math.max(w, h) >= 16000 || w * h >= 60e6, `scaled to the limit, no further (${w}×${h})`);
      const said = await tab.locator('.present-message').textContent();
      assert.match(said, new RegExp(`已缩小到 ${w}×${h} 像素`));
      assert.doesNotMatch(said, /浏览器/);
    });

    test('where the browser has no full screen, the frame fills the window instead', async () => {
      await page.addInitScript(() => { delete Element.prototype.requestFullscreen; });
      const tab = await openTab(page, fileOrigin(), 'josephus');
      await tab.locator('.picture[data-draws]').waitFor();
      await tab.locator('.present-full').click();
      const box = tab.locator('.picture');
      assert.deepEqual(await box.evaluate((b) => { const r = b.getBoundingClientRect(); return [r.x, r.y, r.width, r.height]; }),
                       [0, 0, 1024, 768]);
      await page.keyboard.press('End');
      assert.equal(await stepOf(tab), Number(await box.getAttribute('data-count')) - 1);
      await page.keyboard.press('Escape');
      assert.equal(await box.evaluate((b) => b.classList.contains('presenting')), false);
    });
  });

  describe('at 1200×900', () => {
    beforeEach(async () => { page = await browser.newPage({ viewport: { width: 1200, height: 900 } }); });

    test('saving: the step as SVG and PNG with its sentence and out.txt, every step in one HTML file', async () => {
      const tab = await openTab(page, fileOrigin(), 'josephus');
      await tab.locator('.picture[data-draws]').waitFor();
      const count = Number(await tab.locator('.picture').getAttribute('data-count'));
      await tab.locator('.step-forward').click();
      await tab.locator('.step-forward').click();
      const sentence = await tab.locator('.josephus-sentence').textContent();
      const written = (await tab.locator('.josephus-number:not([hidden])').allTextContents()).join(' ');
      assert.ok(written.length > 0, 'someone has left by step 3');

      const svg = await saved(page, tab.locator('.present-svg'));
      assert.equal(svg.name, 'josephus-args.txt-step03.svg');
      const text = svg.bytes.toString('utf8');
      assert.ok(text.includes(`第 3 步：${sentence.slice(0, 20)}`), 'the SVG holds the sentence');
      assert.ok(text.includes(`out.txt：${written}`), 'the SVG holds out.txt so far');
      const [width, height] = ['width', 'height'].map((a) => Number(new RegExp(`^<svg[^>]* ${a}="(\\d+)"`, 'm').exec(text)[1]));

      const png = await saved(page, tab.locator('.present-png'));
      assert.equal(png.name, 'josephus-args.txt-step03.png');
      assert.deepEqual([...png.bytes.subarray(0, 8)], [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
      assert.deepEqual([png.bytes.readUInt32BE(16), png.bytes.readUInt32BE(20)], [2 * width, 2 * height]);
      // Drawn, not blank: the ring, its labels and the sentence leave ink.
      const ink = await page.evaluate(async (b64) => {
        const img = new Image();
        img.src = `data:image/png;base64,${b64}`;
        await img.decode();
        const c = new OffscreenCanvas(img.width, img.height);
        const ctx = c.getContext('2d');
        ctx.drawImage(img, 0, 0);
        const d = ctx.getImageData(0, 0, img.width, img.height).data;
        let dark = 0;
        for (let i = 0; i < d.length; i += 4) if (d[i] + d[i + 1] + d[i + 2] < 384) dark++;
        const bottom = ctx.getImageData(0, img.height - 60, img.width, 60).data;
        let low = 0;
        for (let i = 0; i < bottom.length; i += 4) if (bottom[i] + bottom[i + 1] + bottom[i + 2] < 384) low++;
        return { dark: dark / (d.length / 4), low };
      }, png.bytes.toString('base64'));
      assert.ok(ink.dark > 0.005 && ink.dark < 0.5, `ink on the PNG: ${ink.dark}`);
      assert.ok(ink.low > 0, 'the lines under the picture are drawn');
      fs.mkdirSync(SHOTS, { recursive: true });
      fs.writeFileSync(path.join(SHOTS, 'present-saved.png'), png.bytes);

      // Every step: the file holds each step as the page draws it, and the
      // page is left on the step it was on.
      const deck = await saved(page, tab.locator('.present-all'));
      assert.equal(deck.name, 'josephus-args.txt-steps.html');
      assert.equal(await stepOf(tab), 2);
      assert.match(page.url(), /&step=3$/);
      const onPage = [];
      await tab.locator('.step-first').click();
      for (let i = 0; i < count; i++) {
        onPage.push(await tab.locator('.picture').evaluate((b) => ({
          inner: b.querySelector('svg').innerHTML,
          size: [b.querySelector('svg').getAttribute('width'), b.querySelector('svg').getAttribute('height')],
          sentence: b.querySelector('.josephus-sentence').textContent,
          marked: b.querySelector('.code-panel [aria-current="step"][data-line]')?.getAttribute('data-line') })));
        await tab.locator('.step-forward').click();
      }
      const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'dsd-deck-'));
      const file = path.join(dir, deck.name);
      fs.writeFileSync(file, deck.bytes);
      const offline = await browser.newPage({ viewport: { width: 1024, height: 768 } });
      try {
        await offline.goto(pathToFileURL(file).href);
        // The file draws each step itself when it is shown.
        const inDeck = await offline.evaluate((n) => Array.from({ length: n }, (_, i) => {
          window.dsdGo(i);
          const svg = document.querySelector('.pic svg');
          return { svg: svg.innerHTML, size: [svg.getAttribute('width'), svg.getAttribute('height')],
                   sentence: document.querySelector('.words p').textContent,
                   marked: document.querySelector('.code li[aria-current] span')?.textContent };
        }), count);
        assert.equal(inDeck.length, count);
        inDeck.forEach((s, i) => {
          assert.equal(s.svg, onPage[i].inner, `step ${i + 1}'s picture`);
          assert.deepEqual(s.size, onPage[i].size, `step ${i + 1}'s size`);
          assert.equal(s.sentence, `第 ${i + 1} 步：${onPage[i].sentence}`, `step ${i + 1}'s sentence`);
          assert.match(s.marked || '', /^\d+$/, `step ${i + 1}'s code marks its line`);
          if (onPage[i].marked) assert.equal(s.marked, onPage[i].marked, `step ${i + 1}'s marked line`);
        });
        const visible = () => offline.evaluate(() => Number(document.body.dataset.step));
        await offline.evaluate(() => window.dsdGo(0));
        assert.equal(await visible(), 0);
        for (const [key, at] of [['ArrowRight', 1], [' ', 2], ['PageUp', 1], ['PageDown', 2], ['End', count - 1], ['Home', 0]]) {
          await offline.keyboard.press(key);
          assert.equal(await visible(), at, `the file after ${key}`);
        }
        // A step typed into the open file's address (#3) is shown.
        await offline.evaluate(() => { location.hash = '#3'; });
        await offline.waitForFunction(() => document.body.dataset.step === '2', null, { timeout: 3000 });
        assert.equal(await visible(), 2, 'the file after #3');
      } finally {
        await offline.close();
        fs.rmSync(dir, { recursive: true, force: true });
      }

      // The file name says which example it shows, and typed input as such.
      const ev = await openTab(page, fileOrigin(), 'evaluator');
      await ev.locator('select.examples').selectOption({ label: 'precedence.txt' });
      await runAndWait(ev, () => ev.locator('button.run').click());
      await page.waitForFunction(() => document.querySelector('#tab-evaluator .picture').dataset.step === '0');
      for (let i = 0; i < 6; i++) await ev.locator('.step-forward').click();
      assert.equal((await saved(page, ev.locator('.present-png'))).name, 'evaluator-precedence.txt-step07.png');
      await ev.locator('textarea.document').fill('1+2');
      await runAndWait(ev, () => ev.locator('button.run').click());
      assert.match((await saved(page, ev.locator('.present-svg'))).name, /^evaluator-typed-step\d\d\.svg$/);
    });

    test('friction: josephus\'s keyboard box, bitree\'s 运行 with a typed line, its console copied for 对照', async () => {
      // Typing into the keyboard box chooses keyboard input.
      const jo = await openTab(page, fileOrigin(), 'josephus');
      const keyboard = CASES['josephus/keyboard.txt'];
      await jo.locator('textarea.keys').fill(keyboard.stdin.toString('latin1'));
      assert.equal(await jo.locator('input[value="keys"]').isChecked(), true);
      await runAndWait(jo, () => jo.locator('button.run').click());
      const ran = await shown(jo);
      assert.equal(ran.stdout, gbk(keyboard.stdout));
      assert.equal(ran.files['out.txt'], gbk(keyboard.expect['out.txt']));

      // 运行 sends the line typed but not entered; then the end of input.
      const bi = await openTab(page, fileOrigin(), 'bitree');
      const session = CASES['bitree:tree_worked_examples'];
      const lines = session.stdin.toString('latin1').split('\n').slice(0, -1);
      await runAndWait(bi, () => bi.locator('button.clear').click());
      const line = bi.locator('input.console-line');
      for (const typed of lines.slice(0, -1)) {
        await line.fill(typed);
        await runAndWait(bi, () => line.press('Enter'));
      }
      await line.fill(lines.at(-1));
      await runAndWait(bi, () => bi.locator('button.run').click());
      assert.equal(await bi.locator('input.console-line').inputValue(), '');
      await runAndWait(bi, () => bi.locator('button.end-input').click());
      const out = await shown(bi);
      assert.equal(out.stdout, gbk(session.stdout));

      // The console selected and copied is the program's stdout alone: the
      // typed lines are left out (a selection drops the last line end, as
      // browsers do), and 对照 finds the same text (pasted text has no
      // bytes to be identical with). The button copies stdout exactly.
      const screen = bi.locator('.console-screen');
      assert.match(await screen.textContent(), /0 AA AA/);
      const selected = await screen.evaluate((s) => {
        getSelection().selectAllChildren(s);
        return getSelection().toString();
      });
      assert.equal(selected.replace(/\r\n/g, '\n'), out.stdout.replace(/\n$/, ''));
      await bi.locator('textarea.dsd-compare-input').fill(selected);
      await bi.locator('button.dsd-compare-run').click();
      await bi.locator('.dsd-compare-result').waitFor();   /* the comparison runs in the worker */
      assert.equal(await bi.locator('.dsd-compare-same-text').count(), 1);
      await page.context().grantPermissions(['clipboard-read', 'clipboard-write']);
      await bi.locator('button.copy-stdout').click();
      await page.waitForFunction(() => document.querySelector('button.copy-stdout').textContent === '已复制');
      assert.equal(await page.evaluate(() => navigator.clipboard.readText()), out.stdout);

      // A long console line wraps inside the console.
      await bi.locator('input.console-line').fill('0 ' + 'ABCDEFGHIJ'.repeat(30));
      await runAndWait(bi, () => bi.locator('input.console-line').press('Enter'));
      const fits = await screen.evaluate((s) => s.scrollWidth <= s.clientWidth);
      assert.equal(fits, true, 'the console does not scroll sideways');
    });
  });
});
