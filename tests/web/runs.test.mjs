// runs.test.mjs -- the page's runs can be trusted, in a real browser opened
// from file://: Stop ends a long run with its steps, and nothing of it is
// drawn later; lines typed into bitree while a run is in flight go into one
// later run; a refused input and a stopped run leave nothing of the run
// before on screen; choosing an example runs it; a broken or oversized link
// says so; a link pasted into the open page moves to its case and step; a
// 50 MB file goes to the program whole and a 20 MB output is shown cut,
// with every byte in its download. (How long the page blocks on them is
// measured in bench/web.sh, not here.)
//
//     node --test tests/web/runs.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { download, fileOrigin, gbk, launch, linkInput, openTab, runAndWait, shot, shown, WEB_DIR } from './browser.mjs';
import { createRequire } from 'node:module';

const DSD_PROGRAMS = createRequire(import.meta.url)('../../web/programs.js');

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

// The translator's rule file whose sentence grows to about 10 million
// characters (bench.py's RULES_10M): seconds of work, a 20 MB output.
const LETTERS = 'tdsaezgxn';
const BIG_RULES = (() => {
  const rules = [['t', LETTERS]];
  for (let k = 0; k < 2; k++) for (const c of LETTERS) rules.push([c, c.repeat(9)]);
  rules.push(['t', 'td']);
  return [String(rules.length), ...rules.map(([a, b]) => `${a} = ${b}`),
          '((((((((((((tas)d)s)e)z)g)x)n)h)t)d)s)'].join('\n') + '\n';
})();

// runNode(program, name, data): what the program writes into its output
// files when run by node web/tools/run.mjs on the file name holding data, in a
// temp dir of its own: {file name: bytes}.
function runNode(program, name, data) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'dsd-runs-'));
  try {
    fs.writeFileSync(path.join(dir, name), data);
    try {
      execFileSync('node', [path.join(ROOT, 'web/tools/run.mjs'), path.join(WEB_DIR, program + '.js'), name], { cwd: dir });
    } catch (e) { /* a refusal: its files still count */ }
    return Object.fromEntries(fs.readdirSync(dir).filter((f) => f !== name)
      .map((f) => [f, fs.readFileSync(path.join(dir, f))]));
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
}

// example(program, name): the bytes of a bundled example.
function example(program, name) {
  return fs.readFileSync(path.join(ROOT, 'examples', program, name));
}

// counts(tab): the tab's counters: answers shown, pictures drawn, requests pending.
async function counts(tab) {
  return tab.evaluate((s) => ({
    runs: Number(s.querySelector('.output').dataset.runs || 0),
    draws: Number(s.querySelector('.picture').dataset.draws || 0),
    pending: Number(s.dataset.pending || 0) }));
}

// The page's own messages met by these checks, each to be quoted by the
// guide's 浏览器版 section (see the last test).
const said = new Set();
// say(text): text, noted as a message the guide must quote.
function say(text) {
  said.add(text);
  return text;
}

