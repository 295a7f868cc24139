/* bitree/questions.js -- bitree's practice questions (the QUESTION of
 * frame/practice.js), asked before a step is shown and made from that
 * step alone (and the choice it belongs to, in trace.input):
 *   a rebuild call (split)   which character is the root of the call's
 *                            preorder range, and how many nodes its place
 *                            leaves on the left of the inorder range;
 *   a walk's visit           which node is printed next (by a button or a
 *                            click on the node);
 *   an operator's value      the value it gets.
 * Every answer is the step's own record; nothing is computed here. */
var DsdBitreeQuestions = (function () {
  'use strict';

  /* labelOf(c, k): node k's character, byte k of the choice's sequence. */
  function labelOf(c, k) {
    var s = (c.choice === 0 ? c.preorder : c.expression) || '';
    return k >= 0 && k < s.length ? DsdDraw.byteLabel(s.charCodeAt(k) & 0xff) : '?';
  }

  /* The most nodes offered as buttons. */
  var MOST = 26;

  /* questions(step, trace): see above; null when the step asks nothing. */
  function questions(step, trace) {
    var c = (trace.input && trace.input.choices || [])[step.at - 1];
    if (!c) return null;
    var key = String(trace.steps.indexOf(step));   /* the step's number in the record */
    if (step.kind === 'split') {
      var size = step.in[1] - step.in[0] + 1;
      if (size > MOST) return null;
      var options = [];
      for (var k = step.pre[0]; k <= step.pre[1]; k++) options.push({ value: k, label: labelOf(c, k) });
      var counts = [];
      for (var n = 0; n < size; n++) counts.push({ value: n, label: String(n) });
      return [
        { ask: 'PreInCreate 的这次调用：先序段里哪个字符是根？', options: options, answer: step.pre[0],
          key: 'root:' + key },
        { ask: '根在中序段里的位置把它分成两段：左子树有几个结点？', options: counts, answer: step.root - step.in[0],
          key: 'split:' + key }
      ];
    }
    if (step.kind === 'walk' || step.kind === 'preorder' || step.kind === 'inorder' || step.kind === 'postorder') {
      var count = step.shape.length;
      if (count > MOST) return null;
      var nodes = [];
      for (var j = 0; j < count; j++) nodes.push({ value: j, label: labelOf(c, j) + '（第 ' + (j + 1) + ' 个结点）' });
      return [{ ask: '下一个输出的是哪个结点？（可点图中的结点）', options: nodes, pick: 'data-num', answer: step.node,
                shown: labelOf(c, step.node), key: 'next:' + key }];
    }
    if (step.kind === 'value' && step.shape.charAt(step.node) !== '0') {
      return [{ ask: '运算符 ' + labelOf(c, step.node) + ' 的值是多少？', answer: String(step.values[step.node]),
                key: 'value:' + key }];
    }
    return null;
  }

  return { questions: questions };
})();
