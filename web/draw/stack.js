/* draw/stack.js -- the layout of a stack drawn upright: an open box with
 * its bottom at the bottom and its elements stacked on it, one slot each,
 * the top highest. Every picture's stacks are drawn from it.
 *
 * It is a pure function in the manner of a tree layout: it takes the
 * elements and the sizes and returns where each thing goes; it knows no
 * DOM and draws nothing, so node can test it and any picture can draw
 * from it. Loaded as a classic script (DsdStackLayout) and as a node
 * module. */
var DsdStackLayout = (function () {
  'use strict';

  /* itemHeight(slots, size): the height of one slot when the box holds
   * slots of them: size.itemHeight (default 30) while that fits into
   * size.room pixels (no bound when room is absent), less when it does
   * not, but never under size.minHeight (default 16): a deep stack grows
   * past room rather than shrink to slots no one can read. */
  function itemHeight(slots, size) {
    var h = size.itemHeight || 30, min = size.minHeight || 16;
    if (size.room && slots * h > size.room) h = Math.max(min, Math.floor(size.room / slots));
    return h;
  }

  /* stackLayout(items, size): where a stack's parts go. items are its
   * elements, bottom first (any values: they are handed back as value).
   * size: {x, y, width, itemHeight, minHeight, room, slots, gap, pushed}:
   *   x, y       the left edge of the elements and the top of the box;
   *   width      the elements' width (default 52);
   *   slots      how many slots the box has (default items, plus one for a
   *              pushed element); a picture that steps through a run gives
   *              the deepest stack of the run, so that the box stays put;
   *   room, itemHeight, minHeight: see itemHeight();
   *   gap        the space between two elements (default 4);
   *   pushed     an element being pushed: placed in the slot above the
   *              top, as incoming (absent: nothing is).
   * Returns {x, width, top, bottom, itemHeight, items, incoming, next}:
   *   top, bottom  the box's top edge and its floor (the bottom of slot 0);
   *   items        [{index, value, isTop, x, y, w, h, cx, cy}], bottom
   *                first, index from the bottom, (cx, cy) the centre;
   *   incoming     the same for the pushed element ({index: items.length,
   *                value: pushed, ...}), or null;
   *   next         the slot above the top ({x, y, w, h, cx, cy}): where a
   *                push would go, or where a pointer to the top may point.
   * A box never has fewer slots than it holds elements. */
  function stackLayout(items, size) {
    size = size || {};
    var pushed = size.pushed !== undefined && size.pushed !== null;
    var slots = Math.max(size.slots || 0, items.length + (pushed ? 1 : 0), 1);
    var h = itemHeight(slots, size);
    var gap = size.gap === undefined ? 4 : Math.min(size.gap, h / 2);
    var x = size.x || 0, top = size.y || 0, width = size.width || 52;
    var bottom = top + slots * h;

    /* slot(i): the place of the element i slots above the floor. */
    function slot(i) {
      var y = bottom - (i + 1) * h + gap / 2;
      return { x: x, y: y, w: width, h: h - gap, cx: x + width / 2, cy: y + (h - gap) / 2 };
    }

    var placed = items.map(function (value, i) {
      return Object.assign({ index: i, value: value, isTop: i === items.length - 1 }, slot(i));
    });
    var incoming = pushed ? Object.assign({ index: items.length, value: size.pushed, isTop: true }, slot(items.length)) : null;
    return { x: x, width: width, top: top, bottom: bottom, itemHeight: h, items: placed, incoming: incoming,
             next: slot(items.length) };
  }

  return { stackLayout: stackLayout, itemHeight: itemHeight };
})();
if (typeof module === 'object') module.exports = DsdStackLayout;
