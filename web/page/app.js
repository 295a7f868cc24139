/* app.js -- the page's frame: the tabs (one per program of programs.js,
 * made by tabs.js), the address's # part, and the first run of each tab's
 * main example when the tab is first shown.
 *
 * The # part names the tab (#evaluator, #bitree, ...), and may hold its
 * input and step (address.js, tabs.js), so a link or a bookmark, also under file://,
 * opens the same case. A # part changed in the open page (a link pasted
 * into the address bar) moves to its tab, case and step. The tabs take the
 * keyboard as tabs do: only the shown one is in the Tab order, and ←, →,
 * Home and End on it go to the other tabs. */
(function () {
  'use strict';
  var TABS = DsdUi.tabs;   /* program -> its tab, made by <name>/tab.js */
  var names = DSD_PROGRAMS.map(function (p) { return p.name; }).filter(function (p) { return TABS[p]; });
  var shown = {};   /* program -> true once its tab has been shown */

  /* fromHash(): the program the address names, or the first tab. A name
   * that is no program of ours (a damaged link, or one such as
   * #constructor that every object would answer to) opens the first tab
   * with the damaged-link line. */
  function fromHash() {
    var name = DsdAddress.program();
    if (DsdAddress.isProgram(name) && names.indexOf(name) >= 0) return name;
    if (name) damagedTab = name;
    return names[0];
  }
  var damagedTab = null;   /* the tab name of a damaged link, once shown */

  /* show(program): makes program's tab the visible one, and runs its main
   * example the first time; returns true when it ran it. */
  function show(program) {
    names.forEach(function (p) {
      TABS[p].section.hidden = p !== program;
      var button = document.querySelector('#tabs [data-tab="' + p + '"]');
      button.setAttribute('aria-selected', String(p === program));
      button.tabIndex = p === program ? 0 : -1;
    });
    var damaged = damagedTab !== null;
    if (damaged) {
      TABS[program].damagedLink('链接已损坏：其中的标签页名称不是本页的程序，已改为载入 ' + program + ' 的主示例');
      damagedTab = null;
    }
    if (shown[program]) {
      if (damaged) TABS[program].run();
      return false;
    }
    shown[program] = true;
    TABS[program].run();
    return true;
  }

  var buttons = Array.prototype.slice.call(document.querySelectorAll('#tabs [data-tab]'));
  buttons.forEach(function (button) {
    var program = button.getAttribute('data-tab');
    button.id = 'tab-button-' + program;
    button.setAttribute('aria-controls', 'tab-' + program);
    TABS[program].section.setAttribute('aria-labelledby', button.id);
    button.addEventListener('click', function () {
      var input = shown[program] && TABS[program].savedIn ? TABS[program].savedIn() : null;
      var box = TABS[program].pictureBox;
      var step = shown[program] && box.getAttribute('data-count') !== '0' ? box.getAttribute('data-step') : null;
      location.hash = program + (input ? '&in=' + input : '') + (step !== null ? '&step=' + (Number(step) + 1) : '');
    });
  });
  document.getElementById('tabs').addEventListener('keydown', function (e) {
    var at = buttons.indexOf(e.target);
    var to = { ArrowLeft: at - 1, ArrowRight: at + 1, Home: 0, End: buttons.length - 1 }[e.key];
    if (at < 0 || to === undefined) return;
    e.preventDefault();
    var next = buttons[(to + buttons.length) % buttons.length];
    next.focus();
    next.click();
  });
  window.addEventListener('hashchange', function () {
    var program = fromHash();
    var first = !shown[program];
    TABS[program].followLink(!first);   /* a tab shown the first time runs in show() */
    show(program);
  });

  var missing = names.filter(function (p) { return !DsdEngine.loaded(p); });
  if (missing.length) {
    var note = document.getElementById('page-message');
    note.textContent = '缺少程序文件 ' + missing.map(function (p) { return p + '.js'; }).join('、') +
                       '：请打开完整的 web 文件夹里的 index.html。';
    note.hidden = false;
  }
  show(fromHash());
})();
