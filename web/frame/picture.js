/* picture.js -- the frame every picture of the page shares: after each run
 * it gets the trace of the technique from the program's own step writer,
 * and gives the picture the controls to walk through its steps.
 *
 * THE PICTURE CONTRACT. A picture (<name>/picture.js) draws one step of the
 * trace and nothing else; the frame does the rest for every picture alike.
 * The trace is the step writer's envelope (lab/README.md), parsed in the
 * worker:
 *
 *   trace = {program, ok, stopped, input, steps: [STEP, ...], outputs}
 *   STEP  = {kind, src: {file, line, func}, chain: [func, ...], at?, ...state}
 *
 * to which the frame adds `outputs`, the run's own output as bytes:
 * {stdout: Uint8Array, files: [{path, data: Uint8Array}]} (the files the
 * run wrote), for a picture that shows them beside the step.
 *
 * The picture calls DsdPicture.attach(tab, picture) with:
 *   render(step, view, trace)  draws step into view.svg (an <svg>, emptied
 *                  before each call) and view.text (a <div> beside it,
 *                  emptied for each new run), from the step and trace.input
 *                  alone. It may keep on view.cache what it built from the
 *                  trace's fixed part (input, outputs); the frame empties
 *                  view.cache for each new run, and nothing of another step
 *                  is ever kept there. view.go(i) moves to step i (a click on
 *                  a row or a character of the text); view.side is a <div>
 *                  below the picture for what stands beside it (an output
 *                  file so far), emptied for each new run; view.slideLines
 *                  is an array the picture may fill at each render with the
 *                  lines that belong on a slide with the step (present.js).
 *   caption(step, trace)    the sentence that says what the step did; it is
 *                  also the picture's accessible name and the slide's text.
 *   questions(step, trace)  optional: the practice questions asked before
 *                  step is shown (QUESTION in practice.js), made from the
 *                  step alone; null or [] when it asks nothing. Each
 *                  kind of step the picture draws asks something. While
 *                  a question is open the frame shows the step before
 *                  (the first step: nothing of it) and keeps the run's
 *                  whole outputs and view.side out of sight, so a side
 *                  panel that shows a whole output gives nothing away.
 *   note(trace)    optional: a sentence when the trace has no step to draw.
 * An element of the picture or its text that goes to a step when clicked
 * carries the attribute data-go (present.js gives each such element a
 * place in the keyboard's order). A picture never touches the tab's DOM:
 * the rows of the tab's output view that carry data-at="n" (the tab writes
 * them) are marked by the frame (aria-current="step") while the step on
 * screen has at n, and a click on one goes to that unit's step.
 *
 * The frame, for every picture: counts the steps (trace.steps.length);
 * moves between them (first, back, forward, last, play/pause and speed),
 * keeping the step in the address's # part (…&step=N, counted from 1) so a
 * link reopens it; jumps for the 对照 panel (tab.onCompareStep(n): the
 * first step whose `at` is n, else the last one before it); shows the code
 * panel (code-panel.js) from step.src and step.chain; asks practice's
 * questions (practice.js); says why a trace is short: a run refused or
 * stopped (ok false: the last step says what went wrong), a record cut at
 * the writer's bound (stopped "bound": the first N steps), or the
 * picture's note(trace). Full screen, the keys, the spoken step and saving
 * the picture are present.js's.
 *
 * Nothing here or in a picture recomputes a technique: every picture draws
 * what the program's step writer reported.
 */
