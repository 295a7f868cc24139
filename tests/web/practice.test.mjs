// Practice mode (练习) and 换一题, in the page opened from file://.
//
// Each picture's main example is practised to its last step. Every answer
// given here comes from the program's own run of the same input, read from
// its output file or from its step writer, run in node by the page's own
// worker (web/worker/worker.js, through web/tools/worker.mjs),
// never from the page: all right gives full marks; one wrong answer gives
// one less, lists its step as a link, and the picture moves on from it.
// 换一题 makes the input its seed and size say, and a link with them
// reopens it.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { after, before, describe, test } from 'node:test';
import { fileOrigin, gbk, launch, openTab, shot, WEB_DIR } from './browser.mjs';

const require = createRequire(import.meta.url);
const ROOT = path.resolve(WEB_DIR, '../..');
const { startWorker } = await import(path.join(ROOT, 'web/tools/worker.mjs'));
const DsdRunner = require(path.join(ROOT, 'web/worker/runner.js'));
const example = (program, name) => new Uint8Array(fs.readFileSync(path.join(ROOT, 'examples', program, name)));

// REQUEST: each main example as its tab runs it.
const REQUEST = {
  evaluator: () => ({ args: ['expr.txt'], files: [{ path: 'expr.txt', data: example('evaluator', 'expr.txt') }] }),
  bitree: () => ({ args: [], stdin: example('bitree', 'session.txt') }),
  translator: () => ({ args: ['rules.txt'], files: [{ path: 'rules.txt', data: example('translator', 'rules.txt') }] }),
  josephus: () => ({ args: Buffer.from(example('josephus', 'args.txt')).toString().trim().split(/\s+/) }),
};

// ours(program): the run of the main example and its step writer's record.
async function ours(program) {
  const worker = startWorker(path.join(WEB_DIR, program + '.js'), program);
  const { result: run } = await worker.run(REQUEST[program]());
  const { trace: record } = await worker.steps(REQUEST[program]());
  await worker.stop();
  const file = (name) => run.files.find((f) => f.path === name).data;
  return { run, file, record };
}

// The answer to the question with key `key`: {value} for the button of
// that value, or {typed} for the text box.
const ANSWERS = {
  josephus({ file }) {
    const left = gbk(file('out.txt')).trim().split(' ');
    return (key) => ({ value: left[Number(key.split(':')[1]) - 1] });
  },
  evaluator({ file }) {
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
      return { typed: rows[Number(row) + 1].opnd.at(-1) };
    };
  },
  bitree({ record }) {
    return (key) => {
      const [what, k] = key.split(':');
      const step = record.steps[Number(k)];
      if (what === 'root') return { value: String(step.pre[0]) };
      if (what === 'split') return { value: String(step.root - step.in[0]) };
      if (what === 'value') return { typed: String(step.values[step.node]) };
      return { value: String(step.node) };
    };
  },
  translator({ record }) {
    const words = record.words.symbols.map((s) => gbk(Buffer.from(s.word, 'latin1')));
    return (key) => {
      const [what, k] = key.split(':');
      const r = what === 'expand' ? record.expansion[k] : null;
      if (r) return { typed: r.action === 'push' ? r.read : r.theta };
      if (what === 'pass') return { typed: record.passes[k].after.text.replace(/\n$/, '') };
      return { value: words[k] };
    };
  },
};

// practise(tab, answer, wrongFirst): runs practice to the last step; the
// first answer is wrong when wrongFirst. Returns what happened.
async function practise(tab, answer, wrongFirst) {
  const picture = tab.locator('.picture');
  const ask = tab.locator('.practice-ask');
  await tab.locator('.practice-toggle').click();
  const seen = { asked: 0, wrongStep: null, movedTo: null, verdicts: [] };
  for (let guard = 0; guard < 2000; guard++) {
    const key = await ask.getAttribute('data-key');
    if (!key) {
      const step = Number(await picture.getAttribute('data-step'));
      if (step === Number(await picture.getAttribute('data-count')) - 1) return seen;
      await tab.locator('.step-forward').click();
      continue;
    }
    const right = answer(key);
    const wrong = wrongFirst && seen.asked === 0;
    if (!wrongFirst && seen.asked === 0) await shot(tab.page(), `practice-${tab.program}-question`);
    const before = Number(await picture.getAttribute('data-step'));
    if (right.typed !== undefined) {
      await tab.locator('.practice-typed').fill(wrong ? '?' : right.typed);
      await tab.locator('.practice-submit').click();
    } else {
      const options = tab.locator('.practice-option');
      const values = await options.evaluateAll((bs) => bs.map((b) => b.getAttribute('data-value')));
      const label = await options.evaluateAll((bs) => bs.map((b) => b.textContent));
      let at = right.label !== undefined ? label.indexOf(right.label) : values.indexOf(right.value);
      if (at < 0) at = label.indexOf(right.value);   /* a word names its button */
      assert.ok(at >= 0, `${key}: the right answer ${right.label ?? right.value} is among the buttons ${label}`);
      await options.nth(wrong ? (at + 1) % values.length : at).click();
    }
    seen.verdicts.push(await tab.locator('.practice-verdict').textContent());
    if (wrong) {
      seen.movedTo = Number(await picture.getAttribute('data-step'));
      seen.before = before;
      await shot(tab.page(), `practice-${tab.program}-wrong`);
    }
    seen.asked++;
  }
  throw new Error('practice did not reach the last step');
}

