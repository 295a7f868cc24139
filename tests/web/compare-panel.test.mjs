// compare-panel.test.mjs -- the 对照 panel shows the report that
// web/tools/compare.mjs prints for the same two files: a student's result.txt
// that differs from ours in one OPND value, opened as a file, is reported
// with its step and column in the page as on the command line.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { cases, fileOrigin, launch, openTab } from './browser.mjs';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

test('the panel shows the command line report of one changed OPND value', async () => {
  const ours = cases('evaluator/expr.txt')['evaluator/expr.txt'].expect['result.txt'];
  // Row 8 of 3*(7-2) holds "3 5" on OPND; the student's program wrote 6.
  const mine = Buffer.from(ours.toString('latin1').replace('\t3 5 \t', '\t3 6 \t'), 'latin1');
  assert.notDeepEqual(mine, ours);
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'dsd-compare-'));
  fs.writeFileSync(path.join(dir, 'ours.txt'), ours);
  fs.writeFileSync(path.join(dir, 'mine.txt'), mine);
  let cli = null;
  try {
    execFileSync('node', [path.join(ROOT, 'web/tools/compare.mjs'), 'evaluator', 'ours.txt', 'mine.txt'], { cwd: dir });
  } catch (e) {
    assert.equal(e.status, 1, 'compare.mjs ends with status 1 when the contents differ');
    cli = e.stdout.toString();
  } finally {
    fs.rmSync(dir, { recursive: true, force: true });
  }
  assert.ok(cli !== null, 'compare.mjs ended with status 0 although the contents differ');
  assert.match(cli, /第一个不同：/);
  const where = /第一个不同：(.*)/.exec(cli)[1];
  assert.match(where, /第 8 步，OPND栈 列/);

  const browser = await launch();
  try {
    const page = await browser.newPage();
    const tab = await openTab(page, fileOrigin(), 'evaluator');
    await tab.locator('.dsd-compare input[type=file]').setInputFiles(
      { name: 'result.txt', mimeType: 'text/plain', buffer: mine });
    await tab.locator('.dsd-compare-run').click();
    const report = tab.locator('.dsd-compare-report');
    await report.locator('.dsd-compare-where').waitFor();
    assert.equal(await report.locator('.dsd-compare-verdict').textContent(), cli.split('\n')[0]);
    assert.equal(await report.locator('.dsd-compare-where').textContent(), '第一个不同：' + where);
    const hex = await report.locator('.dsd-compare-hex').allTextContents();
    assert.deepEqual(hex, ['不同的字节：35', '不同的字节：36']);
    // The picture goes to the step that differs.
    assert.equal(await tab.locator('.picture').getAttribute('data-step'), '7');
  } finally {
    await browser.close();
  }
});
