// code-panel.test.mjs -- the code panel beside each picture, held to the
// repository's own sources: sources.js carries every .cpp and .h file of
// each program's folder byte for byte; at every step of each main example
// the lines the panel shows are those of the file it names, the marked
// lines move as the steps go, and the marked line holds the operation the
// step reports (each program's `operations`, tests/<name>/web.mjs: a leave
// unlinks, a push pushes, a walk visits...). Stepping scrolls the panel,
// never the page, and a function name in a marked line shows that
// function. The step hook after a statement is hidden until 显示步骤钩子 is
// checked. The tabs are those of the registry. Saves each tab at a middle
// step as build/web/shots/code-<program>.png for people to look at.
//
//     node --test tests/web/code-panel.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';
import zlib from 'node:zlib';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { fileOrigin, launch, openTab, SHOTS, WEB_DIR } from './browser.mjs';
import { PROGRAMS } from './registry.mjs';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const STEPS_MAX = 400;   // the most steps walked through per example

// globals(file): the globals a classic script of the edition defines.
function globals(file) {
  const box = {};
  vm.runInNewContext(fs.readFileSync(path.join(WEB_DIR, file), 'utf8') +
                     ';this.all = {DSD_SOURCES: typeof DSD_SOURCES === "undefined" ? undefined : DSD_SOURCES,' +
                     ' DSD_FUNCTIONS: typeof DSD_FUNCTIONS === "undefined" ? undefined : DSD_FUNCTIONS,' +
                     ' DSD_PROGRAMS: typeof DSD_PROGRAMS === "undefined" ? undefined : DSD_PROGRAMS};', box);
  return box.all;
}

// repoLines(file): the lines of a repository file, as the panel numbers them.
function repoLines(file) {
  return fs.readFileSync(path.join(ROOT, file), 'utf8').split('\n').map((l) => l.replace(/\r$/, ''));
}

// The operation each program's marked line must hold, for the steps that
// report one, is its web.mjs's `operations`: [test on the step (its
// caption, action, phase and kind), pattern]. Its `noSource(step)`, if any,
// names the steps whose record names no source line: the panel says so.

// panelNow(tab): what the picture and its code panel show at this step:
// {step, caption, action, phase, kind, file, shown ([line, text] of every line),
// marked ([line, text]), inSight (the first marked line is inside the
// panel's scrolled box), chain, pageY, note (what it says instead of code)}.
async function panelNow(tab) {
  return tab.evaluate((section) => {
    const box = section.querySelector('.picture');
    const panel = section.querySelector('.code-panel');
    const svg = box.querySelector('svg.picture-svg');
    const lines = (sel) => [...panel.querySelectorAll(sel)].map((row) =>
      [Number(row.dataset.line), row.querySelector('.code-text').textContent]);
    const action = svg.querySelector('[data-action]');
    const phase = svg.querySelector('[data-phase]') || svg;
    const row = panel.querySelector('[aria-current="step"]');
    const frame = panel.querySelector('.code-scroll').getBoundingClientRect();
    const inSight = !!row && row.getBoundingClientRect().top >= frame.top - 1 &&
                    row.getBoundingClientRect().bottom <= frame.bottom + 1;
    return { step: Number(box.dataset.step), inSight, caption: svg.getAttribute('aria-label') || '',
             action: action ? action.textContent : '', phase: phase.dataset.phase || '',
             kind: (svg.querySelector('[data-kind]') || svg).dataset.kind || '',
             file: panel.dataset.file || null, shown: lines('.code-line'), marked: lines('.code-line[aria-current="step"]'),
             chain: panel.querySelector('.code-chain').textContent, pageY: window.scrollY,
             note: panel.querySelector('.code-note').hidden ? '' : panel.querySelector('.code-note').textContent };
  });
}

// settled(tab): waits until the code panel shows the step on screen (the
// sources are inflated once, then each step draws at once).
async function settled(tab) {
  await tab.page().waitForFunction((panel) => panel.dataset.file || !panel.querySelector('.code-note').hidden,
                                   await tab.locator('.code-panel').elementHandle());
}

