// web_page.mjs -- the page's timings in Chromium, for bench/web.py:
//
//     node bench/web_page.mjs WEB_DIR [PROGRAM=FILE ...]
//
// For each tab it opens the page from file://, then clicks Run on the main
// example CLICKS times and reads the page's own measure of each click, from
// the click to the output shown (the output's data-ms). Then, for each
// PROGRAM=FILE, it opens FILE in that tab (a console tab runs it as typed input),
// runs it, and reads how long the picture took to build and draw its first
// step once the step writer had answered (data-draw-ms), and times one step
// forward. For each block:PROGRAM=FILE it opens FILE in that tab, waits for
// its output and picture, and reports the longest main-thread block
// meanwhile (Chromium's long tasks, PerformanceObserver 'longtask': every
// task over 50 ms), and how long until the output was shown. Prints JSON:
// {"clicks": {program: [ms, ...]}, "draws": {"PROGRAM FILE": {draw, step}},
// "blocks": {"PROGRAM FILE": {longest, total, tasks}}}.
import path from 'node:path';
import { createRequire } from 'node:module';
import { pathToFileURL } from 'node:url';
import { launch, openTab, runAndWait } from '../tests/web/browser.mjs';

const require = createRequire(import.meta.url);
const PROGRAMS = require('../web/programs.js');   // the tabs, in their order
const CONSOLE = new Set(PROGRAMS.filter((p) => p.input === 'console').map((p) => p.name));
const CLICKS = 15;
const [webDir, ...args] = process.argv.slice(2);
const inputs = args.filter((a) => !a.startsWith('block:'));
const blockInputs = args.filter((a) => a.startsWith('block:')).map((a) => a.slice(6));
const base = pathToFileURL(webDir).href;
const browser = await launch();
const page = await browser.newPage();
// Every long task of the page, from its start: window.dsdLongTasks.
await page.addInitScript(() => {
  window.dsdLongTasks = [];
  new PerformanceObserver((list) => {
    for (const e of list.getEntries()) window.dsdLongTasks.push(e.duration);
  }).observe({ type: 'longtask', buffered: true });
});
const clicks = {};
for (const { name: program } of PROGRAMS) {
  const tab = await openTab(page, base, program);
  clicks[program] = [];
  for (let i = 0; i < CLICKS; i++) {
    await runAndWait(tab, () => tab.locator('button.run').click());
    clicks[program].push(Number(await tab.locator('.output').getAttribute('data-ms')));
  }
}

const draws = {};
for (const input of inputs) {
  const [program, file] = input.split('=');
  const tab = await openTab(page, base, program);
  const picture = tab.locator('.picture');
  await page.waitForFunction((el) => el.hasAttribute('data-draws'), await picture.elementHandle());
  const before = Number(await picture.getAttribute('data-draws'));
  await tab.locator('.sources input[type=file]').setInputFiles(file);
  if (!CONSOLE.has(program)) await tab.locator('button.run').click();
  await page.waitForFunction(([el, n]) => Number(el.getAttribute('data-draws')) > n,
                             [await picture.elementHandle(), before], { timeout: 300000 });
  const step = await tab.evaluate((section) => {
    const started = performance.now();
    section.querySelector('.step-forward').click();
    return performance.now() - started;
  });
  draws[`${program} ${path.basename(file)}`] = {
    draw: Number(await picture.getAttribute('data-draw-ms')), step,
    steps: Number(await picture.getAttribute('data-count')),
  };
}
const blocks = {};
for (const input of blockInputs) {
  const [program, file] = input.split('=');
  const tab = await openTab(page, base, program);
  const picture = tab.locator('.picture');
  await page.waitForFunction((el) => el.hasAttribute('data-draws'), await picture.elementHandle());
  const before = Number(await picture.getAttribute('data-draws'));
  await page.evaluate(() => { window.dsdLongTasks.length = 0; });
  const started = Date.now();
  await tab.locator('.sources input[type=file]').setInputFiles(file);
  await page.waitForFunction(([el, n]) => Number(el.getAttribute('data-draws')) > n,
                             [await picture.elementHandle(), before], { timeout: 300000 });
  const shownAfter = Date.now() - started;
  await page.waitForTimeout(1000);   // tasks that follow the drawing
  const tasks = await page.evaluate(() => window.dsdLongTasks.slice());
  blocks[`${program} ${path.basename(file)}`] = {
    longest: tasks.length ? Math.max(...tasks) : 0, tasks: tasks.length, shown: shownAfter };
}
await browser.close();
process.stdout.write(JSON.stringify({ clicks, draws, blocks }) + '\n');
