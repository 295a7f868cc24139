// pictures.test.mjs -- bitree's picture in a real browser, opened
// from file://, held to the program's own output and to the rule the tree
// is rebuilt by: the rebuild of the main example is drawn one step per
// PreInCreate call, with that call's ranges, in the order the calls come;
// an inconsistent pair stops on the line that finds the root missing; each
// walk visits the nodes in the order of its printed line; the dashed
// threads are the threads the step writer reports (run here in node,
// through the same runner, on the same input). A step drawn after others
// looks as in a new page opened at it, a tree of 1023 nodes still draws,
// and a long session says where its record stops. Screenshots go to
// build/web/shots/.
//
//     node --test tests/bitree/pictures.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { fileOrigin, freshPicture, launch, linkInput, SHOTS, shown, WEB_DIR } from '../web/browser.mjs';

const require = createRequire(import.meta.url);
const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

// The labels of the lines bitree prints, before their characters.
const PREORDER = '先序遍历输出：';
const INORDER = '中序遍历输出：';
const THREADED = '后续线索化二叉树遍历输出：';
const FORMS = { preorder: '波兰式：', inorder: '中缀表达式', postorder: '逆波兰式' };

// traceOf(stdin): the step writer's trace of a session, from the built
// program run in node through the page's runner.
async function traceOf(stdin) {
  const runner = require(path.join(WEB_DIR, 'worker/runner.js'));
  const factory = require(path.join(WEB_DIR, 'bitree.js'));
  const result = await runner().runProgram(factory, 'bitree',
                                           { args: [], stdin: new Uint8Array(stdin), files: [], dirs: [], entry: 'WriteSteps' });
  return JSON.parse(Buffer.from(result.stdout).toString('latin1'));
}

// calls(pre, inorder): the calls PreInCreate makes for the pair, as the
// rule of the rebuild has them: the root is the first of the preorder
// range, found from the left in the inorder range; its left part is called
// first. Each call as "s1 end1 s2 end2".
function calls(pre, inorder, s1 = 0, end1 = pre.length - 1, s2 = 0, end2 = inorder.length - 1) {
  const here = [`${s1} ${end1} ${s2} ${end2}`];
  let i = s2;
  while (i <= end2 && inorder[i] !== pre[s1]) i++;
  if (i > end2) return here;
  const left = i - s2, right = end2 - i;
  if (left) here.push(...calls(pre, inorder, s1 + 1, s1 + left, s2, s2 + left - 1));
  if (right) here.push(...calls(pre, inorder, end1 - right + 1, end1, end2 - right + 1, end2));
  return here;
}

// printed(stdout, label): the characters after label on each line of
// stdout that starts with it, in order.
function printed(stdout, label) {
  return stdout.split('\n').filter((l) => l.startsWith(label)).map((l) => l.slice(label.length));
}

// openSession(page, stdin): opens the bitree tab on a link that holds the
// session's input, and waits for its picture; returns the tab.
async function openSession(page, stdin) {
  await page.goto('about:blank');     // a new page, not a change of its # part
  await page.goto(`${fileOrigin()}/index.html#bitree&in=${linkInput('e', stdin)}`);
  const tab = page.locator('#tab-bitree');
  await tab.locator('.picture-text[data-builds]').waitFor();
  return tab;
}

// picture(tab): what the picture shows: {choice (from 0), phase (the
// step's kind), nodes (how many are drawn), current (the character of the
// node marked current, or null), threads (the dashed thread arrows, "node
// side target", sorted), printed (the line under the title), line (the
// source line the code panel marks), markup, caption (the sentence beside
// the picture), step, count}.
async function picture(tab) {
  const box = tab.locator('.picture');
  const seen = await box.evaluate((b) => {
    const svg = b.querySelector('svg.picture-svg');
    const g = svg.querySelector('g[data-phase]');
    const current = svg.querySelector('[data-state="current"] .bitree-label');
    const threads = [...svg.querySelectorAll('path[data-kind="thread"]')]
      .filter((p) => p.getAttribute('stroke-dasharray'))
      .map((p) => `${p.dataset.from} ${p.dataset.side} ${p.dataset.to}`).sort();
    const line = b.querySelector('.code-line[aria-current="step"] .code-text');
    return { choice: Number(g.dataset.choice), phase: g.dataset.phase, nodes: svg.querySelectorAll('g[data-node]').length,
             current: current ? current.textContent : null, threads,
             printed: svg.querySelector('[data-kind="printed"]').textContent,
             line: line ? line.textContent : null, markup: svg.outerHTML,
             caption: b.querySelector('.bitree-caption').textContent };
  });
  return { ...seen, step: Number(await box.getAttribute('data-step')), count: Number(await box.getAttribute('data-count')) };
}

