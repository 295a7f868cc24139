/* translator/picture.js -- the translator's picture, drawn from its step
 * writer's record (lab/translator/steps.cpp) and the run's
 * translate.txt.
 *
 * The steps, in the order the program takes them:
 *   1. the bracket expansion, one step per record: the sentence with the
 *      character being read, the stack L (upright, its top marked) and the
 *      queue Q (lying, its front and rear marked) after the step;
 *   2. the rule passes, one step each: the sentence before and after, with
 *      the rule's symbols and the characters its replacement wrote marked;
 *   3. the words, one step per character of the final sentence: each
 *      character with the word it became.
 * A long sentence or container is drawn in part (its first characters) and
 * the picture says how long it is. The text beside holds the sentence, the
 * rules and translate.txt cut into its words; the step on screen is marked
 * there, and clicking a character, a rule or a word goes to its step.
 *
 * The layout (where things stand) is computed apart from the drawing (what
 * they look like); the drawing sets its colours and fonts as SVG attributes,
 * so that a saved SVG looks the same on its own. */
(function () {
  'use strict';
  var D = DsdDraw;
  var svgEl = D.svgEl, text = D.text;
  var el = DsdUi.el;

  /* Sizes, in pixels. */
  var WIDTH = 840;                      /* the picture's width */
  var MARGIN = 20;                      /* left margin */
  var CELL_W = 20, CELL_H = 26;         /* a character of a sentence */
  var ROW_CELLS = 38;                   /* characters in a row of a long sentence */
  var ROW_GAP = 6;                      /* space between two such rows */
  var BOX_W = 40, BOX_H = 24;           /* a character on the stack */
  var QBOX_W = 28;                      /* a character in the queue */
  var STACK_CELLS = 10;                 /* characters drawn of the stack, from its top */
  var QUEUE_CELLS = 18;                 /* characters drawn of the queue, from its front */
  var WORD_CHAR_W = 15;                 /* a Chinese character of a word */

  var MONO = D.MONO;
  var INK = D.INK, SOFT = D.GREY, FAINT = '#a3abb9';
  /* Cell styles: [fill, stroke, text colour]. */
  var PLAIN = ['#ffffff', '#8a94a6', INK];
  var DONE = ['#eceff4', '#c3c9d4', FAINT];       /* a character already read */
  var NOW = ['#fff3c4', '#d9480f', INK];          /* the character being read or translated */
  var STACK = ['#dbe7f7', '#3b6fb6', INK];
  var QUEUE = ['#efe5fb', '#7b4fb6', INK];
  var SYMBOL = ['#ffe8cc', '#e8590c', INK];       /* the rule's symbol, before a pass */
  var WROTE = ['#d3f9d8', '#2b8a3e', INK];        /* written by the replacement */
  var ACCENT = '#d9480f';

  /* ============================ The record ============================== */

  /* label(c): how a byte of the record (one character of its string) is
   * shown: the pictures' byte label (itself, ␣, or \xHH). */
  function label(c) {
    return D.byteLabel(c.charCodeAt(0) & 0xff);
  }

  /* quoted(c): a byte of the record for a sentence of the text: 'c', or
   * its value in hex with a word on what it is. */
  function quoted(c) {
    var shown = label(c);
    return shown.length > 1 ? '字节 ' + shown + '（汉字等非 ASCII 字符的一个字节，或控制字符）' : "'" + shown + "'";
  }

  /* STOPPED: why there is nothing to draw, for each phase that the step
   * writer's stop record can name ("words": its own description ran out of
   * memory). */
  var STOPPED = {
    read: '程序拒绝了这个规则文件（原因见下方的标准错误），没有可画的步骤。',
    expansion: '程序在括号展开时停止了运行（原因见下方的标准错误），没有可画的步骤。',
    passes: '程序在规则替换时停止了运行（原因见下方的标准错误），没有可画的步骤。',
    words: '步骤记录写到翻译时内存不足，没有可画的步骤。'
  };

  /* outputOf(run): the bytes of the run's translate.txt, or null. */
  function outputOf(run) {
    var file = run.result.files.filter(function (f) { return f.path === 'translate.txt'; })[0];
    return file ? file.data : null;
  }

  /* build(run, steps): the model: the record, the list of steps
   * ({phase, index}) and the layout that stays the same at every step. */
  function build(run, steps) {
    if (!steps.ok) return { note: STOPPED[steps.stopped] || STOPPED.read };
    var order = [];
    var readStep = [];                      /* sentence position -> its first step */
    steps.expansion.forEach(function (r, k) {
      if (readStep[r.at] === undefined) readStep[r.at] = order.length;
      order.push({ phase: 'expand', index: k });
    });
    var firstPass = order.length;
    steps.passes.forEach(function (p, i) { order.push({ phase: 'pass', index: i }); });
    var firstWord = order.length;
    var symbols = steps.words.symbols;
    if (!symbols.length) order.push({ phase: 'words', index: -1 });
    symbols.forEach(function (s, k) { order.push({ phase: 'words', index: k }); });
    return {
      count: order.length, order: order, record: steps, output: outputOf(run),
      readStep: readStep, firstPass: firstPass, firstWord: firstWord,
      words: symbols.map(function (s) { return DsdPicture.gbkText(s.word); }),
      stack: stackColumn(steps.expansion)
    };
  }

  /* ============================ What a step says ======================== */

  /* explainExpansion(r, last): the lines that explain expansion step r
   * (last: it is the expansion's last step). */
  function explainExpansion(r, last) {
    var lines;
    if (r.action === 'push') {
      lines = ['读入第 ' + (r.at + 1) + ' 个字符 ' + quoted(r.read) + '，把它压入栈 L。'];
    } else if (r.action === 'take') {
      lines = ['读入 \'(\'：从栈 L 弹出括号里的第一个字符 θ = ' + quoted(r.theta) +
               '，再把它后面的字符逐个弹出、进入队列 Q，',
               '直到弹出与它配对的 \')\'（丢掉）。'];
    } else {
      lines = ['队列 Q 逐个出队：每出队一个字符，先压入 θ = ' + quoted(r.theta) + '，再压入这个字符；最后再压入一个 θ。',
               '括号 (θδ1δ2…δn) 在栈上从顶往下成了 θδnθ…θδ1θ。'];
    }
    if (last) lines.push('展开完成：栈 L 从栈顶往下读，就是展开后的句子。');
    return lines;
  }

  /* explainPass(model, i): the lines that explain rule pass i. */
  function explainPass(model, i) {
    var rec = model.record;
    var p = rec.passes[i];
    var rule = quoted(p.symbol) + ' → ' + (p.replacement.length ? "'" + p.replacement.split('').map(label).join('') + "'" : '（空）');
    var lines = ['规则 ' + (i + 1) + '：' + rule + '（规则文件第 ' + (i + 2) + ' 行）：' +
                 (p.replacement.length ? '每个 ' + quoted(p.symbol) + ' 换成它的替换文字' : '删去每个 ' + quoted(p.symbol)) +
                 '，其他字符照抄。',
                 i === 0 ? '第 1 遍从栈 L 逐个弹出字符（栈顶就是句子的第一个字符），改写后依次进入队列 Q。'
                         : '从队头取出上一遍的句子，逐个改写后接到队尾。'];
    if (i === rec.passes.length - 1 && rec.passCount > rec.passes.length) {
      lines.push('共执行了 ' + rec.passCount + ' 遍，这里只画出前 ' + rec.passes.length + ' 遍。');
    }
    return lines;
  }

  /* explainWords(model, k): the lines that explain word k (-1: there is
   * none). */
  function explainWords(model, k) {
    var rec = model.record;
    var symbols = rec.words.symbols;
    if (k < 0) {
      return [rec.passCount === 0 ? '规则条数小于 1：不做替换，句子留在栈 L 里，没有字写进 translate.txt。'
                                  : '最后的句子是空的：没有字写进 translate.txt。',
              'translate.txt 是空文件。'];
    }
    var lines = ['最后的句子从队头起逐个出队，每个字符查词表译成汉字，依次写入 translate.txt（字与字之间没有分隔）。',
                 '第 ' + (k + 1) + ' 个字符 ' + quoted(symbols[k].symbol) + ' 译成「' + model.words[k] + '」。'];
    if (rec.words.length > symbols.length) {
      lines.push('句子共 ' + rec.words.length + ' 个字符，这里只画出前 ' + symbols.length + ' 个；translate.txt 共 ' +
                 rec.words.bytes + ' 字节。');
    }
    return lines;
  }

  /* ============================ Layout ================================== */

  /* rowCells(count, x, y): where the cells of a sentence of count
   * characters stand when it is wrapped ROW_CELLS to a row, its first row
   * at (x, y): [{x, y, w, h}], one per character. */
  function rowCells(count, x, y) {
    var out = [];
    for (var i = 0; i < count; i++) {
      out.push({ x: x + (i % ROW_CELLS) * CELL_W, y: y + Math.floor(i / ROW_CELLS) * (CELL_H + ROW_GAP),
                 w: CELL_W, h: CELL_H });
    }
    return out;
  }

  /* rowsHeight(count): the height those rows take (one row when empty). */
  function rowsHeight(count) {
    var rows = Math.max(1, Math.ceil(count / ROW_CELLS));
    return rows * CELL_H + (rows - 1) * ROW_GAP;
  }

  /* stackColumn(expansion): the stack's column, the same at every step so
   * that its bottom stays put: {slots, cut}: slots how many cells high it
   * is, cut true when a step holds more than STACK_CELLS characters (the
   * lowest slot then says how many more there are). */
  function stackColumn(expansion) {
    var most = 1;
    expansion.forEach(function (r) { most = Math.max(most, r.stack.length); });
    var cut = most > STACK_CELLS;
    return { slots: Math.min(most, STACK_CELLS) + (cut ? 1 : 0), cut: cut };
  }

  /* stackCells(part, column, x, top): the cells of the stack's contents
   * part in the column whose top is at (x, top), bottom at the bottom:
   * {cells: [{x, y, w, h, index}] from the top of the stack down, rest:
   * the band for the characters not drawn, or null}. */
  function stackCells(part, column, x, top) {
    var shown = Math.min(part.text.length, STACK_CELLS);
    var bottom = top + column.slots * BOX_H;
    var restBand = part.length > shown ? { x: x, y: bottom - BOX_H, w: BOX_W, h: BOX_H, more: part.length - shown } : null;
    var base = restBand ? restBand.y : bottom;   /* the lowest drawn cell ends here */
    var cells = [];
    for (var t = 0; t < shown; t++) {
      cells.push({ x: x, y: base - (shown - t) * BOX_H, w: BOX_W, h: BOX_H, index: t });
    }
    return { cells: cells, rest: restBand, bottom: bottom };
  }

  /* queueCells(part, x, y): the cells of the queue's contents part, its
   * front at (x, y): {cells: [{x, y, w, h, index}] from the front, end: the
   * x just behind the last one drawn}. */
  function queueCells(part, x, y) {
    var shown = Math.min(part.text.length, QUEUE_CELLS);
    var cells = [];
    for (var i = 0; i < shown; i++) cells.push({ x: x + i * QBOX_W, y: y, w: QBOX_W, h: BOX_H, index: i });
    return { cells: cells, end: x + shown * QBOX_W };
  }

  /* wordColumns(words, x, y): where each character of the final sentence
   * and its word stand, a column each, wrapped to the picture's width:
   * [{x, y, w}] (the character's cell at y, the word below it). */
  function wordColumns(words, x, y) {
    var out = [];
    var at = x;
    words.forEach(function (w) {
      var width = Math.max(CELL_W + 8, w.length * WORD_CHAR_W + 12);
      if (at + width > WIDTH - MARGIN) { at = x; y += 70; }
      out.push({ x: at, y: y, w: width });
      at += width + 4;
    });
    return out;
  }

  /* headingBottom(lines): the y below a step's title and its explanation
   * of that many lines. */
  function headingBottom(lines) {
    return 52 + lines.length * 22;
  }

  /* placeSentence(part, y): where a sentence (a PART of the record) stands
   * in wrapped rows from (MARGIN, y): {y, boxes (one per character drawn),
   * cutY (the line that says it is drawn in part, or null), bottom}. */
  function placeSentence(part, y) {
    var place = { y: y, boxes: rowCells(part.text.length, MARGIN, y), cutY: null };
    place.bottom = y + rowsHeight(part.text.length);
    if (part.length > part.text.length) {
      place.cutY = place.bottom + 18;
      place.bottom += 24;
    }
    return place;
  }

  /* placeExpansion(model, k): where expansion step k puts its parts:
   * {lines (its explanation), sentence: {labelY, boxes, at (the box of
   * the character read)}, stack: {x, labelY, top, cells (stackCells)},
   * queue: {x, y, cells (queueCells), end (of its rails)}, theta: {x, y}
   * while a group is expanded, else null; height}. */
  function placeExpansion(model, k) {
    var list = model.record.expansion;
    var r = list[k];
    var lines = explainExpansion(r, k === list.length - 1);
    var y = headingBottom(lines) + 20;
    var boxes = rowCells(model.record.sentence.length, MARGIN, y + 10);
    var sentence = { labelY: y, boxes: boxes, at: boxes[r.at] };
    y += 10 + rowsHeight(model.record.sentence.length) + 50;
    var stack = { x: MARGIN + 30, labelY: y, top: y + 22 };
    stack.cells = stackCells(r.stack, model.stack, stack.x, stack.top);
    var queue = { x: MARGIN + 240, y: stack.top + 30 };
    queue.cells = queueCells(r.queue, queue.x, queue.y);
    queue.end = Math.max(queue.cells.end, queue.x + QBOX_W * 3);
    return { lines: lines, sentence: sentence, stack: stack, queue: queue,
             theta: r.theta !== undefined ? { x: queue.x, y: queue.y + BOX_H + 50 } : null,
             height: Math.max(stack.cells.bottom + 40, queue.y + 130) };
  }

  /* placePass(model, i): where rule pass i puts its parts: {lines,
   * legendY, before: {labelY, ...placeSentence}, arrowY, after: {labelY,
   * ...placeSentence}, height}. */
  function placePass(model, i) {
    var p = model.record.passes[i];
    var lines = explainPass(model, i);
    var y = headingBottom(lines) + 14;
    var place = { lines: lines, legendY: y };
    y += 30;
    place.before = Object.assign({ labelY: y }, placeSentence(p.before, y + 10));
    place.arrowY = place.before.bottom + 28;
    y = place.before.bottom + 64;
    place.after = Object.assign({ labelY: y }, placeSentence(p.after, y + 10));
    place.height = place.after.bottom + 24;
    return place;
  }

  /* placeWords(model, k): where word step k puts its parts: {lines,
   * columns (wordColumns, one per character of the final sentence),
   * writtenY (the line of what translate.txt holds), height}; without
   * columns when there is no word (k -1). */
  function placeWords(model, k) {
    var lines = explainWords(model, k);
    if (k < 0) return { lines: lines, columns: [], height: 120 };
    var y = headingBottom(lines) + 18;
    var columns = wordColumns(model.words, MARGIN, y);
    var bottom = columns.reduce(function (b, col) { return Math.max(b, col.y + 60); }, y);
    return { lines: lines, columns: columns, writtenY: bottom + 28, height: bottom + 50 };
  }

  /* ============================ Drawing ================================= */

  /* cell(parent, box, c, style, data): a character c of the record in the
   * box {x, y, w, h}, coloured by style; data are the group's data-
   * attributes. Returns the group. */
  function cell(parent, box, c, style, data) {
    var g = svgEl('g', data || {});
    g.appendChild(svgEl('rect', { x: box.x, y: box.y, width: box.w, height: box.h, rx: 3,
                                  fill: style[0], stroke: style[1], 'stroke-width': style === NOW ? 2 : 1 }));
    var shown = label(c);
    var attrs = { 'text-anchor': 'middle', 'font-family': MONO, 'font-size': shown.length > 1 ? 9 : 15, fill: style[2] };
    /* \xHH is squeezed into a narrow cell. */
    if (shown.length > 1 && D.textWidth(shown, 9) > box.w - 2) {
      attrs.textLength = box.w - 3;
      attrs.lengthAdjust = 'spacingAndGlyphs';
    }
    text(g, box.x + box.w / 2, box.y + box.h / 2 + 4, shown, attrs);
    parent.appendChild(g);
    return g;
  }

  /* heading(root, title, lines): the step's title and its explanation
   * (headingBottom says how far down they reach). */
  function heading(root, title, lines) {
    text(root, MARGIN, 26, title, { 'font-size': 17, 'font-weight': 'bold' });
    lines.forEach(function (line, i) { text(root, MARGIN, 52 + i * 22, line, { fill: '#3a4456' }); });
  }

  /* sentence(root, part, place, styleAt, role): a sentence (a PART of the
   * record) at its place (placeSentence), the style of character i given
   * by styleAt(i); its group carries data-cell=role and data-length; a
   * line says so when it is drawn in part. */
  function sentence(root, part, place, styleAt, role) {
    var g = svgEl('g', { 'data-cell': role, 'data-length': part.length });
    root.appendChild(g);
    place.boxes.forEach(function (box, i) {
      cell(g, box, part.text[i], styleAt(i), { 'data-index': i });
    });
    if (!part.length) text(g, MARGIN, place.y + CELL_H / 2 + 5, '（空）', { fill: SOFT });
    if (place.cutY !== null) {
      text(root, MARGIN, place.cutY, '……句子共 ' + part.length + ' 个字符，这里只画出前 ' + part.text.length + ' 个。',
           { fill: ACCENT });
    }
  }

  /* legend(root, x, y, items): small coloured squares with their meaning,
   * items [[style, words]]. */
  function legend(root, x, y, items) {
    items.forEach(function (item) {
      root.appendChild(svgEl('rect', { x: x, y: y - 11, width: 13, height: 13, rx: 2,
                                      fill: item[0][0], stroke: item[0][1] }));
      var t = text(root, x + 18, y, item[1], { 'font-size': 13, fill: SOFT });
      x += 18 + t.textContent.length * 13 + 18;
    });
  }

  /* drawExpansion(root, model, k): draws step k of the bracket expansion
   * into root, at the places placeExpansion gives; returns the height. */
  function drawExpansion(root, model, k) {
    var list = model.record.expansion;
    var r = list[k];
    var place = placeExpansion(model, k);
    heading(root, '一、括号展开　第 ' + (k + 1) + ' / ' + list.length + ' 步' +
                  (r.action === 'take' ? '（展开括号：取出）' : r.action === 'put' ? '（展开括号：放回）' : ''),
            place.lines);

    /* The sentence, read from its last character to its first. */
    var sp = place.sentence;
    text(root, MARGIN, sp.labelY, '句子（从最后一个字符往前读）：', { fill: SOFT });
    var words = model.record.sentence;
    var row = svgEl('g', { 'data-cell': 'sentence', 'data-at': r.at });
    root.appendChild(row);
    sp.boxes.forEach(function (box, i) {
      cell(row, box, words[i], i === r.at ? NOW : i > r.at ? DONE : PLAIN, { 'data-index': i });
    });
    text(root, sp.at.x + sp.at.w / 2, sp.at.y + sp.at.h + 18, '↑ 读入',
         { 'text-anchor': 'middle', fill: ACCENT, 'font-weight': 'bold' });

    /* The stack, upright, its top marked. */
    var st = place.stack, stack = st.cells;
    text(root, MARGIN, st.labelY, '栈 L（共 ' + r.stack.length + ' 个字符）', { 'font-weight': 'bold' });
    var sg = svgEl('g', { 'data-cell': 'stack', 'data-length': r.stack.length });
    root.appendChild(sg);
    sg.appendChild(svgEl('path', { d: 'M' + (st.x - 5) + ' ' + (st.top - 6) + ' V' + (stack.bottom + 5) +
                                      ' H' + (st.x + BOX_W + 5) + ' V' + (st.top - 6),
                                   fill: 'none', stroke: '#3a4456', 'stroke-width': 2 }));
    stack.cells.forEach(function (box) { cell(sg, box, r.stack.text[box.index], STACK, { 'data-index': box.index }); });
    if (stack.rest) {
      text(sg, st.x + BOX_W / 2, stack.rest.y + 16, '⋮', { 'text-anchor': 'middle', fill: SOFT });
      text(root, st.x + BOX_W + 12, stack.rest.y + 16, '下面还有 ' + stack.rest.more + ' 个', { fill: ACCENT, 'font-size': 13 });
    }
    if (stack.cells.length) {
      text(root, st.x + BOX_W + 12, stack.cells[0].y + 17, '← 栈顶 top', { fill: ACCENT, 'font-weight': 'bold' });
    } else {
      text(root, st.x + BOX_W / 2, stack.bottom - 8, '空', { 'text-anchor': 'middle', fill: SOFT });
    }
    text(root, st.x + BOX_W / 2, stack.bottom + 24, '栈底', { 'text-anchor': 'middle', fill: SOFT, 'font-size': 13 });

    /* The queue, lying, its front and rear marked. */
    var qp = place.queue, queue = qp.cells;
    text(root, qp.x, st.labelY, '队列 Q（共 ' + r.queue.length + ' 个字符）', { 'font-weight': 'bold' });
    var qg = svgEl('g', { 'data-cell': 'queue', 'data-length': r.queue.length });
    root.appendChild(qg);
    qg.appendChild(svgEl('path', { d: 'M' + (qp.x - 6) + ' ' + (qp.y - 5) + ' H' + (qp.end + 6) + ' M' + (qp.x - 6) + ' ' +
                                      (qp.y + BOX_H + 5) + ' H' + (qp.end + 6),
                                   fill: 'none', stroke: '#3a4456', 'stroke-width': 2 }));
    queue.cells.forEach(function (box) { cell(qg, box, r.queue.text[box.index], QUEUE, { 'data-index': box.index }); });
    if (queue.cells.length) {
      var last = queue.cells[queue.cells.length - 1];
      var cut = r.queue.length > queue.cells.length;
      if (cut) {
        text(root, queue.end + 14, qp.y + 17, '…… 还有 ' + (r.queue.length - queue.cells.length) + ' 个', { fill: ACCENT, 'font-size': 13 });
      }
      var marker = { fill: ACCENT, 'font-weight': 'bold', 'font-size': 13 };
      text(root, qp.x + 8, qp.y - 12, '↓ 队头 front', marker);
      text(root, cut ? queue.end + 14 : last.x + 8, qp.y + BOX_H + 24, '↑ 队尾 rear', marker);
    } else {
      text(root, qp.x + 6, qp.y + 17, '空', { fill: SOFT });
    }

    /* θ, the group's first character, while a group is expanded. */
    if (place.theta) {
      var th = place.theta;
      var tg = svgEl('g', { 'data-cell': 'theta' });
      root.appendChild(tg);
      text(tg, th.x, th.y + 17, 'θ =', { 'font-size': 16 });
      cell(tg, { x: th.x + 34, y: th.y, w: CELL_W + 6, h: BOX_H }, r.theta, NOW);
      text(tg, th.x + 72, th.y + 17, '括号里的第一个字符', { fill: SOFT, 'font-size': 13 });
    }
    return place.height;
  }

  /* drawPass(root, model, i): draws rule pass i into root, at the places
   * placePass gives; returns the height. */
  function drawPass(root, model, i) {
    var rec = model.record;
    var p = rec.passes[i];
    var place = placePass(model, i);
    heading(root, '二、规则替换　第 ' + (i + 1) + ' / ' + rec.passCount + ' 遍', place.lines);
    legend(root, MARGIN, place.legendY, [[SYMBOL, '要替换的符号 ' + label(p.symbol)], [WROTE, '替换写入的字符']]);

    text(root, MARGIN, place.before.labelY, '改写前（共 ' + p.before.length + ' 个字符）', { 'font-weight': 'bold' });
    sentence(root, p.before, place.before, function (k) {
      return p.before.text[k] === p.symbol ? SYMBOL : PLAIN;
    }, 'before');
    text(root, MARGIN + 6, place.arrowY, '⇩ 按规则 ' + (i + 1) + ' 改写', { fill: ACCENT, 'font-weight': 'bold' });

    var wrote = {};
    p.rewritten.forEach(function (k) { wrote[k] = true; });
    text(root, MARGIN, place.after.labelY, '改写后（共 ' + p.after.length + ' 个字符）', { 'font-weight': 'bold' });
    sentence(root, p.after, place.after, function (k) { return wrote[k] ? WROTE : PLAIN; }, 'after');
    return place.height;
  }

  /* drawWords(root, model, k): draws the final sentence's words, up to
   * word k (-1 when there is none), into root, at the places placeWords
   * gives; returns the height. */
  function drawWords(root, model, k) {
    var rec = model.record;
    var symbols = rec.words.symbols;
    var place = placeWords(model, k);
    if (k < 0) {
      heading(root, '三、翻译成汉字', place.lines);
      return place.height;
    }
    heading(root, '三、翻译成汉字　第 ' + (k + 1) + ' / ' + rec.words.length + ' 个字符', place.lines);
    var g = svgEl('g', { 'data-cell': 'words', 'data-length': rec.words.length });
    root.appendChild(g);
    place.columns.forEach(function (col, j) {
      var w = svgEl('g', { 'data-cell': 'word', 'data-index': j });
      g.appendChild(w);
      var style = j === k ? NOW : j < k ? PLAIN : DONE;
      cell(w, { x: col.x + (col.w - CELL_W) / 2, y: col.y, w: CELL_W, h: CELL_H }, symbols[j].symbol, style,
           { 'data-part': 'symbol' });
      if (j <= k) {
        w.appendChild(svgEl('rect', { x: col.x, y: col.y + CELL_H + 6, width: col.w, height: 26, rx: 4,
                                      fill: j === k ? NOW[0] : '#f4f6fa', stroke: j === k ? NOW[1] : '#d5dbe5' }));
        text(w, col.x + col.w / 2, col.y + CELL_H + 24, model.words[j],
             { 'text-anchor': 'middle', 'font-size': 15, 'data-part': 'word' });
      }
    });
    /* What translate.txt holds so far, its last characters when long. */
    var written = model.words.slice(0, k + 1).join('');
    if (written.length > 44) written = '……' + written.slice(-42);
    text(root, MARGIN, place.writtenY, '已写入 translate.txt：', { fill: SOFT });
    text(root, MARGIN + 150, place.writtenY, written, { 'font-size': 15 });
    return place.height;
  }

  /* ============================ The text beside ========================= */

  /* clickable(tag, props, step, view): an element that goes to step when
   * clicked. */
  function clickable(tag, props, step, view) {
    var node = el(tag, props);
    node.addEventListener('click', function () { view.go(step); });
    return node;
  }

  /* fillText(model, view): the text beside the picture: the sentence, the
   * rules and translate.txt cut into its words; returns the elements that
   * the steps mark: {chars, rules, words}. */
  function fillText(model, view) {
    var rec = model.record;
    var box = view.text;
    var refs = { chars: [], rules: [], words: [] };

    box.appendChild(el('h4', { textContent: '句子（点一个字符看它的展开步骤）' }));
    var line = el('div', { className: 'tr-sentence' });
    rec.sentence.split('').forEach(function (c, i) {
      var span = clickable('span', { className: 'tr-char', textContent: label(c), title: '第 ' + (i + 1) + ' 个字符' },
                           model.readStep[i], view);
      refs.chars.push(span);
      line.appendChild(span);
    });
    if (!rec.sentence.length) line.textContent = '（空句子）';
    box.appendChild(line);

    box.appendChild(el('h4', { textContent: '规则（点一条看它那一遍）' }));
    var list = el('ol', { className: 'tr-rules' });
    rec.passes.forEach(function (p, i) {
      var item = clickable('li', { textContent: label(p.symbol) + ' → ' + (p.replacement.split('').map(label).join('') || '（空）') },
                           model.firstPass + i, view);
      refs.rules.push(item);
      list.appendChild(item);
    });
    box.appendChild(list);
    var notes = [];
    if (rec.passCount > rec.passes.length) notes.push('共执行 ' + rec.passCount + ' 遍，只列出前 ' + rec.passes.length + ' 条。');
    if (rec.ruleCount < 1) notes.push('规则条数是 ' + rec.ruleCount + '：不做替换。');
    else if (rec.passCount < rec.ruleCount) notes.push('后面 ' + (rec.ruleCount - rec.passCount) + ' 条规则没有执行：句子已经空了。');
    notes.forEach(function (n) { box.appendChild(el('p', { className: 'tr-note', textContent: n })); });

    box.appendChild(el('h4', { textContent: 'translate.txt（' + rec.words.bytes + ' 字节；点一个字看它的翻译）' }));
    var out = el('div', { className: 'tr-output' });
    var bytes = model.output;
    var at = 0;
    rec.words.symbols.forEach(function (s, k) {
      var word = bytes ? DsdGbk.decode(bytes.subarray(at, at + s.word.length)) : '';
      at += s.word.length;
      var span = clickable('span', { className: 'tr-word', textContent: word, title: '第 ' + (k + 1) + ' 个字：' + label(s.symbol) },
                           model.firstWord + k, view);
      refs.words.push(span);
      out.appendChild(span);
    });
    if (!bytes) out.textContent = '（程序没有写出 translate.txt）';
    else if (!rec.words.symbols.length) out.textContent = '（空文件）';
    else if (at < bytes.length) out.appendChild(el('span', { className: 'tr-note', textContent: '……（后面还有 ' + (bytes.length - at) + ' 字节）' }));
    box.appendChild(out);
    return refs;
  }

  /* mark(model, step): marks step's character, rule or word in the text,
   * and only it. */
  function mark(model, step) {
    var refs = model.refs;
    (model.marked || []).forEach(function (node) { node.classList.remove('current'); });
    var node = null;
    if (step.phase === 'expand') node = refs.chars[model.record.expansion[step.index].at];
    if (step.phase === 'pass') node = refs.rules[step.index];
    if (step.phase === 'words') node = refs.words[step.index];
    model.marked = node ? [node] : [];
    if (!node) return;
    node.classList.add('current');
    /* The rules and translate.txt scroll in their own boxes: keep the
     * marked one in sight. */
    var box = node.parentNode;
    if (step.phase !== 'expand' && (node.offsetTop < box.scrollTop ||
                                   node.offsetTop + node.offsetHeight > box.scrollTop + box.clientHeight)) {
      box.scrollTop = node.offsetTop - box.clientHeight / 2;
    }
  }

  /* DRAW: the drawing of each phase; each returns the height it took. */
  var DRAW = { expand: drawExpansion, pass: drawPass, words: drawWords };

  /* draw(model, i, view): step i, in the picture and in the text. */
  function draw(model, i, view) {
    if (view.first) model.refs = fillText(model, view);
    var step = model.order[i];
    var svg = view.svg;
    var root = D.canvas(svg, WIDTH, 0);
    D.resize(svg, WIDTH, DRAW[step.phase](root, model, step.index));
    svg.setAttribute('data-phase', step.phase);
    svg.setAttribute('data-index', String(step.index));
    mark(model, step);
  }

  /* describe(model, i): step i's explanation, and where the program did
   * it (the record's src). */
  function describe(model, i) {
    var step = model.order[i];
    var rec = model.record;
    var k = step.index;
    if (step.phase === 'expand') {
      return { caption: explainExpansion(rec.expansion[k], k === rec.expansion.length - 1).join(''),
               src: rec.expansion[k].src || null };
    }
    if (step.phase === 'pass') return { caption: explainPass(model, k).join(''), src: rec.passes[k].src || null };
    return { caption: explainWords(model, k).join(''), src: k >= 0 ? rec.words.symbols[k].src || null : null };
  }

  /* printable(text): text when every character of it shows as itself
   * (no blank, control or non-ASCII byte), else null. */
  function printable(text) {
    return /^[\x21-\x7e]*$/.test(text) ? text : null;
  }

  /* quiz(model, i): the practice question before step i, answered by the
   * step writer's record of it: in the expansion the character that goes
   * onto the stack next (the byte read, or a group's θ); after a rule pass
   * the sentence it leaves (its line end not typed); a character's word.
   * A step whose answer cannot be typed (a blank, a byte of a Chinese
   * character, a sentence cut short in the record) asks nothing. */
  function quiz(model, i) {
    var step = model.order[i];
    var rec = model.record;
    var k = step.index;
    if (step.phase === 'expand') {
      var r = rec.expansion[k];
      var ask = r.action === 'push' ? '下一步读入第 ' + (r.at + 1) + ' 个字符：压入栈 L 的是哪个字符？'
              : r.action === 'take' ? "下一步读入 '('：先从栈 L 弹出的 θ 是哪个字符？"
              : '下一步队列 Q 逐个出队：每出队一个字符之前，先压入栈 L 的是哪个字符？';
      var answer = printable(r.action === 'push' ? r.read : r.theta);
      return answer ? [{ ask: ask + '（输入一个字符）', answer: answer, key: 'expand:' + k }] : null;
    }
    if (step.phase === 'pass') {
      var p = rec.passes[k];
      var after = p.after.length === p.after.text.length ? printable(p.after.text.replace(/\n$/, '')) : null;
      if (after === null) return null;
      return [{ ask: '第 ' + (k + 1) + ' 遍用规则 ' + quoted(p.symbol) + ' → ' +
                     (p.replacement.length ? "'" + p.replacement.split('').map(label).join('') + "'" : '（空）') +
                     '：这一遍之后的句子是什么？（输入整句' + (p.after.text.slice(-1) === '\n' ? '，不用输入句末的换行' : '') + '）',
                answer: after, key: 'pass:' + k }];
    }
    if (k < 0) return null;
    var seen = {};
    var options = [];
    model.words.forEach(function (w) { if (!seen[w]) { seen[w] = true; options.push({ value: w, label: w }); } });
    return [{ ask: '第 ' + (k + 1) + ' 个字符 ' + quoted(rec.words.symbols[k].symbol) + ' 译成哪个词？',
              options: options, answer: model.words[k], key: 'word:' + k }];
  }

  DsdPicture.attach(DsdTranslatorTab, { steps: true, build: build, draw: draw, describe: describe, quiz: quiz });
})();
