// pictures.test.mjs -- the translator's picture in a real browser,
// opened from file://, held to the program's own output: the words drawn,
// one per word step, are translate.txt of the same run, and the last step
// shows it all written; the stack, the queue and the sentence drawn at each
// step are those of the step writer's trace, got here by running the writer
// in node; stepping back and forward returns the same picture, and a step
// drawn after the others is the one a new page opened at it draws; a file
// refused while it is read draws nothing and says so, and one refused in the
// middle of a group draws its steps up to there, the last saying why.
//
//     node --test tests/translator/pictures.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { cases, fileOrigin, freshPicture, gbk, launch, openTab, runAndWait, shot, shown, WEB_DIR } from '../web/browser.mjs';

const require = createRequire(import.meta.url);
const DsdRunner = require('../../web/worker/runner.js');

const CASES = cases('translator/rules.txt', 'translator:expand_inner_group_first',
                    'translator:leftovers_and_non_ascii_give_error_word',
                    'translator:refuse_long_sentence', 'translator:refuse_missing_close_bracket');
// A sentence that grows past what the picture draws of it: 30 t's, nine each.
const LONG = Buffer.from('1\nt = ttttttttt\n' + 't'.repeat(30) + '\n');

// writerTrace(rules): the step writer's trace for the rule file's bytes,
// run in node through the page's own runner.
async function writerTrace(rules) {
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

// picture(tab): what the picture shows now: the step, the kind, the
// caption, the markup, the text marked beside it, the cells of each row
// drawn (the text of each character's cell and the length the row stands
// for), the word drawn, translate.txt as written so far, and the part of
// the side panel's translate.txt marked as written.
async function picture(tab) {
  return tab.locator('.picture').evaluate((box) => {
    const svg = box.querySelector('svg');
    const row = (role) => {
      const g = svg.querySelector(`[data-cell="${role}"]`);
      if (!g) return null;
      const cells = [...g.querySelectorAll(':scope > g[data-index]')]
        .sort((a, b) => a.dataset.index - b.dataset.index).map((c) => c.querySelector('text').textContent);
      return { cells, length: Number(g.getAttribute('data-length')), at: g.getAttribute('data-at') };
    };
    const word = svg.querySelector('[data-cell="word"] [data-part="word"]');
    const side = box.querySelector('.picture-side .tr-output .current');
    return {
      step: Number(box.getAttribute('data-step')), count: Number(box.getAttribute('data-count')),
      kind: svg.getAttribute('data-kind'), caption: svg.getAttribute('aria-label'),
      markup: svg.outerHTML,
      marked: [...box.querySelectorAll('.picture-text .current')].map((n) => n.textContent),
      sentence: row('sentence'), stack: row('stack'), queue: row('queue'), after: row('after'),
      word: word ? word.textContent : null,
      output: svg.querySelector('[data-cell="output"]')?.textContent ?? null,
      written: side ? side.textContent : '',
      note: box.querySelector('.picture-note').hidden ? '' : box.querySelector('.picture-note').textContent,
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

  test('the words drawn, one per word step, are translate.txt of the same run', async () => {
    const inputs = [CASES['translator/rules.txt'].files['rules.txt'],
                    CASES['translator:expand_inner_group_first'].files['rules.txt'],
                    CASES['translator:leftovers_and_non_ascii_give_error_word'].files['rules.txt'], LONG];
    for (const rules of inputs) {
      await runRules(tab, rules);
      const output = (await shown(tab)).files['translate.txt'];
      await tab.locator('.step-last').click();
      const last = await picture(tab);
      assert.equal(last.kind, 'word', gbk(rules));
      // The last step has written it all: the side panel marks the whole
      // file, and the picture's line of it is its start.
      assert.equal(last.written, output, gbk(rules));
      const line = last.output.replace(/……$/, '');
      assert.ok(line.length > 0 && output.startsWith(line), `${line} starts ${output}`);
      if (rules === LONG) continue;
      // Back through the word steps: their words, in order, are the file.
      const words = [];
      for (let now = last; now.kind === 'word'; now = await picture(tab)) {
        words.unshift(now.word);
        await tab.locator('.step-back').click();
      }
      assert.equal(words.join(''), output, gbk(rules));
    }
  });

  test('the sentence, stack, queue and pass drawn are the step writer\'s trace at each step', async () => {
    const rules = CASES['translator:expand_inner_group_first'].files['rules.txt'];
    const trace = await writerTrace(rules);
    assert.equal(trace.ok, true);
    await runRules(tab, rules);
    assert.equal((await picture(tab)).count, trace.steps.length);
    await goTo(tab, 0);
    let both = -1;   // a step of the expansion with characters on the stack and in the queue
    const kinds = new Set();
    for (let k = 0; k < trace.steps.length; k++) {
      const want = trace.steps[k];
      const got = await picture(tab);
      kinds.add(got.kind);
      assert.equal(got.kind, want.kind, `kind of step ${k + 1}`);
      if (want.read !== undefined) {
        assert.equal(got.sentence.cells[Number(got.sentence.at)], label(trace.input.sentence[want.read]), `read at step ${k + 1}`);
      }
      for (const part of ['stack', 'queue']) {
        if (!got[part]) continue;   // the later passes and the words draw no stack
        assert.equal(got[part].length, want[part].length, `${part} length at step ${k + 1}`);
        const drawn = got[part].cells.filter((c) => c !== '⋮');
        assert.deepEqual(drawn, [...want[part].text].slice(0, drawn.length).map(label), `${part} at step ${k + 1}`);
      }
      if (want.sentence) {
        assert.equal(got.after.length, want.sentence.length, `sentence length at step ${k + 1}`);
        assert.deepEqual(got.after.cells, [...want.sentence.text].map(label), `sentence at step ${k + 1}`);
      }
      if (both < 0 && want.read !== undefined && want.stack.length && want.queue.length) both = k;
      await tab.locator('.step-forward').click();
    }
    assert.deepEqual([...kinds].sort(), ['dequeue', 'enqueue', 'keep', 'lay', 'pass', 'pop', 'push', 'put', 'read',
                                         'replace', 'take', 'word']);
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

  test('a file refused as it is read draws nothing; a group without its ")" draws up to the refusal', async () => {
    await runRules(tab, CASES['translator:refuse_long_sentence'].files['rules.txt']);
    const box = tab.locator('.picture');
    assert.equal(await box.getAttribute('data-count'), '0');
    assert.ok(await box.locator('.picture-note').isVisible());
    assert.match(await box.locator('.picture-note').textContent(), /标准错误/);
    assert.ok(!(await box.locator('svg').isVisible()));

    await runRules(tab, CASES['translator:refuse_missing_close_bracket'].files['rules.txt']);
    await tab.locator('.step-last').click();
    const last = await picture(tab);
    assert.ok(last.count > 0);
    assert.match(last.note, /没有正常结束/);
    assert.equal(last.stack.length, 0);
    assert.match(last.caption, /拒绝/);
    await tab.locator('.step-back').click();
    assert.doesNotMatch((await picture(tab)).caption, /拒绝/, 'only the last step says so');
  });
});
