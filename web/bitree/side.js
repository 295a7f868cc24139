/* bitree/side.js -- what stands beside bitree's picture: the step's
 * sentence, the list of the session's choices (a click goes to a choice's
 * first step) with the step's choice marked, and, below the picture, the
 * program's own output of the run as it printed it (trace.outputs.stdout,
 * shown, never read for what a step draws).
 *
 * DsdBitreeSide.show(step, view, trace, sentence): called by the picture's
 * render at every step. What is made from the trace's fixed part (the
 * list, from trace.input; where each choice's steps start; the output
 * text) is made once per run and kept on view.cache. */
var DsdBitreeSide = (function () {
  'use strict';
  var el = DsdUi.el;

  /* titleOf(c, i): choice i in the list, with what it read. */
  function titleOf(c, i) {
    var gbk = function (s) {
      var whole = DsdPicture.gbkText(s || '');
      return whole.length > 24 ? whole.slice(0, 24) + '…（共 ' + s.length + ' 个字节）' : whole;
    };
    var head = '第 ' + (i + 1) + ' 次：';
    if (c.choice === null) return head + '不是数字';
    if (c.choice < 0 || c.choice > 2) return head + c.choice + '（无效的功能序号）';
    if (c.read === 'end') return head + c.choice + '（输入在此结束）';
    if (c.read === 'long') return head + c.choice + '（输入项过长）';
    if (c.choice === 0) return head + '0 ' + gbk(c.preorder) + ' ' + gbk(c.inorder);
    return head + c.choice + ' ' + gbk(c.expression);
  }

  /* made(view, trace): the parts kept for the run: {sentence, buttons}. */
  function made(view, trace) {
    if (view.cache.side) return view.cache.side;
    var starts = [];
    trace.steps.forEach(function (s, i) { if (starts[s.at - 1] === undefined) starts[s.at - 1] = i; });
    var sentence = el('p', { className: 'bitree-caption' });
    var list = el('ol', { className: 'bitree-choices' });
    var choices = trace.input && trace.input.choices || [];
    var buttons = choices.map(function (c, i) {
      var b = el('button', { type: 'button', textContent: titleOf(c, i), 'data-go': '' });
      b.addEventListener('click', function () { if (starts[i] !== undefined) view.go(starts[i]); });
      list.appendChild(el('li', {}, [b]));
      return b;
    });
    view.text.appendChild(sentence);
    view.text.appendChild(el('h4', { textContent: '这次会话的选择' }));
    view.text.appendChild(list);
    var out = trace.outputs && trace.outputs.stdout;
    if (out && out.length) {
      var shown = out.length > 65536 ? out.subarray(0, 65536) : out;
      view.side.appendChild(el('h4', { textContent: '程序的输出' + (shown === out ? '' : '（前 64 KB）') }));
      /* A box that scrolls takes the focus, so the keys scroll it too. */
      var box = el('pre', { className: 'bitree-output', tabIndex: 0, textContent: DsdGbk.decode(shown) });
      box.setAttribute('aria-label', '程序的输出');
      view.side.appendChild(box);
    }
    view.text.setAttribute('data-builds', String((Number(view.text.getAttribute('data-builds')) || 0) + 1));
    view.cache.side = { sentence: sentence, buttons: buttons };
    return view.cache.side;
  }

  /* show(step, view, trace, sentence): see above. */
  function show(step, view, trace, sentence) {
    var parts = made(view, trace);
    parts.sentence.textContent = sentence;
    parts.buttons.forEach(function (b, i) {
      b.className = i === step.at - 1 ? 'current' : '';
      if (i === step.at - 1) b.setAttribute('aria-current', 'step'); else b.removeAttribute('aria-current');
    });
  }

  return { show: show };
})();
