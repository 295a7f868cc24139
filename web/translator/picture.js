/* translator/picture.js -- the translator's picture: one step of the trace
 * that its step writer (lab/translator/steps.cpp) records, drawn from that
 * step and the trace's input (the rules and the sentence) alone.
 *
 * By the step's kind, one of three pictures:
 *   一、括号展开 (lay, pop, enqueue, take, dequeue, push, put): the sentence
 *      with the byte being read, the stack L upright and the queue Q lying,
 *      and θ while a group is expanded;
 *   二、规则替换 (read, keep, replace, pass): the rule, the stack and the
 *      queue (the characters of the sentence before the pass still waiting
 *      marked), the sentence the pass has made with what a replacement
 *      wrote marked; at the pass's end, also the sentence it read;
 *   三、翻译成汉字 (word): the character taken from Q, its word, and what
 *      translate.txt holds so far.
 * The text beside lists the sentence and the rules, the step's byte or rule
 * marked; the side panel shows the run's translate.txt, the bytes written
 * so far marked. Where things stand comes from the layouts of draw/
 * (stack.js, queue.js); the drawing only reads them, and sets colours and
 * fonts as SVG attributes so that a saved SVG looks the same on its own. */
(function () {
  'use strict';
  var D = DsdDraw;
  var svgEl = D.svgEl, text = D.text;
  var el = DsdUi.el;
  var stackLayout = DsdStackLayout.stackLayout;
  var queueLayout = DsdQueueLayout.queueLayout, rowsLayout = DsdQueueLayout.rowsLayout;

  /* Sizes, in pixels. */
  var WIDTH = 840;                      /* the picture's width */
  var MARGIN = 20;                      /* left margin */
  var CELL_W = 20, CELL_H = 26;         /* a character of a sentence */
  var BOX_W = 40, BOX_H = 24;           /* a character on the stack */
  var QBOX_W = 28;                      /* a character in the queue */
  var STACK_CELLS = 10;                 /* characters drawn of the stack, from its top */
  var QUEUE_CELLS = 18;                 /* characters drawn of the queue, from its front */

  var MONO = D.MONO;
  var INK = D.INK, SOFT = D.GREY;
  var ACCENT = '#d9480f';
  /* Cell styles: [fill, stroke, text colour]. */
  var PLAIN = ['#ffffff', '#8a94a6', INK];
  var DONE = ['#eceff4', '#c3c9d4', '#a3abb9'];   /* a byte already read */
  var NOW = ['#fff3c4', '#d9480f', INK];          /* the character of the step */
  var STACK = ['#dbe7f7', '#3b6fb6', INK];
  var QUEUE = ['#efe5fb', '#7b4fb6', INK];
  var WAITING = ['#f1f3f5', '#868e96', INK];      /* the sentence before the pass, not yet read */
  var SYMBOL = ['#ffe8cc', '#e8590c', INK];       /* the rule's symbol */
  var WROTE = ['#d3f9d8', '#2b8a3e', INK];        /* written by the replacement */

  var EXPANSION = { lay: 1, pop: 1, enqueue: 1, take: 1, dequeue: 1, push: 1, put: 1 };
  var PASS = { read: 1, keep: 1, replace: 1, pass: 1 };

  /* The words a character can become: the choices of a word question. */
  var WORDS = ['天', '地', '上', '一只', '鹅', '追', '赶', '下', '蛋', '恨', '错误警告'];

  /* ============================ Words on a step ========================= */

  /* label(c): a byte of the trace (one character of its string) as a cell
   * shows it: itself, ␣, or its value in hex. */
  function label(c) {
    return D.byteLabel(c.charCodeAt(0) & 0xff);
  }

  /* quoted(c): a byte of the trace in a sentence: 'c', or its value in hex
   * with a word on what it is. */
  function quoted(c) {
    var shown = label(c);
    return shown.length > 1 ? '字节 ' + shown + '（汉字等非 ASCII 字符的一个字节，或控制字符）' : "'" + shown + "'";
  }

  /* ruleText(rule): a rule as "X → tYd", or 规则 without its text when the
   * input does not list it. */
  function ruleText(rule) {
    if (!rule) return '（这条规则没有列出）';
    return quoted(rule.symbol) + ' → ' + (rule.replacement.length ? "'" + rule.replacement.split('').map(label).join('') + "'" : '（空）');
  }

  /* partText(part): a PART's characters as labels, with …… when cut. */
  function partText(part) {
    return part.text.split('').map(label).join('') + (part.length > part.text.length ? '……' : '');
  }

  /* refused(step): the sentence that says a group's ")" cannot be found
   * any more: the stack is empty where the group's next pop comes (after
   * θ's pop, or after a character went into Q). */
  function refused(step) {
    var looking = step.kind === 'enqueue' || (step.kind === 'pop' && step.first);
    return looking && step.stack.length === 0
      ? '栈 L 已经空了，却还没弹出与 \'(\' 配对的 \')\'：程序接下来拒绝这个句子（原因见标准错误）。' : '';
  }

  /* lines(step, trace): the sentences that explain step. */
  function lines(step, trace) {
    var c = step.c !== undefined ? quoted(step.c) : '';
    var rule = trace.input.rules[step.rule];
    switch (step.kind) {
    case 'lay': return ['读入第 ' + (step.read + 1) + ' 个字符 ' + c + '，把它压入栈 L。'];
    case 'pop':
      if (step.first) return ['读入第 ' + (step.read + 1) + ' 个字符 \'(\'：从栈 L 弹出括号里的第一个字符 θ = ' + c + '。', refused(step)];
      if (step.c === ')') return ['弹出与 \'(\' 配对的 \')\'，把它丢掉：括号里其余的字符都已在队列 Q 里。'];
      return ['从栈 L 弹出 ' + c + '，它接着进入队列 Q。'];
    case 'enqueue': return [c + ' 进入队列 Q 的队尾。', refused(step)];
    case 'take': return ['括号的前一半做完：θ = ' + c + ' 已弹出，括号里其余的字符按原来的顺序在队列 Q 里。'];
    case 'dequeue': return ['队列 Q 的队头 ' + c + ' 出队：先压入 θ，再压入它。'];
    case 'push': return ['把 ' + (step.c === step.theta ? 'θ = ' : '') + c + ' 压入栈 L。'];
    case 'put': return ['括号展开完成：(θδ1δ2…δn) 在栈 L 上从顶往下成了 θδnθ…θδ1θ（θ = ' + c + '）。'];
    case 'read':
      return [step.rule === 0 ? '第 1 遍：从栈 L 弹出 ' + c + '（栈顶就是展开后句子的第一个字符）。'
                              : '第 ' + step.at + ' 遍：从队列 Q 的队头取出上一遍句子的字符 ' + c + '。'];
    case 'keep': return [c + ' 不是规则 ' + ruleText(rule) + ' 的符号：照抄，进入队列 Q 的队尾。'];
    case 'replace': return [c + ' 是规则 ' + ruleText(rule) + ' 的替换文字里的字符：进入队列 Q 的队尾。'];
    case 'pass':
      return ['第 ' + step.at + ' 遍（规则 ' + ruleText(rule) + '，规则文件第 ' + (step.rule + 2) + ' 行）结束：' +
              '句子成了 ' + (step.sentence.length ? partText(step.sentence) : '（空）') +
              '（共 ' + step.sentence.length + ' 个字符）。'];
    case 'word':
      return ['队列 Q 的队头 ' + c + ' 出队，译成「' + DsdPicture.gbkText(step.word) + '」，写入 translate.txt。'];
    }
    return [];
  }

  /* ============================ Drawing ================================= */

  /* cell(parent, box, c, style, data): a character c of the trace in the
   * box {x, y, w, h}, coloured by style; data are the group's data-
   * attributes. Returns the group. */
  function cell(parent, box, c, style, data) {
    var g = svgEl('g', data || {});
    g.appendChild(svgEl('rect', { x: box.x, y: box.y, width: box.w, height: box.h, rx: 3,
                                  fill: style[0], stroke: style[1], 'stroke-width': style === NOW ? 2 : 1 }));
    var shown = label(c);
    var attrs = { 'text-anchor': 'middle', 'font-family': MONO, 'font-size': shown.length > 1 ? 9 : 15, fill: style[2] };
    if (shown.length > 1 && D.textWidth(shown, 9) > box.w - 2) {
      attrs.textLength = box.w - 3;
      attrs.lengthAdjust = 'spacingAndGlyphs';
    }
    text(g, box.x + box.w / 2, box.y + box.h / 2 + 4, shown, attrs);
    parent.appendChild(g);
    return g;
  }

  /* heading(root, title, said): the step's title and its sentences; returns
   * the y below them. */
  function heading(root, title, said) {
    text(root, MARGIN, 26, title, { 'font-size': 17, 'font-weight': 'bold' });
    said.forEach(function (line, i) { text(root, MARGIN, 52 + i * 22, line, { fill: '#3a4456' }); });
    return 52 + said.length * 22;
  }

  /* drawStack(root, part, x, y): the stack L (a PART, top first) upright
   * with its top at the box's top y; returns the y below it. */
  function drawStack(root, part, x, y) {
    var shown = Math.min(part.text.length, STACK_CELLS);
    var items = part.text.slice(0, shown).split('').reverse();   /* bottom first */
    var cut = part.length > shown;
    var at = stackLayout(cut ? [''].concat(items) : items,
                         { x: x, y: y + 20, width: BOX_W, itemHeight: BOX_H, gap: 0,
                           slots: Math.max(6, (cut ? 1 : 0) + items.length) });
    text(root, x - 10, y, '栈 L（共 ' + part.length + ' 个字符）', { 'font-weight': 'bold' });
    var g = svgEl('g', { 'data-cell': 'stack', 'data-length': part.length });
    root.appendChild(g);
    g.appendChild(svgEl('path', { d: 'M' + (x - 5) + ' ' + (at.top - 6) + ' V' + (at.bottom + 5) +
                                     ' H' + (x + BOX_W + 5) + ' V' + (at.top - 6),
                                  fill: 'none', stroke: '#3a4456', 'stroke-width': 2 }));
    at.items.forEach(function (item) {
      if (cut && item.index === 0) {
        text(g, item.cx, item.cy + 5, '⋮', { 'text-anchor': 'middle', fill: SOFT });
        text(root, x + BOX_W + 12, item.cy + 5, '下面还有 ' + (part.length - shown) + ' 个', { fill: ACCENT, 'font-size': 13 });
        return;
      }
      var fromTop = at.items.length - 1 - item.index;
      cell(g, item, part.text[fromTop], STACK, { 'data-index': fromTop });
    });
    var top = at.items[at.items.length - 1];
    if (part.length) text(root, x + BOX_W + 12, top.cy + 5, '← 栈顶 top', { fill: ACCENT, 'font-weight': 'bold' });
    else text(root, x + BOX_W / 2, at.bottom - 8, '空', { 'text-anchor': 'middle', fill: SOFT });
    text(root, x + BOX_W / 2, at.bottom + 24, '栈底', { 'text-anchor': 'middle', fill: SOFT, 'font-size': 13 });
    return at.bottom + 34;
  }

  /* drawQueue(root, part, x, y, waiting): the queue Q (a PART, front
   * first) lying, its front and rear marked, its first `waiting`
   * characters marked as the sentence before the pass; returns the y below
   * it. */
  function drawQueue(root, part, x, y, waiting) {
    text(root, x, y, '队列 Q（共 ' + part.length + ' 个字符）', { 'font-weight': 'bold' });
    var at = queueLayout(part.length, { x: x, y: y + 44, width: QBOX_W, height: BOX_H, most: Math.min(QUEUE_CELLS, part.text.length) });
    var g = svgEl('g', { 'data-cell': 'queue', 'data-length': part.length });
    root.appendChild(g);
    var r = at.rails;
    g.appendChild(svgEl('path', { d: 'M' + r.x1 + ' ' + r.top + ' H' + r.x2 + ' M' + r.x1 + ' ' + r.bottom + ' H' + r.x2,
                                  fill: 'none', stroke: '#3a4456', 'stroke-width': 2 }));
    at.cells.forEach(function (box) {
      cell(g, box, part.text[box.index], box.index < waiting ? WAITING : QUEUE, { 'data-index': box.index });
    });
    var marker = { fill: ACCENT, 'font-weight': 'bold', 'font-size': 13 };
    if (at.more > 0) text(root, at.end + 14, at.cells[0].cy + 5, '…… 还有 ' + at.more + ' 个', { fill: ACCENT, 'font-size': 13 });
    if (at.front) {
      text(root, at.front.x - 6, at.front.y, '↓ 队头 front', marker);
      text(root, at.rear.x - 6, at.rear.y, '↑ 队尾 rear', marker);
    } else {
      text(root, x + 6, y + 61, '空', { fill: SOFT });
    }
    return r.bottom + 34;
  }

  /* drawRow(root, part, y, role, styleAt, title): a sentence (a PART) in
   * wrapped rows below its title at y, the style of character i given by
   * styleAt(i); returns the y below it. */
  function drawRow(root, part, y, role, styleAt, title) {
    text(root, MARGIN, y, title, { 'font-weight': 'bold' });
    var at = rowsLayout(part.text.length, { x: MARGIN, y: y + 10, width: CELL_W, height: CELL_H });
    var g = svgEl('g', { 'data-cell': role, 'data-length': part.length });
    root.appendChild(g);
    at.cells.forEach(function (box) { cell(g, box, part.text[box.index], styleAt(box.index), { 'data-index': box.index }); });
    if (!part.length) text(g, MARGIN, y + 10 + CELL_H / 2 + 5, '（空）', { fill: SOFT });
    var bottom = at.bottom;
    if (part.length > part.text.length) {
      text(root, MARGIN, bottom + 18, '……共 ' + part.length + ' 个字符，这里只画出前 ' + part.text.length + ' 个。', { fill: ACCENT });
      bottom += 24;
    }
    return bottom + 30;
  }

  /* drawExpansion(root, step, trace, y): the sentence being read, L, Q and
   * θ; returns the height. */
  function drawExpansion(root, step, trace, y) {
    var sentence = trace.input.sentence;
    var bottom = drawRow(root, { text: sentence, length: sentence.length }, y + 20, 'sentence', function (i) {
      return i === step.read ? NOW : i > step.read ? DONE : PLAIN;
    }, '句子（从最后一个字符往前读）：');
    var g = root.querySelector('[data-cell="sentence"]');
    g.setAttribute('data-at', String(step.read));
    var read = rowsLayout(sentence.length, { x: MARGIN, y: y + 30, width: CELL_W, height: CELL_H }).cells[step.read];
    if (read) text(root, read.cx, read.y + read.h + 18, '↑ 读入', { 'text-anchor': 'middle', fill: ACCENT, 'font-weight': 'bold' });
    var top = bottom + 10;
    var below = drawStack(root, step.stack, MARGIN + 30, top);
    var qBelow = drawQueue(root, step.queue, MARGIN + 240, top, 0);
    if (step.theta !== undefined) {
      var tg = svgEl('g', { 'data-cell': 'theta' });
      root.appendChild(tg);
      text(tg, MARGIN + 240, qBelow + 17, 'θ =', { 'font-size': 16 });
      cell(tg, { x: MARGIN + 274, y: qBelow, w: CELL_W + 6, h: BOX_H }, step.theta, NOW);
      text(tg, MARGIN + 312, qBelow + 17, '括号里的第一个字符', { fill: SOFT, 'font-size': 13 });
      qBelow += 40;
    }
    return Math.max(below, qBelow);
  }

  /* drawPass(root, step, trace, y): the rule, the containers and the
   * sentence made so far (and read, at the pass's end); returns the
   * height. */
  function drawPass(root, step, trace, y) {
    var rule = trace.input.rules[step.rule];
    var symbol = rule ? rule.symbol : null;
    var legend = [[WAITING, '上一遍的句子，还没读到'], [WROTE, '替换写入的字符']];
    if (symbol !== null) legend.unshift([SYMBOL, '要替换的符号 ' + label(symbol)]);
    var x = MARGIN;
    legend.forEach(function (item) {
      root.appendChild(svgEl('rect', { x: x, y: y + 3, width: 13, height: 13, rx: 2, fill: item[0][0], stroke: item[0][1] }));
      text(root, x + 18, y + 14, item[1], { 'font-size': 13, fill: SOFT });
      x += 18 + item[1].length * 13 + 18;
    });
    y += 40;
    if (step.kind === 'pass') {
      y = drawRow(root, step.before, y, 'before', function (i) {
        return step.before.text[i] === symbol ? SYMBOL : PLAIN;
      }, '这一遍读的句子（共 ' + step.before.length + ' 个字符）');
    }
    var wrote = {};
    step.rewritten.forEach(function (k) { wrote[k] = true; });
    var last = step.kind === 'keep' || step.kind === 'replace' ? step.sentence.length - 1 : -1;
    y = drawRow(root, step.sentence, y, 'after', function (i) {
      return i === last ? NOW : wrote[i] ? WROTE : PLAIN;
    }, (step.kind === 'pass' ? '这一遍写出的句子' : '这一遍已写出') + '（共 ' + step.sentence.length + ' 个字符）');
    var top = y;
    var below = top;
    if (step.rule === 0) {
      /* Pass 1 reads L: what is left of it is the sentence still waiting. */
      below = drawStack(root, step.stack, MARGIN + 30, top);
      return Math.max(below, drawQueue(root, step.queue, MARGIN + 240, top, 0));
    }
    return drawQueue(root, step.queue, MARGIN, top, step.waiting);
  }

  /* drawWord(root, step, y): the character, its word and translate.txt
   * so far; returns the height. */
  function drawWord(root, step, y) {
    var g = svgEl('g', { 'data-cell': 'word', 'data-index': step.index });
    root.appendChild(g);
    cell(g, { x: MARGIN, y: y + 10, w: CELL_W + 6, h: CELL_H }, step.c, NOW, { 'data-part': 'symbol' });
    text(g, MARGIN + 40, y + 28, '→', { 'font-size': 18, fill: ACCENT });
    var word = DsdPicture.gbkText(step.word);
    g.appendChild(svgEl('rect', { x: MARGIN + 66, y: y + 8, width: word.length * 17 + 16, height: 30, rx: 4,
                                  fill: NOW[0], stroke: NOW[1] }));
    text(g, MARGIN + 74, y + 29, word, { 'font-size': 17, 'data-part': 'word' });
    var below = drawQueue(root, step.queue, MARGIN + 300, y, 0);
    y = Math.max(y + 70, below);
    var out = step.output;
    var written = DsdPicture.gbkText(out.text);
    text(root, MARGIN, y, '已写入 translate.txt（' + out.length + ' 字节）：', { fill: SOFT });
    var shown = written.length > 46 ? written.slice(0, 44) + '……' : written;
    if (out.length > out.text.length && shown === written) shown += '……';
    text(root, MARGIN, y + 26, shown, { 'font-size': 15, 'data-cell': 'output' });
    return y + 50;
  }

  /* ============================ Beside the picture ====================== */

  /* fillText(view, trace): the sentence and the rules, once per run. */
  function fillText(view, trace) {
    var input = trace.input;
    var box = view.text;
    box.appendChild(el('h4', { textContent: '句子' }));
    var line = el('div', { className: 'tr-sentence' });
    input.sentence.split('').forEach(function (c, i) {
      line.appendChild(el('span', { className: 'tr-char', textContent: label(c), title: '第 ' + (i + 1) + ' 个字符' }));
    });
    if (!input.sentence.length) line.textContent = '（空句子）';
    box.appendChild(line);
    box.appendChild(el('h4', { textContent: '规则（共 ' + input.count + ' 条）' }));
    var list = el('ol', { className: 'tr-rules' });
    input.rules.forEach(function (rule) {
      list.appendChild(el('li', { textContent: label(rule.symbol) + ' → ' + (rule.replacement.split('').map(label).join('') || '（空）') }));
    });
    box.appendChild(list);
    if (input.rules.length < input.count && input.sentence.length) {
      box.appendChild(el('p', { className: 'tr-note', textContent: '只列出前 ' + input.rules.length + ' 条。' }));
    }
  }

  /* mark(view, step): marks the byte read or the rule of the pass. */
  function mark(view, step) {
    Array.prototype.forEach.call(view.text.querySelectorAll('.current'), function (n) { n.classList.remove('current'); });
    var node = null;
    if (EXPANSION[step.kind]) node = view.text.querySelectorAll('.tr-char')[step.read];
    if (PASS[step.kind]) node = view.text.querySelectorAll('.tr-rules li')[step.rule];
    if (node) node.classList.add('current');
  }

  /* fillSide(view, step, trace): the run's translate.txt, the bytes the
   * words so far wrote marked. */
  function fillSide(view, step, trace) {
    var side = view.side;
    side.textContent = '';
    var file = (trace.outputs && trace.outputs.files || []).filter(function (f) { return f.path === 'translate.txt'; })[0];
    side.appendChild(el('h4', { textContent: 'translate.txt（本次运行写出的文件）' }));
    var out = el('div', { className: 'tr-output' });
    side.appendChild(out);
    if (!file) { out.textContent = '（程序没有写出 translate.txt）'; return; }
    var bytes = file.data.subarray(0, 4000);
    var done = step.kind === 'word' ? Math.min(step.output.length, bytes.length) : 0;
    if (done) out.appendChild(el('span', { className: 'tr-word current', textContent: DsdGbk.decode(bytes.subarray(0, done)) }));
    out.appendChild(el('span', { className: 'tr-word', textContent: DsdGbk.decode(bytes.subarray(done)) }));
    if (!file.data.length) out.textContent = '（空文件）';
    else if (file.data.length > bytes.length) out.appendChild(el('span', { className: 'tr-note', textContent: '……（共 ' + file.data.length + ' 字节）' }));
  }

  /* ============================ The contract ============================ */

  /* render(step, view, trace): step, in the picture, the text and the side. */
  function render(step, view, trace) {
    if (!view.text.firstChild) fillText(view, trace);
    var root = D.canvas(view.svg, WIDTH, 0);
    var said = lines(step, trace).filter(Boolean);
    var title = EXPANSION[step.kind] ? '一、括号展开'
              : PASS[step.kind] ? '二、规则替换　第 ' + step.at + ' / ' + trace.input.count + ' 遍'
              : '三、翻译成汉字　第 ' + (step.index + 1) + ' 个字符';
    var y = heading(root, title, said);
    var height = EXPANSION[step.kind] ? drawExpansion(root, step, trace, y)
               : PASS[step.kind] ? drawPass(root, step, trace, y + 10)
               : drawWord(root, step, y + 10);
    D.resize(view.svg, WIDTH, height);
    view.svg.setAttribute('data-kind', step.kind);
    mark(view, step);
    fillSide(view, step, trace);
    view.slideLines = said;
  }

  /* caption(step, trace): what the step did, in one sentence. */
  function caption(step, trace) {
    return lines(step, trace).filter(Boolean).join('');
  }

  /* printable(s): s when every character of it shows as itself (no blank,
   * control or non-ASCII byte), else null. */
  function printable(s) {
    return /^[\x21-\x7e]+$/.test(s) ? s : null;
  }

  /* questions(step, trace): asked before the step: the character a lay or
   * a push puts on L, the one a pop, an enqueue, a dequeue or a read
   * moves, θ when a group is taken, the stack once a group is put, where
   * a character of a pass comes from (kept or replaced), the sentence a
   * pass leaves (when whole and typable), the word a character becomes. */
  function questions(step, trace) {
    var one = printable(step.c || '');
    var key = step.kind + ':' + trace.steps.indexOf(step);
    var CHAR = '（输入一个字符）';
    if (step.kind === 'pop' || step.kind === 'enqueue' || step.kind === 'dequeue' || step.kind === 'take' ||
        step.kind === 'read') {
      if (!one) return null;
      var asks = { pop: '下一步从栈 L 弹出的是哪个字符？', enqueue: '下一步进入队列 Q 队尾的是哪个字符？',
                   dequeue: '下一步从队列 Q 的队头出队的是哪个字符？', take: '括号的前一半做完：θ 是哪个字符？',
                   read: step.rule === 0 ? '这一遍下一个读到的字符（栈 L 的栈顶）是？' : '这一遍下一个读到的字符（队列 Q 的队头）是？' };
      return [{ ask: asks[step.kind] + CHAR, answer: one, key: key }];
    }
    if (step.kind === 'keep' || step.kind === 'replace') {
      return [{ ask: '下一个进入队列 Q 的字符从哪里来？', key: key, answer: step.kind,
                options: [{ value: 'keep', label: '照抄读到的字符（它不是规则的符号）' },
                          { value: 'replace', label: '规则的替换文字' }] }];
    }
    if (step.kind === 'put') {
      var stack = step.stack && step.stack.length === step.stack.text.length ? printable(step.stack.text) : null;
      if (!stack) return null;
      return [{ ask: '括号展开完成：栈 L 从栈顶往下是什么？（输入整串）', answer: stack, key: key }];
    }
    if (step.kind === 'lay' || step.kind === 'push') {
      var c = printable(step.c);
      if (!c) return null;
      return [{ ask: (step.kind === 'lay' ? '读入第 ' + (step.read + 1) + ' 个字符：' : '') +
                     '下一步压入栈 L 的是哪个字符？（输入一个字符）',
                answer: c, key: step.kind + ':' + step.read + (step.kind === 'push' ? ':' + step.stack.length : '') }];
    }
    if (step.kind === 'pass') {
      var after = step.sentence.length === step.sentence.text.length ? printable(step.sentence.text) : null;
      if (!after) return null;
      return [{ ask: '第 ' + step.at + ' 遍用规则 ' + ruleText(trace.input.rules[step.rule]) + '：这一遍之后的句子是什么？（输入整句）',
                answer: after, key: 'pass:' + step.at }];
    }
    if (step.kind === 'word') {
      var word = DsdPicture.gbkText(step.word);
      return [{ ask: '队头的 ' + quoted(step.c) + ' 出队：它译成哪个词？',
                options: WORDS.map(function (w) { return { value: w, label: w }; }),
                answer: word, key: 'word:' + step.index }];
    }
    return null;
  }

  /* note(trace): why a trace has no step: the file was refused (or the run
   * stopped) before the first one. */
  function note(trace) {
    return trace.ok === false ? '程序拒绝了这个规则文件或停止了运行（原因见下方的标准错误），没有可画的步骤。' : '';
  }

  DsdPicture.attach(DsdTranslatorTab, { render: render, caption: caption, questions: questions, note: note });
})();