// walkThrough(tab, i): picks choice i in the picture's list and steps
// through it to its end; returns per kind of step the pictures of its
// steps, in order.
async function walkThrough(tab, i) {
  await tab.locator('.bitree-choices button').nth(i).click();
  const parts = {};
  for (let p = await picture(tab); p.choice === i; p = await picture(tab)) {
    (parts[p.phase] ??= []).push(p);
    if (p.step === p.count - 1) break;
    await tab.locator('.step-forward').click();
  }
  return parts;
}

// visited(pictures): the characters marked current, in order.
const visited = (pictures) => (pictures || []).map((p) => p.current).join('');

// shootPicture(tab, name): saves the picture's box as a screenshot for
// people to look at (never compared).
async function shootPicture(tab, name) {
  fs.mkdirSync(SHOTS, { recursive: true });
  await tab.locator('.picture').screenshot({ path: path.join(SHOTS, name + '.png') });
}

let browser;
let page;
before(async () => {
  browser = await launch();
  page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
});
after(async () => { await browser?.close(); });

describe('bitree picture, opened from file', () => {
  test('the main example rebuilt one step per PreInCreate call, with its ranges', async () => {
    const stdin = fs.readFileSync(path.join(ROOT, 'examples/bitree/choice0.txt'));
    const [pre, inorder] = stdin.toString().trim().split(/\s+/).slice(1);
    const tab = await openSession(page, stdin);
    const parts = await walkThrough(tab, 0);
    const drawn = parts.split.map((p) => p.printed.match(/\((?:pre, in, )?(.*)\)/)[1].replace(/,/g, ''));
    assert.deepEqual(drawn, calls(pre, inorder));
    // Each call's root is the node that grows the tree at its step.
    assert.equal(visited(parts.split), pre);
    assert.deepEqual(parts.split.map((p) => p.nodes), [...pre].map((_, k) => k + 1));
    assert.ok(parts.split.every((p) => /int right = end2 - i;/.test(p.line)));
    await tab.locator('.bitree-choices button').first().click();
    await tab.locator('.step-forward').click();
    await tab.locator('.step-forward').click();
    await shootPicture(tab, 'picture-bitree-rebuild');
  });

  test('an inconsistent pair stops on the line that finds the root missing', async () => {
    const stdin = Buffer.from('0 ABC ACD\n0 ABC BAC\n');
    const tab = await openSession(page, stdin);
    const parts = await walkThrough(tab, 0);
    assert.deepEqual(Object.keys(parts).slice(0, 3), ['choice', 'split', 'missing']);
    assert.equal(parts.missing.length, 1);
    assert.match(parts.missing[0].line, /if \(i > end2\)/);
    assert.equal(parts.missing[0].printed, `PreInCreate(pre, in, ${calls('ABC', 'ACD').at(-1).split(' ').join(', ')})`);
    assert.equal(parts.tree[0].nodes, 0);
    assert.match(parts.tree[0].caption, /没有建成树/);
  });

  test('the session example: trees, threads and walks as the program printed them', async () => {
    const stdin = fs.readFileSync(path.join(ROOT, 'examples/bitree/session.txt'));
    const trace = await traceOf(stdin);
    const tab = await openSession(page, stdin);
    const { stdout } = await shown(tab);
    const lines = { preorder: printed(stdout, PREORDER), inorder: printed(stdout, INORDER), walk: printed(stdout, THREADED) };
    const forms = Object.fromEntries(Object.entries(FORMS).map(([f, label]) => [f, printed(stdout, label)]));
    let trees = 0, expressions = 0;
    for (const [i, choice] of trace.input.choices.entries()) {
      const parts = await walkThrough(tab, i);
      if (choice.choice === 0) {
        assert.equal(parts.tree[0].nodes, lines.preorder[trees].length, `nodes of choice ${i + 1}`);
        for (const walk of ['preorder', 'inorder', 'walk']) {
          assert.equal(visited(parts[walk]), lines[walk][trees], `${walk} of choice ${i + 1}`);
        }
        const threads = trace.steps.find((s) => s.at === i + 1 && s.kind === 'threaded').threads
          .map(([k, side, to]) => `${k} ${side ? 'succ' : 'pred'} ${to}`).sort();
        assert.deepEqual(parts.threaded[0].threads, threads, `threads of choice ${i + 1}`);
        assert.equal(parts.thread.length, threads.length, `one step per thread of choice ${i + 1}`);
        trees++;
      } else if (choice.choice === 1) {
        assert.equal(parts.tree[0].nodes, forms.preorder[expressions].length, `nodes of choice ${i + 1}`);
        assert.equal(visited(parts.node), forms.preorder[expressions], `the tree built node by node, choice ${i + 1}`);
        for (const form of Object.keys(FORMS)) {
          assert.equal(visited(parts[form]), forms[form][expressions], `${form} walk of choice ${i + 1}`);
        }
        expressions++;
      }
    }
    assert.equal(trees, 2);
    assert.equal(expressions, 1);

    // A walk step drawn after the others looks as in a new page opened at it.
    await tab.locator('.bitree-choices button').first().click();
    for (let p = await picture(tab); p.phase !== 'walk'; p = await picture(tab)) await tab.locator('.step-forward').click();
    await tab.locator('.step-forward').click();
    const middle = await picture(tab);
    await tab.locator('.step-back').click();
    assert.notEqual((await picture(tab)).markup, middle.markup);
    await tab.locator('.step-forward').click();
    const fresh = await freshPicture(browser, page.url(), 'bitree');
    assert.equal(fresh.step, middle.step);
    assert.equal((await picture(tab)).markup, fresh.svg);
    await shootPicture(tab, 'picture-bitree-threads');
  });

  test('an expression\'s values bottom up, and a division by zero', async () => {
    const stdin = Buffer.from('2 -*+1234\n2 /8-44\n');
    const trace = await traceOf(stdin);
    const tab = await openSession(page, stdin);
    const { stdout } = await shown(tab);
    const parts = await walkThrough(tab, 0);
    assert.equal(parts.value.at(-1).printed, `值：${stdout.match(/波兰式值为：(-?\d+)/)[1]}`);
    await tab.locator('.step-last').click();
    const zero = await tab.locator('svg.picture-svg [data-state="zero"]').getAttribute('data-node');
    assert.equal(Number(zero), trace.steps.at(-1).node);
    assert.equal(trace.steps.at(-1).kind, 'zero');
    assert.match(stdout, /除数为零/);
    await shootPicture(tab, 'picture-bitree-expression');
  });

  test('trees of 1023 nodes draw; the record stops at its bound and says so', async () => {
    const chain = 'A'.repeat(1023);
    const stdin = Buffer.from(`0 ${chain} ${chain}\n`);
    const trace = await traceOf(stdin);
    assert.equal(trace.stopped, 'bound');
    const tab = await openSession(page, stdin);
    assert.equal((await shown(tab)).stdout.split(PREORDER)[1].split('\n')[0].length, 1023);
    assert.match(await tab.locator('.picture-note').first().textContent(), new RegExp(`前 ${trace.steps.length} 步`));
    await tab.locator('.step-last').click();
    assert.equal((await picture(tab)).nodes, 1023);
    const frame = tab.locator('.picture-canvas');
    assert.ok(await frame.evaluate((f) => f.scrollHeight > f.clientHeight));
  });

  test('a choice whose title wraps keeps its number on its first line', async () => {
    const narrow = await browser.newPage({ viewport: { width: 420, height: 900 } });
    try {
      const tab = await openSession(narrow, Buffer.from('1 *+123\n0 ABCDEFGHIJKLMNOPQRSTUVWX XWVUTSRQPONMLKJIHGFEDCBA\n'));
      const item = tab.locator('.bitree-choices li').nth(1);
      // The marker stands on the baseline of the item's first line box,
      // as a letter put before the title does: that letter must stand
      // beside the title's first line, not its last.
      const seen = await item.evaluate((l) => {
        const button = l.querySelector('button');
        const probe = document.createElement('span');
        probe.textContent = '\u200b';
        l.insertBefore(probe, button);
        const range = document.createRange();
        range.selectNodeContents(button);
        const lines = range.getClientRects();
        const at = { probe: probe.getBoundingClientRect().bottom, first: lines[0].bottom, lines: lines.length,
                     height: button.getBoundingClientRect().height };
        probe.remove();
        return at;
      });
      assert.ok(seen.height > 30, `the title wraps (${seen.height}px)`);
      assert.ok(seen.probe <= seen.first + 4, `the number by the first line: ${JSON.stringify(seen)}`);
    } finally {
      await narrow.close();
    }
  });
});
