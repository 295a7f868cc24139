/* evaluator/picture.js -- the evaluator's picture: each row of the trace
 * table in result.txt drawn as the two stacks (bottom at the bottom), the
 * expression with the characters already read greyed and the one being
 * read marked, the comparison of that character with the top of OPTR, and
 * the row's action as the program wrote it, explained in a sentence.
 *
 * Everything drawn is read from the rows of result.txt of the run on
 * screen: the stacks from the OPTR and OPND columns, the expression from
 * the input column, the comparison from the action ('<' for PUSH(OPTR…),
 * '=' for POP(OPTR){消去一对括号}, '>' for operate(…), '#' meeting '#'
 * for RETURN; a PUSH(OPND…) compares nothing). Nothing here evaluates.
 * Where the build has the evaluator's step writer (one record per trace
 * row, each with the source location of the row's operation), the code
 * panel shows that line; without it the picture draws all the same.
 *
 * Where things go is computed apart from how they are drawn: layout()
 * once per run, the place*() helpers per step, the draw*() helpers turn
 * those places into SVG elements. Colours and fonts are SVG attributes, so
 * a saved SVG file looks the same on its own. */
(function () {
  'use strict';
  var D = DsdDraw;
  var svgEl = D.svgEl, text = D.text, textWidth = D.textWidth, visible = D.visible, MONO = D.MONO;
  var el = DsdUi.el;

  var HEADER = '步骤\tOPTR栈\tOPND栈\t';
  var RESULT = '运算结果是:';
  var CELL_H = 24;      /* an expression character's square: this high, */
  var CELL_MAX = 24;    /* this wide, narrower (down to CELL_MIN) so that */
  var CELL_MIN = 16;    /* a long expression still fits in about 800 px */
  var ITEM_H = 30;      /* a stack slot's height, less for a deep stack */
  var MARGIN = 24;
  var PANEL_W = 400;    /* the comparison and action panel */
  var INK = D.INK, GREY = D.GREY, ORANGE = '#c75d00', RED = '#b3261e', GREEN = '#2f7d45';

  /* ---- Reading the trace ---------------------------------------------- */

  /* stackItems(cell): the elements of a stack column, bottom first (each
   * element is written followed by one space). */
  function stackItems(cell) {
    return cell === '' ? [] : cell.replace(/ $/, '').split(' ');
  }

  /* readTrace(text): the last run's trace in result.txt's text:
   * {rows, value}. Each row is {line, step, optr, opnd, column, action}:
   * line is its line in the file (the table's data-step), optr and opnd its
   * stack elements bottom first, column its input column as written (a tab
   * in the expression splits no column), action its operation column;
   * value is what follows 运算结果是: ('' when the run ended without it). */
  function readTrace(text) {
    var lines = text.split('\n');
    var start = 0;
    lines.forEach(function (line, i) { if (line.indexOf(HEADER) >= 0) start = i + 1; });
    var rows = [], value = '';
    for (var i = start; i < lines.length; i++) {
      var cells = lines[i].split('\t');
      if (cells.length >= 5 && /^\d+$/.test(cells[0])) {
        rows.push({ line: i, step: Number(cells[0]), optr: stackItems(cells[1]), opnd: stackItems(cells[2]),
                    column: cells.slice(3, -1).join('\t'), action: cells[cells.length - 1] });
      } else if (lines[i].indexOf(RESULT) === 0) {
        value = lines[i].slice(RESULT.length);
      }
    }
    return { rows: rows, value: value };
  }

  /* restOf(column, expression): the unconsumed input an input column
   * shows: without the spaces that fill the column on the left, but with
   * the blanks the expression itself has at that place. */
  function restOf(column, expression) {
    var rest = column.replace(/^ +/, '');
    while (rest.length < column.length &&
           expression.charAt(expression.length - rest.length - 1) === ' ') rest = ' ' + rest;
    return rest;
  }

  /* actionOf(text): what an operation column says: {kind, ...} with kind
   * 'number' {value}, 'push' {op}, 'cancel', 'operate' {a, op, b}, 'end',
   * 'syntax' (语法错误), 'zero' (division by zero) or 'other'. */
  function actionOf(text) {
    var m;
    if ((m = /^PUSH\(OPND,‘(.*)’\)$/.exec(text))) return { kind: 'number', value: m[1] };
    if ((m = /^PUSH\(OPTR,‘(.)’\)$/.exec(text))) return { kind: 'push', op: m[1] };
    if (text === 'POP(OPTR){消去一对括号}') return { kind: 'cancel' };
    if ((m = /^operate\(‘(-?\d+)’‘(.)’‘(-?\d+)’\)$/.exec(text))) return { kind: 'operate', a: m[1], op: m[2], b: m[3] };
    if (text === 'RETURN(GETTOP(OPND))') return { kind: 'end' };
    if (text === '输入表达式出现语法错误') return { kind: 'syntax' };
    if (text === 'error') return { kind: 'zero' };
    return { kind: 'other' };
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
    if (code > 0x7f) return ["读入的 '" + c + "' 不是表达式的字符：", '表达式只由半角的数字、+ - * / 和括号组成。'];
    return [];
  }

  /* relationOf(act): the comparison the action stands for: {sign,
   * caption}; sign '' when nothing was compared. */
  function relationOf(act) {
    return {
      number: { sign: '', caption: '读入数，不比较' },
      push: { sign: '<', caption: '栈顶优先级低' },
      cancel: { sign: '=', caption: '括号配对' },
      operate: { sign: '>', caption: '栈顶优先级高' },
      zero: { sign: '>', caption: '栈顶优先级高' },
      end: { sign: '#=#', caption: '# 遇到 #' },
      syntax: { sign: '×', caption: '语法错误' }
    }[act.kind] || { sign: '?', caption: '' };
  }

  /* explain(act, top, incoming, result): the step's action told in short
   * Chinese lines; result is what an operate step pushed, or the run's
   * value at the end. */
  function explain(act, top, incoming, result) {
    var t = "'" + visible(top) + "'", c = "'" + visible(incoming) + "'";
    switch (act.kind) {
      case 'number':
        return ['读入的是数 ' + act.value + '：不与栈顶比较，', '直接压入运算数栈 OPND。'];
      case 'push':
        return ['栈顶 ' + t + ' 的优先级低于读入的 ' + c + '（<），', c + ' 压入运算符栈 OPTR，留到以后再算。'];
      case 'cancel':
        return ['栈顶 ' + t + ' 与读入的 ' + c + ' 相等（=）：', '弹出栈顶，消去一对括号。'];
      case 'operate':
        return ['栈顶 ' + t + ' 的优先级高于读入的 ' + c + '（>）：',
                '先算 ' + act.a + ' ' + act.op + ' ' + act.b + (result ? ' = ' + result : '') + '，结果压入 OPND；',
                c + ' 留到下一步再与新栈顶比较。'];
      case 'zero':
        return ['栈顶 ' + t + ' 的优先级高于读入的 ' + c + '（>），要做除法：',
                '除数是 0，程序写下 error，到此结束。'];
      case 'end':
        return ["读入的 '#' 遇到栈底的 '#'：表达式读完了，",
                '运算数栈 OPND 的栈顶' + (result ? ' ' + result : '') + ' 就是运算结果。'];
      case 'syntax':
        var odd = foreign(incoming);
        return odd.length ? odd.concat(['表达式有语法错误：程序写下这句话，到此结束。'])
                   : ['栈顶 ' + t + '、读入 ' + c + '：无法继续，表达式有语法错误。', '程序写下这句话，到此结束。'];
      default:
        return ['程序写下的操作见上。'];
    }
  }

  /* build(run, steps): the model: {count, expression, steps, byLine,
   * src, layout}; each step is what one trace row shows (see stepOf);
   * byLine maps a row's line in result.txt to its step; src[i] is the
   * source location the step writer gives for step i's row (null without
   * it: steps is null when the build has no step writer; a run stopped by
   * an error keeps its rows so far). Or {note} when the run wrote no
   * trace. */
  function build(run, steps) {
    var file = run.result.files.filter(function (f) { return f.path === 'result.txt'; })[0];
    var trace = file ? readTrace(DsdGbk.decode(file.data)) : { rows: [] };
    if (!trace.rows.length) return { note: '这次运行没有在 result.txt 里写下步骤表，没有可画的图。' };
    var expression = restOf(trace.rows[0].column, '');
    var record = steps;
    var rows = trace.rows.map(function (row, i) {
      return stepOf(row, trace.rows[i + 1], expression, trace.value);
    });
    var byLine = {};
    rows.forEach(function (s, i) { byLine[s.row.line] = i; });
    var records = {};
    ((record && record.steps) || []).forEach(function (r) { records[r.row] = r; });
    return { count: rows.length, expression: expression, steps: rows, byLine: byLine,
             src: rows.map(function (s) { return (records[s.row.step] || {}).src || null; }),
             layout: layout(rows, expression) };
  }

  /* stepOf(row, next, expression, value): what a row shows: {row, act,
   * chars, consumed, reading, top, incoming, relation, result, lines}:
   * chars the expression as the program's buffer holds it then, of which
   * the first consumed were read before and the next reading are read now;
   * top the top of OPTR, incoming the characters read, result the top of
   * OPND after an operate step (from the next row) or, at the end, the
   * run's value. */
  function stepOf(row, next, expression, value) {
    var act = actionOf(row.action);
    var rest = restOf(row.column, expression);
    var consumed = Math.max(0, expression.length - rest.length);
    var digits = /^\d+/.exec(rest);
    var incoming = act.kind === 'number' && digits ? digits[0] : rest.charAt(0);
    var top = row.optr.length ? row.optr[row.optr.length - 1] : '';
    var result = act.kind === 'end' ? value
               : act.kind === 'operate' && next && next.opnd.length ? next.opnd[next.opnd.length - 1] : '';
    return { row: row, act: act, chars: expression.slice(0, consumed) + rest, consumed: consumed,
             reading: incoming.length, top: top, incoming: incoming, relation: relationOf(act),
             result: result, lines: explain(act, top, incoming, result) };
  }

  /* jump(model, step): the picture's step for the trace row numbered step. */
  function jump(model, step) {
    for (var i = 0; i < model.steps.length; i++) if (model.steps[i].row.step === step) return i;
    return step - 1;
  }

  /* ---- Layout ---------------------------------------------------------- */

  /* layout(steps, expression): where the parts go, the same at every step
   * so that stepping does not move them: {width, height, expr, optr, opnd,
   * panel}. expr is {x, y, cell}: the first character's square and the
   * squares' width; optr and opnd are stacks {x, w, itemH, top, bottom,
   * name, title, fill, stroke}, tall enough for the deepest row and one
   * element more (the one a step pushes), in slots itemH high; panel is
   * {x, y} of the comparison and action panel. */
  function layout(steps, expression) {
    var deepest = 0, widest = 1;
    steps.forEach(function (s) {
      deepest = Math.max(deepest, s.row.optr.length, s.row.opnd.length);
      s.row.opnd.concat([s.incoming, s.act.value || '']).forEach(function (v) { widest = Math.max(widest, v.length); });
    });
    var expr = { x: MARGIN, y: 62, cell: Math.max(CELL_MIN, Math.min(CELL_MAX, Math.floor(800 / expression.length))) };
    var slots = Math.max(deepest + 1, 5);
    var itemH = slots > 9 ? Math.max(20, Math.floor(270 / slots)) : ITEM_H;
    var top = expr.y + CELL_H + 82;
    var bottom = top + slots * itemH;
    var optr = { x: MARGIN + 36, w: 52, itemH: itemH, top: top, bottom: bottom, name: 'OPTR',
                 title: 'OPTR 运算符栈', fill: '#dfeafc', stroke: '#3b6fb6' };
    var opnd = { x: optr.x + optr.w + 100, w: Math.max(52, widest * 10 + 20), itemH: itemH, top: top, bottom: bottom,
                 name: 'OPND', title: 'OPND 运算数栈', fill: '#dff3e5', stroke: '#2f8f4e' };
    var panel = { x: opnd.x + opnd.w + 100, y: top - 30 };
    return {
      width: Math.max(expr.x + expression.length * expr.cell + MARGIN, panel.x + PANEL_W + MARGIN,
                      MARGIN * 2 + textWidth(expressionTitle(expression), 16)),
      height: Math.max(bottom + 44, panel.y + 300),
      expr: expr, optr: optr, opnd: opnd, panel: panel
    };
  }

  /* expressionTitle(expression): the picture's title line. */
  function expressionTitle(expression) {
    return '算符优先法求值：' + Array.prototype.map.call(expression.replace(/#$/, ''), visible).join('');
  }

  /* placeChars(step, L): the expression's squares at this step: [{x, y,
   * c, state}], state 'read' (consumed before), 'reading' or 'ahead'. */
  function placeChars(step, L) {
    return Array.prototype.map.call(step.chars, function (c, i) {
      var state = i < step.consumed ? 'read' : i < step.consumed + step.reading ? 'reading' : 'ahead';
      return { x: L.expr.x + i * L.expr.cell, y: L.expr.y, c: visible(c), state: state };
    });
  }

  /* placeStack(stack, items, step): the stack's elements and the one the
   * step pushes: [{x, y, w, h, text, index, mark, note}], index from the
   * bottom (-1 for the pushed one), mark '' or 'leaving' (popped by the
   * step), 'result', 'incoming' (pushed by the step); note the words beside
   * it. */
  function placeStack(stack, items, step) {
    var kind = step.act.kind;
    var popped = stack.name === 'OPTR' ? (kind === 'cancel' || kind === 'operate' || kind === 'zero' ? 1 : 0)
                                       : (kind === 'operate' || kind === 'zero' ? 2 : 0);
    var pushed = stack.name === 'OPTR' ? (kind === 'push' ? step.act.op : '')
                                       : (kind === 'number' ? step.act.value : '');
    var out = items.map(function (v, i) {
      var isTop = i === items.length - 1;
      var mark = i >= items.length - popped ? 'leaving' : isTop && kind === 'end' && stack.name === 'OPND' ? 'result' : '';
      var note = (isTop ? '← 栈顶' : '←') + (mark === 'leaving' ? ' 弹出' : mark === 'result' ? ' 结果' : '');
      return { x: stack.x, y: stack.bottom - (i + 1) * stack.itemH + 2, w: stack.w, h: stack.itemH - 4,
               text: v, index: i, mark: mark, note: isTop || mark ? note : '' };
    });
    if (pushed) {
      out.push({ x: stack.x, y: stack.bottom - (items.length + 1) * stack.itemH + 2, w: stack.w, h: stack.itemH - 4,
                 text: pushed, index: -1, mark: 'incoming', note: '↓ 压入' });
    }
    return out;
  }

  /* placeCompare(step, L): the comparison's three boxes, OPTR's top, the
   * sign and the characters read: [{x, y, w, h, text, caption, role}]. */
  function placeCompare(step, L) {
    var x = L.panel.x, y = L.panel.y + 30;
    var readW = Math.max(46, textWidth(step.incoming, 24) + 16);
    return [
      { x: x, y: y, w: 46, h: 46, text: visible(step.top), caption: 'OPTR 栈顶', role: 'top' },
      { x: x + 76, y: y, w: 84, h: 46, text: step.relation.sign, caption: step.relation.caption, role: 'sign' },
      { x: x + 190, y: y, w: readW, h: 46, text: Array.prototype.map.call(step.incoming, visible).join(''),
        caption: '读入', role: 'read' }
    ];
  }

  /* ---- Drawing --------------------------------------------------------- */

  /* drawExpression(g, step, L): the expression's squares, the caption
   * above and the pointer under the characters being read. */
  function drawExpression(g, step, L) {
    text(g, L.expr.x, L.expr.y - 12, '表达式（灰色：已经读过；黄色：这一步读入；末尾的 # 是程序加上的结束符）',
         { 'font-size': 13, fill: GREY });
    var styles = { read: ['#eceff3', '#c3c9d4', '#a3abb8'], reading: ['#ffd966', ORANGE, INK], ahead: ['#ffffff', '#8a94a6', INK] };
    placeChars(step, L).forEach(function (p) {
      var s = styles[p.state];
      g.appendChild(svgEl('rect', { x: p.x, y: p.y, width: L.expr.cell, height: CELL_H, fill: s[0], stroke: s[1],
                                    'stroke-width': p.state === 'reading' ? 2 : 1, 'data-char': p.state }));
      text(g, p.x + L.expr.cell / 2, p.y + 17, p.c, {
        'text-anchor': 'middle', 'font-family': MONO, 'font-size': L.expr.cell < 20 ? 13 : 16,
        fill: s[2], 'font-weight': p.state === 'reading' ? 'bold' : 'normal' });
    });
    if (!step.reading) return;
    var x = L.expr.x + (step.consumed + step.reading / 2) * L.expr.cell, y = L.expr.y + CELL_H + 4;
    g.appendChild(svgEl('path', { d: 'M' + x + ' ' + y + ' l-6 9 h12 z', fill: ORANGE }));
    text(g, x, y + 26, step.act.kind === 'number' ? '读入数' : '读入', { 'text-anchor': 'middle', fill: ORANGE, 'font-size': 13 });
  }

  /* drawStack(g, stack, items, step): one stack: its open box, name,
   * bottom, elements and the notes beside them. */
  function drawStack(g, stack, items, step) {
    var left = stack.x - 7, right = stack.x + stack.w + 7;
    text(g, stack.x + stack.w / 2, stack.top - 12, stack.title, { 'text-anchor': 'middle', 'font-weight': 'bold', 'font-size': 15 });
    g.appendChild(svgEl('path', { d: 'M' + left + ' ' + stack.top + ' V' + (stack.bottom + 3) + ' H' + right + ' V' + stack.top,
                                  fill: 'none', stroke: '#8a94a6', 'stroke-width': 2 }));
    text(g, stack.x + stack.w / 2, stack.bottom + 22, '栈底', { 'text-anchor': 'middle', fill: GREY, 'font-size': 13 });
    placeStack(stack, items, step).forEach(function (p) {
      var attrs = p.index >= 0 ? { 'data-stack': stack.name, 'data-index': p.index, 'data-value': p.text }
                               : { 'data-incoming': stack.name, 'data-value': p.text };
      var item = svgEl('g', attrs);
      var stroke = { leaving: ORANGE, result: GREEN, incoming: stack.stroke }[p.mark] || stack.stroke;
      var fill = { leaving: '#ffe9d2', result: '#c9efd4', incoming: '#ffffff' }[p.mark] ||
                 (p.text === '#' && p.index === 0 ? '#eceff3' : stack.fill);
      item.appendChild(svgEl('rect', { x: p.x, y: p.y, width: p.w, height: p.h, rx: 3, fill: fill, stroke: stroke,
                                       'stroke-width': p.mark ? 2 : 1, 'stroke-dasharray': p.mark === 'incoming' ? '5 3' : 'none' }));
      text(item, p.x + p.w / 2, p.y + p.h / 2 + (p.h < 22 ? 4 : 6), visible(p.text),
           { 'text-anchor': 'middle', 'font-family': MONO, 'font-size': p.h < 22 ? 13 : 16, 'font-weight': 'bold' });
      if (p.note) {
        text(item, right + 6, p.y + p.h / 2 + 5, p.note,
             { fill: { leaving: ORANGE, result: GREEN, incoming: stack.stroke }[p.mark] || GREY, 'font-size': 13 });
      }
      g.appendChild(item);
    });
  }

  /* drawPanel(g, step, L): the comparison, the action as written, the
   * explanation, and how the run ends at its last step. */
  function drawPanel(g, step, L) {
    var x = L.panel.x, y = L.panel.y;
    var error = step.act.kind === 'syntax' || step.act.kind === 'zero';
    text(g, x, y + 12, '比较：OPTR 的栈顶与读入的字符', { 'font-weight': 'bold', 'font-size': 15 });
    placeCompare(step, L).forEach(function (p) {
      var sign = p.role === 'sign';
      g.appendChild(svgEl('rect', { x: p.x, y: p.y, width: p.w, height: p.h, rx: sign ? 23 : 4,
                                    fill: sign ? (error && step.act.kind === 'syntax' ? '#fdecea' : '#fff7dc') : '#ffffff',
                                    stroke: sign ? ORANGE : p.role === 'top' ? L.optr.stroke : '#8a94a6',
                                    'stroke-width': 1.5, 'stroke-dasharray': sign && !p.text ? '4 3' : 'none' }));
      text(g, p.x + p.w / 2, p.y + 31, p.text || '—', {
        'text-anchor': 'middle', 'font-family': MONO, 'font-weight': 'bold',
        'font-size': sign && p.text.length > 1 ? 18 : 24,
        fill: sign ? (step.act.kind === 'syntax' ? RED : p.text ? ORANGE : GREY) : INK, 'data-role': p.role });
      text(g, p.x + p.w / 2, p.y + p.h + 18, p.caption, { 'text-anchor': 'middle', fill: GREY, 'font-size': 13 });
    });
    text(g, x, y + 130, '主要操作（result.txt 里程序写下的原文）', { fill: GREY, 'font-size': 13 });
    g.appendChild(svgEl('rect', { x: x, y: y + 138, width: PANEL_W, height: 32, rx: 4,
                                  fill: error ? '#fdecea' : '#f3f5f9', stroke: error ? RED : '#d5dbe5' }));
    text(g, x + 10, y + 159, step.row.action, { 'font-family': MONO, 'font-size': 15, fill: error ? RED : INK, 'data-action': '' });
    step.lines.forEach(function (line, i) { text(g, x, y + 196 + i * 21, line); });
    var end = { syntax: ['程序到此结束：表达式有语法错误', RED, '#fdecea'],
                zero: ['程序到此结束：除数为 0，没有运算结果', RED, '#fdecea'],
                end: ['求值结束，' + RESULT + step.result, GREEN, '#e3f5e8'] }[step.act.kind];
    if (!end) return;
    g.appendChild(svgEl('rect', { x: x, y: y + 254, width: PANEL_W, height: 34, rx: 4, fill: end[2], stroke: end[1], 'stroke-width': 1.5 }));
    text(g, x + 12, y + 277, end[0], { fill: end[1], 'font-weight': 'bold', 'font-size': 15, 'data-end': step.act.kind });
  }

  /* markText(model, i, view): fills the text beside the picture once (its
   * cells and the trace table below kept on the model), shows the row
   * there, and marks the row in the trace table. */
  function markText(model, i, view) {
    var step = model.steps[i];
    if (view.first) {
      var table = DsdEvaluatorTab.section.querySelector('table.trace');
      model.table = table;
      var rows = ['步骤', 'OPTR栈', 'OPND栈', '输入字符', '主要操作'].map(function (name) {
        return el('tr', {}, [el('th', { textContent: name }), el('td')]);
      });
      view.text.appendChild(el('h4', { textContent: '这一步在 result.txt 里的一行' }));
      view.text.appendChild(el('table', { className: 'evaluator-row' }, rows));
      view.text.appendChild(el('p', { className: 'picture-hint',
        textContent: '点击下面步骤表中的任意一行，图解就跳到那一步；也可以用 ← → 键逐步查看。' }));
      if (table) {
        table.addEventListener('click', function (e) {
          var tr = e.target.closest('tr[data-step]');
          var to = tr ? model.byLine[tr.getAttribute('data-step')] : undefined;
          if (to !== undefined) view.go(to);
        });
      }
      model.cells = view.text.querySelectorAll('table.evaluator-row td');
    }
    [String(step.row.step), step.row.optr.join(' '), step.row.opnd.join(' '), step.chars.slice(step.consumed),
     step.row.action].forEach(function (v, j) { model.cells[j].textContent = v; });
    if (!model.table) return;
    var old = model.table.querySelector('tr.current');
    if (old) old.classList.remove('current');
    var tr = model.table.querySelector('tr[data-step="' + step.row.line + '"]');
    if (tr) tr.classList.add('current');
  }

  /* draw(model, i, view): step i into view.svg, and its row marked. */
  function draw(model, i, view) {
    var L = model.layout, step = model.steps[i];
    var g = D.canvas(view.svg, L.width, L.height);
    g.setAttribute('data-step', step.row.step);
    g.setAttribute('data-kind', step.act.kind);
    text(g, MARGIN, 26, '第 ' + step.row.step + ' 步（共 ' + model.count + ' 步）　' + expressionTitle(model.expression),
         { 'font-size': 16, 'font-weight': 'bold' });
    drawExpression(g, step, L);
    drawStack(g, L.optr, step.row.optr, step);
    drawStack(g, L.opnd, step.row.opnd, step);
    drawPanel(g, step, L);
    markText(model, i, view);
  }

  /* describe(model, i): step i's explanation, and where the program did
   * the row's operation (when the build has the step writer). */
  function describe(model, i) {
    return { caption: model.steps[i].lines.join(''), src: model.src[i] };
  }

  /* The four actions a row can take, as the practice buttons name them. */
  var ACTIONS = [{ value: 'number', label: '压入运算数 PUSH(OPND)' }, { value: 'push', label: '压入运算符 PUSH(OPTR)' },
                 { value: 'cancel', label: '弹出括号 POP(OPTR)' }, { value: 'operate', label: '运算 operate' }];
  var RELATIONS = [{ value: '<', label: '<' }, { value: '=', label: '=' }, { value: '>', label: '>' }];

  /* quiz(model, i): the practice questions before row i, all answered by
   * the row the program wrote: the relation of OPTR's top to the
   * character read (what the row's action stands for), the action, and
   * after an operate the value the next row shows on top of OPND. The
   * last row (the end, or an error) asks nothing. */
  function quiz(model, i) {
    var s = model.steps[i];
    var kind = s.act.kind;
    if (kind !== 'number' && kind !== 'push' && kind !== 'cancel' && kind !== 'operate') return null;
    var read = "读入 '" + visible(s.incoming) + "'";
    var questions = [];
    if (kind !== 'number') {
      questions.push({ ask: "下一步：栈顶 '" + visible(s.top) + "'，" + read + '。栈顶与读入字符的优先关系是？',
                       options: RELATIONS, answer: s.relation.sign, key: 'relation:' + s.row.step });
    }
    questions.push({ ask: '下一步：' + read + '，程序做什么？', options: ACTIONS, answer: kind, key: 'action:' + s.row.step });
    if (kind === 'operate' && s.result !== '') {
      questions.push({ ask: '算 ' + s.act.a + ' ' + s.act.op + ' ' + s.act.b + '：压入 OPND 的值是多少？（输入整数）',
                       answer: s.result, key: 'value:' + s.row.step });
    }
    return questions;
  }

  DsdPicture.attach(DsdEvaluatorTab, { quiz: quiz, steps: 'optional', build: build, draw: draw, describe: describe, jump: jump });
})();
