// web_page.mjs -- the page's timings in Chromium, for bench/web.py:
//
//     node bench/web_page.mjs WEB_DIR
//
// For each tab it opens the page from file://, then clicks Run on the main
// example CLICKS times and reads the page's own measure of each click, from
// the click to the output shown (the output's data-ms). Prints JSON:
// {"clicks": {program: [ms, ...]}}.
import { pathToFileURL } from 'node:url';
import { launch, openTab, runAndWait } from '../tests/web/browser.mjs';

const CLICKS = 15;
const webDir = process.argv[2];
const browser = await launch();
const page = await browser.newPage();
const clicks = {};
for (const program of ['evaluator', 'bitree', 'translator', 'josephus']) {
  const tab = await openTab(page, pathToFileURL(webDir).href, program);
  clicks[program] = [];
  for (let i = 0; i < CLICKS; i++) {
    await runAndWait(tab, () => tab.locator('button.run').click());
    clicks[program].push(Number(await tab.locator('.output').getAttribute('data-ms')));
  }
}
await browser.close();
process.stdout.write(JSON.stringify({ clicks }) + '\n');
