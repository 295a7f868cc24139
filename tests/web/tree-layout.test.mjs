// tree-layout.test.mjs -- the binary-tree layout (web/draw/tree.js) in
// node: a shape read back into the tree it stands for, each node in its
// inorder column and at its level, and shapes that are no tree refused.
//
//     node --test tests/web/tree-layout.test.mjs
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { test } from 'node:test';

const require = createRequire(import.meta.url);
const DsdTree = require('../../web/draw/tree.js');

test('the tree of ABDGCEF and DGBAECF: children, columns and levels', () => {
  // A(B(D(-, G)), C(E, F)) in preorder: A 3, B 1, D 2, G 0, C 3, E 0, F 0.
  const tree = DsdTree.layout('3120300', { dx: 10, dy: 20, r: 5, left: 2, top: 3 });
  const pre = 'ABDGCEF';
  const at = (ch) => tree.nodes[pre.indexOf(ch)];
  const name = (k) => (k < 0 ? '-' : pre[k]);
  assert.deepEqual(tree.nodes.map((n) => name(n.left) + name(n.right) + name(n.parent)).join(' '),
    'BC- D-A -GB --D EFA --C --C');
  // Columns are the places in the inorder DGBAECF; levels go down by dy.
  assert.deepEqual([...'DGBAECF'].map((ch) => at(ch).x), [7, 17, 27, 37, 47, 57, 67]);
  assert.deepEqual([...pre].map((ch) => at(ch).y), [8, 28, 48, 68, 28, 48, 48]);
  assert.deepEqual([tree.depth, tree.width, tree.height], [3, 72, 73]);
  // Given columns (a tree still being built) are taken as they are.
  const cols = DsdTree.layout('10', { dx: 10, cols: [3, 0] });
  assert.deepEqual(cols.nodes.map((n) => n.x), [30, 0]);
});

test('a chain of 1023 right children lays out without recursion', () => {
  const tree = DsdTree.layout('2'.repeat(1022) + '0', { dx: 1, dy: 1 });
  assert.equal(tree.nodes.length, 1023);
  assert.equal(tree.depth, 1022);
  assert.equal(tree.nodes[1022].x, 1022);
  assert.equal(tree.nodes[1022].parent, 1021);
});

test('shapes that are no tree are refused', () => {
  for (const shape of ['3', '30', '00', '1', '4', '2x']) {
    assert.ok(DsdTree.layout(shape).error, shape);
  }
  assert.deepEqual(DsdTree.layout('').nodes, []);
});
