/* josephus/picture.js -- the picture of josephus: the ring as a circle of
 * seats, the count moving on round it seat by seat, each seat greyed as it
 * leaves, and out.txt growing beside it.
 *
 * Every step is one the program reported (its step writer,
 * lab/josephus/steps.cpp): a turn's count ("count": the seat that says 1),
 * each seat the count passes ("pass"), and the unlinking of the seat it
 * ends on ("leave"). Each is drawn from that step and trace.input alone:
 * the step says which seats are still seated, where the count started and
 * where it is, what that seat says, and out.txt so far. Nothing here walks
 * the ring or decides who leaves. A count larger than the ring is never
 * walked round it: the program moves only (count−1) mod size seats, and
 * the words say so.
 *
 * Where the seats stand is the ring layout's (draw/ring.js); this file
 * only turns it into SVG. Colours and fonts are SVG attributes, so a saved
 * SVG looks the same on its own. The contract: frame/picture.js. */
(function () {
  'use strict';
  var D = DsdDraw;
  var svgEl = D.svgEl, round = D.round;
  var INK = D.INK;
  /* The looks of a seat: a labelled seat's fill, outline, number and step
   * value, and the colour of a large ring's bar. */
  var SEATED = { fill: '#e7f0fb', stroke: '#3b6fb6', text: INK, step: '#2f6db5', bar: '#3b6fb6' };
  var COUNTED = { fill: '#fff1c2', stroke: '#e8890c', text: INK, step: '#2f6db5', bar: '#e8890c' };
  var GONE = { fill: '#dfe2e7', stroke: '#a3aab5', text: '#8a919c', step: '#a3aab5', bar: '#c9ced6' };
  var LEAVING = { fill: '#dfe2e7', stroke: '#c92a2a', text: '#8a919c', step: '#c92a2a', bar: '#c92a2a' };
  var COUNT_COLOR = '#e8890c';   /* the count: its arc and the numbers said */
  var LEAVE_COLOR = '#c92a2a';   /* the seat that leaves on this step */
  var OPTIONS_MAX = 48;          /* the most seats offered as answer buttons */

  /* ------------------------------------------------------------- the step */

  /* seen(step): what a step shows, from the step alone: {leaving (true on
   * the unlinking), here (seat index of the seat the count is on), first
   * (seat index of the seat that said 1), order (seat index -> leaving
   * number, for the seats that have left), last (the number said by the
   * one who leaves: moves + 1)}. */
  function seen(step) {
    var order = {};
    step.out.forEach(function (num, j) { order[num - 1] = j + 1; });
    return { leaving: step.kind === 'leave', here: step.seat - 1, first: step.from - 1, order: order,
             last: step.moves + 1 };
  }

  /* shortcut(step): the sentence on a count that the program does not
   * count out as said: larger than the ring, or 1 or less. */
  function shortcut(step) {
    if (step.count > step.size) {
      return '报数上限 ' + step.count + ' 大于圈里的 ' + step.size + ' 人：每绕满一圈都回到同一个人，所以程序不绕圈，只往后走 (' +
             step.count + '−1) mod ' + step.size + ' = ' + step.moves + ' 步。';
    }
    if (step.count < 1) return '报数上限 ' + step.count + ' 不到 1：程序一步也不走，报 1 的人就出列。';
    return '';
  }

  /* caption(step, trace): the step told in full. */
  function caption(step, trace) {
    var n = trace.input.n;
    var last = step.moves + 1;
    if (step.kind === 'count') {
      return (step.turn === 1
        ? n + ' 人围成一圈。第 1 轮从 ' + step.from + ' 号开始报数，报数上限是给定的 m = ' + step.count + '。'
        : '第 ' + step.turn + ' 轮从 ' + step.from + ' 号（上一个出列者的下一位）开始报数，报数上限 m = ' + step.count +
          '（上一个出列者的报数上限）。') +
        shortcut(step) + step.from + ' 号报 1' + (last > 1 ? '；报到 ' + last + ' 的人出列。' : '，他出列。');
    }
    if (step.kind === 'pass') {
      return '第 ' + step.turn + ' 轮：程序往后走一个座位（已出列的人不在环上，跳过），' + step.seat + ' 号报 ' + step.said +
             (step.said < last ? '；还要走 ' + (last - step.said) + ' 步。' : '：走完了 ' + step.moves + ' 步，他出列。');
    }
    return step.seat + ' 号出列：程序把他从环上摘下，他是第 ' + step.turn + ' 个出列的人，out.txt 写下 ' + step.seat + '。' +
           (step.turn < n
             ? '他的报数上限 ' + trace.input.values[step.seat - 1] + ' 成为下一轮的报数上限 m，下一轮从他后面的人报 1。'
             : '圈里没有人了，out.txt 写完，运行结束。');
  }

  /* centreLines(step, trace): the short lines for the middle of the ring. */
  function centreLines(step, trace) {
    var lines = ['第 ' + step.turn + ' 轮 · 圈里 ' + step.size + ' 人', '报数上限 m = ' + step.count];
    if (step.count > step.size) lines.push('(' + step.count + '−1) mod ' + step.size + ' = ' + step.moves);
    if (step.kind === 'leave') {
      lines.push(step.seat + ' 号出列（第 ' + step.turn + ' 个）',
                 step.turn < trace.input.n ? '下一轮 m = ' + trace.input.values[step.seat - 1] : '全部出列');
    } else {
      lines.push(step.seat + ' 号报 ' + step.said);
    }
    return lines;
  }

  /* ------------------------------------------------------------- drawing */

  /* label(x, y, text, size, attrs): a centred SVG text. */
  function label(x, y, text, size, attrs) {
    return svgEl('text', Object.assign({ x: round(x), y: round(y), 'font-size': size,
                                         'text-anchor': 'middle', 'dominant-baseline': 'central' }, attrs || {}), text);
  }

  /* badge(p, text, color, wide): a small filled circle at p holding text,
   * or when wide a rounded box. */
  function badge(p, text, color, wide) {
    var g = svgEl('g');
    if (wide) {
      g.appendChild(svgEl('rect', { x: round(p.x - 15), y: round(p.y - 8), width: 30, height: 16, rx: 4, fill: color }));
    } else {
      g.appendChild(svgEl('circle', { cx: p.x, cy: p.y, r: 9, fill: color }));
    }
    g.appendChild(label(p.x, p.y, text, 11, { fill: '#fff', 'font-weight': 'bold' }));
    return g;
  }

  /* look(step, s, k): the look of seat index k at this step. */
  function look(step, s, k) {
    if (step.seated.charAt(k) === '0') return s.leaving && k === s.here ? LEAVING : GONE;
    return k === s.here || k === s.first ? COUNTED : SEATED;
  }

  /* said(step, s, k): the number seat index k is shown saying, or null:
   * the seat that said 1, and the seat the count is on. */
  function said(step, s, k) {
    if (s.leaving) return null;
    if (k === s.here) return step.said;
    return k === s.first ? 1 : null;
  }

  /* drawSeat(ring, step, trace, s, k): seat index k as a circle with its
   * number, its step value outside, and inside the number it says or its
   * leaving number. Carries data-num, and data-left (its leaving number)
   * once it has left. */
  function drawSeat(ring, step, trace, s, k) {
    var seat = look(step, s, k);
    var here = k === s.here;
    var g = svgEl('g', { class: 'seat', 'data-num': k + 1 });
    if (s.order[k]) g.setAttribute('data-left', s.order[k]);
    var place = ring.places[k];
    var c = place.centre;
    g.appendChild(svgEl('circle', { cx: c.x, cy: c.y, r: ring.seat, fill: seat.fill,
                                    stroke: here ? (s.leaving ? LEAVE_COLOR : COUNT_COLOR) : seat.stroke,
                                    'stroke-width': here ? 3.5 : 1.5 }));
    g.appendChild(label(c.x, c.y, String(k + 1), 14, { fill: seat.text, 'font-weight': 'bold' }));
    var next = here && s.leaving;
    g.appendChild(label(place.step.x, place.step.y, String(trace.input.values[k]), next ? 15 : 13,
                        { fill: seat.step, 'font-weight': next ? 'bold' : 'normal', 'text-anchor': place.anchor }));
    var number = said(step, s, k);
    if (s.order[k]) g.appendChild(badge(place.inner, '出' + s.order[k], seat === LEAVING ? LEAVE_COLOR : '#6b7280', true));
    else if (number !== null) g.appendChild(badge(place.inner, String(number), COUNT_COLOR, false));
    return g;
  }

  /* drawBars(ring, step, s): the seats of a ring too large for labels, as
   * short radial bars, each carrying data-num, and data-left once it has
   * left; the seat the count is on and the one that said 1 get a dot and
   * their number outside. */
  function drawBars(ring, step, s) {
    var g = svgEl('g', { 'stroke-width': round(Math.min(6, ring.spacing * 0.7)) });
    for (var k = 0; k < ring.n; k++) {
      var p = ring.places[k];
      var bar = svgEl('line', { x1: p.from.x, y1: p.from.y, x2: p.to.x, y2: p.to.y, stroke: look(step, s, k).bar,
                                'data-num': k + 1 });
      if (s.order[k]) bar.setAttribute('data-left', s.order[k]);
      g.appendChild(bar);
    }
    (s.first === s.here ? [s.here] : [s.first, s.here]).forEach(function (k) {
      var color = k === s.here && s.leaving ? LEAVE_COLOR : COUNT_COLOR;
      var place = ring.places[k];
      g.appendChild(svgEl('circle', { cx: place.dot.x, cy: place.dot.y, r: 5, fill: color }));
      g.appendChild(label(place.text.x, place.text.y, (k + 1) + ' 号', 13,
                          { fill: color, 'font-weight': 'bold', 'text-anchor': place.anchor }));
    });
    return g;
  }

  /* drawCount(ring, s): the count's way this turn, from the seat that said
   * 1 clockwise to the seat it is on, inside the ring, with an arrowhead;
   * null while it has not moved. */
  function drawCount(ring, s) {
    if (s.first === s.here) return null;
    var out = ring.labels ? -ring.seat - 32 : -22;
    var n = ring.n;
    var a = DsdRing.point(ring, s.first, out);
    var b = DsdRing.point(ring, s.here, out);
    var large = (s.here - s.first + n) % n > n / 2;
    return svgEl('path', { d: D.arcPath(a, b, ring.radius + out, large), fill: 'none', stroke: COUNT_COLOR,
                           'stroke-width': 2.5, 'marker-end': 'url(#josephus-arrow)' });
  }

  /* drawWords(ring, lines, n): the centre lines, and under the ring its
   * legend. */
  function drawWords(ring, lines, n) {
    var g = svgEl('g', { class: 'words' });
    var top = ring.cy - (lines.length - 1) * 12;
    lines.forEach(function (line, j) {
      g.appendChild(label(ring.cx, top + j * 24, line, j === 0 ? 14 : 16,
                          { fill: j === 0 ? '#5b6578' : INK, 'font-weight': j === 0 ? 'normal' : 'bold' }));
    });
    var legend = ring.labels
      ? ['圈上：编号　圈外：报数上限', '内侧橙色圆：本轮报的数　内侧「出 k」：第 k 个出列']
      : ['共 ' + n + ' 人，座位太多，不标编号和报数上限', '灰色：已出列　橙色：报 1 的和正在报数的座位　出列顺序见 out.txt'];
    legend.forEach(function (line, j) {
      g.appendChild(label(ring.cx, ring.height - 34 + j * 18, line, 12, { fill: '#5b6578' }));
    });
    return g;
  }

  /* drawText(step, trace, view): beside the ring: the step's sentence and
   * out.txt as it stands after the step, its latest number marked. */
  function drawText(step, trace, view) {
    var el = DsdUi.el;
    view.text.textContent = '';
    view.text.appendChild(el('p', { className: 'josephus-sentence', textContent: caption(step, trace) }));
    view.text.appendChild(el('h4', { className: 'josephus-heading', textContent: 'out.txt（出列顺序，到这一步为止；点一个数，跳到他出列的那一步）' }));
    /* Each number goes to the step that writes it: the frame's jump to
     * the leaving number (the step's at). */
    var numbers = step.out.map(function (num, j) {
      var span = el('span', { className: 'josephus-number' + (j === step.out.length - 1 ? ' current' : ''),
                              textContent: String(num), title: '第 ' + (j + 1) + ' 个出列：跳到他出列的那一步',
                              'data-order': String(j + 1), 'data-go': '' });
      span.addEventListener('click', function () { DsdJosephusTab.onCompareStep(j + 1); });
      return span;
    });
    if (!numbers.length) numbers = [el('span', { className: 'josephus-empty', textContent: '（还没有人出列）' })];
    view.text.appendChild(el('div', { className: 'josephus-out' }, numbers));
    if (!view.cache.ring.labels) {
      view.text.appendChild(el('p', { className: 'josephus-large',
        textContent: '人数超过 ' + DsdRing.LABEL_MAX + '，图上只标出报 1 的座位和正在报数的座位；完整的出列顺序见 out.txt。' }));
    }
  }

  /* render(step, view, trace): the ring after the step, the count's way,
   * the words, and out.txt so far. */
  function render(step, view, trace) {
    var n = trace.input.n;
    var ring = view.cache.ring || (view.cache.ring = DsdRing.layout(n));
    var s = seen(step);
    var svg = D.canvas(view.svg, ring.width, ring.height);
    svg.appendChild(svgEl('defs')).appendChild(D.arrowHead('josephus-arrow', COUNT_COLOR, 9));
    svg.appendChild(svgEl('circle', { cx: ring.cx, cy: ring.cy, r: ring.radius, fill: 'none',
                                      stroke: '#d5dbe5', 'stroke-width': 1 }));
    var arc = drawCount(ring, s);
    if (arc) svg.appendChild(arc);
    var seats = svgEl('g', { class: 'josephus-ring', 'data-n': n, 'data-written': step.out.length });
    if (ring.labels) {
      for (var k = 0; k < n; k++) seats.appendChild(drawSeat(ring, step, trace, s, k));
    } else {
      seats.appendChild(drawBars(ring, step, s));
    }
    svg.appendChild(seats);
    svg.appendChild(drawWords(ring, centreLines(step, trace), n));
    drawText(step, trace, view);
    view.slideLines.push('out.txt：' + (step.out.join(' ') || '（还没有人出列）'));
  }

  /* ------------------------------------------------------------ practice */

  /* questions(step): one question before each kind of step, its answer
   * the step's own record, the seats offered those seated before it:
   *   count   which seat says 1 (the turn's first seat);
   *   pass    which seat the count moves on to (gone seats are skipped);
   *   leave   out.txt once the seat the count ended on has left (the step
   *           before already shows the seat, so the question is what the
   *           unlinking writes). */
  function questions(step) {
    var seated = [];
    for (var k = 0; k < step.seated.length; k++) {
      if (step.seated.charAt(k) === '1' || k === step.seat - 1) seated.push(k + 1);
    }
    var q;
    if (step.kind === 'count') {
      q = { ask: '第 ' + step.turn + ' 轮开始：哪个座位报 1？点那个座位，或按下面的号码。',
            key: 'count:' + step.turn, answer: String(step.seat), shown: step.seat + ' 号', pick: 'data-num' };
    } else if (step.kind === 'pass') {
      q = { ask: '第 ' + step.turn + ' 轮：计数往后走一个座位（跳过已出列的座位），走到哪个座位？',
            key: 'pass:' + step.turn + ':' + step.said, answer: String(step.seat), shown: step.seat + ' 号',
            pick: 'data-num' };
    } else if (step.kind === 'leave') {
      return [{ ask: '第 ' + step.turn + ' 轮：计数停下的人出列。出列后 out.txt 是什么？（依次输入座位号，用空格分开）',
                key: 'leave:' + step.turn, answer: step.out.join(' ') }];
    } else {
      return null;
    }
    if (seated.length <= OPTIONS_MAX) {
      q.options = seated.map(function (num) { return { value: String(num), label: num + ' 号' }; });
    }
    return [q];
  }

  /* note(trace): why there is no ring to draw. */
  function note(trace) {
    return trace.stopped === 'read'
      ? '程序拒绝了这组参数（原因见下面的标准错误），没有可画的环。'
      : '程序在安排座位时内存不足，没有可画的环。';
  }

  DsdPicture.attach(DsdJosephusTab, { render: render, caption: caption, questions: questions, note: note });
})();
