// edition.test.mjs -- the browser edition in a real browser, opened from
// file:// and from a static server: each program's main example shows the
// console program's exact output (the end-to-end case of that example) and
// its download saves the exact bytes; the refusal a program's own checks
// name (tests/<name>/web.mjs) shows its message and status, and what else
// they ask of its tab (a console session typed line by line, a table's
// rows) holds. The programs are those of the registry, in its order.
//
//     node --test tests/web/          (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';
import { cases, download, fileOrigin, gbk, launch, linkInput, openTab, runAndWait, serve, shot, shown, WEB_DIR } from './browser.mjs';
import { PROGRAMS } from './registry.mjs';

// Each program's main example, and the case its tab must refuse where its
// own checks (tests/<name>/web.mjs) name one.
const CASES = cases(...PROGRAMS.flatMap((p) => [`${p.name}/${p.mainExample}`]
  .concat(p.checks.refusal ? [`${p.name}:${p.checks.refusal}`] : [])));

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

// typeInput(tab, p, c): gives case c's input to program p's tab as a user
// would type it: the document named on the command line, or the words of
// the command line.
async function typeInput(tab, p, c) {
  if (p.input === 'document') await tab.locator('textarea.document').fill(gbk(c.files[p.inputFile]));
  else if (p.input === 'args') await tab.locator('input.args').fill(c.args.join(' '));
  else assert.fail(`${p.name}: a refusal is typed into a document or a command line`);
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
  const p = PROGRAMS.find((q) => q.input === 'document');
  const text = gbk(CASES[`${p.name}/${p.mainExample}`].files[p.inputFile]);
  const page = await browser.newPage();
  try {
    // #<program>, its main example (with its checksum), step 2.
    const input = linkInput('', text);
    await page.goto(`${fileOrigin()}/index.html#${p.name}&in=${input}&step=2`);
    const tab = page.locator(`#tab-${p.name}`);
    await tab.locator('.picture[data-draws]').waitFor();
    assert.equal(await tab.locator('textarea.document').inputValue(), text);
    assert.equal(await tab.locator('.picture').getAttribute('data-step'), '1');
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

    for (const p of PROGRAMS) {
      test(`${p.name}: the main example${p.checks.refusal ? ' and a refusal' : ''}`, async () => {
        const tab = await openTab(page, base(), p.name);
        const c = CASES[`${p.name}/${p.mainExample}`];
        await expectShown(tab, c);
        if (p.output) assert.deepEqual(await download(tab, p.output), c.expect[p.output]);
        if (origin === 'file') await shot(page, p.name);
        if (p.checks.edition) {
          await p.checks.edition(tab, c, { assert, gbk, cases, runAndWait, expectShown });
        }
        if (p.checks.refusal) {
          const refusal = CASES[`${p.name}:${p.checks.refusal}`];
          await typeInput(tab, p, refusal);
          await runAndWait(tab, () => tab.locator('button.run').click());
          await expectShown(tab, refusal);
        }
      });
    }
  });
}
