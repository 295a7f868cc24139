/* evaluator/picture.js -- the evaluator's picture: one step of the
 * operator-precedence method, as the program's step writer
 * (lab/evaluator/steps.cpp) reported it: the two stacks after the step
 * (bottom at the bottom, what the step pushed marked, what it popped drawn
 * above the top), the expression with the characters already read greyed
 * and the ones this step acted on marked, the comparison of the top of
 * OPTR with the character read and the relation PriorityCom found, and
 * what the step did, told in a sentence.
 *
 * Everything drawn comes from the step and the trace's input alone; nothing
 * here evaluates, compares or reads result.txt: the trace table stays the
 * tab's (tab.js), whose row of the step on screen the frame marks.
 *
 * Where things go is computed apart from how they are drawn: place() turns
 * a step into places (the stacks through draw/stack.js), the draw*()
 * helpers turn places into SVG elements. Colours and fonts are SVG
 * attributes, so a saved SVG file looks the same on its own. */
(function () {
  'use strict';
  var D = DsdDraw;
  var svgEl = D.svgEl, text = D.text, textWidth = D.textWidth, visible = D.visible, MONO = D.MONO;
  var el = DsdUi.el;

  var CELL_H = 24;      /* an expression character's square: this high, */
  var CELL_MAX = 24;    /* this wide, narrower (down to CELL_MIN) so that */
  var CELL_MIN = 16;    /* a long expression still fits in about 800 px */
  var MARGIN = 24;
  var STACK_ROOM = 300; /* the stacks' height, their slots smaller when deep */
  var PANEL_W = 400;    /* the comparison and action panel */
  var OPND_W = 72;      /* an operand's box: six digits at the full size, */
  var DIGITS = 6;       /* a longer value (up to 11 signs) in a smaller font */
  var INK = D.INK, GREY = D.GREY, ORANGE = '#c75d00', RED = '#b3261e', GREEN = '#2f7d45';
  var STACKS = {
    optr: { name: 'OPTR', title: 'OPTR 运算符栈', fill: '#dfeafc', stroke: '#3b6fb6' },
    opnd: { name: 'OPND', title: 'OPND 运算数栈', fill: '#dff3e5', stroke: '#2f8f4e' }
  };

  /* ---- The expression ------------------------------------------------- */

  /* charsOf(expression): the expression (one byte per character, as the
   * writer gives it) as the characters a student sees: [{text, from, to}]
   * with the bytes [from, to) each stands for: a GBK pair decoded as one
   * character, any other byte as itself (a byte that is no character as
   * \xHH). Kept on view.cache: it is the trace's fixed part. */
  function charsOf(expression) {
    var chars = [];
    for (var i = 0; i < expression.length;) {
      var b = expression.charCodeAt(i) & 0xff, next = expression.charCodeAt(i + 1) & 0xff;
      if (b >= 0x81 && b <= 0xfe && i + 1 < expression.length && next >= 0x40 && next <= 0xfe && next !== 0x7f) {
        chars.push({ text: DsdGbk.decode(new Uint8Array([b, next])), from: i, to: i + 2 });
        i += 2;
      } else {
        chars.push({ text: b < 0x80 ? visible(expression.charAt(i)) : D.byteLabel(b), from: i, to: i + 1 });
        i += 1;
      }
    }
    return chars;
  }

  /* readText(step, chars): what the step read, as the student sees it. */
  function readText(step, chars) {
    if (!step.read) return '';
    return chars.filter(function (c) { return c.from >= step.read.from && c.from < step.read.from + step.read.text.length; })
      .map(function (c) { return c.text; }).join('');
  }

  /* foreign(c): what a character that is no part of an expression is,
   * told in short lines for a student who typed it with a Chinese input
   * method: a full-width sign such as （ or ２, a full-width space, or
   * another character; [] for an ASCII character. */
  function foreign(c) {
    var code = c.charCodeAt(0);
    if (code >= 0xff01 && code <= 0xff5e) {
      var half = String.fromCharCode(code - 0xfee0);
      return ["读入的 '" + c + "' 是中文输入法打出的全角的" + c + '，',
              '不是表达式的' + (/\d/.test(half) ? '数字' : /[-+*\/()#]/.test(half) ? '运算符' : '字符') +
              '：程序只认半角的 ' + half + '。'];
    }
    if (code === 0x3000) return ['读入的是全角空格（中文输入法打出的），', '表达式里不能有空格。'];
    if (code > 0x7f || c.length > 1) return ["读入的 '" + c + "' 不是表达式的字符：", '表达式只由半角的数字、+ - * / 和括号组成。'];
    return [];
  }

  /* ---- What the step did, in words ------------------------------------ */

  /* relationOf(step): the comparison to show: {sign, caption}; the sign is
   * the relation PriorityCom found, '' where the step compared nothing. */
  function relationOf(step) {
    var said = { '<': '栈顶优先级低', '=': '括号配对', '>': '栈顶优先级高' }[step.relation];
    if (said) return { sign: step.relation, caption: said };
    return {
      push_opnd: { sign: '', caption: '读入数，不比较' },
      'return': { sign: '#=#', caption: '# 遇到 #' },
      syntax_error: { sign: '×', caption: '语法错误' },
      divide_error: { sign: '÷0', caption: '除数为 0' }
    }[step.kind] || { sign: '', caption: '' };
  }

  /* explain(step, read): the step told in short Chinese lines; read is what
   * it read, as shown. */
  function explain(step, read) {
    var t = "'" + (step.top || '') + "'", c = "'" + read + "'";
    switch (step.kind) {
      case 'push_opnd':
        return ['读入的是数 ' + step.value + '：不与栈顶比较，', '直接压入运算数栈 OPND。'];
      case 'push_optr':
        return ['栈顶 ' + t + ' 的优先级低于读入的 ' + c + '（<），', c + ' 压入运算符栈 OPTR，留到以后再算。'];
      case 'cancel':
        return ['栈顶 ' + t + ' 与读入的 ' + c + ' 相等（=）：', '弹出栈顶，消去一对括号。'];
      case 'operate':
        return ['栈顶 ' + t + ' 的优先级高于读入的 ' + c + '（>）：',
                '弹出 ' + step.op + ' 和两个运算数，算 ' + step.a + ' ' + step.op + ' ' + step.b + ' = ' + step.result +
                '，结果压入 OPND；', c + ' 留到下一步再与新栈顶比较。'];
      case 'return':
        return ["读入的 '#' 遇到栈底的 '#'：表达式读完了，", '弹出运算数栈 OPND 的 ' + step.value + '，它就是运算结果。'];
      case 'divide_error':
        return ['要算 ' + step.a + ' ' + step.op + ' ' + step.b + '：除数是 0，', '程序写下 error，到此结束。'];
      case 'syntax_error':
        if (step.top) {
          var odd = foreign(read);
          return odd.length ? odd.concat(['表达式有语法错误：程序写下这句话，到此结束。'])
                            : ['栈顶 ' + t + ' 与读入的 ' + c + ' 之间没有优先关系：', '表达式有语法错误，程序写下这句话，到此结束。'];
        }
        return step.opnd.length > 1 ? ['读到表达式末尾，运算数栈 OPND 里却剩下 ' + step.opnd.length + ' 个数：',
                                        '表达式有语法错误，程序写下这句话，到此结束。']
                                     : ['运算符 ' + c + ' 前面的运算数不够两个：', '表达式有语法错误，程序写下这句话，到此结束。'];
      default:
        return [];
    }
  }

  /* doneOf(step): the step's operation in the picture's own short words. */
  function doneOf(step) {
    return {
      push_opnd: '压入 OPND：' + step.value,
      push_optr: '压入 OPTR：' + step.op,
      cancel: '弹出 OPTR 的 ' + step.op + '：消去一对括号',
      operate: '弹出 ' + step.op + '、' + step.b + '、' + step.a + '，压入 ' + step.a + step.op + step.b + ' = ' + step.result,
      'return': '弹出 OPND 的 ' + step.value + '：运算结果',
      syntax_error: '语法错误：写下错误信息，运行结束',
      divide_error: '除以 0：写下 error，运行结束'
    }[step.kind] || step.kind;
  }

  /* popped(step): what the step took off each stack, bottom first, as the
   * step reports it: {optr: [...], opnd: [...]}. */
  function popped(step) {
    return { optr: (step.popped && step.popped.optr) || [], opnd: (step.popped && step.popped.opnd) || [] };
  }

  /* ---- Layout ---------------------------------------------------------- */

  /* frameOf(chars, expression): what every step of the run shares, from
   * the input alone (kept on view.cache): {chars, width, height, expr,
   * optr, opnd, panel}. The stacks have room for every operator and every
   * number of the expression and what a step popped (drawn above the top),
   * so that stepping moves nothing. */
  function frameOf(chars, expression) {
    var numbers = (expression.match(/\d+/g) || []).length;
    var operators = expression.replace(/\d/g, '').length;
    var slots = Math.max(5, numbers + 1, operators + 1);
    var expr = { x: MARGIN, y: 62, cell: Math.max(CELL_MIN, Math.min(CELL_MAX, Math.floor(800 / Math.max(1, chars.length)))) };
    var top = expr.y + CELL_H + 82;
    var optr = { x: MARGIN + 36, width: 52, y: top, slots: slots, room: STACK_ROOM, itemHeight: 30 };
    var opnd = { x: optr.x + optr.width + 100, width: OPND_W, y: top, slots: slots, room: STACK_ROOM, itemHeight: 30 };
    var bottom = DsdStackLayout.stackLayout([], optr).bottom;
    var panel = { x: opnd.x + opnd.width + 100, y: top - 30 };
    return {
      chars: chars, expression: expression,
      width: Math.max(expr.x + chars.length * expr.cell + MARGIN, panel.x + PANEL_W + MARGIN),
      height: Math.max(bottom + 44, panel.y + 300),
      expr: expr, optr: optr, opnd: opnd, panel: panel
    };
  }

  /* placeChars(step, F): the expression's squares at this step: [{x, y,
   * text, state}], state 'read' (read before this step), 'reading' (what
   * this step acted on) or 'ahead'. */
  function placeChars(step, F) {
    var from = step.read ? step.read.from : step.pos, to = step.read ? from + step.read.text.length : step.pos;
    return F.chars.map(function (c, i) {
      return { x: F.expr.x + i * F.expr.cell, y: F.expr.y, text: c.text,
               state: c.from < from ? 'read' : c.from < to ? 'reading' : 'ahead' };
    });
  }

  /* placeStack(step, name, F): the stack after the step and, above its top,
   * what the step popped: the layout of draw/stack.js, each element with
   * {mark: '' | 'pushed' | 'popped'}. */
  function placeStack(step, name, F) {
    var items = step[name].map(String), gone = popped(step)[name].map(String);
    var L = DsdStackLayout.stackLayout(items.concat(gone), F[name]);
    var news = step.pushed === name ? 1 : 0;
    L.items.forEach(function (p) {
      p.mark = p.index >= items.length ? 'popped' : p.index >= items.length - news ? 'pushed' : '';
    });
    return L;
  }

  /* ---- Drawing --------------------------------------------------------- */

  /* drawExpression(g, step, F): the expression's squares, the caption
   * above and the pointer under what the step acted on. */
  function drawExpression(g, step, F) {
    text(g, F.expr.x, F.expr.y - 12, '表达式（灰色：已经读过；黄色：这一步读入的；末尾的 # 是程序加上的结束符）',
         { 'font-size': 13, fill: GREY });
    var styles = { read: ['#eceff3', '#c3c9d4', '#a3abb8'], reading: ['#ffd966', ORANGE, INK], ahead: ['#ffffff', '#8a94a6', INK] };
    var marked = [];
    placeChars(step, F).forEach(function (p) {
      var s = styles[p.state];
      if (p.state === 'reading') marked.push(p);
      g.appendChild(svgEl('rect', { x: p.x, y: p.y, width: F.expr.cell, height: CELL_H, fill: s[0], stroke: s[1],
                                    'stroke-width': p.state === 'reading' ? 2 : 1, 'data-char': p.state }));
      text(g, p.x + F.expr.cell / 2, p.y + 17, p.text, {
        'text-anchor': 'middle', 'font-family': MONO, 'font-size': F.expr.cell < 20 || p.text.length > 1 ? 11 : 16,
        fill: s[2], 'font-weight': p.state === 'reading' ? 'bold' : 'normal' });
    });
    if (!marked.length) return;
    var x = (marked[0].x + marked[marked.length - 1].x + F.expr.cell) / 2, y = F.expr.y + CELL_H + 4;
    g.appendChild(svgEl('path', { d: 'M' + x + ' ' + y + ' l-6 9 h12 z', fill: ORANGE }));
    text(g, x, y + 26, step.kind === 'push_opnd' ? '读入数' : '读入', { 'text-anchor': 'middle', fill: ORANGE, 'font-size': 13 });
  }

  /* drawStack(g, step, name, F): one stack: its open box, name, bottom,
   * elements, what the step popped, and the notes beside them. */
  function drawStack(g, step, name, F) {
    var S = STACKS[name], L = placeStack(step, name, F);
    var left = L.x - 7, right = L.x + L.width + 7;
    text(g, L.x + L.width / 2, L.top - 12, S.title, { 'text-anchor': 'middle', 'font-weight': 'bold', 'font-size': 15 });
    g.appendChild(svgEl('path', { d: 'M' + left + ' ' + L.top + ' V' + (L.bottom + 3) + ' H' + right + ' V' + L.top,
                                  fill: 'none', stroke: '#8a94a6', 'stroke-width': 2 }));
    text(g, L.x + L.width / 2, L.bottom + 22, '栈底', { 'text-anchor': 'middle', fill: GREY, 'font-size': 13 });
    var remaining = step[name].length;
    L.items.forEach(function (p) {
      var gone = p.mark === 'popped';
      var attrs = gone ? { 'data-popped': S.name, 'data-value': p.value }
                       : { 'data-stack': S.name, 'data-index': p.index, 'data-value': p.value };
      var item = svgEl('g', attrs);
      var colour = { popped: ORANGE, pushed: name === 'opnd' && step.kind === 'operate' ? GREEN : S.stroke }[p.mark] || S.stroke;
      var fill = { popped: '#ffffff', pushed: name === 'opnd' && step.kind === 'operate' ? '#c9efd4' : '#fff7dc' }[p.mark] ||
                 (p.value === '#' && p.index === 0 ? '#eceff3' : S.fill);
      item.appendChild(svgEl('rect', { x: p.x, y: p.y, width: p.w, height: p.h, rx: 3, fill: fill, stroke: colour,
                                       'stroke-width': p.mark ? 2 : 1, 'stroke-dasharray': gone ? '5 3' : 'none' }));
      var size = Math.min(p.h < 22 ? 13 : 16, Math.floor(16 * DIGITS / Math.max(DIGITS, p.value.length)));
      text(item, p.cx, p.cy + (p.h < 22 ? 4 : 6), visible(p.value), {
        'text-anchor': 'middle', 'font-family': MONO, 'font-size': size, 'font-weight': 'bold',
        fill: gone ? ORANGE : INK, 'text-decoration': gone ? 'line-through' : 'none' });
      var note = gone ? '↑ 弹出' : p.mark === 'pushed' ? '← 压入' : p.index === remaining - 1 ? '← 栈顶' : '';
      if (note) text(item, right + 6, p.cy + 5, note, { fill: p.mark ? colour : GREY, 'font-size': 13 });
      g.appendChild(item);
    });
  }

  /* drawPanel(g, step, F, read): the comparison, what the step did, the
   * explanation, and how the run ends at its last step. */
  function drawPanel(g, step, F, read) {
    var x = F.panel.x, y = F.panel.y;
    var error = step.kind === 'syntax_error' || step.kind === 'divide_error';
    var relation = relationOf(step);
    text(g, x, y + 12, '比较：OPTR 的栈顶与读入的字符', { 'font-weight': 'bold', 'font-size': 15 });
    var readW = Math.max(46, textWidth(read, 24) + 16);
    [{ dx: 0, w: 46, text: step.top ? visible(step.top) : '', caption: 'OPTR 栈顶', role: 'top' },
     { dx: 76, w: 84, text: relation.sign, caption: relation.caption, role: 'sign' },
     { dx: 190, w: readW, text: read, caption: '读入', role: 'read' }].forEach(function (p) {
      var sign = p.role === 'sign';
      g.appendChild(svgEl('rect', { x: x + p.dx, y: y + 30, width: p.w, height: 46, rx: sign ? 23 : 4,
                                    fill: sign ? (error ? '#fdecea' : '#fff7dc') : '#ffffff',
                                    stroke: sign ? ORANGE : p.role === 'top' ? STACKS.optr.stroke : '#8a94a6',
                                    'stroke-width': 1.5, 'stroke-dasharray': sign && !p.text ? '4 3' : 'none' }));
      text(g, x + p.dx + p.w / 2, y + 61, p.text || '—', {
        'text-anchor': 'middle', 'font-family': MONO, 'font-weight': 'bold',
        'font-size': sign && p.text.length > 1 ? 18 : 24,
        fill: sign ? (error ? RED : p.text ? ORANGE : GREY) : INK, 'data-role': p.role });
      text(g, x + p.dx + p.w / 2, y + 94, p.caption, { 'text-anchor': 'middle', fill: GREY, 'font-size': 13 });
    });
    text(g, x, y + 130, '这一步的操作', { fill: GREY, 'font-size': 13 });
    g.appendChild(svgEl('rect', { x: x, y: y + 138, width: PANEL_W, height: 32, rx: 4,
                                  fill: error ? '#fdecea' : '#f3f5f9', stroke: error ? RED : '#d5dbe5' }));
    text(g, x + 10, y + 159, doneOf(step), { 'font-size': 15, fill: error ? RED : INK, 'data-done': step.kind });
    explain(step, read).forEach(function (line, i) { text(g, x, y + 196 + i * 21, line); });
    var end = { syntax_error: ['程序到此结束：表达式有语法错误', RED, '#fdecea'],
                divide_error: ['程序到此结束：除数为 0，没有运算结果', RED, '#fdecea'],
                'return': ['求值结束，运算结果是 ' + step.value, GREEN, '#e3f5e8'] }[step.kind];
    if (!end) return;
    g.appendChild(svgEl('rect', { x: x, y: y + 262, width: PANEL_W, height: 34, rx: 4, fill: end[2], stroke: end[1], 'stroke-width': 1.5 }));
    text(g, x + 12, y + 285, end[0], { fill: end[1], 'font-weight': 'bold', 'font-size': 15, 'data-end': step.kind });
  }

  /* showText(step, view, read): the step beside the picture: its row's
   * number, the stacks after it and what it read. */
  function showText(step, view, read) {
    view.text.textContent = '';
    var rows = [['步骤表的行', String(step.at)], ['OPTR（栈底在左）', step.optr.join(' ')],
                ['OPND（栈底在左）', step.opnd.join(' ')], ['读入', read], ['操作', doneOf(step)]];
    view.text.appendChild(el('h4', { textContent: '这一步之后' }));
    view.text.appendChild(el('table', { className: 'evaluator-row' }, rows.map(function (r) {
      return el('tr', {}, [el('th', { textContent: r[0] }), el('td', { textContent: r[1] })]);
    })));
    view.text.appendChild(el('p', { className: 'picture-hint',
      textContent: '点击上面步骤表中的任意一行，图解就跳到那一步；也可以用 ← → 键逐步查看。' }));
  }

  /* ---- The contract ---------------------------------------------------- */

  /* fixed(view, trace): what every step of the run shares (frameOf), built
   * once per run on view.cache. */
  function fixed(view, trace) {
    if (!view.cache.frame) {
      var expression = (trace.input && trace.input.expression) || '';
      view.cache.frame = frameOf(charsOf(expression), expression);
    }
    return view.cache.frame;
  }

  /* render(step, view, trace): the step into view.svg and view.text. */
  function render(step, view, trace) {
    var F = fixed(view, trace);
    var read = readText(step, F.chars);
    var g = D.canvas(view.svg, F.width, F.height);
    g.setAttribute('data-at', step.at);
    g.setAttribute('data-kind', step.kind);
    text(g, MARGIN, 26, '步骤表第 ' + step.at + ' 行　算符优先法求值：' +
         F.chars.slice(0, -1).map(function (c) { return c.text; }).join(''), { 'font-size': 16, 'font-weight': 'bold' });
    drawExpression(g, step, F);
    drawStack(g, step, 'optr', F);
    drawStack(g, step, 'opnd', F);
    drawPanel(g, step, F, read);
    showText(step, view, read);
    view.slideLines.push(doneOf(step));
  }

  /* caption(step, trace): the step's explanation in one sentence. */
  function caption(step, trace) {
    var expression = (trace.input && trace.input.expression) || '';
    return explain(step, readText(step, charsOf(expression))).join('');
  }

  /* The four actions a row can take, as the practice buttons name them. */
  var ACTIONS = [{ value: 'push_opnd', label: '压入运算数 PUSH(OPND)' }, { value: 'push_optr', label: '压入运算符 PUSH(OPTR)' },
                 { value: 'cancel', label: '弹出括号 POP(OPTR)' }, { value: 'operate', label: '运算 operate' }];
  var RELATIONS = [{ value: '<', label: '<' }, { value: '=', label: '=' }, { value: '>', label: '>' }];

  /* questions(step, trace): before a step that pushes, cancels or
   * operates: the relation PriorityCom found (where it compared), the
   * action, and after an operate the value it pushed, all as the step
   * reports them; before the end, the value it pops; before an error,
   * whether the run goes on. */
  function questions(step, trace) {
    if (step.kind === 'return') {
      return [{ ask: "下一步：读入的 '#' 遇到栈底的 '#'。程序输出的结果是多少？（输入整数）",
                answer: String(step.value), key: 'return:' + step.at }];
    }
    if (step.kind === 'divide_error' || step.kind === 'syntax_error') {
      return [{ ask: '下一步：程序能接着算下去吗？', options: [{ value: 'go', label: '能，接着算' },
                                                        { value: 'stop', label: '不能：写下出错的话，到此结束' }],
                answer: 'stop', key: 'error:' + step.at }];
    }
    if (!ACTIONS.some(function (a) { return a.value === step.kind; })) return null;
    var expression = (trace.input && trace.input.expression) || '';
    var read = "读入 '" + readText(step, charsOf(expression)) + "'";
    var asked = [];
    if (step.relation) {
      asked.push({ ask: "下一步：栈顶 '" + step.top + "'，" + read + '。栈顶与读入字符的优先关系是？',
                   options: RELATIONS, answer: step.relation, key: 'relation:' + step.at });
    }
    asked.push({ ask: '下一步：' + read + '，程序做什么？', options: ACTIONS, answer: step.kind, key: 'action:' + step.at });
    if (step.kind === 'operate') {
      asked.push({ ask: '算 ' + step.a + ' ' + step.op + ' ' + step.b + '：压入 OPND 的值是多少？（输入整数）',
                   answer: String(step.result), key: 'value:' + step.at });
    }
    return asked;
  }

  /* note(trace): why a run has no step to draw. */
  function note(trace) {
    return trace.ok === false ? '表达式文件没有被读入（原因见上面的提示），没有可画的步骤。' : '这次运行没有步骤。';
  }

  DsdPicture.attach(DsdEvaluatorTab, { render: render, caption: caption, questions: questions, note: note });
})();
