// grader-report.test.mjs -- the grading kit's report.html as a teacher opens
// it, from file:// in chromium: a class of two graded by the built kit
// (our josephus handed in as an executable, and a script whose seat
// numbers are off by one), the table sorted by a click on 得分 both ways,
// the failing case's reason shown with a link to the page at its input.
// The link opens the page copied beside the report at that case's input,
// with the student's output in 对照 and the picture at the first differing
// step. Saves build/web/shots/grader-report.png and grader-link.png.
//
//     node --test tests/web/grader-report.test.mjs   (after the gcc lane
//     has built build/gcc/grader/grader and build/gcc/josephus/josephus;
//     GRADER names another kit)
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { test } from 'node:test';
import { launch, SHOTS } from './browser.mjs';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const GRADER = path.resolve(ROOT, process.env.GRADER || 'build/gcc/grader/grader');
const OURS = path.join(path.dirname(GRADER), '..', 'josephus', 'josephus');
const EXAMPLES = path.join(ROOT, 'examples', 'josephus');

test('report.html: the class table sorts, a failing case shows its reason and links to the page', async () => {
  const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'grader-report-'));
  try {
    const cls = path.join(tmp, 'class');
    fs.mkdirSync(path.join(cls, '张三'), { recursive: true });
    fs.copyFileSync(OURS, path.join(cls, '张三', 'josephus'));
    fs.chmodSync(path.join(cls, '张三', 'josephus'), 0o755);
    fs.mkdirSync(path.join(cls, '李四'));
    fs.writeFileSync(path.join(cls, '李四', 'run'), '#!/bin/sh\nprintf "3 4 5 1 2 " > out.txt\n', { mode: 0o755 });
    execFileSync(GRADER, ['josephus', cls, '--jobs', '1'], { stdio: 'ignore' });

    const browser = await launch();
    try {
      const page = await browser.newPage({ viewport: { width: 1100, height: 760 } });
      await page.goto(pathToFileURL(path.join(cls, '评测结果', 'report.html')).href);
      const names = () => page.locator('#class tbody tr td:first-child').allTextContents();
      await page.locator('#class th', { hasText: '得分' }).click();
      assert.deepEqual(await names(), ['李四', '张三']);
      await page.locator('#class th', { hasText: '得分' }).click();
      assert.deepEqual(await names(), ['张三', '李四']);
      const section = page.locator('section', { hasText: '李四' });
      await section.getByText('第 1 个出列的座号：你的是 3，应为 2').first().waitFor();
      const href = await section.locator('a', { hasText: '在网页中打开' }).first().getAttribute('href');
      assert.match(href, /^web\/index\.html#josephus&in=[0-9a-f]{8}\.a[A-Za-z0-9_-]+&mine=[0-9a-f]{8}\.[A-Za-z0-9_-]+$/);
      assert.equal(Buffer.from(href.split('&mine=')[1].split('.')[1], 'base64url').toString(), '3 4 5 1 2 ',
                   'the link carries the student\'s output');
      fs.mkdirSync(SHOTS, { recursive: true });
      await page.screenshot({ path: path.join(SHOTS, 'grader-report.png'), fullPage: true });
      // The link, followed from the report, opens the page copied beside it
      // at that case's input, whole (its checksum holds).
      const linked = pathToFileURL(path.join(cls, '评测结果', href.split('#')[0])).href + '#' + href.split('#')[1];
      await page.goto(linked);
      const tab = page.locator('#tab-josephus');
      await tab.locator('.picture[data-draws]').waitFor();
      const args = await tab.locator('input.args').inputValue();
      const examples = fs.readdirSync(EXAMPLES).map((n) => fs.readFileSync(path.join(EXAMPLES, n), 'utf8').trim());
      assert.ok(args && examples.includes(args), `the case's own input: ${args}`);
      assert.equal(await tab.locator('.link-note').isHidden(), true, 'no damaged-link line');
      // 对照 holds the student's output, compared, and the picture stands
      // at the first leaving, where the seat numbers part.
      const report = tab.locator('.dsd-compare-report');
      await report.locator('.dsd-compare-where').waitFor();
      assert.match(await report.locator('.dsd-compare-where').textContent(), /第 1 个出列的座号/);
      assert.match(await tab.locator('.dsd-compare-file').textContent(), /学生的输出（10 个字节）/);
      assert.equal(await tab.locator('.picture').getAttribute('data-step'), '2');
      await page.screenshot({ path: path.join(SHOTS, 'grader-link.png'), fullPage: true });
    } finally {
      await browser.close();
    }
  } finally {
    fs.rmSync(tmp, { recursive: true, force: true });
  }
});