describe('the sources in the page', () => {
  test('sources.js holds every .cpp and .h of each program, exactly; the index names real functions', () => {
    const { DSD_SOURCES, DSD_FUNCTIONS } = globals('sources.js');
    const { DSD_PROGRAMS } = globals('programs.js');
    const texts = JSON.parse(zlib.inflateSync(Buffer.from(DSD_SOURCES, 'base64')).toString('utf8'));
    const expected = [...DSD_PROGRAMS].flatMap((p) => fs.readdirSync(path.join(ROOT, p.sources))
      .filter((n) => /\.(cpp|h)$/.test(n)).sort().map((n) => `${p.sources}/${n}`));
    assert.deepEqual(Object.keys(texts).sort(), [...expected].sort());
    for (const file of expected) {
      assert.equal(texts[file], fs.readFileSync(path.join(ROOT, file), 'utf8'), file);
    }
    // Each function's first line names it, and its last line closes it.
    let count = 0;
    for (const [file, funcs] of Object.entries(DSD_FUNCTIONS)) {
      const lines = repoLines(file);
      for (const f of funcs) {
        assert.ok(lines.slice(f.first - 1, f.first + 2).join(' ').includes(f.name + '('), `${file}:${f.first} ${f.name}`);
        assert.match(lines[f.last - 1], f.last > f.first ? /^}/ : /}\s*$/, `${file}:${f.last} ends ${f.name}`);
        count++;
      }
    }
    assert.ok(count > 50, `${count} functions indexed`);
  });
});

