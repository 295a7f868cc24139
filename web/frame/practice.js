/* practice.js -- 练习: the student does the next step of the picture, and
 * the program's own run grades it; 核对成绩 grades a saved score again.
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
 *               why     optional: one Chinese sentence on this question's
 *                       answer alone, never on a later question of the
 *                       step (default: none while the step still has
 *                       questions to ask; the caption of the step shown
 *                       once the step is on screen)
 *               key     what the question is about, for the page's checks
 *                       (data-key on the question): e.g. 'leave:3'
 *               then    optional: the step to show once answered (default:
 *                       step i)}
 * A right answer is announced 正确; a wrong one 错误 with the right answer,
 * and fix mode takes over, as in JSAV's exercises: the picture moves on to
 * the right step and the sentence says why. Either way the student goes on
 * from the program's state, never from a wrong one.
 *
 * Nothing on screen may give an open question away: while one is open the
 * frame shows the step before it (its picture, caption, code mark), and
 * while practice is on it keeps the run's whole outputs out of sight
 * (frame.practising(on)). The first step has no step before it: its
 * questions are asked when practice starts there, with the picture, its
 * words and its code hidden (frame.veil(on)) until they are answered.
 *
 * The score reads right/asked (e.g. 4/5); each question answered wrong is
 * listed by the step on screen when it was asked, with the step that holds
 * its answer, as a link to the step it was asked at. At the last step
 * practice says it is over, with the score and which steps were not asked
 * and why. 保存成绩 saves a small text file: the program, its whole input
 * (base64, so that it runs again byte for byte), the score, and every
 * answer with its verdict. 核对成绩 opens such a file, runs the program and
 * its step writer on the file's input (frame.regrade, in the worker),
 * grades every answer again and shows where the file's verdicts or score
 * differ from the run's. Nothing is stored outside the page.
 *
 * DsdPractice.mount(frame) with frame = {tab, box, bar, count(), current(),
 * questions(i), go(i), caption(i), veil(on), practising(on),
 * regrade(request) -> Promise<{questions(i), count} or {error}>} (count()
 * 0: no steps on screen) puts its 练习 button into the bar and returns
 * {active(), step(i), reset()}: while active() is true the frame hands
 * every change of step to step(i), which asks first when i is the next
 * step and otherwise drops the question; reset() is for a new run. */
