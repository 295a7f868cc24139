// pictures-bitree.test.mjs -- bitree's picture in a real browser, opened
// from file://, held to the program's own output: the nodes drawn are as
// many as the printed preorder has characters, each walk visits the nodes
// in the order of its printed line, and the dashed threads are exactly the
// thread tags the step writer reports (run here in node, through the same
// runner, on the same input). Stepping back then forward redraws the same
// picture, and a tree of 1023 nodes still draws. Screenshots of the
// threaded tree and of an expression tree go to build/web/shots/.
//
//     node --test tests/web/pictures-bitree.test.mjs   (after ./scripts/web.sh)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { fileOrigin, freshPicture, launch, SHOTS, shown, WEB_DIR } from './browser.mjs';

const require = createRequire(import.meta.url);
const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');

// The labels of the lines bitree prints, before their characters.
const PREORDER = '先序遍历输出：';
const THREADED = '后续线索化二叉树遍历输出：';
const FORMS = { prefix: '波兰式：', infix: '中缀表达式', postfix: '逆波兰式' };

// stepsOf(stdin): the step writer's description of a session, from the
// built program run in node through the page's runner.
async function stepsOf(stdin) {
  const runner = require(path.join(WEB_DIR, 'worker/runner.js'));
  const factory = require(path.join(WEB_DIR, 'bitree.js'));
  const result = await runner().runProgram(factory, 'bitree',
                                           { args: [], stdin: new Uint8Array(stdin), files: [], dirs: [], entry: 'WriteSteps' });
  return JSON.parse(Buffer.from(result.stdout).toString('latin1'));
}

// tagThreads(choice): the threads a choice 0 of the step writer reports,
// one "node side target" per tag 1, sorted.
function tagThreads(choice) {
  return choice.nodes.flatMap((n, k) => [
    ...(n.ltag === 1 ? [`${k} pred ${n.lchild}`] : []),
    ...(n.rtag === 1 ? [`${k} succ ${n.rchild}`] : []),
  ]).sort();
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
  await page.goto(`${fileOrigin()}/index.html#bitree&in=e${Buffer.from(stdin).toString('base64url')}`);
  const tab = page.locator('#tab-bitree');
  await tab.locator('.picture-text[data-builds]').waitFor();
  return tab;
}

// picture(tab): what the picture shows: {choice, phase, nodes (how many
// are drawn), current (the character of the node visited at this step, or
// null), threads (the dashed thread arrows, as tagThreads writes them),
// markup, step, count}.
async function picture(tab) {
  const box = tab.locator('.picture');
  const seen = await tab.locator('svg.picture-svg').evaluate((svg) => {
    const g = svg.querySelector('g[data-phase]');
    const current = svg.querySelector('[data-state="current"] .bitree-label');
    const threads = [...svg.querySelectorAll('path[data-kind="thread"]')]
      .filter((p) => getComputedStyle(p).strokeDasharray !== 'none')
      .map((p) => `${p.dataset.from} ${p.dataset.side} ${p.dataset.to}`).sort();
    return { choice: Number(g.dataset.choice), phase: g.dataset.phase, nodes: svg.querySelectorAll('[data-node]').length,
             current: current ? current.textContent : null, threads, markup: svg.outerHTML };
  });
  return { ...seen, step: Number(await box.getAttribute('data-step')), count: Number(await box.getAttribute('data-count')) };
}

// walkThrough(tab, i): picks choice i in the picture's list and steps
// through it to its end; returns, for each part of its picture, its first
// step's picture and the characters its steps visited, in order.
async function walkThrough(tab, i) {
  await tab.locator('.bitree-choices button').nth(i).click();
  const parts = {};
  for (let p = await picture(tab); p.choice === i; p = await picture(tab)) {
    parts[p.phase] ??= { first: p, visited: '' };
    if (p.current !== null) parts[p.phase].visited += p.current;
    if (p.step === p.count - 1) break;
    await tab.locator('.step-forward').click();
  }
  return parts;
}

