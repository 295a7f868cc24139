/* compare-panel.js -- the 对照 panel of a program's tab in the browser edition.
 *
 *     DsdComparePanel.mount(container, 'evaluator', getOurs, { onStep: jump });
 *
 * builds inside container a text box to paste a student's output into, a
 * button that opens a file (read as bytes, so that the comparison can tell
 * GBK from UTF-8 itself) and a button 对照 that runs the comparison in the
 * program's worker (DsdEngine with compare.js's request: the C++ of
 * lab/compare.h) and shows its report as HTML: the verdict, the sentence
 * that names the difference, the encodings, the first difference with both
 * lines side by side, the differing part marked and in hex, and the
 * differences of form.
 *
 * getOurs() returns our output of the run on screen as a Uint8Array, or
 * null before a run. options.onStep(step), when given, is called with the
 * step (counted from 1: evaluator's row, bitree's choice, translator's
 * word, josephus's leaving number) in which the first
 * difference falls, so that the pictures can jump there. Every text that
 * comes from a file or the text box goes in through textContent. mount
 * returns {compare(), clear(), refresh(), give(name, bytes)}: compare() runs
 * the comparison as the button does (a Promise of the report), give() takes
 * bytes as an opened file's and compares them, clear() forgets the student's
 * output, refresh() is for
 * a new run on screen: it redoes a report that is shown (or takes it away
 * when the new run has no output), so no report outlives its run. */
