/* draw/queue.js -- the layouts of a queue drawn lying down and of a
 * sentence drawn in wrapped rows of cells. A picture's queue and its
 * sentences are drawn from them.
 *
 * Pure functions, like draw/stack.js: they take counts and sizes and return
 * where each thing goes; they know no DOM and draw nothing, so node can
 * test them and any picture can draw from them. Loaded as a classic script
 * (DsdQueueLayout) and as a node module. */
var DsdQueueLayout = (function () {
  'use strict';

  /* queueLayout(length, size): where a queue's parts go when it holds
   * `length` elements. size: {x, y, width, height, most, gap}:
   *   x, y     the left edge of the front element and the elements' top;
   *   width, height  an element's cell (default 28 by 24);
   *   most     the most elements drawn, from the front (default 18); the
   *            others are told by `more`;
   *   gap      the space between two cells (default 0).
   * Returns {cells, more, end, rails, front, rear}:
   *   cells    [{index, x, y, w, h, cx, cy}], front first;
   *   more     elements not drawn (behind the last cell);
   *   end      the x just behind the last cell (x itself when empty);
   *   rails    the two rails the queue lies between: {x1, x2, top, bottom},
   *            at least three cells long;
   *   front    the centre above the front cell, where its mark goes, or
   *            null when the queue is empty;
   *   rear     the centre below the rear cell, where its mark goes (behind
   *            the cells when some are not drawn), or null when empty. */
  function queueLayout(length, size) {
    size = size || {};
    var w = size.width || 28, h = size.height || 24, gap = size.gap || 0;
    var most = size.most === undefined ? 18 : size.most;
    var x = size.x || 0, y = size.y || 0;
    var shown = Math.max(0, Math.min(length, most));
    var cells = [];
    for (var i = 0; i < shown; i++) {
      var cx = x + i * (w + gap);
      cells.push({ index: i, x: cx, y: y, w: w, h: h, cx: cx + w / 2, cy: y + h / 2 });
    }
    var end = shown ? cells[shown - 1].x + w : x;
    var more = length - shown;
    var last = cells[shown - 1];
    return {
      cells: cells, more: more, end: end,
      rails: { x1: x - 6, x2: Math.max(end, x + 3 * w) + 6, top: y - 5, bottom: y + h + 5 },
      front: shown ? { x: cells[0].cx, y: y - 12 } : null,
      rear: shown ? { x: more > 0 ? end + 2 * w : last.cx, y: y + h + 20 } : null
    };
  }

  /* rowsLayout(length, size): where the cells of a sentence of `length`
   * characters go, wrapped `perRow` to a row. size: {x, y, width, height,
   * perRow, gap}: x, y the first cell's corner; width, height a cell
   * (default 20 by 26); perRow the cells of a row (default 38); gap the
   * space between two rows (default 6).
   * Returns {cells: [{index, x, y, w, h, cx, cy}], rows, bottom}: rows how
   * many rows (one when empty), bottom the y below the last. */
  function rowsLayout(length, size) {
    size = size || {};
    var w = size.width || 20, h = size.height || 26, per = size.perRow || 38;
    var gap = size.gap === undefined ? 6 : size.gap;
    var x = size.x || 0, y = size.y || 0;
    var cells = [];
    for (var i = 0; i < length; i++) {
      var cx = x + (i % per) * w, cy = y + Math.floor(i / per) * (h + gap);
      cells.push({ index: i, x: cx, y: cy, w: w, h: h, cx: cx + w / 2, cy: cy + h / 2 });
    }
    var rows = Math.max(1, Math.ceil(length / per));
    return { cells: cells, rows: rows, bottom: y + rows * h + (rows - 1) * gap };
  }

  return { queueLayout: queueLayout, rowsLayout: rowsLayout };
})();
if (typeof module === 'object') module.exports = DsdQueueLayout;
