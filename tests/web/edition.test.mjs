// edition.test.mjs -- the browser edition in a real browser, opened from
// file:// and from a static server: each program's main example shows the
// console program's exact output (the end-to-end case of that example) and
// its download saves the exact bytes; one refusal per program shows its
// message and status; bitree's console runs a session typed line by line.
//
//     node --test tests/web/          (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';
import { cases, download, fileOrigin, gbk, launch, openTab, runAndWait, serve, shot, shown, WEB_DIR } from './browser.mjs';

const CASES = cases('evaluator/expr.txt', 'translator/rules.txt', 'josephus/args.txt', 'bitree/session.txt',
                    'evaluator:line_of_50_refused', 'translator:refuse_long_sentence',
                    'josephus:args_refuse_n_zero', 'bitree:mixed_session');

// expectShown(tab, c): the tab shows case c's status, stdout, stderr and
// every file the case's run writes, as text; returns what it shows.
async function expectShown(tab, c) {
  const got = await shown(tab);
  assert.equal(got.status, c.status, `exit status of ${c.path}`);
  assert.equal(got.stdout, gbk(c.stdout), `stdout of ${c.path}`);
  assert.equal(got.stderr, gbk(c.stderr), `stderr of ${c.path}`);
  for (const [name, bytes] of Object.entries(c.expect)) {
    if (c.files[name] && c.files[name].equals(bytes)) continue;   // left as it was
    assert.equal(got.files[name], gbk(bytes), `${name} of ${c.path}`);
  }
  return got;
}

let browser;
let server;
before(async () => {
  browser = await launch();
  server = await serve(WEB_DIR);
});
after(async () => {
  await browser?.close();
  await server?.close();
});

test('a link reopens the same case at the same step', async () => {
  const page = await browser.newPage();
  try {
    // #evaluator, the input 2+3*4 (base64url "MiszKjQ"), step 4 of its trace.
    await page.goto(`${fileOrigin()}/index.html#evaluator&in=MiszKjQ&step=4`);
    const tab = page.locator('#tab-evaluator');
    await tab.locator('.picture[data-draws]').waitFor();
    assert.equal(await tab.locator('textarea.document').inputValue(), '2+3*4');
    assert.equal(await tab.locator('.picture').getAttribute('data-step'), '3');
    assert.equal(await tab.locator('table.trace tr[aria-current="step"] td').first().textContent(), '4');
  } finally {
    await page.close();
  }
});

for (const origin of ['file', 'http']) {
  describe(`opened from ${origin}`, () => {
    let page;
    const base = () => (origin === 'file' ? fileOrigin() : server.url);
    before(async () => { page = await browser.newPage({ viewport: { width: 1200, height: 900 } }); });
    after(async () => { await page.close(); });

    test('evaluator: the main example and a refusal', async () => {
      const tab = await openTab(page, base(), 'evaluator');
      const c = CASES['evaluator/expr.txt'];
      await expectShown(tab, c);
      assert.deepEqual(await download(tab, 'result.txt'), c.expect['result.txt']);
      const rows = await tab.locator('table.trace tr').count();
      assert.equal(rows, gbk(c.expect['result.txt']).split('\n').filter(Boolean).length);
      if (origin === 'file') await shot(page, 'evaluator');
      const refusal = CASES['evaluator:line_of_50_refused'];
      await tab.locator('textarea.document').fill(gbk(refusal.files['expr.txt']));
      await runAndWait(tab, () => tab.locator('button.run').click());
      await expectShown(tab, refusal);
    });

    test('translator: the main example and a refusal', async () => {
      const tab = await openTab(page, base(), 'translator');
      const c = CASES['translator/rules.txt'];
      await expectShown(tab, c);
      assert.deepEqual(await download(tab, 'translate.txt'), c.expect['translate.txt']);
      if (origin === 'file') await shot(page, 'translator');
      const refusal = CASES['translator:refuse_long_sentence'];
      await tab.locator('textarea.document').fill(gbk(refusal.files['rules.txt']));
      await runAndWait(tab, () => tab.locator('button.run').click());
      await expectShown(tab, refusal);
    });

    test('josephus: the main example and a refusal', async () => {
      const tab = await openTab(page, base(), 'josephus');
      const c = CASES['josephus/args.txt'];
      await expectShown(tab, c);
      assert.deepEqual(await download(tab, 'out.txt'), c.expect['out.txt']);
      if (origin === 'file') await shot(page, 'josephus');
      const refusal = CASES['josephus:args_refuse_n_zero'];
      await tab.locator('input.args').fill(refusal.args.join(' '));
      await runAndWait(tab, () => tab.locator('button.run').click());
      await expectShown(tab, refusal);
    });

    test('bitree: the main example, and a session typed line by line', async () => {
      const tab = await openTab(page, base(), 'bitree');
      await expectShown(tab, CASES['bitree/session.txt']);
      if (origin === 'file') await shot(page, 'bitree');
      const session = CASES['bitree:mixed_session'];
      await runAndWait(tab, () => tab.locator('button.clear').click());
      const lines = gbk(session.stdin).split('\n');
      if (lines.at(-1) === '') lines.pop();
      for (const line of lines) {
        await runAndWait(tab, () => tab.locator('input.console-line').fill(line)
          .then(() => tab.locator('input.console-line').press('Enter')));
        // Before the end of input the console waits for the next line.
        assert.equal(await tab.locator('.console-screen .cursor').count(), 1);
      }
      await runAndWait(tab, () => tab.locator('button.end-input').click());
      await expectShown(tab, session);
      // The transcript is stdout with each typed line where the program read it.
      const typed = await tab.locator('.console-screen .typed:not(.end)').allTextContents();
      assert.deepEqual(typed, lines.map((l) => l + '\n'));
      const screen = await tab.locator('.console-screen').evaluate((s) => {
        const copy = s.cloneNode(true);
        copy.querySelectorAll('.typed, .ended').forEach((n) => n.remove());
        return copy.textContent;
      });
      assert.equal(screen, gbk(session.stdout));
    });
  });
}
