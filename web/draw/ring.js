/* draw/ring.js -- the ring layout: where the seats of a ring of n people
 * stand on the page, and where the parts of each seat go. A pure function
 * of n: it knows no DOM and no step, so every step of a run (and a test
 * under node) gets the same places.
 *
 *   DsdRing.layout(n) -> RING = {
 *     n, width, height    the seats and the picture's size (the height
 *                         leaves room under the ring for two lines)
 *     cx, cy, radius      the centre, and the radius of the circle
 *                         through the seats' centres
 *     labels              true when each seat is drawn as a circle with its
 *                         number and step value (n <= LABEL_MAX); false:
 *                         each seat a short radial bar
 *     seat                a labelled seat's radius
 *     spacing             between two seats' centres, along the circle
 *     angles              one per seat, person 1 first: person 1 at the
 *                         top, then clockwise on screen
 *     places              one per seat, each point {x, y}:
 *                           labelled: centre, step (its step value,
 *                           outside), inner (its badge, inside);
 *                           a bar: from, to (its ends), dot and text
 *                           (its mark and number, outside);
 *                           both: anchor, the text-anchor of a label
 *                           outside it ('start' on the right, 'end' on the
 *                           left, 'middle' at the top and bottom)
 *   }
 *   DsdRing.point(ring, k, out) -> {x, y}: the point at seat index k's
 *     angle, out pixels outside the circle through the seats (inside when
 *     negative); what the places are made of, and the count's arc.
 *
 * Coordinates are rounded to one decimal, so that the markup of a step is
 * short and always the same. A classic script for the page (loaded before
 * the pictures, page/load.js); a CommonJS module under node. */
var DsdRing = (function () {
  'use strict';
  var LABEL_MAX = 48;   /* the most seats drawn with their labels */
  var SEAT = 17;        /* a labelled seat's radius */

  /* round(v): v to one decimal. */
  function round(v) {
    return Math.round(v * 10) / 10;
  }

  /* point(ring, k, out): see above. */
  function point(ring, k, out) {
    var r = ring.radius + out;
    return { x: round(ring.cx + r * Math.cos(ring.angles[k])), y: round(ring.cy + r * Math.sin(ring.angles[k])) };
  }

  /* anchor(angle): the text-anchor of a label outside a seat at angle. */
  function anchor(angle) {
    var c = Math.cos(angle);
    return c > 0.3 ? 'start' : c < -0.3 ? 'end' : 'middle';
  }

  /* layout(n): see above. A small ring keeps a radius of 140, so that its
   * seats stand apart; a larger labelled one grows so that neighbours
   * never touch (8 pixels between them); bars stand on a fixed circle. */
  function layout(n) {
    var labels = n <= LABEL_MAX;
    var radius = labels ? Math.max(140, n * (2 * SEAT + 8) / (2 * Math.PI)) : 220;
    var margin = labels ? 60 : 80;          /* room for the labels outside */
    var side = 2 * (radius + margin);
    var angles = [];
    for (var k = 0; k < n; k++) angles.push(-Math.PI / 2 + 2 * Math.PI * k / n);
    var ring = { n: n, width: round(side), height: round(side + 44), cx: round(side / 2), cy: round(side / 2),
                 radius: radius, labels: labels, seat: SEAT, spacing: n ? 2 * Math.PI * radius / n : 0,
                 angles: angles };
    ring.places = angles.map(function (a, k) {
      var at = function (out) { return point(ring, k, out); };
      return labels ? { centre: at(0), step: at(SEAT + 8), inner: at(-SEAT - 13), anchor: anchor(a) }
                    : { from: at(-9), to: at(9), dot: at(16), text: at(26), anchor: anchor(a) };
    });
    return ring;
  }

  return { LABEL_MAX: LABEL_MAX, layout: layout, point: point };
})();

if (typeof module === 'object' && module.exports) module.exports = DsdRing;
