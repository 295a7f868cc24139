/* code-panel.js -- the code panel beside each picture: the program's own
 * C++, the function that did the picture's step, with its line numbers and
 * file name, the line the step ran marked, and the calls that led there.
 *
 * The sources come from sources.js, which the build writes from the
 * program's folder (scripts/web/assets.py): DSD_SOURCES, the JSON text of
 * {"<folder>/<file>": text} deflated and in base64, and DSD_FUNCTIONS,
 * {"<folder>/<file>": [{name, first, last}]}, the functions defined in each
 * file with their first and last lines. So the text shown is the very text
 * the program was compiled from, never a copy typed again.
 *
 * The frame (picture.js) mounts one panel per picture:
 *   DsdCodePanel.mount(box, program) -> {show(src), clear(), element}
 * and DsdCodePanel.sources() gives the inflated sources to whoever else
 * shows them (frame/save.js).
 * show(src) shows the step whose source location is src ({file, line,
 * func, chain}, from the step record; null when the step has none): the
 * function of file that holds line, the comment above it, line and the
 * rest of its statement marked with aria-current="step" and scrolled into
 * sight inside the panel (never the page). The step hook that stands at
 * the end of a line, after its statement (STEP(...), STEP_CALL), is hidden
 * until the switch 显示步骤钩子 shows it; the line keeps its number. In a marked line each name of a
 * function of the program is a button that shows that function; so is
 * each name in the chain of calls. */
