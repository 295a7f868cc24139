/* practice.js -- 练习: the student does the next step of the picture, and
 * the program's own run grades it.
 *
 * The frame (picture.js) mounts one practice panel per picture. In practice
 * mode, a step forward first asks the questions of the step to come, with
 * the picture still at the step before: the frame hands over, through
 *
 *   frame.questions(i) -> [QUESTION, ...] or null   (the picture's
 *                                  questions(step, trace) of step i)
 *
 * what the student is to do, and the answer, read from the program's own
 * step record (never computed here or in the picture):
 *   QUESTION = {ask     the question, one Chinese sentence
 *               options [{value, label}]: the answers to choose from, as
 *                       buttons (a seat or node by its label, a relation,
 *                       an action); absent: the student types the answer
 *               pick    optional: the attribute (e.g. 'data-num') by which
 *                       a click on the picture's seat or node answers too:
 *                       the clicked element's value of it is the answer
 *               answer  the right value, from the step record
 *               shown   optional: the right answer as the verdict says it
 *                       (default: the option's label, or answer itself)
 *               why     optional: one Chinese sentence, why that answer is
 *                       right (default: the caption of the step it leads to)
 *               key     what the question is about, for the page's checks
 *                       (data-key on the question): e.g. 'leave:3'
 *               then    optional: the step to show once answered (default:
 *                       step i; a whole josephus turn shows its leaving)}
 * A right answer is announced 正确; a wrong one 错误 with the right answer,
 * and fix mode takes over, as in JSAV's exercises: the picture moves on to
 * the right step and the sentence says why. Either way the student goes on
 * from the program's state, never from a wrong one.
 *
 * The score reads right/asked (e.g. 4/5), with each step answered wrong as
 * a link to that step; 保存成绩 saves it as a small text file: the program,
 * the input, each question with its answer and verdict. Nothing is stored
 * outside the page.
 *
 * The first step has no step before it: its questions are asked when
 * practice starts there, with the picture hidden until they are answered.
 *
 * DsdPractice.mount(frame) with frame = {tab, box, bar, canvas, count(),
 * current(), questions(i), go(i), caption(i)} (count() 0: no steps on
 * screen) puts its 练习 button into the bar and
 * returns {active(), step(i), reset()}: while active() is true the frame
 * hands every change of step to step(i), which asks first when i is the
 * next step and otherwise drops the question; reset() is for a new run. */
