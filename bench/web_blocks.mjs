// web_blocks.mjs -- the longest main-thread block of the page for each
// action that once held it up, measured on one or more builds of the page
// in one run, so that two builds compare on the same machine:
//
//     node bench/web_blocks.mjs LABEL=WEB_DIR [LABEL=WEB_DIR ...]
//
// A block is one of Chromium's long tasks (PerformanceObserver 'longtask':
// every task over 50 ms); each action's figure is the longest one from
// the action's start until 1 s after it ended. The actions, on inputs
// written here from bench.py's own (the largest each program takes):
//   - the josephus tab's first load (the page opened at #josephus);
//   - 保存全部步骤 on a josephus run of 100 people whose step values are
//     all 99, on bitree's session of 100 balanced trees of 1023 nodes, and
//     on the translator's rules that grow to ten million characters (some
//     20 MB of translate.txt), each until the file is offered;
//   - a paste of 1, 5 and 20 MB into the evaluator's box (lines "1+1", the
//     last one "2*3"; the text made in the page beforehand, as a clipboard
//     holds it), then 运行, until the output is shown; then a switch to
//     the next tab and back;
//   - a link whose in= carries 1.9 MB, opened in a fresh tab, until the
//     page has said it is damaged and shown the main example's run;
//   - bitree sessions of 6200 and of 25 600 choices 1 on a prefix
//     expression of 1023 characters, opened as a file (19 and 80 MB of
//     standard output), until shown; then 下载 of the larger one's output;
//   - a PNG of the last step of a balanced tree of 1023 nodes;
//   - a 50 MB file of evaluator lines opened and run; then 200 tab
//     switches by the keyboard (→ on the tab row).
// DSD_BLOCKS_PASTES (default "1,5,20") names the paste sizes in MB; empty:
// none. DSD_BLOCKS_CAP (seconds, default 300) is the most an action may
// take: an old build that takes longer gets {over: cap} for it, and the
// next action starts on a fresh page. Prints JSON: {LABEL: {action:
// {longest, tasks, ms} or {over}}}, ms the action's own time from its start
// to its end. Nothing here passes or fails.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { launch, openTab, runAndWait } from '../tests/web/browser.mjs';

const HERE = path.dirname(fileURLToPath(import.meta.url));
const builds = process.argv.slice(2).map((a) => a.split('='));
const CAP = Number(process.env.DSD_BLOCKS_CAP || 300) * 1000;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'dsd-blocks-'));
const file = (name) => path.join(scratch, name);

// The inputs, from bench.py's makers.
fs.writeFileSync(file('expr50.txt'), '1+1\n'.repeat(50 * 262144 - 1) + '2*3\n');
execFileSync('python3', ['-c', `
import sys; sys.path.insert(0, ${JSON.stringify(HERE)})
import bench
d = ${JSON.stringify(scratch)} + '/'
pre, ino = bench.balanced(0, 10)
tree = b"0 " + pre + b" " + ino + b"\\n"
open(d + 'balanced.txt', 'wb').write(tree)
open(d + 'balanced_100.txt', 'wb').write(tree * 100)
line = b"1 " + bench.prefix_expression() + b"\\n"
open(d + 'session_19mb.txt', 'wb').write(line * 6200)
open(d + 'session_80mb.txt', 'wb').write(line * 25600)
open(d + 'rules_10m.txt', 'wb').write(bench.rule_file(bench.RULES_10M, bench.SENTENCE))
`]);

const browser = await launch();
const out = {};

// within(promise, ms): promise, or a rejection after ms.
function within(promise, ms) {
  let timer;
  return Promise.race([promise, new Promise((_, reject) => { timer = setTimeout(() => reject(new Error('over')), ms); })])
    .finally(() => clearTimeout(timer));
}

