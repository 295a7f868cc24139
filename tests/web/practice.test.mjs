// Practice mode (练习) and 换一题, in the page opened from file://.
//
// Each picture's main example is practised to its last step. Every answer
// given here comes from the program's own run of the same input, read from
// its output file or from its step writer, run in node by the page's own
// worker (web/worker/worker.js, through web/tools/worker.mjs),
// never from the page: all right gives full marks; one wrong answer gives
// one less, lists the step it was asked at as a link, and the picture moves
// on from it. While a question is open nothing on the page tells its
// answer: not the caption of the step it asks about, not the code panel's
// mark, not the run's whole output. A saved score opened with 核对成绩 is
// graded again by the program's own run, and an edited score line is told.
// 换一题 makes the input its seed and size say, and a link with them
// reopens it. The tabs are those of the registry; the right answer to each
// question is the program's `answers` (tests/<name>/web.mjs).
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { createRequire } from 'node:module';
import { after, before, describe, test } from 'node:test';
import { fileOrigin, gbk, launch, openTab, shot, WEB_DIR } from './browser.mjs';
import { exampleRequest, PROGRAMS } from './registry.mjs';

const require = createRequire(import.meta.url);
const ROOT = path.resolve(WEB_DIR, '../..');
const { startWorker } = await import(path.join(ROOT, 'web/tools/worker.mjs'));
const DsdRunner = require(path.join(ROOT, 'web/worker/runner.js'));

// request(p): the main example of program p as its tab runs it.
const request = (p) => exampleRequest(p, p.mainExample);

// ours(p): the run of the main example and its step writer's record.
async function ours(p) {
  const worker = startWorker(path.join(WEB_DIR, p.name + '.js'), p.name);
  const { result: run } = await worker.run(request(p));
  const { trace: record } = await worker.steps(request(p));
  await worker.stop();
  const file = (name) => run.files.find((f) => f.path === name).data;
  return { run, file, record };
}

// The answer to the question with key `key` is the program's
// answers(ours, {gbk})(key): {value} for the button of that value, or
// {typed} for the text box.

// onScreen(tab): what the page shows now: its whole text, the step on
// screen, whether the picture is veiled, the code panel's marked line.
async function onScreen(tab) {
  return tab.evaluate((section) => {
    const picture = section.querySelector('.picture');
    const body = picture.querySelector('.picture-body');
    const mark = picture.querySelector('.code-line[aria-current="step"]');
    return { text: document.body.innerText, step: Number(picture.getAttribute('data-step')),
             veiled: getComputedStyle(body).visibility === 'hidden',
             caption: picture.querySelector('.picture-svg').getAttribute('aria-label'),
             line: mark && getComputedStyle(body).visibility !== 'hidden' ? Number(mark.getAttribute('data-line')) : null };
  });
}

// practise(tab, answer, wrongFirst): runs practice to the last step; the
// first answer is wrong when wrongFirst. Returns what happened, with what
// the page showed while each question was open and each step's caption.
async function practise(tab, answer, wrongFirst) {
  const picture = tab.locator('.picture');
  const ask = tab.locator('.practice-ask');
  await tab.locator('.practice-toggle').click();
  const seen = { asked: 0, wrongStep: null, movedTo: null, verdicts: [], open: [], captions: {} };
  const noteCaption = async () => { const now = await onScreen(tab); seen.captions[now.step] = now.caption; };
  await noteCaption();
  for (let guard = 0; guard < 2000; guard++) {
    const key = await ask.getAttribute('data-key');
    if (!key) {
      const step = Number(await picture.getAttribute('data-step'));
      if (step === Number(await picture.getAttribute('data-count')) - 1) return seen;
      await tab.locator('.step-forward').click();
      await noteCaption();
      continue;
    }
    const right = answer(key);
    seen.open.push({ key, for: Number(await ask.getAttribute('data-for')), ...(await onScreen(tab)) });
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
    await noteCaption();
    if (wrong) {
      seen.movedTo = Number(await picture.getAttribute('data-step'));
      seen.before = before;
      await shot(tab.page(), `practice-${tab.program}-wrong`);
    }
    seen.asked++;
  }
  throw new Error('practice did not reach the last step');
}