var DsdPractice = (function () {
  'use strict';
  var el = DsdUi.el;
  var SEP = '　';   /* between the fields of a saved answer line */
  var OVER_LOOK = 2000;   /* the most steps not asked that the end looks at */

  /* ------------------------------------------------------ the saved file */

  /* toBase64(bytes) / fromBase64(text): the input's bytes in the file. */
  function toBase64(bytes) {
    var raw = '';
    for (var i = 0; i < bytes.length; i += 8192) raw += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
    return btoa(raw);
  }
  function fromBase64(text) {
    var raw = atob(text);
    var bytes = new Uint8Array(raw.length);
    for (var i = 0; i < raw.length; i++) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }

  /* stepsText(list): steps counted from 0 as the page says them, runs
   * joined: [1, 2, 3, 6] -> '第 2–4、7 步'. */
  function stepsText(list) {
    var parts = [];
    for (var i = 0; i < list.length; i++) {
      var j = i;
      while (j + 1 < list.length && list[j + 1] === list[j] + 1) j++;
      parts.push(j > i ? (list[i] + 1) + '–' + (list[j] + 1) : String(list[i] + 1));
      i = j;
    }
    return '第 ' + parts.join('、') + ' 步';
  }

  /* fileText(program, command, request, record): the saved score. One
   * answer a line: the words a teacher reads, then the fields the check
   * reads, {step, q, value} as JSON after '记录：'. */
  function fileText(program, command, request, record) {
    var right = record.filter(function (r) { return r.right; }).length;
    var lines = ['程序：' + program, '命令：' + command, '参数：' + JSON.stringify(request.args || [])];
    (request.files || []).forEach(function (f) {
      lines.push('文件：' + JSON.stringify(f.path) + SEP + toBase64(f.data));
    });
    if (request.stdin && request.stdin.length) lines.push('键盘输入：' + toBase64(request.stdin));
    lines.push('得分：' + right + '/' + record.length, '');
    record.forEach(function (r) {
      lines.push('第 ' + (r.asked + 1) + ' 步问（答案在第 ' + (r.then + 1) + ' 步）' + SEP + r.ask + SEP + '你的答案：' +
                 r.given + SEP + (r.right ? '正确' : '错误，正确答案：' + r.shown) + SEP +
                 '记录：' + JSON.stringify({ step: r.step, q: r.q, value: r.value }));
    });
    return lines.join('\n') + '\n';
  }

  /* readFile(text): the saved score read back: {program, request, score:
   * {right, asked}, answers: [{line, step, q, value, right}]}, or {error}
   * with the line that is not as 保存成绩 writes it. */
  function readFile(text) {
    var out = { program: null, request: { args: [], files: [] }, score: null, answers: [] };
    var lines = text.replace(/\r/g, '').split('\n');
    for (var n = 0; n < lines.length; n++) {
      var line = lines[n];
      var m;
      try {
        if ((m = /^程序：(.*)$/.exec(line))) out.program = m[1];
        else if ((m = /^参数：(.*)$/.exec(line))) out.request.args = JSON.parse(m[1]).map(String);
        else if ((m = /^文件：(".*")　([A-Za-z0-9+\/=]*)$/.exec(line))) {
          out.request.files.push({ path: JSON.parse(m[1]), data: fromBase64(m[2]) });
        } else if ((m = /^键盘输入：([A-Za-z0-9+\/=]*)$/.exec(line))) out.request.stdin = fromBase64(m[1]);
        else if ((m = /^得分：(\d+)\/(\d+)$/.exec(line))) out.score = { right: Number(m[1]), asked: Number(m[2]) };
        else if ((m = /　(正确|错误，正确答案：.*)　记录：(\{.*\})$/.exec(line))) {
          var fields = JSON.parse(m[2]);
          out.answers.push({ line: n + 1, step: Number(fields.step), q: Number(fields.q), value: String(fields.value),
                             right: m[1] === '正确' });
        } else if (line && !/^命令：/.test(line)) throw new Error();
      } catch (e) {
        return { error: '第 ' + (n + 1) + ' 行不是“保存成绩”写的样子，无法核对：' + line.slice(0, 40) };
      }
    }
    if (!out.program || !out.score) return { error: '这不是“保存成绩”存下的文件：找不到“程序：”或“得分：”一行。' };
    return out;
  }

  /* ------------------------------------------------------------ the panel */

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
    var skipped = el('p', { className: 'practice-skipped' });
    var wrongList = el('ul', { className: 'practice-wrong' });
    var saveButton = el('button', { type: 'button', className: 'practice-save', textContent: '保存成绩' });
    var checkInput = el('input', { type: 'file', className: 'practice-check-file', hidden: true });
    var checkButton = el('button', { type: 'button', className: 'practice-check', textContent: '核对成绩' });
    var checked = el('div', { className: 'practice-checked', role: 'status' });
    panel.appendChild(el('h4', { textContent: '练习：先做下一步，再看程序怎么做' }));
    panel.appendChild(el('p', { className: 'practice-note', textContent:
      '每一问的正确答案都取自程序这次运行的步骤记录。答错时图解直接走到正确的那一步，并说明理由，你从那里继续。' +
      '练习时程序的整份输出先藏起来，随步骤显示。' }));
    [ask, options, typedBox, verdict, score, skipped, wrongList,
     el('p', {}, [saveButton, ' ', checkButton, checkInput]), checked].forEach(function (n) { panel.appendChild(n); });
    frame.bar.appendChild(toggle);
    frame.bar.parentNode.insertBefore(panel, frame.bar.nextSibling);   /* in sight above the picture */

    var on = false;
    var pending = null;   /* {step, asked, questions, at}: the questions before step */
    var record = [];      /* {asked, step, q, then, ask, value, given, shown, right} per answer */
    var askedSteps = {};  /* step -> true: its questions were put */
    var checks = 0;       /* checks done, for the page's checks to wait on */

    /* active(): true while practice mode is on. */
    function active() { return on; }

    /* reset(): forgets the answers; a new run or a new exercise starts
     * practice afresh from the step on screen. */
    function reset() {
      pending = null;
      frame.veil(false);
      record = [];
      askedSteps = {};
      verdict.textContent = '';
      showScore();
      showQuestion();
      if (on) startAt0();
    }

    /* showScore(): the score line, the wrong answers as links, the save
     * button (only once something was answered). */
    function showScore() {
      var right = rightCount();
      score.textContent = record.length ? '得分：' + right + '/' + record.length : '';
      score.setAttribute('data-right', String(right));
      score.setAttribute('data-asked', String(record.length));
      wrongList.textContent = '';
      record.forEach(function (r) {
        if (r.right) return;
        var link = el('a', { href: '#', className: 'practice-wrong-step',
                             textContent: '第 ' + (r.asked + 1) + ' 步的问题答错了（答案在第 ' + (r.then + 1) + ' 步）' });
        link.setAttribute('data-step', String(r.asked));
        link.setAttribute('data-then', String(r.then));
        link.addEventListener('click', function (e) {
          e.preventDefault();
          pending = null;
          frame.veil(false);
          verdict.textContent = '';
          frame.go(r.asked);
          showQuestion();
        });
        wrongList.appendChild(el('li', {}, [link]));
      });
      saveButton.hidden = !record.length;
    }

    /* over(): at the last step with nothing open: the end, the score, and
     * the steps not asked, with why. */
    function over() {
      var none = [], passed = [];
      var looked = 0, i;
      for (i = 0; i < frame.count() && looked < OVER_LOOK; i++) {
        if (askedSteps[i]) continue;
        looked++;
        var qs = frame.questions(i);
        (qs && qs.length ? passed : none).push(i);
      }
      var more = i < frame.count();
      var why = [];
      if (none.length) why.push(stepsText(none) + '图解不出题（这类步骤没有要你做的选择，或者这一段太大）');
      if (passed.length) why.push(stepsText(passed) + '没有逐步走到（用“上一步”、“最后一步”或链接跳过了）');
      if (more) why.push('第 ' + (i + 1) + ' 步起步骤太多，没有逐一列出');
      ask.textContent = '练习结束。得分：' + rightCount() + '/' + record.length + '。';
      skipped.textContent = why.length ? '没有提问的步骤：' + why.join('；') + '。' : '每一步都提问过了。';
      ask.setAttribute('data-over', '');
    }

    /* showQuestion(): the current question, its buttons or its text box;
     * at the last step, the end; else what to press. */
    function showQuestion() {
      options.textContent = '';
      typed.value = '';
      skipped.textContent = '';
      ask.removeAttribute('data-over');
      var q = pending && pending.questions[pending.at];
      if (q) {
        ask.textContent = q.ask;
        ask.setAttribute('data-key', q.key);
        ask.setAttribute('data-for', String(pending.step));
      } else {
        ask.removeAttribute('data-key');
        ask.removeAttribute('data-for');
        if (on && frame.count() && frame.current() === frame.count() - 1) over();
        else ask.textContent = on ? '按“下一步”（或 →）做下一题。' : '';
      }
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

    /* askBefore(i, questions): puts the questions before step i to the
     * student; the picture is veiled while they are about the step on
     * screen (the first step). */
    function askBefore(i, questions) {
      pending = { step: i, asked: frame.current(), questions: questions, at: 0 };
      askedSteps[i] = true;
      frame.veil(i === frame.current());
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
      var done = !right || pending.at + 1 >= pending.questions.length;
      /* Only once the step is on screen may its caption be the reason. */
      var why = q.why || (done ? frame.caption(then) : '');
      record.push({ asked: pending.asked, step: pending.step, q: pending.at, then: then, ask: q.ask, value: given,
                    given: labelOf(q, given), shown: shownAnswer(q), right: right });
      verdict.textContent = right ? '正确。' + why : '错误。正确答案是 ' + shownAnswer(q) + '。' + why;
      verdict.className = 'practice-verdict ' + (right ? 'right' : 'wrong');
      pending.at++;
      if (done) {
        pending = null;
        frame.veil(false);
        frame.go(then);
      }
      showScore();
      showQuestion();
    }

    /* startAt0(): practice started on the first step: its questions, with
     * the picture veiled. */
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
      frame.veil(false);
      verdict.textContent = '';
      var questions = i === frame.current() + 1 ? frame.questions(i) : null;
      if (questions && questions.length) { askBefore(i, questions); return; }
      frame.go(i);
      showQuestion();
    }

    /* check(bytes): 核对成绩 on a saved file: its answers graded again by
     * the program's own run of its input. */
    function check(bytes) {
      checked.textContent = '';
      checked.removeAttribute('data-differ');
      var text = new TextDecoder('utf-8').decode(bytes);
      var file = readFile(text);
      if (!file.error && file.program !== frame.tab.program) {
        file = { error: '这份成绩是 ' + file.program + ' 的练习，请在 ' + file.program + ' 标签页里核对。' };
      }
      if (file.error) { say([file.error], 'error'); return; }
      checked.textContent = '正在用文件里的输入重新运行程序……';
      frame.regrade(file.request).then(function (made) {
        if (made.error) { say(['无法重新运行：' + made.error], 'error'); return; }
        var differ = [];
        var right = 0;
        file.answers.forEach(function (a) {
          var qs = a.step < made.count ? made.questions(a.step) : null;
          var q = qs && qs[a.q];
          if (!q) { differ.push('第 ' + a.line + ' 行：这次运行的第 ' + (a.step + 1) + ' 步没有这一问。'); return; }
          var ok = a.value === String(q.answer);
          if (ok) right++;
          if (ok !== a.right) {
            differ.push('第 ' + a.line + ' 行：文件写“' + (a.right ? '正确' : '错误') + '”，按程序的运行应为“' +
                        (ok ? '正确' : '错误') + '”。');
          }
        });
        var asked = file.answers.length;
        if (file.score.right !== right || file.score.asked !== asked) {
          differ.push('得分行写的是 ' + file.score.right + '/' + file.score.asked + '，按文件里的答案应为 ' + right + '/' + asked + '。');
        }
        var head = '核对完毕：程序重新运行了文件里的输入，' + asked + ' 个答案重新判分，得分 ' + right + '/' + asked + '。';
        say([head].concat(differ.length ? differ : ['文件里的每个判定和得分都与程序的运行一致。']),
            differ.length ? 'differ' : 'same', right, asked, differ.length);
      });
    }

    /* say(lines, how, right, asked, differ): the check's result. */
    function say(lines, how, right, asked, differ) {
      checked.textContent = '';
      lines.forEach(function (l) { checked.appendChild(el('p', { textContent: l })); });
      checked.setAttribute('data-result', how);
      checked.setAttribute('data-checks', String(++checks));
      if (how !== 'error') {
        checked.setAttribute('data-right', String(right));
        checked.setAttribute('data-asked', String(asked));
        checked.setAttribute('data-differ', String(differ));
      }
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
      frame.practising(on);
      reset();
    });
    saveButton.addEventListener('click', function () {
      var last = frame.tab.last;
      var request = last && last.request ? last.request : { args: [] };
      var text = fileText(frame.tab.program, last ? last.command : '', request, record);
      var a = DsdUi.downloadLink(frame.tab.program + '-练习成绩.txt', new TextEncoder().encode(text));
      document.body.appendChild(a);
      a.click();
      a.remove();
    });
    checkButton.addEventListener('click', function () { checkInput.click(); });
    checkInput.addEventListener('change', function () {
      var f = checkInput.files[0];
      if (!f) return;
      checkInput.value = '';
      f.arrayBuffer().then(function (buf) { check(new Uint8Array(buf)); },
                           function () { say(['无法读取文件 ' + f.name + '。'], 'error'); });
    });
    return { active: active, step: step, reset: reset };
  }

  return { mount: mount };
})();