for (const [label, dir] of builds) {
  const base = pathToFileURL(path.resolve(dir)).href;
  const rows = out[label] = {};
  let page = null;

  // Each build in a browser context of its own: pages of one context may
  // share a renderer, and one build's garbage would be collected in the
  // other's tasks.
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 }, acceptDownloads: true });

  // fresh(): a new page that records its long tasks.
  async function fresh() {
    if (page) await page.close().catch(() => {});
    page = await context.newPage();
    await page.addInitScript(() => {
      window.dsdLongTasks = [];
      new PerformanceObserver((list) => {
        for (const e of list.getEntries()) window.dsdLongTasks.push([e.startTime, e.duration]);
      }).observe({ type: 'longtask', buffered: true });
    });
    page.setDefaultTimeout(CAP);
    return page;
  }

  // row(name, prepare, action): {longest, tasks, ms} of action (an async
  // function of the page), after prepare (not measured); {over: seconds}
  // when the two take longer than the cap, and the page is replaced.
  async function row(name, prepare, action) {
    try {
      await within((async () => {
        if (prepare) await prepare();
        // The observer hears of a task some time after it: the tasks
        // counted are those that began after the action's start, in this
        // document, or all of a document the action opened.
        const since = await page.evaluate(() => { window.dsdMark = true; return performance.now(); });
        const started = Date.now();
        await action();
        const ms = Date.now() - started;
        await page.waitForTimeout(1000);
        const tasks = await page.evaluate((since) => window.dsdLongTasks
          .filter(([start]) => !window.dsdMark || start >= since).map(([, duration]) => duration), since);
        rows[name] = { longest: Math.round(Math.max(0, ...tasks)), tasks: tasks.length, ms };
      })(), CAP);
    } catch (e) {
      rows[name] = { over: CAP / 1000, error: String(e.message).split('\n')[0] };
      await fresh();
    }
    process.stderr.write(`${label}: ${name}: ${JSON.stringify(rows[name])}\n`);   // as it goes
  }

  // opened(tab, name): opens the scratch file name in the tab's file
  // button and waits for its run.
  const opened = (tab, name) => runAndWait(tab, () => tab.locator('.sources input[type=file]').setInputFiles(file(name)));
  // saveAll(tab): clicks 保存全部步骤 and waits for the file.
  const saveAll = (tab) => Promise.all([page.waitForEvent('download', { timeout: CAP }), tab.locator('.present-all').click()]);

  await fresh();
  await row('the josephus tab\'s first load', null, async () => {
    await openTab(page, base, 'josephus');
  });

  let tab = null;
  await row('保存全部步骤, josephus run of 100 people, step values 99', async () => {
    tab = await openTab(page, base, 'josephus');
    await tab.locator('input.args').fill(['100', '99'].concat(Array(100).fill('99')).join(' '));
    await runAndWait(tab, () => tab.locator('button.run').click({ timeout: 0 }));
    await page.waitForFunction(() => Number(document.querySelector('#tab-josephus .picture').dataset.count) > 100);
  }, () => saveAll(tab));

  await row('保存全部步骤, bitree session of 100 trees of 1023 nodes', async () => {
    tab = await openTab(page, base, 'bitree');
    await opened(tab, 'balanced_100.txt');
  }, () => saveAll(tab));

  await row('保存全部步骤, translator rules to ten million characters', async () => {
    tab = await openTab(page, base, 'translator');
    await opened(tab, 'rules_10m.txt');
  }, () => saveAll(tab));

  for (const mb of (process.env.DSD_BLOCKS_PASTES ?? '1,5,20').split(',').filter(Boolean).map(Number)) {
    await row(`paste ${mb} MB into the evaluator box, then 运行`, async () => {
      tab = await openTab(page, base, 'evaluator');
      await page.evaluate((mb) => { window.dsdPaste = '1+1\n'.repeat(mb * 262144 - 1) + '2*3\n'; }, mb);
    }, async () => {
      await runAndWait(tab, async () => {
        await tab.locator('textarea.document').evaluate((area) => {
          const text = window.dsdPaste;
          area.value = '';
          area.focus();
          const data = new DataTransfer();
          data.setData('text/plain', text);
          const e = new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true });
          if (area.dispatchEvent(e)) {   // what the browser itself does with a paste
            area.setRangeText(text, area.selectionStart, area.selectionEnd, 'end');
            area.dispatchEvent(new Event('input', { bubbles: true }));
          }
        });
        await page.waitForFunction(() => !/正在把粘贴的文字/.test(document.querySelector('#tab-evaluator').textContent),
                                   null, { timeout: CAP });
        await tab.locator('button.run').click({ timeout: 0 });
      });
    });
    await row(`then a tab switch and back (${mb} MB)`, null, async () => {
      await page.locator('[data-tab="bitree"]').click();
      await page.locator('[data-tab="evaluator"]').click();
      await page.waitForTimeout(100);
    });
  }

  await row('a link carrying 1.9 MB in in=, opened', () => page.goto('about:blank'), async () => {
    await page.goto(`${base}/index.html#evaluator&in=${'A'.repeat(1900000)}`);
    await page.locator('#tab-evaluator .output[data-runs]').waitFor();
  });

  await row('bitree session of 6200 expressions (19 MB of output), opened', async () => {
    tab = await openTab(page, base, 'bitree');
  }, () => opened(tab, 'session_19mb.txt'));
  await row('bitree session of 25 600 expressions (80 MB of output), opened', null,
            () => opened(tab, 'session_80mb.txt'));
  await row('then 下载 of its standard output', null, async () => {
    await Promise.all([page.waitForEvent('download', { timeout: CAP }), tab.locator('.output a.download').first().click()]);
  });

  await row('PNG of a tree of 1023 nodes', async () => {
    tab = await openTab(page, base, 'bitree');
    await opened(tab, 'balanced.txt');
    await tab.locator('.picture-canvas').focus();
    await page.keyboard.press('End');
  }, () => Promise.all([page.waitForEvent('download', { timeout: CAP }), tab.locator('.present-png').click()]));

  await row('opening a 50 MB file, then 运行', async () => {
    tab = await openTab(page, base, 'evaluator');
  }, async () => {
    await tab.locator('.sources input[type=file]').setInputFiles(file('expr50.txt'));
    await runAndWait(tab, () => tab.locator('button.run').click());
  });

  await row('200 tab switches by keyboard, the 50 MB file still in its tab', null, async () => {
    await page.locator('[data-tab="evaluator"]').focus();
    for (let i = 0; i < 200; i++) await page.keyboard.press('ArrowRight');
  });
  await context.close();
}
await browser.close();
fs.rmSync(scratch, { recursive: true, force: true });
process.stdout.write(JSON.stringify(out, null, 1) + '\n');
