// pictures-translator.test.mjs -- the translator's picture in a real browser,
// opened from file://, held to the program's own output: the last pass's
// sentence, turned into words as the picture shows them, is translate.txt;
// the stack and the queue drawn at each step of the bracket expansion are
// the step writer's record, got here by running the writer in node; stepping
// back and forward returns the same picture, and a step drawn after the
// others is the one a new page opened at it draws; a refused rule file draws
// nothing and says so.
//
//     node --test tests/web/pictures-translator.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { cases, fileOrigin, freshPicture, gbk, launch, openTab, runAndWait, shot, shown, WEB_DIR } from './browser.mjs';

const require = createRequire(import.meta.url);
const DsdRunner = require('../../web/worker/runner.js');

const CASES = cases('translator/rules.txt', 'translator:expand_inner_group_first',
                    'translator:leftovers_and_non_ascii_give_error_word',
                    'translator:refuse_long_sentence', 'translator:refuse_missing_close_bracket');
// A sentence that grows past what the picture draws: 30 t's, nine each.
const LONG = Buffer.from('1\nt = ttttttttt\n' + 't'.repeat(30) + '\n');

// writerRecord(rules): the step writer's JSON for the rule file's bytes,
// run in node through the page's own runner.
async function writerRecord(rules) {
  const factory = require(path.join(WEB_DIR, 'translator.js'));
  const result = await DsdRunner().runProgram(factory, 'translator', {
    entry: 'WriteSteps', args: ['rules.txt'], files: [{ path: 'rules.txt', data: new Uint8Array(rules) }],
  });
  return JSON.parse(Buffer.from(result.stdout).toString('latin1'));
}

// runRules(tab, rules): runs the translator on the rule file's bytes and
// waits until the picture shows this run.
async function runRules(tab, rules) {
  const box = tab.locator('.picture');
  await box.evaluate((b) => b.removeAttribute('data-count'));
  await tab.locator('textarea.document').fill(gbk(rules));
  await runAndWait(tab, () => tab.locator('button.run').click());
  await tab.locator('.picture[data-count]').waitFor();
}

// picture(tab): what the picture shows now: the step, the phase, the
// markup, the text marked beside it, and the cells of each row drawn (the
// text of each character's cell and the length the row stands for).
async function picture(tab) {
  return tab.locator('.picture').evaluate((box) => {
    const svg = box.querySelector('svg');
    const row = (role) => {
      const g = svg.querySelector(`[data-cell="${role}"]`);
      if (!g) return null;
      const cells = [...g.querySelectorAll(':scope > g[data-index] text')].map((t) => t.textContent);
      return { cells, length: Number(g.getAttribute('data-length')), at: g.getAttribute('data-at') };
    };
    const words = [...svg.querySelectorAll('[data-cell="word"]')].map((w) => {
      const word = w.querySelector('[data-part="word"]');
      return [w.querySelector('[data-part="symbol"] text').textContent, word ? word.textContent : null];
    });
    return {
      step: Number(box.getAttribute('data-step')), count: Number(box.getAttribute('data-count')),
      phase: svg.getAttribute('data-phase'), index: Number(svg.getAttribute('data-index')),
      markup: svg.outerHTML,
      marked: [...box.querySelectorAll('.picture-text .current')].map((n) => n.textContent),
      sentence: row('sentence'), stack: row('stack'), queue: row('queue'), after: row('after'),
      wordsLength: Number(svg.querySelector('[data-cell="words"]')?.getAttribute('data-length')),
      words,
    };
  });
}

// goTo(tab, step): shows the picture's step (from 0) with its buttons.
async function goTo(tab, step) {
  await tab.locator('.step-first').click();
  for (let i = 0; i < step; i++) await tab.locator('.step-forward').click();
}

// label(c): the cell text of a byte of the record, as the picture draws it.
function label(c) {
  const code = c.charCodeAt(0);
  if (code === 32) return '␣';
  if (code > 32 && code < 127) return c;
  return code.toString(16).toUpperCase().padStart(2, '0');
}

