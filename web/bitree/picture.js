/* bitree/picture.js -- the picture of one step of bitree's menu session,
 * and the sentence that says what the step did.
 *
 * What this file holds: render(step, view, trace) and caption(step, trace)
 * of the picture contract (frame/picture.js), for every kind of step the
 * step writer records (lab/bitree/steps.cpp, whose first comment tells the
 * fields): the rebuild of a tree from its preorder and inorder, one
 * PreInCreate call at a time, with the call's ranges marked on the two
 * sequences under the tree; the threading, one thread at a time; the
 * walks, the printed line growing; the expression tree node by node and
 * its values bottom up. Each step is drawn from itself and trace.input
 * alone: node k's character is byte k of the choice's preorder (or
 * expression), and where the nodes stand comes from the layout of
 * draw/tree.js, which this file only reads. The practice questions are in
 * questions.js, the list of choices and the program's output beside the
 * picture in side.js.
 *
 * Every colour is an SVG attribute, so a saved SVG looks the same. */
(function () {
  'use strict';
  var D = DsdDraw;
  var svgEl = D.svgEl, text = D.text, round = D.round;

  var COLOURS = { link: '#5b6578', node: '#3b6fb6', done: '#dbe8f7', current: '#ffd54f', currentEdge: '#a05a00',
                  pred: '#d9822b', succ: '#2f8f4e', zero: '#fdecea', zeroEdge: '#b3261e', light: '#9aa4b4',
                  range: '#fff3c4', left: '#d6e6fb', right: '#d8f0dc', value: '#2f6b3a' };
  /* Node sizes by the number of nodes: radius r, columns dx apart, levels
   * dy apart, the font of the characters (0: none written). */
  var SIZES = [
    { most: 40, r: 16, dx: 40, dy: 72, font: 15 },
    { most: 255, r: 8, dx: 20, dy: 40, font: 10 },
    { most: Infinity, r: 3, dx: 8, dy: 20, font: 0 }
  ];
  var LEFT = 56;          /* room for a row's name */
  var LINE = 22;          /* a line of the heading */

  /* What each kind of step shows, as the heading says it. */
  var SHOWS = { choice: '读入功能序号', split: '由先序和中序重建二叉树', missing: '由先序和中序重建二叉树',
                uneven: '由先序和中序重建二叉树', tree: '建好的树', copy: '带双亲指针的副本',
                thread: '后序线索化', threaded: '后序线索化', read: '读入完毕', preorder: '先序遍历输出',
                inorder: '中序遍历输出', postorder: '后序遍历输出', walk: '不用栈的后序线索遍历',
                node: '由波兰式建立表达式树', 'short': '由波兰式建立表达式树', value: '自底向上求值',
                zero: '自底向上求值' };
  /* The walks' names when choice 1 prints them. */
  var FORMS = { preorder: '波兰式（先序）', inorder: '中缀表达式（中序）', postorder: '逆波兰式（后序）' };

  /* ============================ Reading a step =========================== */

  /* choiceOf(step, trace): what the step's choice read (trace.input). */
  function choiceOf(step, trace) {
    var all = trace.input && trace.input.choices || [];
    return all[step.at - 1] || { choice: null };
  }

  /* bytesOf(c): the bytes node k stands for: the preorder of choice 0,
   * the expression of choices 1 and 2. */
  function bytesOf(c) {
    return (c.choice === 0 ? c.preorder : c.expression) || '';
  }

  /* labelOf(c, k): node k's character as it is shown. */
  function labelOf(c, k) {
    var s = bytesOf(c);
    return k >= 0 && k < s.length ? D.byteLabel(s.charCodeAt(k) & 0xff) : '?';
  }

  /* sizeFor(n): the sizes for a tree of n nodes. */
  function sizeFor(n) {
    return SIZES.filter(function (s) { return n <= s.most; })[0];
  }

  /* ============================ Captions ================================= */

  /* caption(step, trace): the sentence that says what the step did. */
  function caption(step, trace) {
    var c = choiceOf(step, trace);
    var name = function (k) { return labelOf(c, k); };
    var seq = function (s, a, b) {
      var out = '';
      for (var i = a; i <= b && i < s.length; i++) out += D.byteLabel(s.charCodeAt(i) & 0xff);
      return out.length > 30 ? out.slice(0, 30) + '…' : out;
    };
    switch (step.kind) {
    case 'choice':
      return step.choice === null ? '读入的不是数字（或超出 int 范围）：程序输出“请输入正确功能序号”，接着读下一个功能序号。'
        : step.choice >= 0 && step.choice <= 2 ? '读入功能序号 ' + step.choice + '。'
        : '功能序号 ' + step.choice + ' 不是 0、1、2：程序输出“请输入正确功能序号”。';
    case 'split': {
      var left = step.root - step.in[0], right = step.in[1] - step.root;
      return '先序段 ' + seq(c.preorder, step.pre[0], step.pre[1]) + ' 的第一个字符 ' + name(step.pre[0]) +
             ' 是根；它在中序段 ' + seq(c.inorder, step.in[0], step.in[1]) + ' 的第 ' + (left + 1) + ' 位，' +
             '把中序段分成左边 ' + left + ' 个结点（左子树）和右边 ' + right + ' 个结点（右子树）' +
             (left || right ? '，两段各再递归调用 PreInCreate。' : '；它是叶子。');
    }
    case 'missing':
      return '先序段的第一个字符 ' + name(step.pre[0]) + ' 应是根，但中序段 ' + seq(c.inorder, step.in[0], step.in[1]) +
             ' 里没有它：这两个序列不是同一棵树的先序和中序，PreInCreate 返回空，已建的结点全部释放。';
    case 'uneven':
      return '先序段和中序段长度不同（' + (step.pre[1] - step.pre[0] + 1) + ' 与 ' + (step.in[1] - step.in[0] + 1) +
             '）：不可能是同一棵树，PreInCreate 返回空。';
    case 'tree':
      if (step.shape === null) return c.choice === 0 ? '没有建成树：程序输出先序与中序不一致的提示。' : '没有建成树：波兰式不完整。';
      return (c.choice === 0 ? '重建完成：' : '表达式树建好：') + '共 ' + step.shape.length + ' 个结点。';
    case 'copy':
      return '用同样的两个序列再建一份带双亲指针的副本，每个结点的两个标志都是 0（孩子指针）。';
    case 'thread': {
      var t = step.threads[step.threads.length - 1];
      if (t[1] === 0) return '结点 ' + name(t[0]) + ' 没有左孩子：左指针改为线索，指向后序前驱 ' +
                             (t[2] < 0 ? 'NULL（它是后序的第一个结点）' : name(t[2])) + '，ltag=1。';
      return '结点 ' + name(t[0]) + ' 没有右孩子：右指针改为线索，指向后序后继 ' + name(t[2]) + '，rtag=1。';
    }
    case 'threaded':
      return '后序线索化完成：' + step.threads.length + ' 个空指针成了线索。';
    case 'read':
      if (step.got === 'end') return '输入在这里结束：这次选择没有读完，会话结束。';
      if (step.got === 'long') return '有一项输入超过 1023 个字节：整项丢弃，程序输出提示。';
      return step.shape === null ? '输入读完，但没有建成树：程序输出提示。' : '输入读完，树已建好，接着输出。';
    case 'preorder':
    case 'inorder':
    case 'postorder':
      return (c.choice === 1 ? FORMS[step.kind] : SHOWS[step.kind]) + '：访问结点 ' + name(step.node) +
             '，输出它，已输出 ' + step.seen.length + ' 个字符。';
    case 'walk':
      return '线索遍历访问结点 ' + name(step.node) + '，不用栈也不用递归（第 ' + step.seen.length + ' 个）。';
    case 'node':
      return '读入第 ' + (step.node + 1) + ' 个字符 ' + name(step.node) + '，建成一个结点' +
             (step.operator ? '：它是运算符，接着建它的左、右两个运算对象。' : '：它是运算对象，没有孩子。');
    case 'short':
      return '波兰式在这里读完了，但还有运算符缺运算对象：建树失败。';
    case 'value': {
      var v = step.values[step.node];
      var digit = step.shape.charAt(step.node);
      if (digit === '0') return '运算对象 ' + name(step.node) + ' 的值就是 ' + v + '。';
      var l = step.node + 1, r = rightChild(step.shape, step.node);
      return '运算符 ' + name(step.node) + ' 的两个运算对象都有了值：' + step.values[l] + ' ' + name(step.node) + ' ' +
             step.values[r] + ' = ' + v + '。' + (step.node === 0 ? '这是根的值，也就是程序输出的值。' : '');
    }
    case 'zero':
      return '运算符 / 的除数为 0：不能求值，程序输出除数为零的提示。';
    }
    return '';
  }

  /* rightChild(shape, k): the right child of node k of a shape, -1 for none. */
  function rightChild(shape, k) {
    var nodes = DsdTree.parse(shape);
    return nodes && nodes[k] ? nodes[k].right : -1;
  }

  /* ============================ Drawing ================================== */

  /* rowOfCells(g, y, name, s, size, marks): a sequence s as a row of
   * cells, one per byte, column k under x = LEFT + r + k * dx; marks(k)
   * gives cell k's fill, or null. */
  function rowOfCells(g, y, name, s, size, marks) {
    text(g, 8, y + size.dx * 0.45, name, { 'font-size': 13, fill: D.GREY });
    if (!size.font) return;
    var row = svgEl('g', { 'data-kind': 'sequence', 'data-name': name });
    for (var k = 0; k < s.length; k++) {
      var x = LEFT + size.r + k * size.dx - size.dx / 2;
      var fill = marks(k);
      row.appendChild(svgEl('rect', { x: round(x + 1), y: y, width: size.dx - 2, height: size.dx * 0.7, rx: 3,
                                      fill: fill || '#ffffff', stroke: fill ? COLOURS.currentEdge : COLOURS.light,
                                      'stroke-width': fill ? 1.2 : 0.8, 'data-col': k }));
      text(row, x + size.dx / 2, y + size.dx * 0.5, D.byteLabel(s.charCodeAt(k) & 0xff),
           { 'font-size': size.font * 0.9, 'text-anchor': 'middle', 'font-family': D.MONO });
    }
    g.appendChild(row);
  }

  /* threadPath(a, b, r): a curved arrow from node a to node b ({x, y}). */
  function threadPath(a, b, r) {
    var dx = b.x - a.x, dy = b.y - a.y;
    var len = Math.sqrt(dx * dx + dy * dy) || 1;
    var bend = Math.min(Math.max(len * 0.25, 2 * r), 90);
    var cx = (a.x + b.x) / 2 + dy / len * bend, cy = (a.y + b.y) / 2 - dx / len * bend;
    var s = toward(a, { x: cx, y: cy }, r), e = toward(b, { x: cx, y: cy }, r + 1);
    return 'M' + round(s.x) + ',' + round(s.y) + ' Q' + round(cx) + ',' + round(cy) + ' ' + round(e.x) + ',' + round(e.y);
  }

  /* toward(a, b, r): the point at distance r from a toward b. */
  function toward(a, b, r) {
    var dx = b.x - a.x, dy = b.y - a.y;
    var len = Math.sqrt(dx * dx + dy * dy) || 1;
    return { x: a.x + dx / len * r, y: a.y + dy / len * r };
  }

  /* drawTree(g, tree, size, c, look): the links, the threads and the
   * nodes of a laid-out tree; look = {state(k), badge(k), threads,
   * current}. */
  function drawTree(g, tree, size, c, look) {
    var links = tree.nodes.filter(function (n) { return n.parent >= 0; }).map(function (n) {
      var p = tree.nodes[n.parent];
      var a = toward(p, n, size.r), b = toward(n, p, size.r);
      return 'M' + round(a.x) + ',' + round(a.y) + ' L' + round(b.x) + ',' + round(b.y);
    }).join(' ');
    g.appendChild(svgEl('path', { 'data-kind': 'links', d: links || 'M0,0', fill: 'none', stroke: COLOURS.link,
                                  'stroke-width': size.r > 5 ? 2 : 1 }));
    (look.threads || []).forEach(function (t, i) {
      var from = tree.nodes[t[0]];
      if (!from) return;
      var colour = t[1] === 0 ? COLOURS.pred : COLOURS.succ;
      var newest = look.newest && i === look.threads.length - 1;
      var d;
      if (t[2] >= 0 && tree.nodes[t[2]]) d = threadPath(from, tree.nodes[t[2]], size.r);
      else {
        var s = toward(from, { x: from.x - 1, y: from.y + 1 }, size.r);
        d = 'M' + round(s.x) + ',' + round(s.y) + ' L' + round(from.x - size.r - 12) + ',' + round(from.y + size.r + 12);
        text(g, from.x - size.r - 18, from.y + size.r + 24, 'NULL', { 'font-size': 10, fill: colour, 'font-family': D.MONO });
      }
      g.appendChild(svgEl('path', { d: d, fill: 'none', stroke: colour, 'stroke-width': newest ? 3 : 1.5,
                                    'stroke-dasharray': '6 4', 'marker-end': 'url(#bitree-arrow-' + t[1] + ')',
                                    'data-kind': 'thread', 'data-from': t[0], 'data-side': t[1] ? 'succ' : 'pred',
                                    'data-to': t[2] }));
    });
    var group = svgEl('g', { 'data-kind': 'nodes', stroke: COLOURS.node, 'stroke-width': size.r > 5 ? 2 : 1 });
    tree.nodes.forEach(function (n) {
      var state = look.state(n.k);
      var node = svgEl('g', { 'data-node': n.k, 'data-state': state, 'data-num': n.k });
      var fill = { plain: '#ffffff', done: COLOURS.done, current: COLOURS.current, zero: COLOURS.zero }[state];
      var circle = svgEl('circle', { cx: round(n.x), cy: round(n.y), r: size.r, fill: fill });
      if (state === 'current' || state === 'zero') {
        circle.setAttribute('stroke', state === 'zero' ? COLOURS.zeroEdge : COLOURS.currentEdge);
        circle.setAttribute('stroke-width', size.r > 5 ? 3 : 2);
      }
      circle.appendChild(svgEl('title', {}, '结点 ' + labelOf(c, n.k)));
      node.appendChild(circle);
      if (size.font) {
        text(node, n.x, n.y + size.font * 0.35, labelOf(c, n.k), { 'font-size': labelOf(c, n.k).length > 1 ? size.font * 0.55 : size.font,
             'text-anchor': 'middle', 'font-family': D.MONO, 'font-weight': 'bold', stroke: 'none', class: 'bitree-label' });
        var badge = look.badge(n.k);
        if (badge !== '') text(node, n.x + size.r + 2, n.y - size.r + 2, badge, { 'font-size': 12, stroke: 'none',
                                 fill: state === 'zero' ? COLOURS.zeroEdge : COLOURS.value, 'font-weight': 'bold' });
      }
      group.appendChild(node);
    });
    g.appendChild(group);
  }

  /* render(step, view, trace): see frame/picture.js. */
  function render(step, view, trace) {
    var c = choiceOf(step, trace);
    var svg = view.svg;
    var shape = typeof step.shape === 'string' ? step.shape : '';
    var rebuild = step.kind === 'split' || step.kind === 'missing' || step.kind === 'uneven';
    var columns = rebuild ? Math.max((c.inorder || '').length, (c.preorder || '').length, 1) : Math.max(shape.length, 1);
    var size = sizeFor(columns);
    var top = LINE * 2 + 16;
    var tree = DsdTree.layout(shape, { dx: size.dx, dy: size.dy, r: size.r, left: LEFT, top: top,
                                       cols: rebuild ? step.cols : null });
    if (tree.error) tree = { nodes: [], width: 0, height: top, depth: 0 };
    var width = Math.max(560, LEFT + columns * size.dx + 60);
    var rowsAt = tree.nodes.length ? tree.height + 24 : top + 8;
    var height = rowsAt + (rebuild || step.kind === 'node' || step.kind === 'short' ? 2 * size.dx + 20 : 0) + 40;
    var g = D.canvas(svg, width, height);
    var defs = svgEl('defs');
    defs.appendChild(D.arrowHead('bitree-arrow-0', COLOURS.pred, 8));
    defs.appendChild(D.arrowHead('bitree-arrow-1', COLOURS.succ, 8));
    svg.insertBefore(defs, svg.firstChild);
    g.setAttribute('data-choice', String(step.at - 1));
    g.setAttribute('data-phase', step.kind);

    var title = '第 ' + step.at + ' 次选择' + (c.choice === null ? '' : '（功能 ' + c.choice + '）') + ' · ' + SHOWS[step.kind];
    text(g, 12, LINE, title, { 'font-size': 16, 'font-weight': 'bold' });
    text(g, 12, 2 * LINE, lineOf(step, c), { 'font-size': 13, fill: D.GREY, 'font-family': D.MONO, 'data-kind': 'printed' });

    /* The nodes' looks at this step. */
    var seen = {};
    (step.seen || []).forEach(function (k, i) { seen[k] = i + 1; });
    var look = {
      threads: step.threads, newest: step.kind === 'thread',
      state: function (k) {
        if (k === step.node && step.kind === 'zero') return 'zero';
        if (k === step.node || (step.kind === 'split' && k === step.pre[0])) return 'current';
        if (step.values && step.values[k] !== null && step.values[k] !== undefined) return 'done';
        return seen[k] ? 'done' : 'plain';
      },
      badge: function (k) {
        if (step.values) return step.values[k] === null || step.values[k] === undefined ? '' : '=' + step.values[k];
        return seen[k] ? String(seen[k]) : '';
      }
    };
    drawTree(g, tree, size, c, look);

    if (rebuild) {
      var pre = c.preorder || '', inorder = c.inorder || '';
      var within = function (k, r) { return r && k >= r[0] && k <= r[1]; };
      rowOfCells(g, rowsAt, '先序', pre, size, function (k) {
        if (step.kind === 'split' && k === step.pre[0]) return COLOURS.current;
        if (step.left && within(k, step.left)) return COLOURS.left;
        if (step.right && within(k, step.right)) return COLOURS.right;
        return within(k, step.pre) ? COLOURS.range : null;
      });
      rowOfCells(g, rowsAt + size.dx + 6, '中序', inorder, size, function (k) {
        if (step.kind === 'missing' && within(k, step.in)) return COLOURS.zero;
        if (step.kind === 'split' && k === step.root) return COLOURS.current;
        if (step.left && k >= step.left[2] && k <= step.left[3]) return COLOURS.left;
        if (step.right && k >= step.right[2] && k <= step.right[3]) return COLOURS.right;
        return within(k, step.in) ? COLOURS.range : null;
      });
    } else if (step.kind === 'node' || step.kind === 'short') {
      var made = shape.length;
      rowOfCells(g, rowsAt, '波兰式', c.expression || '', size, function (k) {
        if (k === step.node) return COLOURS.current;
        return k < made ? COLOURS.done : null;
      });
    }
    view.slideLines = [lineOf(step, c)];
    DsdBitreeSide.show(step, view, trace, caption(step, trace));
  }

  /* lineOf(step, c): the line under the title: what the program has
   * printed of the walk so far, or the ranges of a rebuild call. */
  function lineOf(step, c) {
    var name = function (k) { return labelOf(c, k); };
    if (step.seen) return '已输出：' + step.seen.map(name).join('');
    if (step.pre) return 'PreInCreate(pre, in, ' + step.pre[0] + ', ' + step.pre[1] + ', ' + step.in[0] + ', ' + step.in[1] + ')';
    if (step.values && step.node >= 0) return '值：' + (step.values[step.node] === null ? '—' : step.values[step.node]);
    if (step.threads) return '线索：' + step.threads.length + ' 条';
    return '';
  }

  /* note(trace): the sentence when the session drew nothing. */
  function note(trace) {
    return trace.input && trace.input.choices && trace.input.choices.length ? '' : '会话里没有读到功能序号：只输出了菜单。';
  }

  DsdPicture.attach(DsdBitreeTab, { render: render, caption: caption, questions: DsdBitreeQuestions.questions,
                                    note: note });
})();
