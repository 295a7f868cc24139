// a11y.test.mjs -- the page for every user, opened from file://: axe-core
// (WCAG 2.0 and 2.1, A and AA) finds no serious or critical violation on
// any tab, on a desktop and on a 390 px phone, where nothing is wider than
// the screen, pictures fit with their titles in view and controls are a
// finger's size; the tabs take the keyboard as tabs do, Tab reaches every
// control with its focus drawn, and each step is said in a live region
// (what a program's own checks ask, tests/<name>/web.mjs). The tabs are
// those of the registry.
// Saves build/web/shots/phone-<program>.png.
//
//     node --test tests/web/a11y.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { after, afterEach, before, describe, test } from 'node:test';
import { fileOrigin, launch, openTab, SHOTS } from './browser.mjs';
import { PROGRAMS as STANZAS } from './registry.mjs';

const AXE = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const TAGS = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa'];
const PROGRAMS = STANZAS.map((p) => p.name);   // the tabs, in their order

// openDrawn(page, program): opens program's tab and waits for its picture.
async function openDrawn(page, program) {
  const tab = await openTab(page, fileOrigin(), program);
  await tab.locator('.picture[data-draws]').waitFor({ state: 'attached' });
  return tab;
}

// serious(page): axe's serious and critical violations on the page, one
// line each: the rule and the elements.
async function serious(page) {
  if (!(await page.evaluate(() => typeof axe === 'object'))) await page.addScriptTag({ content: AXE });
  const result = await page.evaluate((tags) => axe.run(document, { runOnly: { type: 'tag', values: tags } }), TAGS);
  return result.violations.filter((v) => v.impact === 'serious' || v.impact === 'critical')
    .map((v) => `${v.impact} ${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

describe('accessibility and the phone, opened from file', () => {
  let browser;
  let page;
  before(async () => { browser = await launch(); });
  after(async () => { await browser?.close(); });
  afterEach(async () => { await page?.close(); });

  test('axe finds nothing serious on any tab; at 390 px nothing is wider than the phone, and controls are 44 px', async () => {
    for (const width of [1200, 390]) {
      page = await browser.newPage({ viewport: { width, height: 844 } });
      for (const program of PROGRAMS) {
        const tab = await openDrawn(page, program);
        assert.deepEqual(await serious(page), [], `${program} at ${width} px`);
        if (width !== 390) continue;
        const fit = await tab.evaluate((section) => {
          const visible = (n) => n.getClientRects().length > 0;
          const canvas = section.querySelector('.picture-canvas').getBoundingClientRect();
          const title = section.querySelector('.picture-svg text').getBoundingClientRect();
          const small = [...document.querySelectorAll('header button, #' + section.id + ' :is(button, select, input[type="text"])')]
            .filter(visible).filter((n) => n.getBoundingClientRect().height < 43.5).map((n) => n.className || n.tagName);
          return { page: document.scrollingElement.scrollWidth, canvas: [canvas.left, canvas.right],
                   title: [title.left, title.right], small };
        });
        assert.ok(fit.page <= 390, `${program}: the page is ${fit.page} px wide`);
        assert.ok(fit.title[0] >= fit.canvas[0] - 1 && fit.title[1] <= fit.canvas[1] + 1,
                  `${program}: the picture's title ${fit.title} within its box ${fit.canvas}`);
        assert.deepEqual(fit.small, [], `${program}: controls under 44 px`);
        fs.mkdirSync(SHOTS, { recursive: true });
        await page.screenshot({ path: path.join(SHOTS, `phone-${program}.png`), fullPage: true });
      }
      await page.close();
    }
    page = null;
  });

  test('tabs by keyboard, Tab reaches every control with its focus drawn, the step said in a live region', async () => {
    page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
    await openDrawn(page, PROGRAMS[0]);
    const selected = () => page.evaluate(() => {
      const tabs = [...document.querySelectorAll('#tabs [role="tab"]')];
      return { on: tabs.filter((t) => t.getAttribute('aria-selected') === 'true').map((t) => t.dataset.tab),
               focused: document.activeElement.dataset.tab, inOrder: tabs.filter((t) => t.tabIndex === 0).length,
               shown: [...document.querySelectorAll('section.tab')].filter((s) => !s.hidden).map((s) => s.id) };
    });
    const [first, second, last] = [PROGRAMS[0], PROGRAMS[1], PROGRAMS.at(-1)];
    const step = await page.locator(`#tab-${first} .picture`).getAttribute('data-step');
    await page.locator(`#tabs [data-tab="${first}"]`).focus();
    for (const [key, program] of [['ArrowRight', second], ['End', last], ['ArrowRight', first],
                                  ['ArrowLeft', last], ['Home', first]]) {
      await page.keyboard.press(key);
      // The tab changes through the address, whose event comes a moment later.
      await page.waitForFunction((p) => location.hash.startsWith(`#${p}`) &&
        document.querySelector(`#tabs [data-tab="${p}"]`).getAttribute('aria-selected') === 'true', program);
      assert.deepEqual(await selected(), { on: [program], focused: program, inOrder: 1, shown: [`tab-${program}`] }, key);
    }
    assert.equal(await page.locator(`#tab-${first} .picture`).getAttribute('data-step'), step,
                 'arrows on a tab do not step the picture');

    for (const program of PROGRAMS) {
      await openDrawn(page, program);
      // Tab from the page's first link on through the page, marking each
      // element reached and whether its focus is drawn.
      await page.locator('header a').first().focus();
      for (let i = 0; i < 400; i++) {
        if (i) await page.keyboard.press('Tab');
        const where = await page.evaluate(() => {
          const n = document.activeElement;
          if (!n || n === document.body) return 'out';
          // a tab out of sight keeps its layout, never its place in the Tab order
          if (n.closest('section.tab[hidden]')) window.dsdStray = (window.dsdStray || []).concat(n.closest('section').id);
          const style = getComputedStyle(n);
          n.dataset.reached = style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 2 ? 'drawn' : 'bare';
          return 'in';
        });
        if (where === 'out') break;
      }
      const missed = await page.evaluate((id) => {
        const all = [...document.querySelectorAll(`header a[href], #tabs [aria-selected="true"], #${id} :is(a[href], button, select, textarea,
          input:not([type="radio"]), input[type="radio"]:checked, [tabindex="0"])`)];
        const visible = all.filter((n) => n.getClientRects().length > 0 && !n.disabled);
        const name = (n) => `${n.tagName.toLowerCase()}.${n.className || ''}${n.textContent ? ' ' + n.textContent.slice(0, 12) : ''}`;
        const out = { missed: visible.filter((n) => !n.dataset.reached).map(name),
                      bare: visible.filter((n) => n.dataset.reached === 'bare').map(name), count: visible.length };
        document.querySelectorAll('[data-reached]').forEach((n) => delete n.dataset.reached);
        out.stray = window.dsdStray || [];
        window.dsdStray = [];
        return out;
      }, `tab-${program}`);
      assert.deepEqual(missed.missed, [], `${program}: controls Tab does not reach (of ${missed.count})`);
      assert.deepEqual(missed.bare, [], `${program}: controls whose focus is not drawn`);
      assert.deepEqual(missed.stray, [], `${program}: Tab went into a tab out of sight`);
    }

    // What a program's own checks ask of its tab (tests/<name>/web.mjs),
    // such as a live region that says each step.
    for (const p of STANZAS.filter((q) => q.checks.a11y)) {
      await p.checks.a11y(page, await openDrawn(page, p.name), { assert });
    }
  });
});
