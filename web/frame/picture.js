/* picture.js -- the frame every picture of the page shares: after each run
 * it gets the steps of the technique from the program's own run, and gives
 * the picture the controls to walk through them.
 *
 * Each picture (<program>/picture.js) calls DsdPicture.attach(tab, picture):
 *   steps          true when the picture needs the program's step writer:
 *                  the browser build links it beside main as WriteSteps,
 *                  and the worker runs it after main, on the same input in
 *                  a fresh instance, in the same request (engine.js); its
 *                  stdout is one JSON text whose strings hold one byte per
 *                  character (bytes >= 0x80 as \u00XX escapes); 'optional'
 *                  when the picture uses it where the build has one and
 *                  draws without it otherwise (build then gets null)
 *   build(run, steps)  returns the picture's model: {count, ...} with count
 *                  the number of steps, or {note} with a sentence that says
 *                  why there is nothing to draw (the text stays)
 *   draw(model, i, view)  draws step i (0 to count-1) into view.svg (an
 *                  <svg> element, emptied before each call) and marks it in
 *                  view.text (a <div> the picture fills with its text once,
 *                  in view.first === true); returns nothing
 *   describe(model, i)  returns {caption, src} for step i: caption the
 *                  sentence the picture shows for it, src where in the
 *                  program's own source the step was done ({file, line,
 *                  func, chain}, from the step record), or null
 *   jump(model, step)  optional: the picture's step for the 对照 panel's
 *                  step (an evaluator step or a bitree choice)
 * The picture's text calls view.go(i) when a row or a character is clicked.
 * The drawing primitives all four share (text, measuring, arcs, byte labels,
 * the font, the size and background) are DsdDraw, draw/common.js.
 *
 * State across steps is kept one way in every picture: on its model. What
 * lasts from one step to the next (the elements of the text beside the
 * picture, what it marked last) is made by build() or by draw() when
 * view.first, stored on the model, and read by draw() at each step; a new
 * run's model starts afresh. The frame keeps only the step on screen.
 *
 * The frame draws the code panel (code-panel.js) beside the picture from
 * describe(): the program's own C++ of the function that did the step,
 * its line marked, and the calls that led there. The caption becomes the
 * picture's accessible name.
 *
 * Nothing here or in a picture recomputes a technique: every picture draws
 * what the program's run or its step writer reported.
 *
 * The controls: first, back, forward, last, play/pause and speed. The step
 * is kept in the address's # part (…&step=N, counted from 1), so a link
 * reopens the same step. Full screen, the keys, the spoken step and saving
 * the picture are present.js's. */