var DsdCodePanel = (function () {
  'use strict';
  var el = DsdUi.el;
  var STATEMENT_MAX = 6;   /* the most lines marked for one statement */
  var AROUND = 8;          /* lines shown either side of a line outside any function */
  var sourcesPromise = null;
  /* What the hooks are, beside their switch. */
  var HOOKS_ABOUT = '步骤钩子是行尾的 STEP(…) 和 STEP_CALL：它们把这一步报告给图解；控制台程序里它们什么也不报告。';

  /* sources(): a Promise of {path: text}, the programs' sources; of null
   * when the page has none, or of {error} with a message when the browser
   * cannot inflate them. Inflated once. */
  function sources() {
    if (sourcesPromise) return sourcesPromise;
    if (typeof DSD_SOURCES !== 'string') {
      sourcesPromise = Promise.resolve(null);
    } else if (typeof DecompressionStream !== 'function') {
      sourcesPromise = Promise.resolve({ error: '这个浏览器不能解开页面里的源代码：请换用较新的 Chrome、Edge、Firefox 或 Safari。' });
    } else {
      var raw = atob(DSD_SOURCES);
      var bytes = new Uint8Array(raw.length);
      for (var i = 0; i < raw.length; i++) bytes[i] = raw.charCodeAt(i);
      var stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate'));
      sourcesPromise = new Response(stream).text().then(JSON.parse, function () {
        return { error: '页面里的源代码无法解开。' };
      });
    }
    return sourcesPromise;
  }

  /* functionsOf(path): the functions defined in the file, by first line. */
  function functionsOf(path) {
    return (typeof DSD_FUNCTIONS === 'object' && DSD_FUNCTIONS[path]) || [];
  }

  /* functionAt(path, line): the innermost function of the file whose lines
   * hold line, or null. */
  function functionAt(path, line) {
    var found = null;
    functionsOf(path).forEach(function (f) { if (f.first <= line && line <= f.last) found = f; });
    return found;
  }

  /* findFunction(folder, name, near): {path, func} of the function called
   * name in the folder's files, the one in file near first, then one in a
   * .cpp file; null when there is none. */
  function findFunction(folder, name, near) {
    var paths = typeof DSD_FUNCTIONS === 'object' ? Object.keys(DSD_FUNCTIONS) : [];
    paths = paths.filter(function (p) { return p.indexOf(folder + '/') === 0; });
    paths.sort(function (a, b) { return (a !== near) - (b !== near) || /\.h$/.test(a) - /\.h$/.test(b); });
    for (var i = 0; i < paths.length; i++) {
      var f = functionsOf(paths[i]).filter(function (g) { return g.name === name; })[0];
      if (f) return { path: paths[i], func: f };
    }
    return null;
  }

  /* commentStart(lines, first): the line (from 1) where the comment that
   * ends just above line first begins, or first when there is none. The
   * code's comments on a function stand right above it, as a block that
   * ends with its closing star-slash. */
  function commentStart(lines, first) {
    var k = first - 1;                      /* the line above, from 1 */
    if (k < 1 || !/\*\/\s*$/.test(lines[k - 1])) return first;
    while (k >= 1 && lines[k - 1].indexOf('/*') < 0) k--;
    return k >= 1 ? k : first;
  }

  /* statementEnd(lines, line): the last line of the statement that starts
   * at line: the first line from it on that ends (its comments aside) with
   * ';', '{' or '}', at most STATEMENT_MAX lines on. */
  function statementEnd(lines, line) {
    for (var k = line; k < line + STATEMENT_MAX && k <= lines.length; k++) {
      var code = lines[k - 1].replace(/\/\*.*?\*\/|\/\/.*$/g, '').trim();
      if (/[;{}]$/.test(code)) return k;
    }
    return line;
  }

  /* splitHook(text): {code, hook} of a line: hook the step hook that stands
   * after the line's statement, at its end (the right-hand column's
   * STEP(...), STEP_RANGES(...) or STEP_CALL, with the blanks before it), '' when there is
   * none; code the rest. A hook that stands before its statement is code. */
  function splitHook(text) {
    var m = /^(.*[;{}])(\s+STEP(?:_[A-Z]+)?\b.*)$/.exec(text);
    return m ? { code: m[1], hook: m[2] } : { code: text, hook: '' };
  }

  /* callButtons(text, folder): the parts of a line of code as nodes: each
   * name of a function of the folder followed by '(' a button that shows
   * it (its data-func the name), the rest as text. */
  function callButtons(text, folder) {
    var nodes = [];
    var at = 0;
    var re = /\b([A-Za-z_]\w*)(?=\s*\()/g;
    var m;
    while ((m = re.exec(text))) {
      if (!findFunction(folder, m[1], null)) continue;
      if (m.index > at) nodes.push(document.createTextNode(text.slice(at, m.index)));
      nodes.push(el('button', { type: 'button', className: 'code-call', textContent: m[1],
                                title: '查看函数 ' + m[1], 'data-func': m[1] }));
      at = m.index + m[1].length;
    }
    if (at < text.length || !nodes.length) nodes.push(document.createTextNode(text.slice(at)));
    return nodes;
  }

  /* mount(box, program): a code panel at the end of box for the program's
   * pictures; returns {show(src), clear(), element}: show draws as soon as
   * the sources are inflated (at once after the first time), clear empties
   * the panel, element is the panel's section. */
  function mount(box, program) {
    var stanza = (typeof DSD_PROGRAMS === 'object' ? DSD_PROGRAMS : [])
      .filter(function (p) { return p.name === program; })[0];
    var folder = stanza ? stanza.sources : program;
    var chain = el('p', { className: 'code-chain' });
    /* 显示步骤钩子: the hooks at the ends of lines are hidden until asked
     * for, so that the statement, not its hook, fills the line. */
    var hookSwitch = el('input', { type: 'checkbox', className: 'code-hook-switch' });
    var hookLabel = el('label', {}, [hookSwitch, '显示步骤钩子']);
    var where = el('p', { className: 'code-where' });
    var back = el('button', { type: 'button', className: 'code-back', textContent: '回到这一步', hidden: true });
    var note = el('p', { className: 'code-note', hidden: true });
    var lines = el('div', { className: 'code-lines' });
    var scroll = el('div', { className: 'code-scroll', tabIndex: 0 }, [lines]);
    var panel = el('section', { className: 'code-panel' }, [
      el('h4', { textContent: '这一步执行的代码' }),
      el('p', { className: 'code-about', textContent: '这是本程序自己的 C++ 源代码，和控制台程序是同一份，' +
        '原样编译进了这个页面；代码里的注释是程序的开发者写的。标黄的行是这一步执行的语句，点其中的函数名可以查看那个函数。' }),
      el('p', { className: 'code-hooks' }, [hookLabel, ' ' + HOOKS_ABOUT]),
      chain, el('div', { className: 'code-bar' }, [where, back]), note, scroll]);
    panel.setAttribute('aria-label', '这一步执行的代码');
    box.appendChild(panel);

    var step = null;       /* the src of the step on screen, or null */
    var shown = null;      /* what the lines hold: {path, from, to} */
    var asked = 0;         /* calls of show, so that only the latest one draws */

    /* fill(texts, path, from, to, marks): puts lines from to to of the file
     * into the panel (unless they are there already) and marks the lines
     * in marks ({line: true}); their function names become buttons. */
    function fill(texts, path, from, to, marks) {
      var all = texts[path].split('\n');
      if (!shown || shown.path !== path || shown.from !== from || shown.to !== to) {
        lines.textContent = '';
        for (var k = from; k <= to; k++) {
          var text = el('span', { className: 'code-text' });
          lines.appendChild(el('div', { className: 'code-line', 'data-line': String(k) }, [
            el('span', { className: 'code-no', textContent: String(k) }), text]));
          lineText(text, all[k - 1], false);
        }
        shown = { path: path, from: from, to: to };
        panel.setAttribute('data-file', path);
        scroll.scrollTop = 0;
      }
      var first = null;
      Array.prototype.forEach.call(lines.children, function (row) {
        var k = Number(row.getAttribute('data-line'));
        var text = row.lastChild;
        var marked = !!marks[k];
        if (marked) {
          row.setAttribute('aria-current', 'step');
          lineText(text, all[k - 1], true);
          if (!first) first = row;
        } else if (row.hasAttribute('aria-current')) {
          row.removeAttribute('aria-current');
          lineText(text, all[k - 1], false);
        }
      });
      if (first) keepInSight(first);
    }

    /* lineText(box, line, marked): puts a line of code into its box: the
     * statement (a marked one with its function names as buttons), then
     * its hook in a span of its own, hidden unless the switch is on. */
    function lineText(box, line, marked) {
      var parts = splitHook(line.replace(/\r$/, ''));
      box.textContent = '';
      if (marked) callButtons(parts.code, folder).forEach(function (n) { box.appendChild(n); });
      else box.appendChild(document.createTextNode(parts.code));
      if (parts.hook) box.appendChild(el('span', { className: 'code-hook', textContent: parts.hook, hidden: !hookSwitch.checked }));
    }
    hookSwitch.addEventListener('change', function () {
      Array.prototype.forEach.call(lines.querySelectorAll('.code-hook'), function (h) { h.hidden = !hookSwitch.checked; });
      var row = lines.querySelector('[aria-current="step"]');
      if (row) keepInSight(row);
    });

    /* keepInSight(row): scrolls the panel's lines, and nothing else, so
     * that row is in sight. */
    function keepInSight(row) {
      var top = row.offsetTop, bottom = top + row.offsetHeight;
      if (top < scroll.scrollTop || bottom > scroll.scrollTop + scroll.clientHeight) {
        scroll.scrollTop = Math.max(0, top - scroll.clientHeight / 3);
      }
    }
    /* Full screen and a turned phone resize the lines' box: the marked
     * line stays in it. */
    if (typeof ResizeObserver === 'function') {
      new ResizeObserver(function () {
        var row = lines.querySelector('[aria-current="step"]');
        if (row && !scroll.hidden) keepInSight(row);
      }).observe(scroll);
    }

    /* say(text): shows text instead of code. */
    function say(text) {
      note.textContent = text;
      note.hidden = false;
      scroll.hidden = true;
      where.textContent = '';
      shown = null;
      panel.removeAttribute('data-file');
      lines.textContent = '';
    }

    /* showChain(src): the calls that led to src's line, each a button to
     * its function; the innermost one in bold. */
    function showChain(src) {
      chain.textContent = '';
      var calls = src && src.chain && src.chain.length ? src.chain : src && src.func ? [src.func] : [];
      if (!calls.length) return;
      /* A chain starts at main when the step writer ran main's own
       * function (RunJosephus, RunMenu) or stood for main with a frame of
       * that name; a writer that does main's few lines itself (one
       * that opens the file and calls the core's functions as main does)
       * records from the function it called, and main stands in
       * front of it. */
      if (calls[0] !== 'main') calls = ['main'].concat(calls);
      chain.appendChild(document.createTextNode('调用链：'));
      calls.forEach(function (name, i) {
        if (i) chain.appendChild(document.createTextNode(' → '));
        chain.appendChild(el('button', { type: 'button', className: 'code-call' + (i === calls.length - 1 ? ' code-here' : ''),
                                         textContent: name, title: '查看函数 ' + name, 'data-func': name }));
      });
    }

    /* draw(texts, view): puts a view in the panel: the step's own function
     * ({src}) or another function the user asked for ({name}). */
    function draw(texts, view) {
      note.hidden = true;
      scroll.hidden = false;
      back.hidden = !view.name;
      if (texts === null) return say('页面里没有程序的源代码（缺少 sources.js）。');
      if (texts.error) return say(texts.error);
      if (view.name) {
        var found = findFunction(folder, view.name, step && step.file);
        if (!found || texts[found.path] === undefined) return say('页面里没有函数 ' + view.name + ' 的源代码。');
        var whole = texts[found.path].split('\n');
        where.textContent = '正在查看 ' + found.path + ' 的函数 ' + view.name + '（第 ' + found.func.first + '–' +
                            found.func.last + ' 行），不是这一步执行的代码。';
        fill(texts, found.path, commentStart(whole, found.func.first), found.func.last, {});
        return;
      }
      var src = view.src;
      if (!src) return say('这一步没有记下对应的代码行。');
      if (texts[src.file] === undefined) return say('页面里没有 ' + src.file + ' 的源代码。');
      var file = texts[src.file].split('\n');
      var func = functionAt(src.file, src.line);
      var from = func ? commentStart(file, func.first) : Math.max(1, src.line - AROUND);
      var to = func ? func.last : Math.min(file.length, src.line + AROUND);
      var end = statementEnd(file, src.line);
      var marks = {};
      for (var k = src.line; k <= end; k++) marks[k] = true;
      where.textContent = src.file + (func ? ' · 函数 ' + func.name : '') + ' · 第 ' + src.line +
                          (end > src.line ? '–' + end : '') + ' 行';
      fill(texts, src.file, from, to, marks);
    }

    /* put(view): draws the view once the sources are there, unless a later
     * call came first. */
    function put(view) {
      var mine = ++asked;
      sources().then(function (texts) { if (mine === asked) draw(texts, view); });
    }

    panel.addEventListener('click', function (e) {
      var button = e.target.closest('button[data-func]');
      if (button) put({ name: button.getAttribute('data-func') });
    });
    back.addEventListener('click', function () { put({ src: step }); });

    return {
      show: function (src) {
        step = src || null;
        showChain(step);
        put({ src: step });
      },
      clear: function () {
        step = null;
        showChain(null);
        ++asked;
        say('');
        note.hidden = true;
      },
      element: panel
    };
  }

  return { mount: mount, sources: sources };
})();