(function (root) {
  'use strict';

  /* el(tag, className, text): returns a new element with that class and
   * text (either may be empty). */
  function el(tag, className, text) {
    var node = document.createElement(tag);
    if (className) node.className = className;
    if (text) node.textContent = text;
    return node;
  }

  /* lineCell(view): returns a table cell showing one side of the differing
   * line, the differing part in a <mark>, and its bytes in hex below. */
  function lineCell(view) {
    var cell = el('td');
    var code = el('code', 'dsd-compare-line');
    code.appendChild(document.createTextNode(view.before));
    if (view.exists) code.appendChild(el('mark', '', view.marked || '\u200b'));
    code.appendChild(document.createTextNode(view.after));
    cell.appendChild(code);
    cell.appendChild(el('div', 'dsd-compare-hex', '不同的字节：' + view.hex));
    return cell;
  }

  /* reportView(report): returns the element that shows a report. */
  function reportView(report) {
    var box = el('div', 'dsd-compare-result dsd-compare-' + report.verdict);
    box.appendChild(el('p', 'dsd-compare-verdict', report.headline));
    if (report.reason) box.appendChild(el('p', 'dsd-compare-reason', report.reason));
    box.appendChild(el('p', '', report.encodings));
    var d = report.first;
    if (d) {
      box.appendChild(el('p', 'dsd-compare-where', '第一个不同：' + d.position));
      var table = el('table', 'dsd-compare-lines');
      var head = el('tr');
      head.appendChild(el('th', '', '我们的'));
      head.appendChild(el('th', '', '你的'));
      var row = el('tr');
      row.appendChild(lineCell(d.ours));
      row.appendChild(lineCell(d.mine));
      table.appendChild(head);
      table.appendChild(row);
      box.appendChild(table);
      box.appendChild(el('p', 'dsd-compare-key', '标出的是不同的部分；→ 是制表符，· 是空格。'));
    }
    if (report.notes.length) {
      var list = el('ul', 'dsd-compare-notes');
      report.notes.forEach(function (n) { list.appendChild(el('li', '', (d ? '另外，' : '') + n.text)); });
      box.appendChild(list);
    }
    return box;
  }

  /* mount(container, program, getOurs, options): builds the panel inside
   * container and returns {compare, clear, refresh}, as above. */
  function mount(container, program, getOurs, options) {
    options = options || {};
    var output = root.DsdCompare.OUTPUTS[program] || '输出';
    var mine = null;  /* the opened file's bytes; null while the text box counts */
    var asked = 0;    /* comparisons asked for: a report answers only the latest */

    var panel = el('div', 'dsd-compare');
    panel.appendChild(el('p', 'dsd-compare-hint', '把你自己的程序对同一输入写出的 ' + output +
      ' 粘贴到下面，或者打开这个文件（按字节读入，自动识别 GBK、UTF-8 和带 BOM 的 UTF-16），再按“对照”。'));
    var text = el('textarea', 'dsd-compare-input');
    text.rows = 6;
    text.spellcheck = false;
    text.placeholder = '粘贴你的 ' + output;
    var picker = el('input');
    picker.type = 'file';
    picker.hidden = true;
    var open = el('button', '', '打开文件…');
    open.type = 'button';
    var fileName = el('span', 'dsd-compare-file');
    var run = el('button', 'dsd-compare-run', '对照');
    run.type = 'button';
    var result = el('div', 'dsd-compare-report');
    result.setAttribute('aria-live', 'polite');
    var actions = el('div', 'dsd-compare-actions');
    [open, picker, fileName, run].forEach(function (n) { actions.appendChild(n); });
    [text, actions, result].forEach(function (n) { panel.appendChild(n); });
    container.appendChild(panel);

    /* show(node): replaces what the result area shows. */
    function show(node) {
      result.textContent = '';
      result.appendChild(node);
    }

    /* clear(): forgets the opened file and the pasted text. */
    function clear() {
      asked++;
      mine = null;
      fileName.textContent = '';
      text.value = '';
      result.textContent = '';
    }

    /* compare(): compares in the program's worker (DsdEngine, the run of
     * compare.js's request) and shows the report; returns a Promise of it,
     * or of null when one of the two outputs is missing (a message says
     * which) or the comparison could not run. A report that comes back
     * after a newer comparison was asked for is dropped. */
    function compare() {
      var ours = getOurs();
      if (!ours) {
        show(el('p', 'dsd-compare-message', '还没有我们的输出：请先运行程序，再对照。'));
        return Promise.resolve(null);
      }
      var theirs = mine || text.value;
      if (!mine && text.value === '') {
        show(el('p', 'dsd-compare-message', '请先粘贴你的 ' + output + '，或者打开这个文件。'));
        return Promise.resolve(null);
      }
      var mark = ++asked;
      return root.DsdEngine.call(program, 'compare', root.DsdCompare.request(ours, theirs)).then(function (answer) {
        if (mark !== asked) return null;
        var report;
        try {
          if (answer.error) throw new Error(answer.error);
          report = root.DsdCompare.report(program, answer.result);
        } catch (e) {
          show(el('p', 'dsd-compare-message', '无法对照：' + e.message));
          return null;
        }
        show(reportView(report));
        if (report.step !== null && options.onStep) options.onStep(report.step);
        return report;
      });
    }

    /* refresh(): redoes the report shown, for the run now on screen; takes
     * away a message or a report that has nothing to compare now. */
    function refresh() {
      if (!result.firstChild) return;
      if (result.querySelector('.dsd-compare-result') && getOurs()) compare();
      else { asked++; result.textContent = ''; }   /* a report still on its way is dropped too */
    }

    open.addEventListener('click', function () { picker.click(); });
    picker.addEventListener('change', function () {
      var file = picker.files[0];
      if (!file) return;
      var reader = new FileReader();
      reader.onload = function () {
        mine = new Uint8Array(reader.result);
        text.value = '';
        fileName.textContent = '已打开：' + file.name + '（' + mine.length + ' 个字节）';
        picker.value = '';
      };
      reader.onerror = function () {
        show(el('p', 'dsd-compare-message', '无法读取文件 ' + file.name + '。'));
      };
      reader.readAsArrayBuffer(file);
    });
    text.addEventListener('input', function () {
      mine = null;  /* typing or pasting makes the text box count again */
      fileName.textContent = '';
    });
    run.addEventListener('click', compare);

    /* give(name, bytes): takes bytes (a Uint8Array) as the student's output,
     * as if opened as a file of that name (a grading report's link brings
     * them), and compares; returns compare()'s Promise. */
    function give(name, bytes) {
      mine = bytes;
      text.value = '';
      fileName.textContent = '已打开：' + name + '（' + mine.length + ' 个字节）';
      return compare();
    }

    return { compare: compare, clear: clear, refresh: refresh, give: give };
  }

  root.DsdComparePanel = { mount: mount };
})(typeof self !== 'undefined' ? self : this);