// guideQuotes(): the quotes of the guide's 浏览器版 section (its `code
// spans` and “quotes”) as regexes: <placeholder> stands for any text, ……
// for the rest of the message.
function guideQuotes() {
  const guide = fs.readFileSync(path.join(ROOT, 'docs/guide-zh.md'), 'utf8');
  const section = /^## 浏览器版[^]*?(?=^## )/m.exec(guide)[0];
  const quotes = [...section.matchAll(/`([^`]+)`|“([^”]+)”/g)].map((m) => m[1] || m[2]);
  return quotes.map((q) => new RegExp('^' + q.split(/(<[^<>\s]{1,20}>|……)/).map((piece) =>
    piece === '……' ? '.*' : /^<.*>$/.test(piece) ? '.+?' : piece.replace(/[.*+?^${}()|[\]\\]/g, '\\$&')).join('') + '$', 's'));
}

let browser;
let page;
const errors = [];
before(async () => {
  browser = await launch();
  page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
  page.on('pageerror', (e) => errors.push(String(e)));
});
after(async () => {
  await browser?.close();
  assert.deepEqual(errors, [], 'the page threw no error');
});

describe('one request per run', () => {
  test('Stop ends a long translator run and its steps; nothing of it is drawn later; the next run answers', async () => {
    const tab = await openTab(page, fileOrigin(), 'translator');
    await tab.locator('textarea.document').fill(BIG_RULES);
    await tab.locator('button.run').click();
    await tab.locator('button.stop').waitFor({ state: 'visible' });
    await page.waitForTimeout(500);
    assert.equal(await tab.locator('button.run').isDisabled(), true, 'Run waits while a run is in flight');
    const before = await counts(tab);
    await tab.locator('button.stop').click();
    await page.waitForFunction((s) => s.dataset.pending === '0', await tab.elementHandle());
    assert.equal(say(await tab.locator('.output .crash').textContent()), '运行已停止');
    assert.equal(await tab.locator('.output .status-value').count(), 0, 'a stopped run has no exit status');
    assert.equal(await tab.locator('.picture').getAttribute('data-count'), '0');
    assert.match(say(await tab.locator('.picture-note').textContent()), /运行已停止/);
    assert.equal(await tab.locator('button.stop').isHidden(), true);
    // The stopped input's steps never arrive: the screen stays as it is.
    const stopped = await counts(tab);
    assert.equal(stopped.runs, before.runs + 1);
    await page.waitForTimeout(4000);
    assert.deepEqual(await counts(tab), stopped, 'nothing of the stopped run is drawn later');
    // The next run, the main example, answers at once (a generous bound).
    await tab.locator('select.examples').selectOption('0');
    await page.waitForFunction(([s, n]) => Number(s.querySelector('.output').dataset.runs) > n,
                               [await tab.elementHandle(), stopped.runs], { timeout: 5000 });
    assert.equal((await shown(tab)).status, 0);
    assert.ok(Number(await tab.locator('.picture').getAttribute('data-count')) > 0);
  });

  test('lines typed into bitree while a run is in flight go into one later run', async () => {
    const tab = await openTab(page, fileOrigin(), 'bitree');
    await runAndWait(tab, () => tab.locator('button.clear').click());
    const start = await counts(tab);
    const lines = Array.from({ length: 40 }, (_, i) => (i % 2 ? '2 +1' + i : '0 AB BA'));
    // The lines typed at once, faster than any run: the first starts a run,
    // the others wait for it; the bar says so at once.
    const during = await tab.evaluate((section, all) => {
      const line = section.querySelector('input.console-line');
      for (const l of all) {
        line.value = l;
        line.dispatchEvent(new KeyboardEvent('keydown', { key: 'Enter', bubbles: true }));
      }
      return { pending: section.dataset.pending, stop: !section.querySelector('button.stop').hidden,
               run: section.querySelector('button.run').disabled,
               busy: section.querySelector('.busy').textContent };
    }, lines);
    say(during.busy);
    assert.deepEqual(during, { pending: '2', stop: true, run: true,
                               busy: '正在运行…（还有 1 次运行在等待：它会用上到目前为止的全部输入）' });
    await page.waitForFunction((s) => s.dataset.pending === '0', await tab.elementHandle(), { timeout: 60000 });
    const end = await counts(tab);
    assert.equal(end.runs, start.runs + 1, 'one run drawn: the one that took every line; the first was dropped');
    assert.equal(end.draws, start.draws + 1, 'one picture drawn');
    const typed = await tab.locator('.console-screen .typed').allTextContents();
    assert.deepEqual(typed, lines.map((l) => l + '\n'), 'the last run took every line typed');
    assert.equal(await tab.locator('button.stop').isHidden(), true);
    assert.equal(await tab.locator('button.run').isDisabled(), false);
  });
});

describe('every screen belongs to the latest run', () => {
  test('a refused input clears the run before; choosing an example runs it, in every tab', async () => {
    const tab = await openTab(page, fileOrigin(), 'evaluator');
    await tab.locator('textarea.dsd-compare-input').fill('不是我们的输出\n');
    await tab.locator('button.dsd-compare-run').click();
    await tab.locator('.dsd-compare-result').waitFor();
    await tab.locator('textarea.document').fill('1+2\u{1F600}');
    await tab.locator('button.run').click();
    await tab.locator('.message:not([hidden])').first().waitFor();
    assert.match(say(await tab.locator('p.message').first().textContent()), /不在 GBK 字符集中/);
    assert.equal(await tab.locator('.output').textContent(), '', 'no output of the run before');
    assert.equal(await tab.locator('.picture').getAttribute('data-count'), '0', 'no picture of the run before');
    assert.match(say(await tab.locator('.picture-note').textContent()), /没有交给程序/);
    assert.equal(await tab.locator('.dsd-compare-report').textContent(), '', 'no report on the run before');
    await shot(page, 'refused');

    for (const [program, name] of [['evaluator', 'brackets.txt'], ['translator', 'nested.txt']]) {
      const t = program === 'evaluator' ? tab : await openTab(page, fileOrigin(), program);
      await runAndWait(t, () => t.locator('select.examples').selectOption({ label: name }));
      const expected = runNode(program, DSD_FILE[program], example(program, name));
      for (const [file, bytes] of Object.entries(expected)) {
        assert.equal((await shown(t)).files[file], gbk(bytes), `${program} ${name}: ${file}`);
      }
    }
    const j = await openTab(page, fileOrigin(), 'josephus');
    const drawn = (await counts(j)).draws;
    await runAndWait(j, () => j.locator('select.examples').selectOption({ label: 'keyboard.txt' }));
    assert.match(await j.locator('.output .command code').textContent(), /键盘/);
    assert.equal((await counts(j)).draws, drawn + 1, 'the picture is of the example chosen');
  });
});

// The name each document program's input file has when typed.
const DSD_FILE = { evaluator: 'expr.txt', translator: 'rules.txt' };

describe('links', () => {
  test('a broken link loads the main example and says so; a pasted link moves to its case and step', async () => {
    const whole = linkInput('', '1+2*3\n');
    const cuts = [1, 2, 3, 4].map((k) => ['evaluator', 'in=' + whole.slice(0, -k)]);
    const damagedEx = ['small--5', 'small-abc', 'huge-5', 'SMALL-5', 'small-99999999999999', 'small-4294967297']
      .map((ex) => ['translator', 'ex=' + ex]);
    for (const [program, hash] of [['evaluator', 'in=%ZZ'], ['josephus', 'in=MyAx'], ['bitree', 'in=e!!!'],
                                   ['translator', 'in=A'], ['evaluator', 'in=MSsyKjMK'], ...cuts, ...damagedEx,
                                   ['constructor', ''], ['__proto__', ''], ['valueOf', 'in=' + whole]]) {
      await page.goto('about:blank');
      await page.goto(`${fileOrigin()}/index.html#${program}&${hash}`);
      const own = DSD_PROGRAMS.some((p) => p.name === program);
      const tab = page.locator(`#tab-${own ? program : DSD_PROGRAMS[0].name}`);
      await tab.locator('.output[data-runs]').waitFor();
      assert.match(say(await tab.locator('.link-note').textContent()), /链接已损坏/, `${program}&${hash}`);
      assert.equal((await shown(tab)).status, 0, `${program}: the main example ran`);
      assert.equal(await tab.locator('select.examples').inputValue(), '0', `${program}&${hash}: the main example`);
      if (own) assert.doesNotMatch(page.url(), new RegExp(hash.replace(/[!%]/g, '\\$&') + '($|&)'), 'the broken link is replaced');
    }
    // A page opened with no # gets one at its first step change.
    await page.goto('about:blank');
    await page.goto(`${fileOrigin()}/index.html`);
    const tab = page.locator('#tab-evaluator');
    await tab.locator('.picture[data-draws]').waitFor();
    await tab.locator('.step-forward').click();
    assert.match(page.url(), /#evaluator&in=[0-9a-f]{8}\.[\w-]+&step=2$/);
    // A link pasted into the open page: 2+3*4 at step 4, then josephus at step 3.
    const expr = linkInput('', '2+3*4');
    await page.evaluate((e) => { location.hash = '#evaluator&in=' + e + '&step=4'; }, expr);
    await page.waitForFunction(() => document.querySelector('#tab-evaluator textarea').value === '2+3*4' &&
      document.querySelector('#tab-evaluator .picture').dataset.step === '3');
    assert.equal(await tab.locator('table.trace tr[aria-current="step"] td').first().textContent(), '4');
    await page.evaluate((e) => { location.hash = '#evaluator&in=' + e + '&step=2'; }, expr);
    await page.waitForFunction(() => document.querySelector('#tab-evaluator .picture').dataset.step === '1');
    const args = linkInput('a', '5 2 3 1 4 1 5');
    await page.evaluate((a) => { location.hash = '#josephus&in=' + a + '&step=3'; }, args);
    await page.waitForFunction(() => !document.querySelector('#tab-josephus').hidden &&
      document.querySelector('#tab-josephus input.args').value === '5 2 3 1 4 1 5' &&
      document.querySelector('#tab-josephus .picture').dataset.step === '2');
  });

  test('an input too large for a link keeps tab and step only, and says so', async () => {
    const tab = await openTab(page, fileOrigin(), 'evaluator');
    const big = Buffer.concat([Buffer.alloc(40 * 1024, ' '), Buffer.from('\n1+2\n')]);
    await runAndWait(tab, () => tab.locator('.sources input[type=file]').setInputFiles(
      { name: 'big.txt', mimeType: 'text/plain', buffer: big }));
    assert.match(say(await tab.locator('.link-note').textContent()), /不能放进链接/);
    assert.doesNotMatch(page.url(), /in=/);
    await tab.locator('.step-forward').click();
    assert.match(page.url(), /#evaluator&step=2$/);
  });
});

