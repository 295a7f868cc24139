// ring.test.mjs -- the ring layout (web/draw/ring.js) under node, with no
// page: for every ring size the program takes (1 to 1000 seats) the seats
// stand in ring order clockwise from person 1 at the top, labelled seats
// never touch, and every part of every seat lies inside the picture.
//
//     node --test tests/web/ring.test.mjs
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { test } from 'node:test';

const DsdRing = createRequire(import.meta.url)('../../web/draw/ring.js');

// turn(ring, p): the clockwise angle on screen of point p from the top,
// seen from the centre, in [0, 2π).
function turn(ring, p) {
  const a = Math.atan2(p.x - ring.cx, -(p.y - ring.cy));
  return a < 0 ? a + 2 * Math.PI : a;
}

test('every ring from 1 to 1000 seats: clockwise from person 1 at the top, apart, inside the picture', () => {
  for (let n = 1; n <= 1000; n++) {
    const ring = DsdRing.layout(n);
    assert.equal(ring.places.length, n);
    assert.equal(ring.labels, n <= DsdRing.LABEL_MAX, `n=${n}`);
    const at = (k) => (ring.labels ? ring.places[k].centre : ring.places[k].from);
    assert.equal(at(0).x, ring.cx, `n=${n}: person 1 at the top`);
    assert.ok(at(0).y < ring.cy, `n=${n}: person 1 above the centre`);
    for (let k = 1; k < n; k++) {
      assert.ok(turn(ring, at(k)) > turn(ring, at(k - 1)), `n=${n}: seat ${k + 1} after seat ${k}, clockwise`);
    }
    for (const [k, place] of ring.places.entries()) {
      for (const [part, p] of Object.entries(place)) {
        if (part === 'anchor') continue;
        assert.ok(p.x >= 0 && p.x <= ring.width && p.y >= 0 && p.y <= ring.height,
                  `n=${n}: seat ${k + 1}'s ${part} (${p.x}, ${p.y}) inside ${ring.width}×${ring.height}`);
      }
      // A label outside reads away from the ring.
      const side = Math.sin(turn(ring, at(k)));
      if (side > 0.5) assert.equal(place.anchor, 'start', `n=${n}: seat ${k + 1} on the right`);
      if (side < -0.5) assert.equal(place.anchor, 'end', `n=${n}: seat ${k + 1} on the left`);
    }
    if (ring.labels && n > 1) {
      for (let k = 0; k < n; k++) {
        const a = at(k);
        const b = at((k + 1) % n);
        assert.ok(Math.hypot(a.x - b.x, a.y - b.y) >= 2 * ring.seat + 2, `n=${n}: seats ${k + 1} and ${(k + 1) % n + 1} apart`);
      }
    }
  }
});

test('the layout is a function of n alone: the same places every time', () => {
  assert.deepEqual(DsdRing.layout(7), DsdRing.layout(7));
  assert.deepEqual(DsdRing.point(DsdRing.layout(4), 1, 10), { x: DsdRing.layout(4).cx + 150, y: DsdRing.layout(4).cy });
});