var DsdPractice = (function () {
  'use strict';
  var el = DsdUi.el;

  /* mount(frame): the practice panel of one picture; see above. */
  function mount(frame) {
    var toggle = el('button', { type: 'button', className: 'practice-toggle', textContent: '练习',
                                'aria-pressed': 'false' });
    var panel = el('div', { className: 'practice', hidden: true });
    var ask = el('p', { className: 'practice-ask' });
    var options = el('div', { className: 'practice-options', role: 'group' });
    var typed = el('input', { type: 'text', className: 'practice-typed', spellcheck: false });
    var typedLabel = el('label', { className: 'practice-typed-label' }, ['你的答案：', typed]);
    var submit = el('button', { type: 'button', className: 'practice-submit', textContent: '回答' });
    var typedBox = el('p', { className: 'practice-typed-box' }, [typedLabel, submit]);
    var verdict = el('p', { className: 'practice-verdict', role: 'status', 'aria-live': 'polite' });
    var score = el('p', { className: 'practice-score' });
    var wrongList = el('ul', { className: 'practice-wrong' });
    var saveButton = el('button', { type: 'button', className: 'practice-save', textContent: '保存成绩' });
    panel.appendChild(el('h4', { textContent: '练习：先做下一步，再看程序怎么做' }));
    panel.appendChild(el('p', { className: 'practice-note', textContent:
      '每一问的正确答案都取自程序这次运行的步骤记录。答错时图解直接走到正确的那一步，并说明理由，你从那里继续。' }));
    [ask, options, typedBox, verdict, score, wrongList, saveButton].forEach(function (n) { panel.appendChild(n); });
    frame.bar.appendChild(toggle);
    frame.bar.parentNode.insertBefore(panel, frame.bar.nextSibling);   /* in sight above the picture */

    var on = false;
    var pending = null;   /* {step, questions, at}: the questions before step */
    var record = [];      /* {step, ask, given, shown, right} per answer */

    /* active(): true while practice mode is on. */
    function active() { return on; }

    /* reset(): forgets the answers; a new run or a new exercise starts
     * practice afresh from the step on screen. */
    function reset() {
      pending = null;
      frame.canvas.style.visibility = '';
      record = [];
      verdict.textContent = '';
      showScore();
      showQuestion();
      if (on) startAt0();
    }

    /* showScore(): the score line, the wrong steps as links, the save
     * button (only once something was answered). */
    function showScore() {
      var right = rightCount();
      score.textContent = record.length ? '得分：' + right + '/' + record.length : '';
      score.setAttribute('data-right', String(right));
      score.setAttribute('data-asked', String(record.length));
      wrongList.textContent = '';
      var steps = [];
      record.forEach(function (r) { if (!r.right && steps.indexOf(r.step) < 0) steps.push(r.step); });
      steps.forEach(function (step) {
        var link = el('a', { href: '#', className: 'practice-wrong-step', textContent: '第 ' + (step + 1) + ' 步答错了' });
        link.setAttribute('data-step', String(step));
        link.addEventListener('click', function (e) { e.preventDefault(); frame.go(step); });
        wrongList.appendChild(el('li', {}, [link]));
      });
      saveButton.hidden = !record.length;
    }

    /* showQuestion(): the current question, its buttons or its text box;
     * nothing when no question is pending. */
    function showQuestion() {
      options.textContent = '';
      typed.value = '';
      var q = pending && pending.questions[pending.at];
      ask.textContent = q ? q.ask : (on ? '按“下一步”（或 →）做下一题。' : '');
      if (q) ask.setAttribute('data-key', q.key); else ask.removeAttribute('data-key');
      typedBox.hidden = !q || !!q.options;
      if (!q || !q.options) return;
      q.options.forEach(function (o) {
        var b = el('button', { type: 'button', className: 'practice-option', textContent: o.label });
        b.setAttribute('data-value', String(o.value));
        b.addEventListener('click', function () { answer(String(o.value)); });
        options.appendChild(b);
      });
    }

    /* labelOf(q, value): an answer to q as the student sees it: its
     * button's label, or what was typed. */
    function labelOf(q, value) {
      var o = (q.options || []).filter(function (x) { return String(x.value) === String(value); })[0];
      return o ? o.label : String(value);
    }

    /* shownAnswer(q): the right answer of q as the verdict says it. */
    function shownAnswer(q) {
      return q.shown || labelOf(q, q.answer);
    }

    /* rightCount(): how many answers so far were right. */
    function rightCount() {
      return record.filter(function (r) { return r.right; }).length;
    }

    /* askBefore(i, questions): puts the questions before step i to the student;
     * the picture is hidden while they are about the step on screen. */
    function askBefore(i, questions) {
      pending = { step: i, questions: questions, at: 0 };
      frame.canvas.style.visibility = i === frame.current() ? 'hidden' : '';
      verdict.textContent = '';
      showQuestion();
    }

    /* answer(value): grades value against the pending question; after the
     * step's last question, or after a wrong answer, shows the step. */
    function answer(value) {
      var q = pending && pending.questions[pending.at];
      if (!q) return;
      var given = String(value).trim();
      var right = given === String(q.answer);
      var then = q.then === undefined ? pending.step : q.then;
      var why = q.why || frame.caption(then);
      record.push({ step: pending.step, ask: q.ask, given: labelOf(q, given), shown: shownAnswer(q), right: right });
      verdict.textContent = right ? '正确。' + why
                                  : '错误。正确答案是 ' + shownAnswer(q) + '。' + why;
      verdict.className = 'practice-verdict ' + (right ? 'right' : 'wrong');
      pending.at++;
      if (!right || pending.at >= pending.questions.length) {
        pending = null;
        frame.canvas.style.visibility = '';
        frame.go(then);
      }
      showScore();
      showQuestion();
    }

    /* startAt0(): practice started on the first step: its questions, with
     * the picture hidden. */
    function startAt0() {
      var questions = frame.count() && frame.current() === 0 ? frame.questions(0) : null;
      if (questions && questions.length) askBefore(0, questions);
    }

    /* step(i): in practice mode, a change to step i: the next step asks
     * its questions first (or is shown when it has none); any other step
     * is shown, and a pending question is dropped. */
    function step(i) {
      if (!frame.count()) return;
      if (pending && i === pending.step) return;   /* answer the question first */
      pending = null;
      frame.canvas.style.visibility = '';
      var questions = i === frame.current() + 1 ? frame.questions(i) : null;
      if (questions && questions.length) { askBefore(i, questions); return; }
      frame.go(i);
      showQuestion();
    }

    submit.addEventListener('click', function () { answer(typed.value); });
    typed.addEventListener('keydown', function (e) { if (e.key === 'Enter') answer(typed.value); });
    /* A click on a seat or node of the picture answers a pick question. */
    frame.box.addEventListener('click', function (e) {
      var q = pending && pending.questions[pending.at];
      if (!q || !q.pick || !e.target.closest) return;
      var target = e.target.closest('[' + q.pick + ']');
      if (target) answer(target.getAttribute(q.pick));
    });
    toggle.addEventListener('click', function () {
      on = !on;
      toggle.setAttribute('aria-pressed', String(on));
      panel.hidden = !on;
      reset();
    });
    saveButton.addEventListener('click', function () {
      var right = rightCount();
      var last = frame.tab.last;
      var lines = ['程序：' + frame.tab.program, '命令：' + (last ? last.command : '')];
      /* The input itself, as the program got it (its first 4 KB). */
      var given = last && last.request ? (last.request.files || []).concat(
        last.request.stdin && last.request.stdin.length ? [{ path: '键盘输入', data: last.request.stdin }] : []) : [];
      given.forEach(function (f) {
        lines.push('输入 ' + f.path + '：', DsdGbk.decode(f.data.subarray(0, 4096)).replace(/\s+$/, ''));
      });
      lines.push('得分：' + right + '/' + record.length, '');
      record.forEach(function (r) {
        lines.push('第 ' + (r.step + 1) + ' 步　' + r.ask + '　你的答案：' + r.given + '　' +
                   (r.right ? '正确' : '错误，正确答案：' + r.shown));
      });
      var a = DsdUi.downloadLink(frame.tab.program + '-练习成绩.txt', new TextEncoder().encode(lines.join('\n') + '\n'));
      document.body.appendChild(a);
      a.click();
      a.remove();
    });
    return { active: active, step: step, reset: reset };
  }

  return { mount: mount };
})();