var DsdPicture = (function () {
  'use strict';
  var el = DsdUi.el;
  var SVG = 'http://www.w3.org/2000/svg';
  var svgEl = DsdDraw.svgEl;
  var SPEEDS = [['慢', 1500], ['中', 700], ['快', 250]];

  /* bytesOf(s): the bytes of a step writer's string (one byte per
   * character) as a Uint8Array. */
  function bytesOf(s) {
    var out = new Uint8Array(s.length);
    for (var i = 0; i < s.length; i++) out[i] = s.charCodeAt(i) & 0xff;
    return out;
  }

  /* gbkText(s): a step writer's byte string shown as text, decoded as GBK. */
  function gbkText(s) {
    return DsdGbk.decode(bytesOf(s));
  }

  /* parseSteps(result): the step writer's JSON, or {error} with a message.
   * Its stdout is ASCII (the bytes >= 0x80 of its strings come as \u00XX),
   * so one decode gives the text. */
  function parseSteps(result) {
    if (!result) return { error: '没有步骤记录' };
    if (result.crash) return { error: result.crash };
    try {
      return JSON.parse(new TextDecoder('ascii').decode(result.stdout));
    } catch (e) {
      return { error: '步骤记录无法读取（状态 ' + result.status + '）' };
    }
  }

  /* noteFor(run): why a run that has no result (or whose instance
   * failed) has no picture. */
  function noteFor(run) {
    if (run.refused) return '输入没有交给程序（原因见上面的提示），所以没有图解。';
    if (run.stopped) return '运行已停止，所以没有图解。';
    return '程序没有运行完（' + (run.error || run.result.crash) + '），所以没有图解。';
  }

  /* hashStep(program): the step (from 0) that the address names for
   * program's tab, or -1. */
  function hashStep(program) {
    var step = DsdUi.hashPart(program, 'step');
    return step && /^\d+$/.test(step) ? Number(step) - 1 : -1;
  }

  /* attach(tab, picture): adds the picture to the tab; see above. */
  function attach(tab, picture) {
    var box = tab.pictureBox;
    var svg = svgEl('svg', { class: 'picture-svg', width: 10, height: 10 });
    var text = el('div', { className: 'picture-text' });
    var note = el('p', { className: 'picture-note', hidden: true });
    var counter = el('span', { className: 'step-counter' });
    var buttons = {};
    var speed = el('select', { className: 'speed', title: '播放速度' });
    SPEEDS.forEach(function (s, i) { speed.appendChild(el('option', { value: String(s[1]), textContent: s[0], selected: i === 1 })); });
    var bar = el('div', { className: 'stepper' });
    /* Labels from characters that every Chinese font has. */
    [['first', '|◀ 第一步', '第一步'], ['back', '◀ 上一步', '上一步（←）'], ['play', '播放', '播放/暂停'],
     ['forward', '下一步 ▶', '下一步（→）'], ['last', '最后一步 ▶|', '最后一步']].forEach(function (b) {
      buttons[b[0]] = el('button', { type: 'button', className: 'step-' + b[0], textContent: b[1], title: b[2] });
      bar.appendChild(buttons[b[0]]);
    });
    bar.appendChild(el('label', {}, ['速度 ', speed]));
    bar.appendChild(counter);
    box.appendChild(el('h3', { textContent: '图解（由程序本次运行的结果画出）' }));
    box.appendChild(note);
    box.appendChild(bar);
    var canvas = el('div', { className: 'picture-canvas' }, [svg]);
    var body = el('div', { className: 'picture-body' }, [canvas]);
    box.appendChild(body);
    var code = DsdCodePanel.mount(body, tab.program);
    body.appendChild(text);

    var model = null;
    var current = 0;
    var timer = null;
    var view = { svg: svg, text: text, first: true, go: function (i) { stepTo(i); } };
    var linked = hashStep(tab.program);   /* the step a link opened with */

    var present = DsdPresent.mount({ tab: tab, box: box, bar: bar, canvas: canvas, svg: svg,
      go: function (i, quiet) { pause(); if (quiet) go(i, quiet); else stepTo(i); },
      state: function () {
        return model && { step: current, count: model.count, caption: picture.describe(model, current).caption };
      } });

    /* go(i, quiet): shows step i (clamped to the steps there are); quiet
     * leaves the address and the spoken step as they are. */
    function go(i, quiet) {
      if (!model || !model.count) return;
      current = Math.max(0, Math.min(model.count - 1, i));
      while (svg.firstChild) svg.removeChild(svg.firstChild);
      picture.draw(model, current, view);
      view.first = false;
      var about = picture.describe(model, current);
      svg.setAttribute('role', 'img');
      svg.setAttribute('aria-label', about.caption);
      code.show(about.src);
      counter.textContent = '第 ' + (current + 1) + ' / ' + model.count + ' 步';
      box.setAttribute('data-step', String(current));
      if (!quiet) DsdUi.setHashPart(tab.program, 'step', String(current + 1));
      present.shown(quiet);
    }

    /* 练习: the student does each next step first (practice.js). */
    var practice = DsdPractice.mount({ tab: tab, box: box, bar: bar, canvas: canvas, picture: picture,
      model: function () { return model; }, current: function () { return current; },
      go: function (i) { go(i); },
      caption: function (i) { return picture.describe(model, i).caption; } });

    /* stepTo(i): a change of step that the controls, the keys or a click
     * ask for; in practice mode the next step is asked first. */
    function stepTo(i) {
      if (!practice.active() || !model) { go(i); return; }
      pause();
      practice.step(Math.max(0, Math.min(model.count - 1, i)));
    }

    /* pause(): stops playing. */
    function pause() {
      if (timer) clearInterval(timer);
      timer = null;
      buttons.play.textContent = '播放';
    }

    buttons.first.addEventListener('click', function () { pause(); stepTo(0); });
    buttons.back.addEventListener('click', function () { pause(); stepTo(current - 1); });
    buttons.forward.addEventListener('click', function () { pause(); stepTo(current + 1); });
    buttons.last.addEventListener('click', function () { pause(); stepTo(model ? model.count - 1 : 0); });
    buttons.play.addEventListener('click', function () {
      if (timer || practice.active()) { pause(); return; }
      if (model && current >= model.count - 1) go(0);
      buttons.play.textContent = '暂停';
      timer = setInterval(function () {
        if (!model || current >= model.count - 1) pause();
        else go(current + 1);
      }, Number(speed.value));
    });
    speed.addEventListener('change', function () { if (timer) { pause(); buttons.play.click(); } });
    tab.onCompareStep = function (step) {
      if (model && picture.jump) go(picture.jump(model, step));
    };
    /* tab.linkStep(step, later): goes to the step a link names (counted
     * from 1, a string; null: none), now, or when later is true at the
     * next run drawn. */
    tab.linkStep = function (step, later) {
      var i = step && /^\d+$/.test(step) ? Number(step) - 1 : -1;
      if (later || !model) linked = i;
      else if (i >= 0) { pause(); go(i); }
    };

    /* show(built): puts a new model on screen, at the step the address
     * names or at the first. */
    function show(built) {
      pause();
      model = built && built.count ? built : null;
      note.hidden = !(built && built.note);
      note.textContent = built && built.note ? built.note : '';
      bar.hidden = !model;
      svg.style.display = model ? '' : 'none';
      text.textContent = '';
      view.first = true;
      box.setAttribute('data-count', model ? String(model.count) : '0');
      code.element.hidden = !model;
      if (!model) code.clear();
      if (model) go(Math.max(linked, 0));
      if (built) linked = -1;               /* later runs start at step 1 */
      practice.reset();
    }

    var draws = 0;   /* pictures put on screen, for the checks to wait on */
    /* showTimed(make): shows the model that make() returns, and notes on
     * the picture how long building it and drawing its first step took
     * (data-draw-ms, which the benchmark reads). */
    function showTimed(make) {
      var started = performance.now();
      show(make());
      box.setAttribute('data-draw-ms', (performance.now() - started).toFixed(1));
      box.setAttribute('data-draws', String(++draws));
    }

    /* Each run comes with its steps (engine.js runs the step writer in the
     * same request); a run with no result draws no picture. */
    tab.wantsSteps = !!picture.steps;
    tab.onRun.push(function (run) {
      if (run.error || run.result.crash) { showTimed(function () { return { note: noteFor(run) }; }); return; }
      if (!picture.steps) { showTimed(function () { return picture.build(run, null); }); return; }
      var steps = parseSteps(run.steps);
      if (steps.error && picture.steps === 'optional') steps = null;
      showTimed(function () { return steps && steps.error ? { note: steps.error } : picture.build(run, steps); });
    });
    show(null);
  }

  return { attach: attach, svgEl: svgEl, gbkText: gbkText, bytesOf: bytesOf };
})();
