/* josephus/picture.js -- the picture of josephus: the ring as a circle of
 * seats, the count going round it turn by turn, each seat greyed as it
 * leaves, and out.txt growing beside it.
 *
 * Drawn from the step writer's description (lab/josephus/steps.cpp:
 * the seats, and for each turn the seat that counts 1, the count, the moves
 * modulo the ring's size, the seat that leaves and the next count) and from
 * the run's out.txt. Nothing here decides who leaves.
 *
 * The steps: each turn starts with the count on its first seat (报 1). A
 * count that moves at most WALK_MAX seats then goes on seat by seat, one
 * step per seat, and its last seat leaves; a longer count goes straight to
 * the seat it ends on, in one step. A count a little larger than the ring
 * (at most twice its size, m=4 with 3 people) goes round it seat by seat,
 * as a student counts, and the words say that the program itself moves
 * only (m−1) mod size seats.
 *
 * The layout (where each seat stands, which seats a turn passes, the words
 * of a step) is computed apart from the drawing, which only turns it into
 * SVG elements. Colours and fonts are SVG attributes, so a saved SVG looks
 * the same on its own. */
(function () {
  'use strict';
  var D = DsdDraw;
  var svgEl = D.svgEl, round = D.round;
  var WALK_MAX = 12;       /* the longest count walked seat by seat */
  var LABEL_MAX = 48;      /* the most seats drawn with their labels */
  var SEAT = 17;           /* a labelled seat's radius */
  var INK = D.INK;
  /* The looks of a seat: a labelled seat's fill, outline, number and step
   * value, and the colour of a large ring's bar. */
  var SEATED = { fill: '#e7f0fb', stroke: '#3b6fb6', text: INK, step: '#2f6db5', bar: '#3b6fb6' };
  var COUNTED = { fill: '#fff1c2', stroke: '#e8890c', text: INK, step: '#2f6db5', bar: '#e8890c' };
  var GONE = { fill: '#dfe2e7', stroke: '#a3aab5', text: '#8a919c', step: '#a3aab5', bar: '#c9ced6' };
  var LEAVING = { fill: '#dfe2e7', stroke: '#c92a2a', text: '#8a919c', step: '#c92a2a', bar: '#c92a2a' };
  var COUNT_COLOR = '#e8890c';   /* the count: its arc and the numbers said */
  var LEAVE_COLOR = '#c92a2a';   /* the seat that leaves on this step */

  /* ---------------------------------------------------------------- model */

  /* outNumbers(run): the numbers of the run's out.txt in order, or null
   * when the run wrote no out.txt. */
  function outNumbers(run) {
    var file = run.result.files.filter(function (f) { return f.path === 'out.txt'; })[0];
    if (!file) return null;
    return DsdGbk.decode(file.data).split(/\s+/).filter(Boolean).map(Number);
  }

  /* goesRound(r): true when removal r's count is walked round the ring as
   * a student counts it: it is larger than the ring, but at most twice its
   * size and at most WALK_MAX + 1. */
  function goesRound(r) {
    return r.count > r.size && r.count <= 2 * r.size && r.count <= WALK_MAX + 1;
  }

  /* planSteps(removals): the picture's steps in order, one object per step:
   * {turn (index into removals), said (the number the count says on this
   * step's seat, 1 on the turn's first seat), leave (true when this step's
   * seat leaves), jump (true when the count got there in one move), round
   * (true when the count goes round the ring, past the seat it started on)}. */
  function planSteps(removals) {
    var plan = [];
    removals.forEach(function (r, turn) {
      if (goesRound(r)) {
        for (var j = 1; j <= r.count; j++) plan.push({ turn: turn, said: j, leave: j === r.count, jump: false, round: true });
        return;
      }
      var last = r.moves + 1;
      if (r.moves > WALK_MAX) {
        plan.push({ turn: turn, said: 1, leave: false, jump: false });
        plan.push({ turn: turn, said: last, leave: true, jump: true });
        return;
      }
      for (var said = 1; said <= last; said++) {
        plan.push({ turn: turn, said: said, leave: said === last, jump: false });
      }
    });
    return plan;
  }

  /* ringLayout(n): where the n seats stand: {width, height, cx, cy, radius
   * (of the circle through the seats' centres), labels (true when each seat
   * shows its number and step value), spacing (between two seats' centres),
   * angles (one per seat in ring order: person 1 at the top, then
   * clockwise), places (one per seat, where its parts go: a labelled
   * seat's centre, step value (step) and inner badge (inner); a bar's ends
   * (from, to), its dot and its number (dot, text) when it is marked; and
   * the anchor of the text outside it)}. */
  function ringLayout(n) {
    var labels = n <= LABEL_MAX;
    var radius = labels ? Math.max(140, n * (2 * SEAT + 8) / (2 * Math.PI)) : 220;
    var margin = labels ? 60 : 80;          /* room for the labels outside */
    var side = 2 * (radius + margin);
    var angles = [];
    for (var k = 0; k < n; k++) angles.push(-Math.PI / 2 + 2 * Math.PI * k / n);
    var ring = { width: side, height: side + 44, cx: side / 2, cy: side / 2, radius: radius,
                 labels: labels, spacing: 2 * Math.PI * radius / n, angles: angles };
    ring.places = angles.map(function (a, k) {
      var at = function (out) { return seatPoint(ring, k, out); };
      return labels ? { centre: at(0), step: at(SEAT + 8), inner: at(-SEAT - 13), anchor: sideAnchor(ring, k) }
                    : { from: at(-9), to: at(9), dot: at(16), text: at(26), anchor: sideAnchor(ring, k) };
    });
    return ring;
  }

  /* build(run, steps): the model of the picture: the step writer's seats
   * and removals with the plan of steps, the ring's layout, each person's
   * leaving number (order[num]), each seat's index (index[num]) and the
   * step on which the k-th person leaves (leaveStep[k-1]); or {note} when
   * there is no ring to draw. */
  function build(run, steps) {
    if (!steps.ok) {
      return { note: steps.stopped === 'read'
        ? '程序拒绝了这组参数（原因见下面的标准错误），没有可画的环。'
        : '程序在安排座位时内存不足，没有可画的环。' };
    }
    var out = outNumbers(run);
    if (!out) return { note: '这次运行没有写出 out.txt，没有可画的出列顺序。' };
    var leaves = steps.removals.map(function (r) { return r.leaves; });
    if (out.join(' ') !== leaves.join(' ')) {
      return { note: 'out.txt 的出列顺序与步骤记录不一致，不作图。' };
    }
    var model = { n: steps.n, seats: steps.seats, removals: steps.removals,
                  plan: planSteps(steps.removals), ring: ringLayout(steps.n),
                  order: {}, index: {}, leaveStep: [] };
    steps.seats.forEach(function (s, k) { model.index[s.num] = k; });
    steps.removals.forEach(function (r) { model.order[r.leaves] = r.order; });
    model.plan.forEach(function (s, i) { if (s.leave) model.leaveStep.push(i); });
    model.count = model.plan.length;
    return model;
  }

  /* ---------------------------------------------------------------- layout */

  /* trailOf(model, r, round): the seat indexes that turn r's count
   * passes, in order: the seats still in the ring, from seat r.from on
   * clockwise, up to seat r.leaves; when round, the whole ring once from
   * seat r.from (the count then goes on round it). */
  function trailOf(model, r, round) {
    var n = model.seats.length;
    var trail = [];
    var k = model.index[r.from];
    for (var j = 0; j < n; j++, k = (k + 1) % n) {
      var num = model.seats[k].num;
      if (model.order[num] >= r.order) trail.push(k);
      if (num === r.leaves && !round) break;
    }
    return trail;
  }

  /* stepState(model, i): what step i shows: {step (its plan entry), turn
   * (its removal), first (index of the turn's first seat), seat (index of
   * the seat the count is on), said (seat
   * index -> the number said there, for the seats this turn has counted so
   * far; on a jump only its first and last seat), gone (seat index -> true
   * when that person has left by this step), written (how many numbers
   * out.txt holds by this step)}. */
  function stepState(model, i) {
    var step = model.plan[i];
    var turn = model.removals[step.turn];
    var trail = trailOf(model, turn, step.round);
    var said = {};
    if (step.jump) {
      said[trail[0]] = 1;
      said[trail[trail.length - 1]] = step.said;
    } else {
      /* Going round, a seat keeps the latest number said there. */
      for (var j = 0; j < step.said; j++) said[trail[j % trail.length]] = j + 1;
    }
    var written = turn.order - (step.leave ? 0 : 1);
    var gone = {};
    model.seats.forEach(function (s, k) { if (model.order[s.num] <= written) gone[k] = true; });
    return { step: step, turn: turn, first: trail[0],
             seat: step.jump ? trail[trail.length - 1] : trail[(step.said - 1) % trail.length],
             laps: step.round ? Math.floor((step.said - 1) / trail.length) : 0,
             said: said, gone: gone, written: written };
  }

  /* stepWords(model, state): the words of a step: {centre: the short lines
   * for the middle of the ring, sentence: the step told in full}. */
  function stepWords(model, state) {
    var r = state.turn;
    var step = state.step;
    var num = model.seats[state.seat].num;
    var centre = ['第 ' + r.order + ' 轮 · 圈里 ' + r.size + ' 人', '报数上限 m = ' + r.count];
    var sentence = '';
    if (step.said === 1) {                    /* the turn's first step */
      sentence += r.order === 1
        ? model.n + ' 人围成一圈。第 1 轮从 ' + num + ' 号开始报数，报数上限是给定的 m = ' + r.count + '。'
        : '第 ' + r.order + ' 轮从 ' + num + ' 号（上一个出列者的下一位）开始报数，报数上限 m = ' +
          r.count + '（上一个出列者的报数上限）。';
      if (step.round) {
        sentence += '报数上限 ' + r.count + ' 大于圈里的 ' + r.size + ' 人：报到 ' + r.size + ' 以后回到 ' + num +
                    ' 号接着报，绕过一圈，报到 ' + r.count + ' 的人出列。图上一个座位一个座位地报；程序自己不这样绕：' +
                    '它算出 (' + r.count + '−1) mod ' + r.size + ' = ' + r.moves + '，只往后走 ' + r.moves +
                    ' 步，落在同一个人身上。';
      } else if (r.count > r.size) {
        sentence += '报数上限 ' + r.count + ' 大于圈里的 ' + r.size + ' 人：每绕满一圈都回到同一个人，所以程序只走 (' +
                    r.count + '−1) mod ' + r.size + ' = ' + r.moves + ' 步。';
      }
      if (r.moves > WALK_MAX) sentence += '要往后走 ' + r.moves + ' 步，下一步直接到终点。';
    }
    if (step.jump) {
      var jumped = ['走了 ' + r.moves + ' 步', '（报数 ' + r.count + '，对当前 ' + r.size + ' 人取余）'];
      centre.push(jumped[0], jumped[1]);
      sentence += jumped.join('') + '，落在 ' + num + ' 号。';
    }
    var last = step.round ? r.count : r.moves + 1;   /* the number said by the one who leaves */
    if (!step.leave) {
      centre.push(num + ' 号报 ' + step.said);
      return { centre: centre, sentence: sentence + (step.said > 1 ? '第 ' + r.order + ' 轮：' : '') + num + ' 号报 ' +
                                         step.said + (state.laps ? '（绕过一圈了）' : '') + '；报到 ' + last + ' 的人出列。' };
    }
    if (step.round) {
      centre.push('(' + r.count + '−1) mod ' + r.size + ' = ' + r.moves);
      sentence += '绕过一圈，报到 ' + r.count + '：和程序算出的 (' + r.count + '−1) mod ' + r.size + ' = ' + r.moves +
                  ' 步落在同一个人。';
    }
    centre.push(num + ' 号出列（第 ' + r.order + ' 个）', r.order < model.n ? '下一轮 m = ' + r.next : '全部出列');
    sentence += num + ' 号报 ' + step.said + '，出列：他是第 ' + r.order + ' 个出列的人，out.txt 写下 ' + num + '。' +
                (r.order < model.n
                  ? '他的报数上限 ' + r.next + ' 成为下一轮的报数上限 m，下一轮从他后面的人报 1。'
                  : '圈里没有人了，out.txt 写完，运行结束。');
    return { centre: centre, sentence: sentence };
  }

  /* seatPoint(ring, k, out): {x, y}, the point at seat index k's angle,
   * out pixels outside the circle through the seats (inside when out is
   * negative). */
  function seatPoint(ring, k, out) {
    var r = ring.radius + out;
    return { x: round(ring.cx + r * Math.cos(ring.angles[k])), y: round(ring.cy + r * Math.sin(ring.angles[k])) };
  }

  /* countPath(ring, from, to, out, laps): the "d" of the count's way from
   * seat index from clockwise to seat index to, out pixels outside the
   * circle through the seats: laps whole rounds first (each two half
   * circles), then the arc; each part a subpath of its own. */
  function countPath(ring, from, to, out, laps) {
    var n = ring.angles.length;
    var r = ring.radius + out;
    var a = seatPoint(ring, from, out);
    var half = seatPoint(ring, (from + Math.floor(n / 2)) % n, out);
    var parts = [];
    /* The first half goes floor(n/2) seats on, the second the rest of the
     * way round: at least half the circle. */
    for (var lap = 0; lap < laps; lap++) parts.push(D.arcPath(a, half, r, false), D.arcPath(half, a, r, true));
    if (from !== to) parts.push(D.arcPath(a, seatPoint(ring, to, out), r, (to - from + n) % n > n / 2));
    return parts.join(' ');
  }

  /* sideAnchor(ring, k): the text-anchor of a label outside seat index k,
   * so that it reads away from the ring: start on the right, end on the
   * left, middle at the top and the bottom. */
  function sideAnchor(ring, k) {
    var c = Math.cos(ring.angles[k]);
    return c > 0.3 ? 'start' : c < -0.3 ? 'end' : 'middle';
  }

  /* --------------------------------------------------------------- drawing */

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

  /* seatLook(state, k): the look of seat index k at this step. */
  function seatLook(state, k) {
    if (state.gone[k]) return state.step.leave && k === state.seat ? LEAVING : GONE;
    return state.said[k] !== undefined ? COUNTED : SEATED;
  }

  /* drawSeat(model, state, k): seat index k as an SVG group: its circle with
   * its number, its step value outside, and inside either the number it
   * said in this turn or its leaving number. Carries data-num, and
   * data-left (its leaving number) once it has left. */
  function drawSeat(model, state, k) {
    var ring = model.ring;
    var seat = model.seats[k];
    var look = seatLook(state, k);
    var here = k === state.seat;
    var g = svgEl('g', { class: 'seat', 'data-num': seat.num });
    if (state.gone[k]) g.setAttribute('data-left', model.order[seat.num]);
    var place = ring.places[k];
    var c = place.centre;
    var stroke = here ? (state.gone[k] ? LEAVE_COLOR : COUNT_COLOR) : look.stroke;
    g.appendChild(svgEl('circle', { cx: c.x, cy: c.y, r: SEAT, fill: look.fill, stroke: stroke,
                                    'stroke-width': here ? 3.5 : 1.5 }));
    g.appendChild(label(c.x, c.y, String(seat.num), 14, { fill: look.text, 'font-weight': 'bold' }));
    var s = place.step;
    var next = here && state.step.leave;
    g.appendChild(label(s.x, s.y, String(seat.step), next ? 15 : 13,
                        { fill: look.step, 'font-weight': next ? 'bold' : 'normal', 'text-anchor': place.anchor }));
    var inner = place.inner;
    if (state.gone[k]) {
      g.appendChild(badge(inner, '出' + model.order[seat.num], look === LEAVING ? LEAVE_COLOR : '#6b7280', true));
    } else if (state.said[k] !== undefined) {
      g.appendChild(badge(inner, String(state.said[k]), COUNT_COLOR, false));
    }
    return g;
  }

  /* drawBars(model, state): the seats of a ring too large for labels, as
   * one group of short radial bars, each carrying data-num, and data-left
   * once it has left; the seat the count is on, and on a jump its first
   * seat, get a dot and their number outside. */
  function drawBars(model, state) {
    var ring = model.ring;
    var g = svgEl('g', { 'stroke-width': round(Math.min(6, ring.spacing * 0.7)) });
    var marked = [];
    model.seats.forEach(function (seat, k) {
      var a = ring.places[k].from;
      var b = ring.places[k].to;
      var bar = svgEl('line', { x1: a.x, y1: a.y, x2: b.x, y2: b.y, stroke: seatLook(state, k).bar,
                                'data-num': seat.num });
      if (state.gone[k]) bar.setAttribute('data-left', model.order[seat.num]);
      g.appendChild(bar);
      if (k === state.seat || (state.step.jump && k === state.first)) marked.push(k);
    });
    marked.forEach(function (k) {
      var color = state.gone[k] ? LEAVE_COLOR : COUNT_COLOR;
      var place = ring.places[k];
      g.appendChild(svgEl('circle', { cx: place.dot.x, cy: place.dot.y, r: 5, fill: color }));
      g.appendChild(label(place.text.x, place.text.y, model.seats[k].num + ' 号', 13,
                          { fill: color, 'font-weight': 'bold', 'text-anchor': place.anchor }));
    });
    return g;
  }

  /* drawCount(model, state): the way of this turn's count, from its first
   * seat round to the seat it is on (dashed on a jump), with an arrowhead;
   * null while it is on its first seat and has not gone round. */
  function drawCount(model, state) {
    var ring = model.ring;
    if (state.first === state.seat && !state.laps) return null;
    var out = ring.labels ? -SEAT - 32 : -22;
    var attrs = { d: countPath(ring, state.first, state.seat, out, state.laps), fill: 'none', stroke: COUNT_COLOR,
                  'stroke-width': 2.5, 'marker-end': 'url(#josephus-arrow)' };
    if (state.step.jump) attrs['stroke-dasharray'] = '7 5';
    return svgEl('path', attrs);
  }

  /* drawWords(model, words): the centre lines, and under the ring its
   * legend. */
  function drawWords(model, words) {
    var ring = model.ring;
    var g = svgEl('g', { class: 'words' });
    var top = ring.cy - (words.centre.length - 1) * 12;
    words.centre.forEach(function (line, j) {
      g.appendChild(label(ring.cx, top + j * 24, line, j === 0 ? 14 : 16,
                          { fill: j === 0 ? '#5b6578' : INK, 'font-weight': j === 0 ? 'normal' : 'bold' }));
    });
    var legend = ring.labels
      ? ['圈上：编号　圈外：报数上限', '内侧橙色圆：本轮报的数　内侧「出 k」：第 k 个出列']
      : ['共 ' + model.n + ' 人，座位太多，不标编号和报数上限', '灰色：已出列　橙色：本轮报过数　出列顺序见 out.txt'];
    legend.forEach(function (line, j) {
      g.appendChild(label(ring.cx, ring.height - 34 + j * 18, line, 12, { fill: '#5b6578' }));
    });
    return g;
  }

  /* fillText(model, view): the picture's text, made once per run: the
   * step's sentence and the line of out.txt, each number a button to the
   * step on which it is written. */
  function fillText(model, view) {
    var el = DsdUi.el;
    model.sentence = el('p', { className: 'josephus-sentence' });
    model.numbers = model.removals.map(function (r, j) {
      var span = el('span', { className: 'josephus-number', textContent: String(r.leaves),
                              title: '第 ' + r.order + ' 个出列：跳到这一步', 'data-order': String(r.order) });
      span.addEventListener('click', function () { view.go(model.leaveStep[j]); });
      return span;
    });
    model.empty = el('span', { className: 'josephus-empty', textContent: '（还没有人出列）' });
    view.text.appendChild(model.sentence);
    view.text.appendChild(el('h4', { className: 'josephus-heading',
                                     textContent: 'out.txt（出列顺序；点一个数，跳到他出列的那一步）' }));
    view.text.appendChild(el('div', { className: 'josephus-out' }, [model.empty].concat(model.numbers)));
    if (!model.ring.labels) {
      view.text.appendChild(el('p', { className: 'picture-note',
        textContent: '人数超过 ' + LABEL_MAX + '，图上只标出正在报数和出列的座位；完整的出列顺序见上面的 out.txt。' }));
    }
  }

  /* draw(model, i, view): step i: the ring, the count, the words, and the
   * written part of out.txt with its latest number marked. */
  function draw(model, i, view) {
    var ring = model.ring;
    var state = stepState(model, i);
    var words = stepWords(model, state);
    var svg = D.canvas(view.svg, ring.width, ring.height);
    svg.appendChild(svgEl('defs', {}, undefined)).appendChild(D.arrowHead('josephus-arrow', COUNT_COLOR, 9));
    svg.appendChild(svgEl('circle', { cx: ring.cx, cy: ring.cy, r: ring.radius, fill: 'none',
                                      stroke: '#d5dbe5', 'stroke-width': 1 }));
    var arc = drawCount(model, state);
    if (arc) svg.appendChild(arc);
    var seats = svgEl('g');
    if (ring.labels) model.seats.forEach(function (s, k) { seats.appendChild(drawSeat(model, state, k)); });
    else seats.appendChild(drawBars(model, state));
    seats.setAttribute('class', 'josephus-ring');
    seats.setAttribute('data-n', model.n);
    seats.setAttribute('data-written', state.written);
    svg.appendChild(seats);
    svg.appendChild(drawWords(model, words));

    if (view.first) fillText(model, view);
    model.sentence.textContent = words.sentence;
    model.empty.hidden = state.written > 0;
    model.numbers.forEach(function (span, j) {
      span.hidden = j >= state.written;
      span.className = 'josephus-number' + (j === state.written - 1 ? ' current' : '');
    });
  }

  /* describe(model, i): step i's sentence, and where the program did it:
   * the unlinking of the seat that leaves, or the count. */
  function describe(model, i) {
    var state = stepState(model, i);
    var turn = state.turn;
    return { caption: stepWords(model, state).sentence,
             src: (state.step.leave ? turn.src : turn.countSrc) || null };
  }

  /* quiz(model, i): the practice question before step i: when step i-1
   * is a turn's first seat (报 1) and the turn still has seats to count,
   * which seat leaves; the count is given, the answer is the step
   * writer's leaving seat, and the whole turn is shown once answered. */
  function quiz(model, i) {
    var before = model.plan[i - 1];
    if (!before || before.said !== 1 || before.leave) return null;
    var turn = model.removals[before.turn];
    var seated = model.seats.filter(function (s) { return model.order[s.num] >= turn.order; });
    var q = { ask: '第 ' + turn.order + ' 轮从 ' + turn.from + ' 号报 1，报到 m = ' + turn.count +
                   '（圈里还有 ' + turn.size + ' 人）：哪个座位出列？点那个座位，或按下面的号码。',
              key: 'leave:' + turn.order, answer: String(turn.leaves), shown: turn.leaves + ' 号', pick: 'data-num',
              then: model.leaveStep[before.turn] };
    if (seated.length <= 48) {
      q.options = seated.map(function (s) { return { value: String(s.num), label: s.num + ' 号' }; });
    }
    return [q];
  }

  DsdPicture.attach(DsdJosephusTab, { steps: true, build: build, draw: draw, describe: describe, quiz: quiz });
})();
