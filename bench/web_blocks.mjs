// web_blocks.mjs -- the longest main-thread block of the page for each
// action that once held it up, measured on one or more builds of the page
// in one run, so that two builds compare on the same machine:
//
//     node bench/web_blocks.mjs LABEL=WEB_DIR [LABEL=WEB_DIR ...]
//
// A block is one of Chromium's long tasks (PerformanceObserver 'longtask':
// every task over 50 ms); each action's figure is the longest one from
// the action's start until 1 s after it ended. The actions:
//   - the josephus tab's first load (the page opened at #josephus);
//   - 保存全部步骤 on a josephus run of 100 people whose step values
//     are all 99 (some 2000 steps), until the file is offered;
//   - a paste of 1, 5 and 20 MB into the evaluator's box (lines "1+1", the
//     last one "2*3"), then 运行, until the output is shown; then a switch
//     to the next tab and back;
//   - a 50 MB file of the same lines opened in the evaluator's tab and run;
//   - 200 tab switches by the keyboard (→ on the tab row).
// DSD_BLOCKS_PASTES (default "1,5,20") names the paste sizes in MB; empty:
// none (an old build may take many minutes over the largest). Prints JSON: {LABEL: {action: {longest, tasks, ms}}}, ms the action's own
// time from its start to its end. Nothing here passes or fails.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, openTab, runAndWait } from '../tests/web/browser.mjs';

const builds = process.argv.slice(2).map((a) => a.split('='));
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'dsd-blocks-'));
const lines = (mb) => '1+1\n'.repeat(mb * 262144 - 1) + '2*3\n';
const big = path.join(scratch, 'expr50.txt');
fs.writeFileSync(big, lines(50));
const browser = await launch();
const out = {};

// measured(page, action): {longest, tasks, ms} of action (an async function).
async function measured(page, action) {
  await page.evaluate(() => { window.dsdLongTasks.length = 0; });
  const started = Date.now();
  await action();
  const ms = Date.now() - started;
  await page.waitForTimeout(1000);
  const tasks = await page.evaluate(() => window.dsdLongTasks.slice());
  const row = { longest: Math.round(Math.max(0, ...tasks)), tasks: tasks.length, ms };
  process.stderr.write(JSON.stringify(row) + '\n');   // as it goes: a slow build takes minutes
  return row;
}

for (const [label, dir] of builds) {
  const base = pathToFileURL(path.resolve(dir)).href;
  const page = await browser.newPage({ viewport: { width: 1280, height: 900 }, acceptDownloads: true });
  await page.addInitScript(() => {
    window.dsdLongTasks = [];
    new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.dsdLongTasks.push(e.duration);
    }).observe({ type: 'longtask', buffered: true });
  });
  page.setDefaultTimeout(900000);   // a blocked page answers late: it is measured, not failed
  const rows = out[label] = {};

  const started = Date.now();
  await openTab(page, base, 'josephus');
  await page.waitForTimeout(1000);
  const first = await page.evaluate(() => window.dsdLongTasks.slice());
  rows['josephus first load'] = { longest: Math.round(Math.max(0, ...first)), tasks: first.length, ms: Date.now() - started };

  const jo = page.locator('#tab-josephus');
  await jo.locator('input.args').fill(['100', '99'].concat(Array(100).fill('99')).join(' '));
  await runAndWait(jo, () => jo.locator('button.run').click({ timeout: 0 }));
  await page.waitForFunction(() => Number(document.querySelector('#tab-josephus .picture').dataset.count) > 100);
  const steps = await jo.locator('.picture').getAttribute('data-count');
  rows[`保存全部步骤, josephus run of ${steps} steps`] = await measured(page, async () => {
    await Promise.all([page.waitForEvent('download', { timeout: 600000 }), jo.locator('.present-all').click()]);
  });

  for (const mb of (process.env.DSD_BLOCKS_PASTES ?? '1,5,20').split(',').filter(Boolean).map(Number)) {
    const ev = await openTab(page, base, 'evaluator');
    rows[`paste ${mb} MB into the evaluator box, then 运行`] = await measured(page, async () => {
      await runAndWait(ev, async () => {
        await ev.locator('textarea.document').evaluate((area, mb) => {
          // made here, not sent from node: a 20 MB argument would be its
          // own block of the page
          const text = '1+1\n'.repeat(mb * 262144 - 1) + '2*3\n';
          area.value = '';
          area.focus();
          const data = new DataTransfer();
          data.setData('text/plain', text);
          const e = new ClipboardEvent('paste', { clipboardData: data, bubbles: true, cancelable: true });
          if (area.dispatchEvent(e)) {   // what the browser itself does with a paste
            area.setRangeText(text, area.selectionStart, area.selectionEnd, 'end');
            area.dispatchEvent(new Event('input', { bubbles: true }));
          }
        }, mb);
        await page.waitForFunction(() => !/正在把粘贴的文字/.test(document.querySelector('#tab-evaluator').textContent),
                                   null, { timeout: 600000 });
        await ev.locator('button.run').click({ timeout: 0 });
      });
    });
    rows[`then a tab switch and back (${mb} MB)`] = await measured(page, async () => {
      await page.locator('[data-tab="bitree"]').click();
      await page.locator('[data-tab="evaluator"]').click();
      await page.waitForTimeout(100);
    });
  }

  const ev = await openTab(page, base, 'evaluator');
  rows['opening a 50 MB file, then 运行'] = await measured(page, async () => {
    await ev.locator('.sources input[type=file]').setInputFiles(big);
    await runAndWait(ev, () => ev.locator('button.run').click());
  });

  rows['200 tab switches by keyboard'] = await measured(page, async () => {
    await page.locator('[data-tab="evaluator"]').focus();
    for (let i = 0; i < 200; i++) await page.keyboard.press('ArrowRight');
  });
  await page.close();
}
await browser.close();
fs.rmSync(scratch, { recursive: true, force: true });
process.stdout.write(JSON.stringify(out, null, 1) + '\n');