describe('practice and new exercises, opened from file', () => {
  let browser;
  let page;
  before(async () => { browser = await launch(); page = await browser.newPage({ viewport: { width: 1280, height: 900 } }); });
  after(async () => { await browser.close(); });

  for (const program of Object.keys(ANSWERS)) {
    test(`${program}: the program's own answers give full marks; one wrong answer costs one and moves on`, async () => {
      const answer = ANSWERS[program](await ours(program));
      for (const wrongFirst of [false, true]) {
        await page.goto('about:blank');       /* a fresh page each time */
        const tab = await openTab(page, fileOrigin(), program);
        tab.program = program;
        await tab.locator('.picture[data-count]:not([data-count="0"])').waitFor();
        const seen = await practise(tab, answer, wrongFirst);
        const score = tab.locator('.practice-score');
        const right = Number(await score.getAttribute('data-right'));
        const asked = Number(await score.getAttribute('data-asked'));
        assert.ok(asked >= 2, `${program}: questions were asked (${asked})`);
        assert.equal(asked, seen.asked);
        assert.match(await score.textContent(), new RegExp(`${right}/${asked}`));
        const wrong = await tab.locator('.practice-wrong-step').evaluateAll((as) => as.map((a) => Number(a.getAttribute('data-step'))));
        if (!wrongFirst) {
          assert.equal(right, asked, `${program}: full marks`);
          assert.deepEqual(wrong, []);
          assert.ok(seen.verdicts.every((v) => v.startsWith('正确')));
          await shot(page, `practice-${program}-score`);
          const [saved] = await Promise.all([page.waitForEvent('download'), tab.locator('.practice-save').click()]);
          const text = fs.readFileSync(await saved.path(), 'utf8');
          assert.match(text, new RegExp(`^程序：${program}\n命令：${program}`));
          assert.match(text, new RegExp(`得分：${asked}/${asked}\n`));
          assert.equal(text.split('\n').filter((l) => /　你的答案：.*　正确$/.test(l)).length, asked);
          if (program === 'evaluator') assert.match(text, /你的答案：压入运算数 PUSH\(OPND\)　正确/, 'answers as their buttons say them');
        } else {
          assert.equal(right, asked - 1, `${program}: one less`);
          assert.equal(wrong.length, 1, `${program}: the wrong step listed`);
          assert.match(seen.verdicts[0], /^错误。正确答案是 /);
          assert.ok(seen.movedTo > seen.before || (seen.before === 0 && seen.movedTo === 0),
                    `${program}: the picture moved on to the right step (${seen.before} -> ${seen.movedTo})`);
          await tab.locator('.practice-wrong-step').click();
          assert.equal(Number(await tab.locator('.picture').getAttribute('data-step')), wrong[0], 'the link goes to its step');
        }
      }
    });
  }

  test('换一题: its size and seed make the input, and a link with them reopens it', async () => {
    for (const program of Object.keys(ANSWERS)) {
      await page.goto('about:blank');
      const tab = await openTab(page, fileOrigin(), program);
      const runs = await tab.locator('.output').getAttribute('data-runs');
      await tab.locator('.exercise-size').selectOption('large');
      await tab.locator('.exercise-new').click();
      await page.waitForFunction(([p, r]) => document.querySelector(`#tab-${p} .output`).getAttribute('data-runs') !== r,
                                 [program, runs]);
      const [, size, seed] = /[#&]ex=([a-z]+)-(\d+)/.exec(page.url());
      assert.equal(size, 'large');
      assert.equal(await tab.locator('.status-value').textContent(), '0', `${program}: the program accepts it`);
      // The exercise as the program's script makes it (ExerciseMain), in node.
      const maker = await DsdRunner().runProgram(require(path.join(WEB_DIR, program + '.js')), program,
                                                 { entry: 'ExerciseMain', args: [size, seed] });
      const made = Buffer.from(maker.stdout).toString('latin1');
      const words = made.trim().split(/\s+/);
      // Reopened from the link alone (no in=), the same exercise runs.
      const link = page.url().replace(/&in=[^&]*/, '');
      await page.goto('about:blank');
      await page.goto(link);
      const again = page.locator(`#tab-${program}`);
      await again.locator('.output[data-runs]').waitFor();
      assert.match(await again.locator('select.examples option:checked').textContent(), new RegExp(`换一题.*${seed}`));
      const shownInput = program === 'josephus' ? await again.locator('input.args').inputValue()
                       : program === 'bitree' ? await again.locator('.console-screen').textContent()
                       : await again.locator('textarea.document').inputValue();
      for (const w of words) assert.ok(shownInput.includes(w), `${program}: ${w} is in the reopened input`);
    }
  });
});
