/* draw/tree.js -- the layout of a binary tree: where each node stands. A
 * pure function, as a tree layout of d3-hierarchy is: nodes in, positions
 * out; it knows no DOM and draws nothing, so a picture lays a tree out
 * here and only reads the positions when it draws.
 *
 * The tree comes as its SHAPE, the compact form the step writers use: one
 * digit per node in preorder, 0 for no child, 1 for a left child only, 2
 * for a right child only, 3 for both. Node k is the k-th in preorder.
 *
 * DsdTree.layout(shape, options) -> {nodes, width, height, depth}
 *   options  {dx, dy: the distance of two columns and of two levels;
 *             left, top: the room before the first column and above the
 *             root; r: the nodes' radius (kept inside width and height);
 *             cols: optional, the column of each node (e.g. its place in
 *             the inorder sequence it was built from); without it, a
 *             node's column is its place in the tree's own inorder}
 *   nodes    [{k, x, y, depth, left, right, parent}] per node in preorder:
 *             left, right and parent are node numbers, -1 for none
 *   width, height  the size the tree takes, margins included
 *   depth    the deepest level, 0 for the root alone
 * A shape that is not one tree (a digit left over, or too few) gives
 * {error} instead, saying so.
 *
 * Loaded as a classic script by page/load.js; node's tests require it. */
var DsdTree = (function () {
  'use strict';

  /* parse(shape): the nodes of a shape, [{k, left, right, parent, depth}],
   * or null when the shape is not one tree. Walks the preorder with a
   * stack of the nodes whose right child is still to come, so a chain of
   * 1023 nodes needs no recursion. */
  function parse(shape) {
    var nodes = [];
    var waiting = [];           /* nodes whose right child comes later */
    var parent = -1, side = 0;  /* where the next node hangs: under parent, 0 left 1 right */
    for (var k = 0; k < shape.length; k++) {
      var digit = shape.charCodeAt(k) - 48;
      if (digit < 0 || digit > 3) return null;
      if (k > 0 && parent < 0) return null;      /* a node after the tree was complete */
      var node = { k: k, left: -1, right: -1, parent: parent, depth: parent < 0 ? 0 : nodes[parent].depth + 1 };
      if (parent >= 0) {
        if (side === 0) nodes[parent].left = k;
        else nodes[parent].right = k;
      }
      nodes.push(node);
      if (digit & 2) waiting.push(k);
      if (digit & 1) {
        parent = k;
        side = 0;
      } else if (waiting.length) {
        parent = waiting.pop();
        side = 1;
      } else {
        parent = -1;
      }
    }
    if (parent >= 0) return null;                /* children promised, not given */
    return nodes;
  }

  /* inorderRanks(nodes): each node's place in the tree's inorder. */
  function inorderRanks(nodes) {
    var ranks = [];
    var stack = [];
    var p = nodes.length ? 0 : -1;
    var rank = 0;
    while (p >= 0 || stack.length) {
      while (p >= 0) {
        stack.push(p);
        p = nodes[p].left;
      }
      p = stack.pop();
      ranks[p] = rank++;
      p = nodes[p].right;
    }
    return ranks;
  }

  /* layout(shape, options): see above. */
  function layout(shape, options) {
    var o = options || {};
    var dx = o.dx || 40, dy = o.dy || 60, r = o.r || 0, left = o.left || 0, top = o.top || 0;
    var nodes = parse(shape || '');
    if (!nodes) return { error: '结构串不是一棵二叉树' };
    var ranks = o.cols || inorderRanks(nodes);
    var deepest = 0, widest = 0;
    nodes.forEach(function (n) {
      var col = ranks[n.k] || 0;
      n.x = left + r + col * dx;
      n.y = top + r + n.depth * dy;
      deepest = Math.max(deepest, n.depth);
      widest = Math.max(widest, col);
    });
    return { nodes: nodes, depth: deepest, width: left + 2 * r + widest * dx, height: top + 2 * r + deepest * dy };
  }

  return { layout: layout, parse: parse };
})();

if (typeof module === 'object' && module.exports) module.exports = DsdTree;