describe('translator picture, opened from file', () => {
  let browser;
  let page;
  let tab;
  before(async () => {
    browser = await launch();
    page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
    tab = await openTab(page, fileOrigin(), 'translator');
  });
  after(async () => { await browser?.close(); });

  test('the last pass\'s sentence, turned into the words drawn, is translate.txt', async () => {
    const inputs = [CASES['translator/rules.txt'].files['rules.txt'],
                    CASES['translator:expand_inner_group_first'].files['rules.txt'],
                    CASES['translator:leftovers_and_non_ascii_give_error_word'].files['rules.txt'], LONG];
    for (const rules of inputs) {
      await runRules(tab, rules);
      const output = (await shown(tab)).files['translate.txt'];
      await tab.locator('.step-last').click();
      const last = await picture(tab);
      assert.equal(last.phase, 'words');
      // Each symbol drawn with the word it became, the same word each time.
      const wordOf = new Map();
      for (const [symbol, word] of last.words) {
        assert.notEqual(word, null, `every word is drawn at the last step (${symbol})`);
        if (wordOf.has(symbol)) assert.equal(word, wordOf.get(symbol), `one word for ${symbol}`);
        wordOf.set(symbol, word);
      }
      // The last rule beside the picture goes to the last pass.
      await tab.locator('.tr-rules li').last().click();
      const pass = await picture(tab);
      assert.equal(pass.phase, 'pass');
      assert.equal(pass.step, last.step - last.words.length, 'the last pass comes just before the words');
      assert.equal(pass.after.length, last.wordsLength, 'the words are the last pass\'s sentence');
      const said = pass.after.cells.map((c) => wordOf.get(c)).join('');
      if (pass.after.cells.length === pass.after.length) {
        assert.equal(said, output, gbk(rules));
      } else {
        assert.ok(output.startsWith(said) && said.length > 0, `the drawn part of ${gbk(rules)}`);
      }
    }
  });

  test('the stack and the queue drawn are the step writer\'s record at each step', async () => {
    const rules = CASES['translator:expand_inner_group_first'].files['rules.txt'];
    const record = await writerRecord(rules);
    await runRules(tab, rules);
    await goTo(tab, 0);
    let both = -1;   // a step that has characters on the stack and in the queue
    for (let k = 0; k < record.expansion.length; k++) {
      const want = record.expansion[k];
      const got = await picture(tab);
      assert.equal(got.phase, 'expand');
      assert.equal(got.sentence.cells[Number(got.sentence.at)], label(want.read), `read at step ${k + 1}`);
      for (const part of ['stack', 'queue']) {
        assert.equal(got[part].length, want[part].length, `${part} length at step ${k + 1}`);
        assert.deepEqual(got[part].cells, [...want[part].text].map(label), `${part} at step ${k + 1}`);
      }
      if (both < 0 && want.stack.length && want.queue.length) both = k;
      await tab.locator('.step-forward').click();
    }
    assert.ok(both >= 0, 'some step holds both containers');
    await goTo(tab, both);
    await shot(page, 'picture-translator');
  });

  test('stepping back then forward, by buttons and keys, returns the same picture', async () => {
    await runRules(tab, CASES['translator/rules.txt'].files['rules.txt']);
    const { count } = await picture(tab);
    const seen = [];
    await goTo(tab, 0);
    for (let i = 0; i < count; i++) {
      seen.push(await picture(tab));
      await tab.locator('.step-forward').click();
    }
    assert.equal((await picture(tab)).step, count - 1, 'forward stops at the last step');
    await page.locator('h1').click();   // the keys step when no input has the focus
    for (let i = count - 1; i >= 0; i--) {
      const now = await picture(tab);
      assert.equal(now.step, i);
      assert.equal(now.markup, seen[i].markup, `picture of step ${i + 1}`);
      assert.deepEqual(now.marked, seen[i].marked, `text marked at step ${i + 1}`);
      await page.keyboard.press('ArrowLeft');
    }
    await page.keyboard.press('ArrowRight');
    assert.equal((await picture(tab)).markup, seen[1].markup, '→ after the first step');
    // After all those visits, steps look as in a new page opened at them.
    for (const i of [1, Math.floor(count / 2), count - 1]) {
      await goTo(tab, i);
      const fresh = await freshPicture(browser, page.url(), 'translator');
      assert.equal(fresh.step, i);
      const now = await picture(tab);
      assert.equal(now.markup, fresh.svg, `picture of step ${i + 1}`);
      assert.deepEqual(now.marked, fresh.marked, `text marked at step ${i + 1}`);
    }
  });

  test('a refused rule file draws nothing and says why', async () => {
    for (const name of ['translator:refuse_long_sentence', 'translator:refuse_missing_close_bracket']) {
      await runRules(tab, CASES[name].files['rules.txt']);
      const box = tab.locator('.picture');
      assert.equal(await box.getAttribute('data-count'), '0', name);
      assert.ok(await box.locator('.picture-note').isVisible(), name);
      assert.match(await box.locator('.picture-note').textContent(), /标准错误/, name);
      assert.ok(!(await box.locator('svg').isVisible()), name);
    }
  });
});