// clickPrinted(tab, label, k): clicks character k of the output line with
// that label, in the text beside the picture.
async function clickPrinted(tab, label, k) {
  await tab.locator('.bitree-line', { hasText: label }).locator('.bitree-char').nth(k).click();
}

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
  test('the session example: trees, threads and walks as the program printed them', async () => {
    const stdin = fs.readFileSync(path.join(ROOT, 'examples/bitree/session.txt'));
    const steps = await stepsOf(stdin);
    const tab = await openSession(page, stdin);
    const { stdout } = await shown(tab);
    const preorders = printed(stdout, PREORDER);
    const threaded = printed(stdout, THREADED);
    const forms = Object.fromEntries(Object.entries(FORMS).map(([f, label]) => [f, printed(stdout, label)]));
    let trees = 0, expressions = 0;
    for (const [i, choice] of steps.choices.entries()) {
      const parts = await walkThrough(tab, i);
      if (choice.choice === 0) {
        assert.equal(parts.tree.first.nodes, preorders[trees].length, `nodes of choice ${i + 1}`);
        assert.equal(parts.walk.visited, threaded[trees], `walk of choice ${i + 1}`);
        assert.deepEqual(parts.threads.first.threads, tagThreads(choice), `threads of choice ${i + 1}`);
        trees++;
      } else if (choice.choice === 1) {
        assert.equal(parts.tree.first.nodes, forms.prefix[expressions].length, `nodes of choice ${i + 1}`);
        for (const form of Object.keys(FORMS)) {
          assert.equal(parts[form].visited, forms[form][expressions], `${form} walk of choice ${i + 1}`);
        }
        expressions++;
      }
    }
    assert.equal(trees, 2);
    assert.equal(expressions, 1);

    // Clicking the third character of the first walk's line shows the
    // step that visits it; back then forward redraws that picture.
    await tab.locator('.bitree-choices button').first().click();
    await clickPrinted(tab, THREADED, 2);
    const middle = await picture(tab);
    assert.deepEqual([middle.phase, middle.current], ['walk', threaded[0][2]]);
    await tab.locator('.step-back').click();
    assert.notEqual((await picture(tab)).markup, middle.markup);
    await tab.locator('.step-forward').click();
    // After the visits, the step looks as in a new page opened at it.
    const fresh = await freshPicture(browser, page.url(), 'bitree');
    assert.equal(fresh.step, middle.step);
    assert.equal((await picture(tab)).markup, fresh.svg);
    await shootPicture(tab, 'picture-bitree-threads');
  });

  test('an expression tree walked three ways, and a division by zero', async () => {
    const stdin = Buffer.from('1 -*+1234\n2 /8-44\n');
    const steps = await stepsOf(stdin);
    const tab = await openSession(page, stdin);
    const { stdout } = await shown(tab);
    const parts = await walkThrough(tab, 0);
    assert.equal(parts.tree.first.nodes, printed(stdout, FORMS.prefix)[0].length);
    for (const [form, label] of Object.entries(FORMS)) assert.equal(parts[form].visited, printed(stdout, label)[0]);
    // The division by zero is the last step, marked at the '/' node.
    await tab.locator('.step-last').click();
    const zero = await tab.locator('svg.picture-svg [data-state="zero"]').getAttribute('data-node');
    assert.equal(Number(zero), steps.choices[1].divideByZero);
    assert.match(stdout, /除数为零/);
    await tab.locator('.bitree-choices button').first().click();
    await clickPrinted(tab, FORMS.infix, 4);
    const middle = await picture(tab);
    assert.deepEqual([middle.phase, middle.current], ['infix', printed(stdout, FORMS.infix)[0][4]]);
    await shootPicture(tab, 'picture-bitree-expression');
  });

  test('trees of 1023 nodes draw, and scroll', async () => {
    // A perfect tree of ten levels, each node's byte its level, and a chain
    // of 1023 right children.
    const perfect = (level) => (level === 10 ? ['', ''] : (() => {
      const [pre, inorder] = perfect(level + 1);
      const here = String.fromCharCode(65 + level);
      return [here + pre + pre, inorder + here + inorder];
    })());
    const chain = 'A'.repeat(1023);
    const stdin = Buffer.from(`0 ${perfect(0).join(' ')}\n0 ${chain} ${chain}\n`);
    const steps = await stepsOf(stdin);
    const tab = await openSession(page, stdin);
    const preorders = printed((await shown(tab)).stdout, PREORDER);
    for (const i of [0, 1]) {
      await tab.locator('.bitree-choices button').nth(i).click();
      assert.equal((await picture(tab)).nodes, preorders[i].length);
      assert.equal(preorders[i].length, 1023);
      await tab.locator('.step-forward').click();
      assert.deepEqual((await picture(tab)).threads, tagThreads(steps.choices[i]));
    }
    // The picture says it is drawn small, and its frame scrolls: the
    // perfect tree sideways, the chain down as well.
    assert.match(await tab.locator('.picture-text .picture-note').textContent(), /1023 个结点/);
    const frame = tab.locator('.picture-canvas');
    const overflow = () => frame.evaluate((f) => [f.scrollWidth > f.clientWidth, f.scrollHeight > f.clientHeight]);
    assert.deepEqual(await overflow(), [true, true]);
    await tab.locator('.bitree-choices button').first().click();
    assert.equal((await overflow())[0], true);
  });
});

describe('bitree picture, a long session', () => {
  test('every choice up to the step writer\'s bound is drawn, with a note on the ones past it', async () => {
    const stdin = Buffer.from('2 -93\n'.repeat(101));
    const steps = await stepsOf(stdin);
    assert.equal(steps.cut, true);
    const bound = steps.choices.length;
    assert.ok(bound >= 100, `the step writer describes ${bound} choices`);
    const tab = await openSession(page, stdin);
    assert.equal(await tab.locator('.bitree-choices li').count(), bound);
    assert.match(await tab.locator('.bitree-cut').textContent(), new RegExp(`超过 ${bound} 次`));
    await tab.locator('.step-last').click();
    assert.equal((await picture(tab)).choice, bound - 1);
  });
});