var DsdPicture = (function () {
  'use strict';
  var el = DsdUi.el;
  var svgEl = DsdDraw.svgEl;
  var SPEEDS = [['慢', 1500], ['中', 700], ['快', 250]];

  /* gbkText(s): a step writer's byte string (one byte per character) shown
   * as text, decoded as GBK. */
  function gbkText(s) {
    var bytes = new Uint8Array(s.length);
    for (var i = 0; i < s.length; i++) bytes[i] = s.charCodeAt(i) & 0xff;
    return DsdGbk.decode(bytes);
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
    var step = DsdAddress.part(program, 'step');
    return step && /^\d+$/.test(step) ? Number(step) - 1 : -1;
  }

  /* ------------------------------------------------------ the two contracts */

  /* traced(picture, run): the shown trace of a run for a picture of the
   * contract above: {count, render(i, view), describe(i), questions(i),
   * jump(n), note}, or {note} alone when there is no step to draw. */
  function traced(picture, run) {
    var trace = run.trace;
    if (!trace) return { note: run.stepsError || '没有步骤记录，所以没有图解。' };
    var r = run.result;
    trace.outputs = { stdout: r.stdout, files: r.files };
    var steps = trace.steps || [];
    var notes = [];
    if (trace.ok === false && steps.length) notes.push('程序没有正常结束：最后一步说明出了什么问题。');
    if (trace.stopped === 'bound') notes.push('这次运行太长：步骤记录只保存了前 ' + steps.length + ' 步。');
    else if (trace.stopped) notes.push('步骤记录在“' + trace.stopped + '”处停下，没有记完。');
    if (!steps.length) {
      var said = picture.note ? picture.note(trace) : '';
      notes.push(said || '这次运行没有可画的步骤。');
      return { note: notes.join('') };
    }
    return {
      count: steps.length,
      note: notes.join(''),
      render: function (i, view) { picture.render(steps[i], view, trace); },
      describe: function (i) {
        var s = steps[i];
        return { caption: picture.caption(s, trace),
                 src: s.src ? Object.assign({}, s.src, { chain: s.chain || [] }) : null };
      },
      questions: function (i) { return picture.questions ? picture.questions(steps[i], trace) : null; },
      /* jump(n): the first step whose at is n, else the last before it. */
      jump: function (n) {
        var before = 0;
        for (var i = 0; i < steps.length; i++) {
          if (steps[i].at === n) return i;
          if (typeof steps[i].at === 'number' && steps[i].at < n) before = i;
        }
        return before;
      },
      at: function (i) { return steps[i].at; }
    };
  }

  /* ------------------------------------------------------------ the frame */

  /* attach(tab, picture): adds the picture to the tab; see above. */
  function attach(tab, picture) {
    var box = tab.pictureBox;
    var svg = svgEl('svg', { class: 'picture-svg', width: 10, height: 10 });
    var text = el('div', { className: 'picture-text' });
    var side = el('div', { className: 'picture-side' });
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
    box.appendChild(side);

    var shown = null;   /* the run's steps as traced() made them */
    var shownRun = null;   /* the run they were made from */
    var current = 0;
    var timer = null;
    var view = { svg: svg, text: text, side: side, cache: {}, slideLines: [], first: true,
                 go: function (i) { stepTo(i); } };
    var linked = hashStep(tab.program);   /* the step a link opened with */

    var present = DsdPresent.mount({ tab: tab, box: box, bar: bar, canvas: canvas, svg: svg,
      go: function (i, quiet) { pause(); if (quiet) go(i, quiet); else stepTo(i); },
      run: function () { return shown ? shownRun : null; },
      state: function () {
        return shown && { step: current, count: shown.count, caption: shown.describe(current).caption,
                          lines: view.slideLines.slice() };
      } });

    /* markOutput(): marks the rows of the tab's output view that belong
     * to the step on screen (data-at equal to its at), and unmarks those
     * marked before. */
    var markedRows = [];
    function markOutput() {
      markedRows.forEach(function (row) { row.removeAttribute('aria-current'); });
      var at = shown ? shown.at(current) : undefined;
      markedRows = at === undefined ? [] : Array.prototype.filter.call(
        tab.section.querySelectorAll('[data-at="' + at + '"]'), function (row) { return !box.contains(row); });
      markedRows.forEach(function (row) { row.setAttribute('aria-current', 'step'); });
    }

    /* go(i, quiet): shows step i (clamped to the steps there are); quiet
     * leaves the address and the spoken step as they are. */
    function go(i, quiet) {
      if (!shown) return;
      current = Math.max(0, Math.min(shown.count - 1, i));
      while (svg.firstChild) svg.removeChild(svg.firstChild);
      view.slideLines = [];
      shown.render(current, view);
      view.first = false;
      var about = shown.describe(current);
      svg.setAttribute('role', 'img');
      svg.setAttribute('aria-label', about.caption);
      code.show(about.src);
      counter.textContent = '第 ' + (current + 1) + ' / ' + shown.count + ' 步';
      box.setAttribute('data-step', String(current));
      markOutput();
      if (!quiet) DsdAddress.set(tab.program, 'step', String(current + 1));
      present.shown(quiet);
    }

    /* ------------------------------------------------------ practice */

    /* The run's whole outputs outside the picture, which practice keeps
     * out of sight: the output view, the 对照 panel, a console's screen. */
    var WHOLE = '.output, .compare, .console-screen';

    /* practising(on): practice keeps every whole output out of sight (an
     * open question's answer, and every later one, is in it), the
     * picture's side panel included; the picture's own words show only
     * what its step had done. */
    function practising(on) {
      Array.prototype.forEach.call(tab.section.querySelectorAll(WHOLE), function (n) {
        if (!box.contains(n)) n.style.display = on ? 'none' : '';
      });
      side.style.display = on ? 'none' : '';
    }

    /* veil(on): hides the step on screen, while its own questions are
     * open (the first step's): everything of the box that tells of it (the
     * picture, its words, the code mark, the spoken and full-screen
     * sentence) but the heading, the controls and the practice panel. */
    function veil(on) {
      Array.prototype.forEach.call(box.children, function (n) {
        if (n === bar || n.tagName === 'H3' || n.classList.contains('practice')) return;
        n.style.visibility = on ? 'hidden' : '';
      });
      counter.style.visibility = on ? 'hidden' : '';
    }

    /* regrade(request): the steps of the program's own run of request, as
     * this picture makes them, for 核对成绩: a Promise of {count,
     * questions(i)} or {error}. */
    function regrade(request) {
      return DsdEngine.run(tab.program, request, true).then(function (answer) {
        if (answer.error) return { error: answer.error };
        if (answer.result.crash) return { error: answer.result.crash };
        var run = { request: request, result: answer.result, trace: answer.trace || null,
                    stepsError: answer.stepsError || null, error: null };
        var made = traced(picture, run);
        return made.count ? made : { error: made.note || '这次运行没有步骤' };
      });
    }

    /* 练习: the student does each next step first (practice.js). */
    var practice = DsdPractice.mount({ tab: tab, box: box, bar: bar,
      count: function () { return shown ? shown.count : 0; },
      current: function () { return current; },
      questions: function (i) { return shown ? shown.questions(i) : null; },
      go: function (i) { go(i); },
      caption: function (i) { return shown.describe(i).caption; },
      veil: veil, practising: practising, regrade: regrade });

    /* stepTo(i): a change of step that the controls, the keys or a click
     * ask for; in practice mode the next step is asked first. */
    function stepTo(i) {
      if (!practice.active() || !shown) { go(i); return; }
      pause();
      practice.step(Math.max(0, Math.min(shown.count - 1, i)));
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
    buttons.last.addEventListener('click', function () { pause(); stepTo(shown ? shown.count - 1 : 0); });
    buttons.play.addEventListener('click', function () {
      if (timer || practice.active()) { pause(); return; }
      if (shown && current >= shown.count - 1) go(0);
      buttons.play.textContent = '暂停';
      timer = setInterval(function () {
        if (!shown || current >= shown.count - 1) pause();
        else go(current + 1);
      }, Number(speed.value));
    });
    speed.addEventListener('change', function () { if (timer) { pause(); buttons.play.click(); } });
    /* The 对照 panel's unit n (a trace row, a choice, a pass, a leaving). */
    tab.onCompareStep = function (n) {
      var i = shown ? shown.jump(n) : null;
      if (typeof i === 'number') { pause(); go(i); }
    };
    /* A click on a row of the tab's output view that names its unit. */
    tab.section.addEventListener('click', function (e) {
      var row = e.target.closest ? e.target.closest('[data-at]') : null;
      if (row && !box.contains(row) && /^\d+$/.test(row.getAttribute('data-at'))) {
        tab.onCompareStep(Number(row.getAttribute('data-at')));
      }
    });
    /* tab.linkStep(step, later): goes to the step a link names (counted
     * from 1, a string; null: none), now, or when later is true at the
     * next run drawn. */
    tab.linkStep = function (step, later) {
      var i = step && /^\d+$/.test(step) ? Number(step) - 1 : -1;
      if (later || !shown) linked = i;
      else if (i >= 0) { pause(); go(i); }
    };

    /* show(made): puts a new run's steps on screen, at the step the
     * address names or at the first; made null: nothing yet. */
    function show(made) {
      pause();
      shown = made && made.count ? made : null;
      note.hidden = !(made && made.note);
      note.textContent = made && made.note ? made.note : '';
      bar.hidden = !shown;
      svg.style.display = shown ? '' : 'none';
      text.textContent = '';
      side.textContent = '';
      view.cache = {};
      view.first = true;
      box.setAttribute('data-count', shown ? String(shown.count) : '0');
      code.element.hidden = !shown;
      if (!shown) { code.clear(); markOutput(); }
      if (shown) go(Math.max(linked, 0));
      if (made) linked = -1;               /* later runs start at step 1 */
      practice.reset();
    }

    var draws = 0;   /* pictures put on screen, for the checks to wait on */
    /* showTimed(make): shows what make() returns, and notes on the picture
     * how long making it and drawing its first step took (data-draw-ms,
     * which the benchmark reads). */
    function showTimed(make) {
      var started = performance.now();
      show(make());
      box.setAttribute('data-draw-ms', (performance.now() - started).toFixed(1));
      box.setAttribute('data-draws', String(++draws));
    }

    /* Each run comes with its trace (the worker runs the step writer in
     * the same request and parses it); a run with no result draws none. */
    tab.wantsSteps = true;
    tab.onRun.push(function (run) {
      shownRun = run;
      if (run.error || run.result.crash) { showTimed(function () { return { note: noteFor(run) }; }); return; }
      showTimed(function () { return traced(picture, run); });
    });
    show(null);
  }

  return { attach: attach, svgEl: svgEl, gbkText: gbkText };
})();
