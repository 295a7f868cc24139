/* bitree/questions.js -- bitree's practice questions (the QUESTION of
 * frame/practice.js), asked before a step is shown and made from that
 * step alone (and the choice it belongs to, in trace.input):
 *   a rebuild call (split)   which character is the root of the call's
 *                            preorder range, and how many nodes its place
 *                            leaves on the left of the inorder range;
 *   a walk's visit           which node is printed next (by a button or a
 *                            click on the node);
 *   an operator's value      the value it gets;
 *   a thread                 which node it starts from, and which pointer;
 *   the threads done         how many null pointers became threads;
 *   a tree or its copy       how many nodes it has;
 *   a prefix node            operator or operand;
 *   a choice read            the number read;
 *   the input read           whether the tree was built;
 *   a step that finds an error  what the program finds (the root missing
 *                            from the inorder range, ranges of two
 *                            lengths, an expression that ends too soon,
 *                            a division by zero).
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
    var count = step.shape ? step.shape.length : 0;
    if (step.kind === 'walk' || step.kind === 'preorder' || step.kind === 'inorder' || step.kind === 'postorder') {
      if (count > MOST) return null;
      var nodes = [];
      for (var j = 0; j < count; j++) nodes.push({ value: j, label: labelOf(c, j) + '（第 ' + (j + 1) + ' 个结点）' });
      return [{ ask: '下一个输出的是哪个结点？（可点图中的结点）', options: nodes, pick: 'data-num', answer: step.node,
                shown: labelOf(c, step.node), key: 'next:' + key }];
    }
    if (step.kind === 'thread' && count <= MOST) {
      var t = step.threads[step.threads.length - 1];
      var from = [];
      for (var f = 0; f < step.shape.length; f++) from.push({ value: f, label: labelOf(c, f) + '（第 ' + (f + 1) + ' 个结点）' });
      return [{ ask: '下一条线索从哪个结点出发？（后序里下一个有空指针的结点）', options: from, pick: 'data-num', answer: t[0],
                shown: labelOf(c, t[0]), key: 'thread:' + key },
              { ask: '这条线索占的是它的哪个指针？', options: [{ value: 0, label: '左指针（指向后序前驱）' },
                                                              { value: 1, label: '右指针（指向后序后继）' }],
                answer: t[1], key: 'side:' + key }];
    }
    if (step.kind === 'threaded') {
      return [{ ask: '线索化完成：一共有几个空指针成了线索？', answer: String(step.threads.length), key: 'threads:' + key }];
    }
    if ((step.kind === 'tree' || step.kind === 'copy') && step.shape) {
      return [{ ask: step.kind === 'tree' ? '这棵树建好后共有几个结点？' : '带双亲指针的副本共有几个结点？',
                answer: String(step.shape.length), key: step.kind + ':' + key }];
    }
    if (step.kind === 'node') {
      return [{ ask: '读入第 ' + (step.node + 1) + ' 个字符 ' + labelOf(c, step.node) + '：它建成的结点是？',
                options: [{ value: 'op', label: '运算符（接着建左、右运算对象）' }, { value: 'leaf', label: '运算对象（没有孩子）' }],
                answer: step.operator ? 'op' : 'leaf', key: 'node:' + key }];
    }
    if (step.kind === 'choice' && step.choice !== null) {
      return [{ ask: '程序读下一个功能序号：读到几？', options: [0, 1, 2, 3].map(function (n) {
                  return { value: n, label: n === 3 ? '别的（不是 0、1、2）' : String(n) }; }),
                answer: step.choice >= 0 && step.choice <= 2 ? step.choice : 3, key: 'choice:' + key }];
    }
    if (step.kind === 'read' && step.got === 'read') {
      return [{ ask: '这次选择的输入读完了：树建成了吗？', options: [{ value: 'yes', label: '建成了，接着输出' },
                                                              { value: 'no', label: '没有建成，输出提示' }],
                answer: step.shape === null ? 'no' : 'yes', key: 'read:' + key }];
    }
    /* The steps where the program finds something wrong: the student says
     * what it finds, from the step before (the same buttons whatever the
     * answer, so the question tells nothing). */
    var WRONG = { missing: ['先序段的第一个字符（根）在中序段里找得到吗？', 'found', 'no-root'],
                  uneven: ['PreInCreate 的这次调用：先序段和中序段一样长吗？', 'same', 'uneven'],
                  'short': ['波兰式读到这里：表达式树建得完吗？', 'whole', 'short'],
                  zero: ['下一个运算符能求出值吗？', 'value', 'zero'] };
    if (WRONG[step.kind]) {
      var w = WRONG[step.kind];
      var labels = { found: ['找得到，照常分成两段', '找不到：两个序列不是同一棵树'],
                     same: ['一样长，照常找根', '不一样长：不可能是同一棵树'],
                     whole: ['建得完，每个运算符都有两个运算对象', '建不完：表达式提前结束'],
                     value: ['能，照常计算', '不能：除数为 0'] }[w[1]];
      return [{ ask: w[0], options: [{ value: w[1], label: labels[0] }, { value: w[2], label: labels[1] }],
                answer: w[2], key: step.kind + ':' + key }];
    }
    if (step.kind === 'value' && step.shape.charAt(step.node) !== '0') {
      return [{ ask: '运算符 ' + labelOf(c, step.node) + ' 的值是多少？', answer: String(step.values[step.node]),
                key: 'value:' + key }];
    }
    return null;
  }

  return { questions: questions };
})();
