// The stack layout (web/draw/stack.js) in node, without a browser: the
// places it gives are the ones a reader of an upright stack expects.
//
//     node --test tests/web/layout-stack.test.mjs
import test from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';

const require = createRequire(import.meta.url);
const { stackLayout } = require('../../web/draw/stack.js');

test('a stack stands on its floor: the bottom element lowest, each next one right above it, none outside the box', () => {
  const L = stackLayout(['#', '(', '+'], { x: 10, y: 100, width: 40, itemHeight: 30, gap: 4, slots: 5 });
  assert.equal(L.bottom, 100 + 5 * 30);
  assert.deepEqual(L.items.map((p) => p.value), ['#', '(', '+']);
  assert.deepEqual(L.items.map((p) => p.index), [0, 1, 2]);
  assert.deepEqual(L.items.map((p) => p.isTop), [false, false, true]);
  L.items.forEach((p, i) => {
    assert.equal(p.x, 10);
    assert.equal(p.w, 40);
    assert.equal(p.h, 26);
    assert.equal(p.y + p.h + 2, L.bottom - i * 30, `element ${i} stands one slot above the one under it`);
    assert.ok(p.y >= L.top, `element ${i} is inside the box`);
    assert.equal(p.cy, p.y + p.h / 2);
  });
  assert.equal(L.incoming, null);
  assert.equal(L.next.y, L.items[2].y - 30, 'the next push goes right above the top');
});

test('the box keeps its slots as the stack changes, makes room for a push, and shrinks its slots only to its floor of readability', () => {
  const small = stackLayout([1], { y: 0, slots: 6 });
  const big = stackLayout([1, 2, 3, 4], { y: 0, slots: 6 });
  assert.equal(small.bottom, big.bottom, 'the floor stays put for the deepest stack of the run');
  assert.equal(small.items[0].y, big.items[0].y);

  const pushing = stackLayout(['a', 'b'], { y: 0, pushed: 'c' });
  assert.equal(pushing.bottom, 3 * 30, 'a push needs a slot of its own');
  assert.deepEqual([pushing.incoming.index, pushing.incoming.value, pushing.incoming.y], [2, 'c', pushing.next.y]);
  assert.equal(pushing.items[1].isTop, true);

  const deep = stackLayout(new Array(20).fill(0), { y: 0, room: 200, minHeight: 16 });
  assert.equal(deep.itemHeight, 16, 'twenty slots in 200 pixels: no slot under 16');
  assert.ok(deep.items.every((p) => p.h > 0 && p.y >= 0));
  const fits = stackLayout(new Array(5).fill(0), { y: 0, room: 100 });
  assert.equal(fits.itemHeight, 20, 'five slots share 100 pixels');
  assert.equal(fits.bottom, 100);

  const empty = stackLayout([], {});
  assert.deepEqual(empty.items, []);
  assert.ok(empty.bottom > empty.top, 'an empty stack still has a box to draw');
});
