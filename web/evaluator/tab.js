/* evaluator/tab.js -- the evaluator's tab: the expression file's text in,
 * result.txt out, and its trace table again as an aligned table, one cell
 * per column (tabs in the file drift as the stacks grow). Each row of the
 * table carries data-at, its step number (the first column): the picture's
 * frame marks the row of the step on screen and goes to a clicked row's
 * step. */
var DsdEvaluatorTab = (function () {
  'use strict';
  var el = DsdUi.el;

  /* traceRows(text): the lines of result.txt, each as its tab-separated
   * cells; a line without tabs (the value line, a blank line) is one cell. */
  function traceRows(text) {
    return text.split('\n').map(function (line) { return line.split('\t'); });
  }

  /* showTable(run, box): the trace of result.txt as an HTML table. */
  function showTable(run, box) {
    var file = run.result.files.filter(function (f) { return f.path === 'result.txt'; })[0];
    if (!file || file.data.length > DsdUi.SHOW_LIMIT) return;   /* a long file is shown cut, not as a table */
    var rows = traceRows(DsdGbk.decode(file.data));
    var width = rows.reduce(function (w, r) { return Math.max(w, r.length); }, 1);
    var table = el('table', { className: 'trace' });
    rows.forEach(function (cells, i) {
      if (cells.length === 1 && cells[0] === '') return;
      var tr = el('tr', /^\d+$/.test(cells[0]) && cells.length > 1 ? { 'data-at': cells[0] } : {});
      cells.forEach(function (c, j) {
        var cell = el(i === 0 ? 'th' : 'td', { textContent: j === 3 ? c.trim() : c });
        if (cells.length === 1) cell.colSpan = width;
        tr.appendChild(cell);
      });
      table.appendChild(tr);
    });
    var fileBox = box.querySelector('section.file[data-name="result.txt"]');
    fileBox.appendChild(el('h3', { textContent: '步骤表（同一内容，按列对齐）' }));
    fileBox.appendChild(table);
  }

  return DsdUi.makeTab('evaluator', {
    intro: '用算符优先法和两个链栈（OPTR 运算符栈、OPND 运算数栈）求整数表达式的值。' +
           '表达式是文件的最后一行；步骤表和结果追加到 result.txt。',
    input: function (box, tab) {
      return DsdUi.documentInput(box, 'evaluator', 'expr.txt', '表达式文件 expr.txt 的内容（取最后一行）：', tab);
    },
    show: showTable
  });
})();