describe('big inputs and outputs', () => {
  test('a 50 MB file goes to the program whole under its own name; a 20 MB output is shown cut', async () => {
    const tab = await openTab(page, fileOrigin(), 'evaluator');
    const line = Buffer.from('#'.repeat(99) + '\n');
    const big = Buffer.concat([...Array(500000).fill(line), Buffer.from('3*(7-2)\n')]);
    assert.ok(big.length > 50e6);
    const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'dsd-big-')), 'big-expr.txt');
    fs.writeFileSync(file, big);
    await runAndWait(tab, () => tab.locator('.sources input[type=file]').setInputFiles(file));
    assert.ok((await tab.locator('textarea.document').inputValue()).length <= 64 * 1024, 'the box shows only the start');
    assert.match(say(await tab.locator('.source').textContent()), /已打开 big-expr\.txt（50000008 字节.*整个文件原样交给程序/);
    assert.match(await tab.locator('select.examples option:checked').textContent(), /你打开的文件：big-expr\.txt/);
    assert.equal(await tab.locator('.output .command code').textContent(), 'evaluator big-expr.txt');
    assert.match((await shown(tab)).files['result.txt'], /运算结果是:15/);
    // The file is read a part at a time: the program got every part, in order, once.
    assert.equal(await page.evaluate(async () => {
      const hash = new Uint8Array(await crypto.subtle.digest('SHA-256', DsdUi.tabs.evaluator.last.request.files[0].data));
      return Array.from(hash, (b) => b.toString(16).padStart(2, '0')).join('');
    }), crypto.createHash('sha256').update(big).digest('hex'), 'the program got the file byte for byte');
    // A name the browser cannot pass as it is (the console passes GBK, the
    // browser UTF-8) is replaced by the plain one, and the page says why.
    await runAndWait(tab, () => tab.locator('.sources input[type=file]').setInputFiles(
      { name: '我的表达式.txt', mimeType: 'text/plain', buffer: Buffer.from('2*3\n') }));
    assert.equal(await tab.locator('.output .command code').textContent(), 'evaluator expr.txt');
    assert.match(await tab.locator('.source').textContent(), /已打开 我的表达式\.txt.*非 ASCII 字符.*不能原样交给程序.*expr\.txt/);
    // A name a console reads as an option is renamed for that reason; one
    // with a blank is shown quoted, as a console takes it.
    await runAndWait(tab, () => tab.locator('.sources input[type=file]').setInputFiles(
      { name: '-x.txt', mimeType: 'text/plain', buffer: Buffer.from('2*3\n') }));
    assert.match(await tab.locator('.source').textContent(), /以 - 开头.*expr\.txt/);
    await runAndWait(tab, () => tab.locator('.sources input[type=file]').setInputFiles(
      { name: 'my expr.txt', mimeType: 'text/plain', buffer: Buffer.from('2*3\n') }));
    assert.equal(await tab.locator('.output .command code').textContent(), 'evaluator "my expr.txt"');
    await runAndWait(tab, () => tab.locator('.sources input[type=file]').setInputFiles(file));
    fs.rmSync(path.dirname(file), { recursive: true, force: true });
    // Editing the box replaces the file with what is typed, and says so.
    await tab.locator('textarea.document').fill('1+1');
    assert.match(say(await tab.locator('.source').textContent()), /不再是文件 big-expr\.txt/);
    await runAndWait(tab, () => tab.locator('button.run').click());
    assert.equal(await tab.locator('.output .command code').textContent(), 'evaluator expr.txt');

    const t = await openTab(page, fileOrigin(), 'translator');
    await t.locator('textarea.document').fill(BIG_RULES);
    await runAndWait(t, () => t.locator('button.run').click());
    const shownText = await t.locator('section.file[data-name="translate.txt"] pre').textContent();
    assert.ok(shownText.length < 64 * 1024, 'only the start of translate.txt is shown');
    const saved = await download(t, 'translate.txt');
    assert.ok(saved.length > 18e6);
    assert.ok(gbk(saved).startsWith(shownText), 'the text shown is the start of the file');
    // The file is made a part at a time: every part, in order, once.
    const run = await page.evaluate(async () => {
      const f = DsdUi.tabs.translator.last.result.files.find((x) => x.path === 'translate.txt');
      const hash = new Uint8Array(await crypto.subtle.digest('SHA-256', f.data));
      return { length: f.data.length, sha: Array.from(hash, (b) => b.toString(16).padStart(2, '0')).join('') };
    });
    assert.deepEqual({ length: saved.length, sha: crypto.createHash('sha256').update(saved).digest('hex') }, run,
                     'the downloaded file is the run\'s translate.txt byte for byte');
    assert.match(say(await t.locator('section.file .cut-note').textContent()), new RegExp(`全部共 ${saved.length} 字节`));
  });
});

test('the guide quotes every message of the page met above', () => {
  const quotes = guideQuotes();
  assert.ok(said.size >= 10, 'the checks above noted their messages');
  for (const message of said) {
    assert.ok(quotes.some((q) => q.test(message)), `the guide's 浏览器版 section does not quote: ${message}`);
  }
});