describe('the code panel, opened from file', () => {
  let browser;
  let page;
  before(async () => {
    browser = await launch();
    page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
  });
  after(async () => { await browser?.close(); });

  for (const { name: program, checks } of PROGRAMS) {
    test(`${program}: every step marks lines of its own source that hold the step's operation`, async () => {
      const operations = checks.operations || [];
      const tab = await openTab(page, fileOrigin(), program);
      await tab.locator('.picture[data-draws]').waitFor();
      await tab.locator('.step-first').click();
      await settled(tab);
      const count = Math.min(Number(await tab.locator('.picture').getAttribute('data-count')), STEPS_MAX);
      const places = new Set();
      const checked = {};
      let y = null;
      for (let i = 0; i < count; i++) {
        if (i) await tab.locator('.step-forward').click();
        await settled(tab);
        const now = await panelNow(tab);
        assert.equal(now.step, i);
        y ??= now.pageY;
        assert.equal(now.pageY, y, `step ${i + 1} leaves the page where it was`);
        if (checks.noSource?.(now)) {
          assert.equal(now.note, '这一步没有记下对应的代码行。', `step ${i + 1} has no line`);
          continue;
        }
        assert.ok(now.file, `step ${i + 1} (${now.caption}) shows a line of code`);
        assert.ok(now.file.startsWith(program + '/'), `step ${i + 1} shows ${program}'s own source, not ${now.file}`);
        const lines = repoLines(now.file);
        for (const [line, text] of now.shown) assert.equal(text, lines[line - 1], `${now.file}:${line}`);
        assert.ok(now.marked.length >= 1, `step ${i + 1} marks a line`);
        assert.ok(now.inSight, `step ${i + 1}: the marked line is scrolled into sight inside the panel`);
        assert.match(now.chain, /^调用链：main → /);
        places.add(`${now.file}:${now.marked[0][0]}`);
        for (const [k, [applies, pattern]] of operations.entries()) {
          if (!applies(now)) continue;
          checked[k] = (checked[k] || 0) + 1;
          assert.match(now.marked.map((m) => m[1]).join('\n'), pattern, `step ${i + 1}: ${now.caption || now.action}`);
        }
      }
      assert.ok(places.size >= 2, `the marked line moves as the steps go (${[...places].join(', ')})`);
      assert.equal(Object.keys(checked).length, operations.length, 'every kind of operation was met');


      // A middle step that shows code, for people to look at.
      await tab.locator('.step-first').click();
      for (let i = 0; i < Math.floor(count / 2); i++) await tab.locator('.step-forward').click();
      await settled(tab);
      while (!(await panelNow(tab)).file) {
        await tab.locator('.step-back').click();
        await settled(tab);
      }
      fs.mkdirSync(SHOTS, { recursive: true });
      await tab.locator('.picture').screenshot({ path: path.join(SHOTS, `code-${program}.png`) });
    });
  }

  // stepTo(tab, found): steps from the first step until found(panelNow)
  // holds, at most STEPS_MAX steps; returns whether it did.
  async function stepTo(tab, found) {
    await tab.locator('.step-first').click();
    await settled(tab);
    const count = Math.min(Number(await tab.locator('.picture').getAttribute('data-count')), STEPS_MAX);
    for (let i = 0; i < count; i++) {
      if (i) {
        await tab.locator('.step-forward').click();
        await settled(tab);
      }
      if (await found(await panelNow(tab))) return true;
    }
    return false;
  }

  test('on every tab, the step hooks after a statement are hidden until asked for; the marked line shows its statement whole', async () => {
    for (const { name: program } of PROGRAMS) {
      const tab = await openTab(page, fileOrigin(), program);
      await tab.locator('.picture[data-draws]').waitFor();
      // The first step whose marked line has its hook after its statement.
      const hooked = (now) => now.file && now.marked.length && /;\s+STEP\(/.test(repoLines(now.file)[now.marked[0][0] - 1]);
      assert.ok(await stepTo(tab, hooked), `${program}: a step marks a line with a hook after its statement`);
      const seen = () => tab.evaluate((section) => {
        const row = section.querySelector('.code-line[aria-current="step"]');
        const scroll = section.querySelector('.code-scroll');
        return { line: Number(row.dataset.line), text: row.querySelector('.code-text').innerText,
                 wraps: scroll.scrollWidth <= scroll.clientWidth + 1 };
      });
      const hidden = await seen();
      const { file } = await panelNow(tab);
      const statement = repoLines(file)[hidden.line - 1].replace(/\s+STEP\b.*$/, '');
      assert.equal(hidden.text.trimEnd(), statement, `${program}: the marked line shows the statement, without its hook`);
      assert.ok(hidden.wraps, `${program}: no line runs out of the panel`);
      await tab.locator('.code-hook-switch').check();
      assert.match((await seen()).text, /;\s+STEP\(STEP_\w+/, `${program}: the switch shows the hook`);
      await tab.locator('.code-hook-switch').uncheck();
    }
  });

  test('on every tab, a function name in a marked line shows that function, and the panel goes back to the step', async () => {
    for (const { name: program } of PROGRAMS) {
      const tab = await openTab(page, fileOrigin(), program);
      await tab.locator('.picture[data-draws]').waitFor();
      const call = tab.locator('.code-line[aria-current="step"] button.code-call').first();
      assert.ok(await stepTo(tab, async () => await call.count() > 0), `${program}: a marked line calls a function`);
      const name = await call.textContent();
      await call.click();
      await page.waitForFunction((panel) => !panel.querySelector('.code-back').hidden,
                                 await tab.locator('.code-panel').elementHandle());
      const shown = await panelNow(tab);
      assert.equal(shown.marked.length, 0, `${program}: another function is not the step`);
      assert.ok(shown.shown.some(([, text]) => new RegExp(`^\\S.*\\b${name}\\(`).test(text)), `${program}: ${name} is shown`);
      await tab.locator('.code-back').click();
      await page.waitForFunction((panel) => panel.querySelector('.code-back').hidden,
                                 await tab.locator('.code-panel').elementHandle());
      assert.ok((await panelNow(tab)).marked.length >= 1, `${program}: back at the step`);
    }
  });
});
