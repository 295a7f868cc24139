/* bitree/picture.js -- the picture of bitree's menu session, one choice
 * after another, drawn from the program's own run:
 *   choice 0  the tree rebuilt from the two sequences (each node at its
 *             inorder position and its depth), then its post-order threads
 *             as dashed arrows, then the walk without a stack, node by node,
 *             the printed line growing;
 *   choice 1  the expression tree, then its prefix, infix and postfix
 *             forms, each as a walk of the tree;
 *   choice 2  the expression tree, then its values bottom up, and a
 *             division by zero marked at its node.
 * The trees, threads, walks and values come from the step writer
 * (steps/bitree_steps.cpp, whose header describes its JSON); the printed
 * lines and the messages come from the run's stdout. Nothing here computes
 * a walk or a value: the order of every step is the one the program gave.
 *
 * The layout (where each node, link and thread goes) is computed apart
 * from the drawing, by the helpers under "Layout"; the drawing gives every
 * element its colours as SVG attributes, so a saved SVG looks the same. */
(function () {
  'use strict';
  var D = DsdDraw;
  var svgEl = D.svgEl, text = D.text, textWidth = D.textWidth, round = D.round, byteLabel = D.byteLabel;
  var el = DsdUi.el;

  /* ============================ The program's texts ====================== */

  /* The lines with which bitree starts its answer to a choice. */
  var PROMPTS = ['请输入先序遍历和中序遍历：', '请输入波兰式（仅考虑运算符为双目运算符的情况）：', '请输入正确功能序号'];
  /* The labels of the lines it prints, before the characters. */
  var LABELS = { preorder: '先序遍历输出：', inorder: '中序遍历输出：', walk: '后续线索化二叉树遍历输出：',
                 prefix: '波兰式：', infix: '中缀表达式', postfix: '逆波兰式', value: '波兰式值为：' };
  /* What each walk of choice 1 is called, and the order it visits in. */
  var FORMS = { prefix: '先序遍历（根、左、右）', infix: '中序遍历（左、根、右）', postfix: '后序遍历（左、右、根）' };
  /* The phases whose printed line is a walk of the tree, in the order
   * they print. */
  var WALKS = ['walk', 'prefix', 'infix', 'postfix'];
  /* Why a choice built no tree, as the step writer says it. */
  var WHY = { mismatch: '先序与中序不一致', long: '输入项过长', end: '输入在此结束',
              incomplete: '波兰式不完整', choice: '无效的功能序号' };

  /* ============================ Looks ==================================== */

  var FONT = D.FONT, MONO = D.MONO;
  var COLOURS = { ink: D.INK, grey: D.GREY, light: '#9aa4b4', link: '#5b6578',
                  pred: '#d9822b', succ: '#2f8f4e', node: '#3b6fb6', done: '#dbe8f7',
                  current: '#ffd54f', currentEdge: '#a05a00', zero: '#fdecea', zeroEdge: '#b3261e',
                  order: '#3b6fb6', value: '#2f6b3a' };
  /* The node sizes, by the number of nodes: up to `most` nodes, circles of
   * radius r, columns dx apart and levels dy apart; the characters written
   * in them at font size `font` (none when 0); the tags written beside them
   * when `tags`. */
  var SIZES = [
    { most: 63, r: 17, dx: 46, dy: 72, font: 16, tags: true },
    { most: 255, r: 9, dx: 22, dy: 44, font: 11, tags: false },
    { most: Infinity, r: 4, dx: 9, dy: 22, font: 0, tags: false }
  ];
  var LINE = 22;          /* the height of a line of the picture's heading */
  var MARGIN = 48;        /* room on the left, for the 中序 row's name */

  /* What lasts across steps is on the model (see picture.js): model.panel,
   * the text's parts {buttons, caption, note, output, marks, choice}, and
   * model.sight, the point scrollTo is to bring in sight, till the next
   * frame. */
  var builds = 0;         /* models built so far, for the checks to wait on */

  /* ============================ Reading the run ========================== */

  /* answers(stdout, wanted): the lines the program printed in answer to
   * each of its first `wanted` choices, in order: [[line bytes, ...], ...];
   * an answer starts with a prompt or the line that refuses the choice.
   * Reading stops there: a long session's stdout may hold millions of
   * lines, and only the choices the step writer describes are drawn. */
  function answers(stdout, wanted) {
    var all = [];
    var start = 0;
    for (var i = 0; i <= stdout.length && start < stdout.length; i++) {
      if (i < stdout.length && stdout[i] !== 10) continue;
      var line = stdout.subarray(start, i);
      start = i + 1;
      if (PROMPTS.indexOf(DsdGbk.decode(line)) >= 0) {
        if (all.length === wanted) break;
        all.push([line]);
      } else if (all.length) all[all.length - 1].push(line);
    }
    return all;
  }

  /* lineAfter(answer, label): the bytes after label on the first line of
   * the answer that starts with it, or null. */
  function lineAfter(answer, label) {
    var head = DsdGbk.encode(label).bytes;
    for (var i = 0; i < answer.length; i++) {
      var line = answer[i];
      var same = line.length >= head.length;
      for (var j = 0; same && j < head.length; j++) same = line[j] === head[j];
      if (same) return line.subarray(head.length);
    }
    return null;
  }

  /* labelsOf(bytes): the labels of a printed line's bytes (each node holds
   * one byte: DsdDraw.byteLabel), one per node; []
   * for a line that is not there. */
  function labelsOf(bytes) {
    return bytes ? Array.prototype.map.call(bytes, byteLabel) : [];
  }

  /* shortText(s): a token of the session as text, cut after 24 characters. */
  function shortText(s) {
    var whole = DsdPicture.gbkText(s);
    return whole.length > 24 ? whole.slice(0, 24) + '…（共 ' + s.length + ' 个字节）' : whole;
  }

  /* ============================ The model ================================ */

  /* choiceTitle(c, i): the name of choice i in the list, with what it read. */
  function choiceTitle(c, i) {
    var head = '第 ' + (i + 1) + ' 次选择：';
    var sel = c.choice === null ? '' : String(c.choice);
    if (!c.ok) return head + sel + '（' + WHY[c.why] + '）';
    if (c.choice === 0) return head + '0 ' + shortText(c.preorder) + ' ' + shortText(c.inorder);
    return head + sel + ' ' + shortText(c.expression);
  }

  /* phasesOf(c): the parts of choice c's picture, [[name, steps], ...]. */
  function phasesOf(c) {
    if (!c.ok) return [['message', 1]];
    if (c.choice === 0) return [['tree', 1], ['threads', 1], ['walk', c.walk.length]];
    if (c.choice === 1) return [['tree', 1], ['prefix', c.prefix.length], ['infix', c.infix.length],
                                ['postfix', c.postfix.length]];
    var phases = [['tree', 1], ['value', c.values.length]];
    if (c.divideByZero >= 0) phases.push(['zero', 1]);
    return phases;
  }

  /* prepare(c, answer, i): choice i of the step writer with what the
   * program printed for it: {data, index, title, answer (its lines as
   * text), printed ({name: labels} of its printed lines), labels (of its
   * nodes), size, layout, phases}. */
  function prepare(c, answer, i) {
    var choice = { data: c, index: i, title: choiceTitle(c, i), phases: phasesOf(c),
                   answer: answer.map(function (line) { return DsdGbk.decode(line); }), printed: {} };
    Object.keys(LABELS).forEach(function (name) {
      choice.printed[name] = labelsOf(lineAfter(answer, LABELS[name]));
    });
    if (c.ok && c.nodes.length) {
      choice.labels = c.nodes.map(function (node) { return byteLabel(node.ch.charCodeAt(0) & 0xff); });
      choice.size = SIZES.filter(function (s) { return c.nodes.length <= s.most; })[0];
      choice.layout = layoutTree(c.nodes, choice.size, headingLines(c) * LINE + 16);
    }
    return choice;
  }

  /* build(run, steps): the picture's model: {count, steps ([{choice,
   * phase, k}] for each step), starts (the first step of each choice),
   * choices, cut}, or {note} when there is nothing to draw. */
  function build(run, steps) {
    builds++;
    if (steps.stopped) return { note: '步骤记录因内存不足而中断，图解从略；文字输出见下方。' };
    if (!steps.choices.length) return { note: '这次运行没有做任何选择，没有可画的内容。' };
    var said = answers(run.result.stdout, steps.choices.length);
    var model = { count: 0, steps: [], starts: [], cut: steps.cut, choices: [], panel: null, sight: null };
    steps.choices.forEach(function (c, i) {
      var choice = prepare(c, said[i] || [], i);
      model.choices.push(choice);
      model.starts.push(model.steps.length);
      choice.phases.forEach(function (phase) {
        for (var k = 0; k < phase[1]; k++) model.steps.push({ choice: i, phase: phase[0], k: k });
      });
    });
    model.count = model.steps.length;
    return model;
  }

  /* ============================ Layout =================================== */

  /* headingLines(c): the lines of the heading above choice c's tree: the
   * title, the printed lines, and the legend. */
  function headingLines(c) {
    return c.choice === 1 ? 5 : 3;
  }

  /* layoutTree(nodes, size, top): where each node and its writing go:
   * {x, y, parent, order, tags, width, height}. Node k's centre is (x[k],
   * y[k]): its inorder position times size.dx from the left, its depth
   * times size.dy below top; parent[k] is its parent's number (-1 at the
   * root); order[k] is where its visiting order is written, {x, y,
   * anchor}, above it on the side away from the link to its parent;
   * tags[k] where its ltag and rtag are written, [{x, y}, {x, y}] on its
   * left and right; width and height hold the whole drawing, with the 中序
   * row below the tree. */
  function layoutTree(nodes, size, top) {
    var pos = { x: [], y: [], parent: nodes.map(function () { return -1; }), order: [], tags: [] };
    var deepest = 0;
    nodes.forEach(function (node, k) {
      pos.x[k] = MARGIN + size.r + node.inorder * size.dx;
      pos.y[k] = top + size.r + 14 + node.depth * size.dy;
      deepest = Math.max(deepest, node.depth);
      if (node.left >= 0) pos.parent[node.left] = k;
      if (node.right >= 0) pos.parent[node.right] = k;
    });
    nodes.forEach(function (node, k) {
      var away = pos.parent[k] >= 0 && nodes[pos.parent[k]].left === k ? -1 : 1;
      pos.order[k] = { x: pos.x[k] + away * size.r * 0.8, y: pos.y[k] - size.r * 0.8 - 2, anchor: away < 0 ? 'end' : 'start' };
      pos.tags[k] = [{ x: pos.x[k] - size.r - 7, y: pos.y[k] + 4 }, { x: pos.x[k] + size.r + 7, y: pos.y[k] + 4 }];
    });
    pos.width = MARGIN + 2 * size.r + (nodes.length - 1) * size.dx + 48;
    pos.bottom = top + size.r + 14 + deepest * size.dy + size.r + 40;
    pos.height = pos.bottom + (size.font ? 30 : 10);
    return pos;
  }

  /* toward(x, y, tx, ty, r): the point at distance r from (x, y) in the
   * direction of (tx, ty), as [x, y]. */
  function toward(x, y, tx, ty, r) {
    var dx = tx - x, dy = ty - y;
    var len = Math.sqrt(dx * dx + dy * dy) || 1;
    return [x + dx / len * r, y + dy / len * r];
  }

  /* childLinks(nodes, pos, r): the links to the children, [{from, to, x1,
   * y1, x2, y2}], each from circle edge to circle edge. */
  function childLinks(nodes, pos, r) {
    var links = [];
    nodes.forEach(function (node, k) {
      [node.left, node.right].forEach(function (child) {
        if (child < 0) return;
        var a = toward(pos.x[k], pos.y[k], pos.x[child], pos.y[child], r);
        var b = toward(pos.x[child], pos.y[child], pos.x[k], pos.y[k], r);
        links.push({ from: k, to: child, x1: a[0], y1: a[1], x2: b[0], y2: b[1] });
      });
    });
    return links;
  }

  /* threadPath(x1, y1, x2, y2, r): the SVG path of a curved arrow from the
   * circle of radius r at (x1, y1) to the one at (x2, y2): an arc that
   * bows to the left of its direction (bend pixels to the side at its
   * ends' guide point, half that at its middle), so that two threads
   * between the same nodes, one each way, take opposite sides, and neither
   * hides a child link. */
  function threadPath(x1, y1, x2, y2, r) {
    var dx = x2 - x1, dy = y2 - y1;
    var len = Math.sqrt(dx * dx + dy * dy) || 1;
    var bend = Math.min(Math.max(len * 0.25, 2 * r), 90);
    var cx = (x1 + x2) / 2 + dy / len * bend;
    var cy = (y1 + y2) / 2 - dx / len * bend;
    var s = toward(x1, y1, cx, cy, r), e = toward(x2, y2, cx, cy, r + 1);
    var chord = Math.sqrt((e[0] - s[0]) * (e[0] - s[0]) + (e[1] - s[1]) * (e[1] - s[1]));
    var h = bend / 2;                               /* the arc's height over its chord */
    return D.arcPath({ x: s[0], y: s[1] }, { x: e[0], y: e[1] }, (chord * chord / 4 + h * h) / (2 * h), false);
  }

  /* threadArcs(nodes, pos, r): the threads the step writer reports, one per
   * tag 1 (Thread): [{from, side ('pred' for ltag, 'succ' for rtag), to,
   * d}], d the path of its arrow. A null thread (to -1, the first node's
   * predecessor) gets a short arrow down and to the left, to NULL at
   * (nullX, nullY). */
  function threadArcs(nodes, pos, r) {
    var threads = [];
    nodes.forEach(function (node, k) {
      [['pred', node.ltag, node.lchild], ['succ', node.rtag, node.rchild]].forEach(function (t) {
        if (t[1] !== 1) return;
        var x = pos.x[k], y = pos.y[k];
        var arc = { from: k, side: t[0], to: t[2] };
        if (t[2] >= 0) {
          arc.d = threadPath(x, y, pos.x[t[2]], pos.y[t[2]], r);
        } else {
          var s = toward(x, y, x - 1, y + 1, r);
          arc.nullX = x - r - 18;
          arc.nullY = y + r + 18;
          arc.d = 'M' + round(s[0]) + ',' + round(s[1]) + ' L' + round(arc.nullX + 6) + ',' + round(arc.nullY - 6);
        }
        threads.push(arc);
      });
    });
    return threads;
  }

  /* ============================ What a step shows ======================== */

  /* stepState(choice, phase, k): the nodes' looks at step k of a phase:
   * {state: [per node 'plain' | 'done' | 'current' | 'zero'], badge: [per
   * node the order or value written beside it, or ''], threads (drawn or
   * not), follow (the node whose successor thread the walk just took, or
   * -1)}. */
  function stepState(choice, phase, k) {
    var c = choice.data;
    var n = c.nodes.length;
    var look = { state: [], badge: [], threads: phase === 'threads' || phase === 'walk', follow: -1 };
    for (var j = 0; j < n; j++) { look.state.push('plain'); look.badge.push(''); }
    /* mark(order, upTo): the nodes of order before upTo done, upTo current,
     * each with its place in the order. */
    function mark(order, upTo) {
      for (var i = 0; i <= upTo; i++) {
        look.state[order[i]] = i === upTo ? 'current' : 'done';
        look.badge[order[i]] = String(i + 1);
      }
    }
    if (phase === 'walk') {
      mark(c.walk, k);
      var before = k > 0 ? c.nodes[c.walk[k - 1]] : null;
      if (before && before.rtag === 1 && before.rchild === c.walk[k]) look.follow = c.walk[k - 1];
    } else if (phase === 'prefix' || phase === 'infix' || phase === 'postfix') {
      mark(c[phase], k);
    } else if (phase === 'value' || phase === 'zero') {
      var upTo = phase === 'zero' ? c.values.length - 1 : k;
      for (var i = 0; i <= upTo; i++) {
        var v = c.values[i];
        look.state[v.node] = i === upTo && phase === 'value' ? 'current' : 'done';
        look.badge[v.node] = '=' + v.value;
      }
      if (phase === 'zero') { look.state[c.divideByZero] = 'zero'; look.badge[c.divideByZero] = '除数为0'; }
    }
    return look;
  }

  /* messageLines(choice): what the program said to a choice that built no
   * tree: its lines after the prompt (the refusal of the choice number is
   * a line of its own, with no prompt). */
  function messageLines(choice) {
    return choice.answer.slice(choice.data.why === 'choice' ? 0 : 1).filter(Boolean);
  }

  /* printedSoFar(choice, phase, k): the heading's output lines at that
   * step: [{label, chars (labels of the bytes printed), current (index of
   * the one just printed, or -1), rest (text after them)}]. */
  function printedSoFar(choice, phase, k) {
    var c = choice.data;
    if (phase === 'message') {
      return messageLines(choice).map(function (line) {
        return { label: '', chars: [], current: -1, rest: line };
      });
    }
    if (c.choice === 0) {
      var walk = phase === 'walk' ? choice.printed.walk.slice(0, k + 1) : [];
      return [{ label: LABELS.walk, chars: walk, current: phase === 'walk' ? k : -1, rest: '' }];
    }
    if (c.choice === 1) {
      var order = ['prefix', 'infix', 'postfix'];
      var at = order.indexOf(phase);
      return order.map(function (form, i) {
        var all = choice.printed[form];
        var chars = i < at ? all : i === at ? all.slice(0, k + 1) : [];
        return { label: LABELS[form], chars: chars, current: i === at ? k : -1, rest: '' };
      });
    }
    var said = '';
    if (phase === 'zero') said = choice.answer.filter(function (l) { return /^除数为零/.test(l); })[0] || '';
    else if (phase === 'value' && k === c.values.length - 1 && c.divideByZero < 0) {
      said = choice.answer.filter(function (l) { return l.indexOf(LABELS.value) === 0; })[0] || '';
    }
    return [{ label: '程序输出：', chars: [], current: -1, rest: said }];
  }

  /* caption(choice, phase, k): the sentence that explains the step. */
  function caption(choice, phase, k) {
    var c = choice.data;
    var name = function (j) { return choice.labels[j]; };
    if (phase === 'message') {
      var said = messageLines(choice).join(' ');
      return '这次选择没有建成树，不画图。' + (said ? '程序的输出：' + said : '程序输出提示后，输入就结束了。');
    }
    if (phase === 'tree' && c.choice === 0) {
      return '由先序和中序序列重建的二叉树：每个结点的横向位置是它在中序序列中的位置，纵向位置是它的层次（根在第 0 层）。';
    }
    if (phase === 'tree') {
      return '由波兰式建立的表达式树：运算符是内部结点，两个运算对象是它的左、右孩子。' +
             (c.choice === 2 ? '接下来自底向上求值。' : '接下来依次做先序、中序、后序遍历。');
    }
    if (phase === 'threads') {
      return '后序线索化：没有左孩子的结点，左指针改指后序前驱（ltag=1，橙色虚线）；没有右孩子的结点，' +
             '右指针改指后序后继（rtag=1，绿色虚线）。后序第一个结点没有前驱，它的左线索为空（NULL）。';
    }
    if (phase === 'walk') {
      var here = c.walk[k];
      var sentence = '第 ' + (k + 1) + ' 个访问 ' + name(here) + '，输出 ' + name(here) + '。';
      if (k === 0) {
        sentence = '从根出发向下，找到后序的第一个结点 ' + name(here) + '（它的左线索为空）。' + sentence;
      } else {
        var before = c.walk[k - 1];
        var node = c.nodes[before];
        var parent = choice.layout.parent[before];
        if (node.rtag === 1 && node.rchild === here) {
          sentence = '上一个结点 ' + name(before) + ' 的 rtag=1：沿它的后继线索（绿色虚线）直接到 ' + name(here) + '。' + sentence;
        } else if (parent >= 0) {
          sentence = '上一个结点 ' + name(before) + ' 的 rtag=0，没有后继线索：经双亲指针回到 ' + name(parent) +
                 (parent === here ? '，它的左右子树都已访问。' : '，再进入它的右子树，向下找到 ' + name(here) + '。') + sentence;
        }
      }
      if (k === c.walk.length - 1) sentence += '这是根，遍历结束：整个过程没有用栈。';
      return sentence;
    }
    if (FORMS[phase]) {
      return FORMS[phase] + '：第 ' + (k + 1) + ' 个访问 ' + name(c[phase][k]) + '，写出 ' + name(c[phase][k]) + '。';
    }
    if (phase === 'zero') {
      return '运算符 ' + name(c.divideByZero) + ' 的除数（右运算对象）的值是 0：求值在这里停止，程序报告除数为零。';
    }
    var v = c.values[k];
    var node2 = c.nodes[v.node];
    if (node2.left < 0) return '运算对象 ' + name(v.node) + ' 的值就是 ' + v.value + '。';
    var valueOf = function (j) {
      return c.values.filter(function (x) { return x.node === j; })[0].value;
    };
    return '运算符 ' + name(v.node) + ' 的两个运算对象都有了值：' + valueOf(node2.left) + ' ' + name(v.node) + ' ' +
           valueOf(node2.right) + ' = ' + v.value + '。' + (v.node === 0 ? '这是根的值，也就是程序输出的值。' : '');
  }

  /* ============================ Drawing ================================== */

  /* drawMarkers(svg, size): the arrow heads of the two kinds of thread. */
  function drawMarkers(svg, size) {
    var defs = svgEl('defs');
    var w = Math.max(5, Math.min(9, size.r * 0.6));
    [['pred', COLOURS.pred], ['succ', COLOURS.succ]].forEach(function (m) {
      defs.appendChild(D.arrowHead('bitree-arrow-' + m[0], m[1], w));
    });
    svg.appendChild(defs);
  }

  /* headingTitle(choice, phase): the first line of the picture: which
   * choice, and what the step shows of it. */
  function headingTitle(choice, phase) {
    var c = choice.data;
    var head = '第 ' + (choice.index + 1) + ' 次选择';
    if (!c.ok) return head + '：' + WHY[c.why] + '，没有建成树';
    var what = { tree: c.choice === 0 ? '由先序和中序重建的二叉树' : '由波兰式建立的表达式树',
                 threads: '后序线索化', walk: '不用栈的后序线索遍历', prefix: FORMS.prefix, infix: FORMS.infix,
                 postfix: FORMS.postfix, value: '自底向上求值', zero: '自底向上求值' }[phase];
    return head + '（功能 ' + c.choice + '）· ' + what;
  }

  /* drawHeading(g, choice, phase, k): the title, the output lines so far
   * (the character just printed marked) and the legend. */
  function drawHeading(g, choice, phase, k) {
    var c = choice.data;
    var y = LINE;
    text(g, 12, y, headingTitle(choice, phase), { 'font-size': 16, 'font-weight': 'bold' });
    printedSoFar(choice, phase, k).forEach(function (line) {
      y += LINE;
      var t = text(g, 12, y, line.label, { fill: COLOURS.grey });
      var done = (line.current >= 0 ? line.chars.slice(0, line.current) : line.chars).join('');
      t.appendChild(svgEl('tspan', { 'font-family': MONO, fill: COLOURS.ink }, done));
      if (line.current >= 0) {
        t.appendChild(svgEl('tspan', { 'font-family': MONO, 'font-weight': 'bold', fill: COLOURS.currentEdge,
                                       'text-decoration': 'underline' }, line.chars[line.current] || ''));
      }
      if (line.rest) t.appendChild(svgEl('tspan', { fill: COLOURS.ink }, line.rest));
    });
    if (!choice.layout) return;
    y += LINE;
    if (phase === 'threads' || phase === 'walk') drawLegend(g, y, choice.size);
    else text(g, 12, y, { 0: '横向：结点在中序序列中的位置；纵向：层次。', 1: '结点旁的蓝色数字是访问次序。',
                          2: '结点下方的绿框是求得的值：运算符要等两个运算对象都有了值才能求值。' }[c.choice],
              { 'font-size': 12, fill: COLOURS.grey });
  }

  /* drawLegend(g, y, size): the samples of a child link and of the two
   * threads, with their names. */
  function drawLegend(g, y, size) {
    var x = 12;
    [['孩子指针（tag=0）', COLOURS.link, '', ''],
     ['前驱线索（ltag=1）', COLOURS.pred, '6 4', 'pred'],
     ['后继线索（rtag=1）', COLOURS.succ, '6 4', 'succ']].forEach(function (item) {
      var attrs = { x1: x, y1: y - 5, x2: x + 34, y2: y - 5, stroke: item[1], 'stroke-width': 2 };
      if (item[2]) attrs['stroke-dasharray'] = item[2];
      if (item[3]) attrs['marker-end'] = 'url(#bitree-arrow-' + item[3] + ')';
      g.appendChild(svgEl('line', attrs));
      text(g, x + 40, y, item[0], { 'font-size': 12, fill: COLOURS.grey });
      x += 40 + textWidth(item[0], 12) + 18;
    });
    if (size.tags) text(g, x, y, '结点左、右两侧的数字：ltag、rtag', { 'font-size': 12, fill: COLOURS.grey });
  }

  /* drawTree(g, choice, look): the child links, the threads (when the step
   * shows them), the nodes in their looks, and the 中序 row. What all the
   * elements of a kind share stands on their group, once. */
  function drawTree(g, choice, look) {
    var c = choice.data, pos = choice.layout, size = choice.size;
    var thin = size.r > 5 ? 1 : 0.5;
    var d = childLinks(c.nodes, pos, size.r).map(function (l) {
      return 'M' + round(l.x1) + ',' + round(l.y1) + ' L' + round(l.x2) + ',' + round(l.y2);
    }).join(' ');
    g.appendChild(svgEl('path', { 'data-kind': 'links', d: d || 'M0,0', fill: 'none', stroke: COLOURS.link,
                                  'stroke-width': 2 * thin }));
    if (look.threads) drawThreads(g, choice, look.follow);
    var nodes = svgEl('g', { 'data-kind': 'nodes', fill: '#ffffff', stroke: COLOURS.node, 'stroke-width': 2 * thin });
    c.nodes.forEach(function (node, k) { nodes.appendChild(drawNode(choice, k, look, look.threads)); });
    g.appendChild(nodes);
    if (size.font) {
      var row = svgEl('g', { 'font-size': 12, fill: COLOURS.light, 'font-family': MONO, 'text-anchor': 'middle' });
      row.appendChild(svgEl('text', { x: 24, y: pos.bottom + 14, 'font-family': FONT }, '中序'));
      c.nodes.forEach(function (node, k) {
        var label = choice.labels[k];
        row.appendChild(svgEl('text', { x: round(pos.x[k]), y: pos.bottom + 14 }, label.length > 1 ? '·' : label));
      });
      g.appendChild(row);
    }
  }

  /* drawThreads(g, choice, follow): the dashed thread arrows, in one group
   * per kind; the one the walk just took (the successor thread of node
   * follow) stands out. */
  function drawThreads(g, choice, follow) {
    var size = choice.size;
    var groups = {};
    [['pred', COLOURS.pred], ['succ', COLOURS.succ]].forEach(function (kind) {
      groups[kind[0]] = svgEl('g', { 'data-kind': 'threads', fill: 'none', stroke: kind[1],
                                     'stroke-width': size.r > 5 ? 1.6 : 1, 'stroke-dasharray': size.r > 5 ? '6 4' : '3 2',
                                     'stroke-opacity': follow >= 0 ? 0.5 : 1,
                                     'marker-end': 'url(#bitree-arrow-' + kind[0] + ')' });
      g.appendChild(groups[kind[0]]);
    });
    threadArcs(choice.data.nodes, choice.layout, size.r).forEach(function (t) {
      var path = svgEl('path', { d: t.d, 'data-kind': 'thread', 'data-from': t.from, 'data-side': t.side, 'data-to': t.to });
      if (t.side === 'succ' && t.from === follow) {
        path.setAttribute('stroke-width', 3.5);
        path.setAttribute('stroke-opacity', 1);
      }
      groups[t.side].appendChild(path);
      if (t.to < 0) {
        groups[t.side].appendChild(svgEl('text', { x: round(t.nullX), y: round(t.nullY + 8), stroke: 'none',
          fill: COLOURS.pred, 'font-size': size.font ? 11 : 8, 'text-anchor': 'middle', 'font-family': MONO }, 'NULL'));
      }
    });
  }

  /* drawNode(choice, k, look, tags): node k: its circle in its look (the
   * plain look is its group's), and when the nodes are large enough to
   * write in, a group with its character, its badge (order or value), and
   * its tags when the step shows threads. The outermost element carries
   * the node's number and state. */
  function drawNode(choice, k, look, tags) {
    var c = choice.data, pos = choice.layout, size = choice.size;
    var x = pos.x[k], y = pos.y[k], state = look.state[k];
    var circle = svgEl('circle', { cx: round(x), cy: round(y), r: size.r });
    if (state !== 'plain') {
      circle.setAttribute('fill', { done: COLOURS.done, current: COLOURS.current, zero: COLOURS.zero }[state]);
      if (state !== 'done') {
        circle.setAttribute('stroke', state === 'current' ? COLOURS.currentEdge : COLOURS.zeroEdge);
        circle.setAttribute('stroke-width', size.r > 5 ? 3 : 2);
      }
    }
    var label = choice.labels[k];
    var badge = look.badge[k];
    circle.appendChild(svgEl('title', {}, '结点 ' + label + (badge ? '  ' + badge : '')));
    if (!size.font) {
      circle.setAttribute('data-node', k);
      circle.setAttribute('data-state', state);
      return circle;
    }
    var g = svgEl('g', { 'data-node': k, 'data-state': state });
    g.appendChild(circle);
    text(g, x, y + size.font * 0.35, label, { 'font-size': label.length > 1 ? size.font * 0.55 : size.font,
                                             'text-anchor': 'middle', 'font-family': MONO, 'font-weight': 'bold',
                                             fill: COLOURS.ink, stroke: 'none', class: 'bitree-label' });
    if (badge && badge.charAt(0) !== '=' && state !== 'zero') {
      var at = pos.order[k];
      text(g, at.x, at.y, badge, { 'font-size': 12, fill: COLOURS.order, 'font-weight': 'bold', stroke: 'none',
                                   'text-anchor': at.anchor });
    } else if (badge) {
      var font = size.r > 10 ? 13 : 9;
      var w = textWidth(badge, font) + 6;
      var top = y + size.r + 3;
      var colour = state === 'zero' ? COLOURS.zeroEdge : COLOURS.value;
      g.appendChild(svgEl('rect', { x: round(x - w / 2), y: round(top), width: round(w), height: font + 5, rx: 3,
                                    stroke: colour, 'stroke-width': 1 }));
      text(g, x, top + font + 1, badge, { 'font-size': font, 'text-anchor': 'middle', fill: colour, stroke: 'none' });
    }
    if (tags && size.tags) {
      var node = c.nodes[k];
      [[node.ltag, pos.tags[k][0], COLOURS.pred], [node.rtag, pos.tags[k][1], COLOURS.succ]].forEach(function (t) {
        text(g, t[1].x, t[1].y, String(t[0]), {
          'font-size': 12, 'text-anchor': 'middle', 'font-family': MONO, 'font-weight': 'bold', stroke: 'none',
          fill: t[0] === 1 ? t[2] : COLOURS.light });
      });
    }
    return g;
  }

  /* ============================ The text beside ========================== */

  /* fillText(model, view): the text beside the picture, made once per
   * model: the list of choices, the caption, and a place for the current
   * choice's output. */
  function fillText(model, view) {
    var list = el('ol', { className: 'bitree-choices' });
    var buttons = model.choices.map(function (choice, i) {
      var b = el('button', { type: 'button', textContent: choice.title });
      b.addEventListener('click', function () { view.go(model.starts[i]); });
      list.appendChild(el('li', {}, [b]));
      return b;
    });
    var panel = model.panel = { buttons: buttons, caption: el('p', { className: 'bitree-caption' }),
                                note: el('p', { className: 'picture-note', hidden: true }),
                                output: el('div', { className: 'bitree-output' }), marks: {}, choice: -1 };
    /* The step's caption and output first: a long session's list of
     * choices comes after them. */
    view.text.appendChild(panel.caption);
    view.text.appendChild(panel.note);
    view.text.appendChild(panel.output);
    view.text.appendChild(el('h4', { textContent: '本次会话的选择（点一项跳到它的图）' }));
    if (model.cut) {
      view.text.appendChild(el('p', { className: 'picture-note bitree-cut', textContent: '这次会话的选择超过 ' +
        model.choices.length + ' 次：图解画出前 ' + model.choices.length + ' 次，后面的选择见下方程序的输出。' }));
    }
    view.text.appendChild(list);
    view.text.setAttribute('data-builds', String(builds));
  }

  /* fillOutput(model, choice, view): what the program printed for the
   * choice. Each character of a walk's line jumps to its step when
   * clicked, and choice 2's answer to its last step; the characters'
   * spans are kept in panel.marks by phase. */
  function fillOutput(model, choice, view) {
    var panel = model.panel;
    panel.output.textContent = '';
    panel.marks = {};
    panel.output.appendChild(el('h4', { textContent: '程序对这次选择的输出' +
      (!choice.layout ? '' : choice.data.choice === 2 ? '（点这一行，跳到求值的最后一步）'
                                                    : '（点一个输出的字符，跳到打印它的那一步）') }));
    var start = model.starts[choice.index];
    var last = start + stepsBefore(choice, null) - 1;
    choice.answer.slice(1).forEach(function (line) {
      var name = Object.keys(LABELS).filter(function (n) { return line.indexOf(LABELS[n]) === 0; })[0];
      var row = el('div', { className: 'bitree-line' });
      panel.output.appendChild(row);
      if (choice.layout && choice.data.choice === 2 && line) {
        row.appendChild(el('span', { className: 'bitree-char done', textContent: line, title: '跳到求值的最后一步' }));
        row.addEventListener('click', function () { view.go(last); });
        return;
      }
      if (!choice.layout || WALKS.indexOf(name) < 0) {
        row.textContent = line || ' ';
        return;
      }
      row.appendChild(document.createTextNode(LABELS[name]));
      var first = start + stepsBefore(choice, name);
      panel.marks[name] = choice.printed[name].map(function (ch, i) {
        var span = el('span', { className: 'bitree-char', textContent: ch, title: '第 ' + (i + 1) + ' 个' });
        span.addEventListener('click', function () { view.go(first + i); });
        row.appendChild(span);
        return span;
      });
    });
    var size = choice.size;
    panel.note.hidden = !(size && !size.font);
    if (size && !size.font) {
      panel.note.textContent = '这棵树有 ' + choice.data.nodes.length + ' 个结点，画出来字会太小：图中的结点缩小了，' +
        '不写字符（鼠标停在结点上可看到）；输出的字符见下面的文字。图可以上下左右滚动。';
    }
  }

  /* stepsBefore(choice, phase): the steps of the choice before its phase
   * (all its steps for a phase it does not have). */
  function stepsBefore(choice, phase) {
    var n = 0;
    for (var i = 0; i < choice.phases.length && choice.phases[i][0] !== phase; i++) n += choice.phases[i][1];
    return n;
  }

  /* markText(model, phase, k): marks in the output the characters printed
   * so far and the one printed at this step. */
  function markText(model, phase, k) {
    var at = WALKS.indexOf(phase);
    WALKS.forEach(function (name, i) {
      (model.panel.marks[name] || []).forEach(function (span, j) {
        var done = at >= 0 && (i < at || (i === at && j < k));
        var look = 'bitree-char' + (i === at && j === k ? ' current' : done ? ' done' : '');
        if (span.className !== look) span.className = look;   /* a long line changes in two places */
      });
    });
  }

  /* ============================ The step on screen ======================= */

  /* scrollTo(model, view, x, y): scrolls the picture's frame so that (x, y)
   * is in sight, when the picture is larger than it. It waits for the next
   * frame, where the page is laid out anyway, so that quick steps each
   * cost no layout of their own; only the latest point counts. */
  function scrollTo(model, view, x, y) {
    var waiting = model.sight !== null;
    model.sight = [x, y];
    if (waiting) return;
    requestAnimationFrame(function () {
      var frame = view.svg.parentNode;
      x = model.sight[0];
      y = model.sight[1];
      model.sight = null;
      if (x < frame.scrollLeft + 20 || x > frame.scrollLeft + frame.clientWidth - 20) {
        frame.scrollLeft = x - frame.clientWidth / 2;
      }
      if (y < frame.scrollTop + 20 || y > frame.scrollTop + frame.clientHeight - 20) {
        frame.scrollTop = y - frame.clientHeight / 2;
      }
    });
  }

  /* draw(model, i, view): step i: the picture of its choice at that step,
   * and the caption and marks in the text. */
  function draw(model, i, view) {
    if (view.first) fillText(model, view);
    var panel = model.panel;
    var step = model.steps[i];
    var choice = model.choices[step.choice];
    if (panel.choice !== step.choice) {
      fillOutput(model, choice, view);
      panel.choice = step.choice;
      panel.buttons.forEach(function (b, j) { b.className = j === step.choice ? 'current' : ''; });
    }
    panel.caption.textContent = caption(choice, step.phase, step.k);
    markText(model, step.phase, step.k);

    var pos = choice.layout;
    var printed = printedSoFar(choice, step.phase, step.k);
    var headingWidth = 24 + textWidth(headingTitle(choice, step.phase), 16);
    printed.forEach(function (line) {
      headingWidth = Math.max(headingWidth, 24 + textWidth(line.label + line.chars.join('') + line.rest, 14));
    });
    var width = Math.ceil(Math.max(pos ? pos.width : 0, headingWidth, pos ? 720 : 560));
    var height = Math.ceil(pos ? pos.height : (printed.length + 1) * LINE + 12);
    var g = D.canvas(view.svg, width, height);
    if (pos) drawMarkers(g, choice.size);
    g.setAttribute('data-choice', step.choice);
    g.setAttribute('data-phase', step.phase);
    g.setAttribute('data-k', step.k);
    drawHeading(g, choice, step.phase, step.k);
    if (pos) {
      /* A tree narrower than the heading stands in the middle. */
      var shift = Math.floor((width - pos.width) / 2);
      var tree = svgEl('g', { transform: 'translate(' + shift + ',0)' });
      var look = stepState(choice, step.phase, step.k);
      drawTree(tree, choice, look);
      g.appendChild(tree);
      var current = look.state.indexOf('current');
      if (current < 0) current = look.state.indexOf('zero');
      if (current >= 0) scrollTo(model, view, shift + pos.x[current], pos.y[current]);
    }
  }

  /* jump(model, step): the first picture step of the session's choice
   * number step (counted from 1). */
  function jump(model, step) {
    return model.starts[Math.min(Math.max(step, 1), model.starts.length) - 1];
  }

  /* srcOf(c, phase, k): where the program did step k of a phase of choice
   * c, from the record: a walk's step from the <walk>Src array beside it,
   * a value from its entry of values, the tree and the threads from
   * treeSrc and threadsSrc; null when the record has none. */
  function srcOf(c, phase, k) {
    if (phase === 'value') return c.values[k].src || null;
    var found = c[phase + 'Src'];
    return (Array.isArray(found) ? found[k] : found) || null;
  }

  /* describe(model, i): step i's caption, and where the program did it. */
  function describe(model, i) {
    var step = model.steps[i];
    var choice = model.choices[step.choice];
    return { caption: caption(choice, step.phase, step.k), src: srcOf(choice.data, step.phase, step.k) };
  }

  /* The walks a practice question can ask for, and how it names them. */
  var QUIZ_WALKS = { walk: '不用栈遍历后序线索二叉树', prefix: '先序遍历（波兰式）', infix: '中序遍历（中缀表达式）',
                postfix: '后序遍历（逆波兰式）' };
  var QUIZ_NODES = 15;   /* the largest tree whose rebuild is asked node by node */

  /* quiz(model, i): the practice questions before step i, answered by the
   * step writer's record: before a rebuilt tree is shown, its nodes in the
   * order the rebuild makes them, each the root of its subtree (the
   * record numbers the nodes in that order); before each step of a walk,
   * the node it visits; before an operator node gets its value, that
   * value. Other steps ask nothing. */
  function quiz(model, i) {
    var step = model.steps[i];
    var choice = model.choices[step.choice];
    var c = choice.data;
    if (!c.ok || !choice.labels) return null;
    /* A label that two nodes share gets the node's number in the rebuild
     * order, so that each button names one node. */
    var count = {};
    choice.labels.forEach(function (label) { count[label] = (count[label] || 0) + 1; });
    var options = choice.labels.map(function (label, n) {
      return { value: String(n), label: count[label] > 1 ? label + ' #' + (n + 1) : label };
    });
    if (step.phase === 'tree' && c.choice === 0 && c.nodes.length <= QUIZ_NODES) {
      return c.nodes.map(function (node, n) {
        return { ask: '由先序 ' + shortText(c.preorder) + ' 和中序 ' + shortText(c.inorder) + ' 重建二叉树：第 ' + (n + 1) +
                      ' 个建立的结点（当时那棵子树的根）是哪个？', options: options, answer: String(n),
                 key: 'rebuild:' + step.choice + ':' + n,
                 why: '每次取当前先序范围的第一个字符作子树的根，再按它在中序里的位置分出左右子树：第 ' + (n + 1) +
                      ' 个建立的是 ' + options[n].label + '。' };
      });
    }
    if (QUIZ_WALKS[step.phase]) {
      return [{ ask: QUIZ_WALKS[step.phase] + '：下一个访问的结点是哪个？点那个结点，或按下面的按钮。',
                options: options, pick: 'data-node', answer: String(c[step.phase][step.k]),
                key: step.phase + ':' + step.choice + ':' + step.k }];
    }
    if (step.phase === 'value') {
      var v = c.values[step.k];
      var node = c.nodes[v.node];
      if (node.left < 0 && node.right < 0) return null;
      return [{ ask: '自下而上求值，按后序下一个是运算符结点 ' + options[v.node].label +
                     '（它的两个子结点已经有值）：它的值是多少？（输入整数）', answer: String(v.value),
                key: 'value:' + step.choice + ':' + step.k }];
    }
    return null;
  }

  DsdPicture.attach(DsdBitreeTab, { steps: true, build: build, draw: draw, describe: describe, jump: jump, quiz: quiz });
})();
