// layout-queue.test.mjs -- the layouts of a queue lying down and of a
// sentence in wrapped rows (web/draw/queue.js), in node: the cells stand in
// order without overlapping, inside the queue's rails, cut where the picture
// draws no more, with the marks where a reader looks for them.
//
//     node --test tests/web/layout-queue.test.mjs
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { test } from 'node:test';

const require = createRequire(import.meta.url);
const { queueLayout, rowsLayout } = require('../../web/draw/queue.js');

// overlap(a, b): the two boxes share some area.
function overlap(a, b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

test('a queue stands front first inside its rails, and a long one is cut with its rest counted', () => {
  for (const [length, most] of [[0, 18], [1, 18], [5, 18], [18, 18], [40, 18], [7, 0]]) {
    const q = queueLayout(length, { x: 100, y: 50, width: 28, height: 24, most });
    const drawn = Math.min(length, most);
    assert.equal(q.cells.length, drawn, `cells of ${length}`);
    assert.equal(q.more, length - drawn, `the rest of ${length}`);
    q.cells.forEach((c, i) => {
      assert.equal(c.index, i);
      if (i > 0) assert.ok(c.x > q.cells[i - 1].x && !overlap(c, q.cells[i - 1]), `cell ${i} behind the one before`);
      assert.ok(c.x >= q.rails.x1 && c.x + c.w <= q.rails.x2 && c.y >= q.rails.top && c.y + c.h <= q.rails.bottom,
                `cell ${i} of ${length} between the rails`);
      assert.ok(c.cx > c.x && c.cx < c.x + c.w && c.cy > c.y && c.cy < c.y + c.h, 'centre inside');
    });
    assert.ok(q.rails.x2 - q.rails.x1 >= 3 * 28, 'rails at least three cells long');
    if (!drawn) {
      assert.equal(q.front, null);
      assert.equal(q.rear, null);
      assert.equal(q.end, 100);
      continue;
    }
    assert.equal(q.cells[0].x, 100, 'the front at x');
    assert.equal(q.end, q.cells[drawn - 1].x + 28);
    assert.equal(q.front.x, q.cells[0].cx, 'front mark over the front cell');
    assert.ok(q.front.y < q.cells[0].y, 'front mark above');
    assert.ok(q.rear.y > q.cells[0].y + 24, 'rear mark below');
    if (q.more) assert.ok(q.rear.x > q.end, 'a cut queue\'s rear lies behind what is drawn');
    else assert.equal(q.rear.x, q.cells[drawn - 1].cx, 'rear mark under the last cell');
  }
});

test('a sentence wraps into rows in reading order, and its bottom is below every cell', () => {
  for (const length of [0, 1, 37, 38, 39, 100]) {
    const r = rowsLayout(length, { x: 20, y: 10, width: 20, height: 26, perRow: 38, gap: 6 });
    assert.equal(r.cells.length, length);
    assert.equal(r.rows, Math.max(1, Math.ceil(length / 38)), `rows of ${length}`);
    r.cells.forEach((c, i) => {
      assert.ok(c.x >= 20 && c.x + c.w <= 20 + 38 * 20, `cell ${i} within the row's width`);
      assert.ok(c.y + c.h <= r.bottom, `cell ${i} above the bottom`);
      if (i === 0) return;
      const p = r.cells[i - 1];
      assert.ok(!overlap(c, p), `cell ${i} apart from the one before`);
      // Reading order: to the right on the same row, or on the next row from its start.
      if (i % 38) assert.ok(c.y === p.y && c.x > p.x, `cell ${i} right of ${i - 1}`);
      else assert.ok(c.y > p.y + p.h && c.x === 20, `cell ${i} starts a row`);
    });
    assert.equal(r.bottom, 10 + r.rows * 26 + (r.rows - 1) * 6);
  }
});