// outputLines(run): the lines of the run's whole output (stdout and its
// files) that say something: 4 characters or more, not a line of the input.
function outputLines(run, request) {
  const input = [...(request.files || []).map((f) => gbk(f.data)), request.stdin ? gbk(request.stdin) : '',
                 (request.args || []).join(' ')].join('\n');
  return [run.stdout, ...run.files.map((f) => f.data)].flatMap((b) => gbk(b).split(/\r?\n/))
    .map((l) => l.trim()).filter((l) => l.length >= 4 && !input.includes(l));
}

// noLeaks(program, seen, ours): while each question was open, the page
// held neither the caption of the step it asks about (unless the step on
// screen says the same), nor the code mark of that step in place of the
// one on screen, nor (at the first question, before the program has
// output anything the picture shows) any line of the run's whole output.
function noLeaks(p, seen, { run, record }, count) {
  const program = p.name;
  const aligned = record.steps && record.steps.length === count;   /* the picture draws the record's steps */
  for (const open of seen.open) {
    const about = open.for === open.step;   /* asked about the step on screen: all of it is hidden */
    const asked = seen.captions[open.for];
    const here = about ? null : seen.captions[open.step];
    if (asked && asked !== here) {
      assert.ok(!open.text.includes(asked), `${program} ${open.key}: the page shows the answer's caption "${asked}"`);
    }
    const steps = record.steps;
    if (about) {
      assert.equal(open.line, null, `${program} ${open.key}: the code panel marks the step asked about`);
    } else if (aligned && steps[open.step].src && open.line !== null) {
      const mine = steps[open.step].src.line;
      const next = steps[open.for] && steps[open.for].src ? steps[open.for].src.line : null;
      if (next !== null && next !== mine) {
        assert.notEqual(open.line, next, `${program} ${open.key}: the code panel marks the asked step's line`);
      }
    }
  }
  const first = seen.open[0];
  for (const line of outputLines(run, request(p))) {
    assert.ok(!first.text.includes(line), `${program} ${first.key}: the page shows the output line "${line}"`);
  }
}

describe('practice and new exercises, opened from file', () => {
  let browser;
  let page;
  before(async () => { browser = await launch(); page = await browser.newPage({ viewport: { width: 1280, height: 900 } }); });
  after(async () => { await browser.close(); });

  for (const p of PROGRAMS.filter((q) => q.checks.answers)) {
    const program = p.name;
    test(`${program}: the program's own answers give full marks; one wrong answer costs one and moves on`, async () => {
      const run = await ours(p);
      const answer = p.checks.answers(run, { gbk });
      for (const wrongFirst of [false, true]) {
        await page.goto('about:blank');       /* a fresh page each time */
        const tab = await openTab(page, fileOrigin(), program);
        tab.program = program;
        await tab.locator('.picture[data-count]:not([data-count="0"])').waitFor();
        const seen = await practise(tab, answer, wrongFirst);
        const count = Number(await tab.locator('.picture').getAttribute('data-count'));
        if (!wrongFirst) noLeaks(p, seen, run, count);
        const score = tab.locator('.practice-score');
        const right = Number(await score.getAttribute('data-right'));
        const asked = Number(await score.getAttribute('data-asked'));
        assert.ok(asked >= 2, `${program}: questions were asked (${asked})`);
        assert.equal(asked, seen.asked);
        assert.match(await score.textContent(), new RegExp(`${right}/${asked}`));
        assert.match(await tab.locator('.practice-ask').textContent(), new RegExp(`^练习结束。得分：${right}/${asked}。`));
        const wrong = await tab.locator('.practice-wrong-step').evaluateAll((as) => as.map((a) => [a.textContent, Number(a.getAttribute('data-step')), Number(a.getAttribute('data-then'))]));
        const [saved] = await Promise.all([page.waitForEvent('download'), tab.locator('.practice-save').click()]);
        const text = fs.readFileSync(await saved.path(), 'utf8');
        if (!wrongFirst) {
          assert.equal(right, asked, `${program}: full marks`);
          assert.deepEqual(wrong, []);
          assert.ok(seen.verdicts.every((v) => v.startsWith('正确')));
          await shot(page, `practice-${program}-score`);
          assert.match(text, new RegExp(`^程序：${program}\n命令：${program}`));
          assert.match(text, new RegExp(`得分：${asked}/${asked}\n`));
          assert.equal(text.split('\n').filter((l) => /　你的答案：.*　正确　记录：/.test(l)).length, asked);
          if (p.checks.savedAnswer) assert.match(text, p.checks.savedAnswer, 'answers as their buttons say them');
        } else {
          assert.equal(right, asked - 1, `${program}: one less`);
          assert.equal(wrong.length, 1, `${program}: the wrong answer listed`);
          const [words, askedAt, then] = wrong[0];
          assert.equal(words, `第 ${askedAt + 1} 步的问题答错了（答案在第 ${then + 1} 步）`);
          assert.equal(askedAt, seen.before, `${program}: listed by the step on screen when it was asked`);
          assert.equal(then, seen.movedTo, `${program}: the answer's step is the one the picture moved to`);
          assert.match(seen.verdicts[0], /^错误。正确答案是 /);
          assert.ok(seen.movedTo > seen.before || (seen.before === 0 && seen.movedTo === 0),
                    `${program}: the picture moved on to the right step (${seen.before} -> ${seen.movedTo})`);
          await tab.locator('.practice-wrong-step').click();
          assert.equal(Number(await tab.locator('.picture').getAttribute('data-step')), askedAt, 'the link goes to its step');
          // 核对成绩: the file as saved is graded the same; its score line
          // edited to full marks is told.
          const check = async (body, name) => {
            const file = path.join(path.dirname(await saved.path()), name);
            fs.writeFileSync(file, body);
            const checks = await tab.locator('.practice-checked').getAttribute('data-checks');
            await tab.locator('.practice-check-file').setInputFiles(file);
            await page.waitForFunction(([p, c]) => document.querySelector(`#tab-${p} .practice-checked`).getAttribute('data-checks') !== c,
                                       [program, checks]);
            const box = tab.locator('.practice-checked');
            return { result: await box.getAttribute('data-result'), right: Number(await box.getAttribute('data-right')),
                     differ: Number(await box.getAttribute('data-differ')), text: await box.textContent() };
          };
          const same = await check(text, 'saved.txt');
          assert.deepEqual([same.result, same.right, same.differ], ['same', right, 0], `${program}: ${same.text}`);
          const edited = await check(text.replace(`得分：${right}/${asked}`, `得分：${asked}/${asked}`), 'edited.txt');
          assert.deepEqual([edited.result, edited.right, edited.differ], ['differ', right, 1], `${program}: ${edited.text}`);
          assert.match(edited.text, new RegExp(`得分行写的是 ${asked}/${asked}，按文件里的答案应为 ${right}/${asked}`));
          await shot(page, `practice-${program}-checked`);
        }
      }
    });
  }

  test('换一题: its size and seed make the input, and a link with them reopens it', async () => {
    for (const { name: program, input } of PROGRAMS) {
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
      const shownInput = input === 'args' ? await again.locator('input.args').inputValue()
                       : input === 'console' ? await again.locator('.console-screen').textContent()
                       : await again.locator('textarea.document').inputValue();
      for (const w of words) assert.ok(shownInput.includes(w), `${program}: ${w} is in the reopened input`);
    }
  });
});
