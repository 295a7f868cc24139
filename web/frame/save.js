/* save.js -- 保存全部步骤: every step of the run on screen in one
 * self-contained HTML file, made in the background while the page stays
 * responsive, with a progress line and 取消.
 *
 * The file draws each step itself when it is shown, as the page does: it
 * carries the run's step record (the step writer's envelope, its very
 * bytes: the page never turns the trace back into JSON), the picture's own
 * drawing code (DSD_DRAWING, which the build copies from web/: dom.js,
 * gbk.js, draw/ and the program's parts and picture.js) and the program's sources
 * with their function index, for each step's code panel: the function
 * that did the step with its line marked. So any run saves whole, however
 * many steps it has, and opens offline on any classroom computer.
 *
 * What is saved is the run that was on screen at the click: the file is
 * made from that run alone (its record, its count), whatever ends
 * meanwhile. A new run on the tab stops the save and says so; so does 取消.

 *
 * present.js mounts it once per picture:
 *
 *     DsdSave.mount({ tab, bar, state, run, say })
 *
 *   bar      the controls, where 保存全部步骤, its progress and 取消 go
 *   state()  as present.js has it: the step on screen and the count
 *   run()    the run whose steps are on screen, or null
 *   say(text)     present.js's message beside the buttons
 *
 * DsdSave = {mount(frame) -> {busy()}} */
var DsdSave = (function () {
  'use strict';
  var el = DsdUi.el;
  var SLICE_MS = 16;            /* the most main-thread work between two yields */
  var SCAN_BYTES = 4 << 20;     /* record bytes scanned for "</" per slice */
  var OUTPUT_BYTES = 1 << 20;   /* outputs larger than this stay out of the file */
  var FONT = "'Microsoft YaHei', 'PingFang SC', 'WenQuanYi Micro Hei', 'Noto Sans CJK SC', sans-serif";

  /* later(f): f in a task of its own, after the page has drawn. */
  function later(f) {
    setTimeout(f, 0);
  }

  /* escapeHtml(s): s safe as HTML text. */
  function escapeHtml(s) {
    return String(s).replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
  }

  /* scriptText(s): s safe inside a <script> element: "</" never closes
   * it ("<\/" means the same in a JavaScript string, regular expression or
   * comment, and in a JSON string). */
  function scriptText(s) {
    return s.replace(/<\//g, '<\\/');
  }

  /* base64(bytes): bytes as base64 text. */
  function base64(bytes) {
    var raw = '';
    for (var i = 0; i < bytes.length; i += 8192) raw += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
    return btoa(raw);
  }

  /* offer(name, parts): saves a Blob of parts as the file name. */
  function offer(name, parts) {
    var a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob(parts, { type: 'text/html' }));
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(a.href); }, 60000);
  }

  /* fileName(tab, input): the saved file's name: the program, the example
   * or file the run read ('typed' for typed input), then steps.html. */
  function fileName(tab, input) {
    return tab.program + '-' + String(input || 'typed').replace(/[\\\/:*?"<>|\s]+/g, '_') + '-steps.html';
  }

  /* ------------------------------------------------------- the saved file */

  /* The file's style (short: a teacher may open it to see what it does). */
  var DECK_STYLE = 'html,body{margin:0;background:#fff;color:#1d2330;font-family:' + FONT + '}' +
    'header{position:sticky;top:0;display:flex;flex-wrap:wrap;gap:1rem;align-items:center;padding:.3rem 1rem;' +
    'background:#eef2f8}header button{font:inherit;min-height:2.5rem;padding:0 1rem}' +
    'main{display:flex;flex-wrap:wrap;gap:1rem;padding:.5rem 1rem}.pic{flex:1 1 30rem;min-width:0;overflow:auto}' +
    '.pic svg{max-width:100%;height:auto}.words{flex:1 1 20rem;min-width:0}' +
    'p{margin:.3rem 0;font-size:1.3rem;line-height:1.4}p.extra{font-size:1.1rem;color:#3a4456}' +
    '.code h4{margin:.6rem 0 .2rem;font-size:1rem}.code ol{margin:0;padding:0;list-style:none;' +
    'font:14px/1.45 "DejaVu Sans Mono",Consolas,monospace;white-space:pre;overflow:auto;max-height:60vh;position:relative;' +
    'border:1px solid #c9ced6}.code li{padding:0 .5rem}.code li span{display:inline-block;width:3.5em;color:#8a919c}' +
    '.code li[aria-current]{background:#fff1c2;font-weight:bold}';

  /* deckStubs(program, tabName): what the page gives a picture and the
   * file gives it too: the element helper, the frame's attach (which here
   * only keeps the picture), and the program's tab (a click that names a
   * unit goes to its step). Runs in the saved file, as text. */
  function deckStubs() {
    window.DsdUi = { el: DsdDom.el };
    window.DsdPicture = {
      attach: function (tab, picture) { window.DSD_PICTURE = picture; },
      svgEl: DsdDraw.svgEl,
      gbkText: function (s) {
        var bytes = new Uint8Array(s.length);
        for (var i = 0; i < s.length; i++) bytes[i] = s.charCodeAt(i) & 0xff;
        return DsdGbk.decode(bytes);
      }
    };
    window[DSD_DECK.tab] = { program: DSD_DECK.program, section: document.body,
                             onCompareStep: function (n) { window.dsdGoUnit(n); } };
  }

  /* deckScript(): steps the file: ←/→, space, PageUp/PageDown, Home, End,
   * the buttons; each step is drawn from the record when it is shown, by
   * the picture's own render; the step is kept in the # part, and a #
   * typed there (#5) goes to that step. Runs in the saved file, as text. */
  function deckScript() {
    var deck = DSD_DECK;
    var picture = window.DSD_PICTURE;
    var trace = JSON.parse(document.getElementById('record').textContent);
    var bytes = function (b64) {
      var raw = atob(b64), out = new Uint8Array(raw.length);
      for (var i = 0; i < raw.length; i++) out[i] = raw.charCodeAt(i);
      return out;
    };
    trace.outputs = { stdout: bytes(deck.outputs.stdout),
                      files: deck.outputs.files.map(function (f) { return { path: f.path, data: bytes(f.data) }; }) };
    var steps = trace.steps;
    var at = 0;
    var el = DsdDom.el;
    var pic = document.querySelector('.pic'), words = document.querySelector('.words');
    var said = el('div'), code = el('div', { className: 'code' });
    var svg = DsdDraw.svgEl('svg', { width: 10, height: 10 });
    var text = el('div', { className: 'text' }), side = el('div', { className: 'side' });
    pic.appendChild(svg);
    pic.appendChild(text);
    pic.appendChild(side);
    words.appendChild(said);
    words.appendChild(code);
    var view = { svg: svg, text: text, side: side, cache: {}, slideLines: [], first: true, go: go };
    /* codeOf(src): the function of the program that holds src's line,
     * with that line marked. */
    function codeOf(src) {
      code.textContent = '';
      if (!src) return;
      var found = null;
      (deck.functions[src.file] || []).forEach(function (f) { if (f.first <= src.line && src.line <= f.last) found = f; });
      var lines = (deck.sources[src.file] || '').split('\n');
      var first = found ? found.first : Math.max(1, src.line - 8), last = found ? found.last : Math.min(lines.length, src.line + 8);
      code.appendChild(el('h4', { textContent: (found ? found.name : src.func) + '（' + src.file + ' 第 ' + src.line + ' 行）' }));
      var list = el('ol');
      for (var k = first; k <= last && k <= lines.length; k++) {
        var row = el('li', {}, [el('span', { textContent: String(k) }), lines[k - 1].replace(/\r$/, '')]);
        if (k === src.line) row.setAttribute('aria-current', 'step');
        list.appendChild(row);
      }
      code.appendChild(list);
      var marked = list.querySelector('[aria-current]');   /* the marked line in sight, in the list alone */
      if (marked) list.scrollTop = Math.max(0, marked.offsetTop - list.clientHeight / 3);
    }
    function go(i) {
      at = Math.max(0, Math.min(steps.length - 1, i));
      while (svg.firstChild) svg.removeChild(svg.firstChild);
      view.slideLines = [];
      picture.render(steps[at], view, trace);
      view.first = false;
      var caption = picture.caption(steps[at], trace);
      said.textContent = '';
      said.appendChild(el('p', { textContent: '第 ' + (at + 1) + ' 步' + (caption ? '：' + caption : '') }));
      view.slideLines.forEach(function (l) { said.appendChild(el('p', { className: 'extra', textContent: l })); });
      codeOf(steps[at].src);
      document.getElementById('at').textContent = '第 ' + (at + 1) + ' / ' + steps.length + ' 步';
      document.body.setAttribute('data-step', String(at));
      history.replaceState(null, '', '#' + (at + 1));
    }
    window.dsdGoUnit = function (n) {
      for (var i = 0; i < steps.length; i++) if (steps[i].at === n) { go(i); return; }
    };
    document.addEventListener('keydown', function (e) {
      var to = { ArrowLeft: at - 1, PageUp: at - 1, ArrowRight: at + 1, PageDown: at + 1, ' ': at + 1,
                 Home: 0, End: steps.length - 1 }[e.key];
      if (to === undefined || /^(INPUT|TEXTAREA|SELECT)$/.test(e.target.tagName)) return;
      e.preventDefault();
      go(to);
    });
    document.getElementById('back').onclick = function () { go(at - 1); };
    document.getElementById('next').onclick = function () { go(at + 1); };
    document.getElementById('full').onclick = function () {
      if (document.fullscreenElement) document.exitFullscreen(); else document.documentElement.requestFullscreen();
    };
    window.dsdGo = go;
    /* A step typed into the open file's address (#5) is shown. */
    window.addEventListener('hashchange', function () { go(Number(location.hash.slice(1)) - 1 || 0); });
    go(Number(location.hash.slice(1)) - 1 || 0);
  }

  /* deckParts(job, record, sources): the Blob parts of the saved file of
   * job's run: record (the envelope's bytes, "</" already made safe) goes
   * in as it is. */
  function deckParts(job, record, sources) {
    var program = job.tab.program;
    var functions = {}, texts = {};
    Object.keys(typeof DSD_FUNCTIONS === 'object' ? DSD_FUNCTIONS : {}).forEach(function (path) {
      if (path.indexOf(job.folder + '/') !== 0) return;
      functions[path] = DSD_FUNCTIONS[path];
      if (sources && typeof sources[path] === 'string') texts[path] = sources[path];
    });
    var out = job.run.result || { stdout: new Uint8Array(0), files: [] };
    var size = out.stdout.length + out.files.reduce(function (n, f) { return n + f.data.length; }, 0);
    var outputs = size <= OUTPUT_BYTES
      ? { stdout: base64(out.stdout), files: out.files.map(function (f) { return { path: f.path, data: base64(f.data) }; }) }
      : { stdout: '', files: [] };
    var deck = { program: program, tab: 'Dsd' + program[0].toUpperCase() + program.slice(1) + 'Tab',
                 functions: functions, sources: texts, outputs: outputs };
    var title = program + ' · ' + (job.input || 'typed') + ' · 共 ' + job.count + ' 步';
    var shared = ['page/dom.js', 'page/gbk.js'].concat(Object.keys(DSD_DRAWING).filter(function (p) {
      return p.indexOf('draw/') === 0;
    }));
    var own = Object.keys(DSD_DRAWING).filter(function (p) { return p.indexOf(program + '/') === 0; });
    var head = '<!DOCTYPE html>\n<html lang="zh-CN"><head><meta charset="utf-8">' +
      '<meta name="viewport" content="width=device-width, initial-scale=1"><title>' + escapeHtml(title) + '</title>' +
      '<style>' + DECK_STYLE + '</style></head><body data-count="' + job.count + '"><header><strong>' + escapeHtml(title) + '</strong>' +
      '<button id="back" type="button">◀ 上一步</button><span id="at" aria-live="polite"></span>' +
      '<button id="next" type="button">下一步 ▶</button><button id="full" type="button">全屏</button>' +
      '<span>← → 空格 Home End 换步</span></header><main><div class="pic"></div><div class="words"></div></main>\n' +
      '<script type="application/json" id="record">';
    var script = function (text) { return '<script>' + scriptText(text) + '</script>\n'; };
    var tail = '</script>\n' + script('var DSD_DECK = ' + JSON.stringify(deck) + ';') +
      shared.map(function (p) { return script(DSD_DRAWING[p]); }).join('') + script('(' + deckStubs.toString() + ')();') +
      own.map(function (p) { return script(DSD_DRAWING[p]); }).join('') +
      script('(' + deckScript.toString() + ')();') + '</body></html>\n';
    return [head].concat(record, [tail]);
  }

  /* safeRecord(job, bytes, done): calls done(parts) with bytes cut into
   * parts where each "</" is written "<\/", a slice at a time. */
  function safeRecord(job, bytes, done) {
    var parts = [];
    var from = 0, scanned = 0;
    function slice() {
      if (job.stopped) return;
      var end = Math.min(bytes.length, scanned + SCAN_BYTES);
      for (;;) {
        var lt = bytes.indexOf(0x3c, scanned);
        if (lt < 0 || lt >= end) break;
        if (bytes[lt + 1] === 0x2f) {
          parts.push(bytes.subarray(from, lt + 1), '\\');
          from = lt + 1;
        }
        scanned = lt + 1;
      }
      scanned = end;
      job.progress(Math.round(100 * scanned / Math.max(1, bytes.length)) + '%');
      if (scanned < bytes.length) { later(slice); return; }
      parts.push(bytes.subarray(from));
      done(parts);
    }
    later(slice);
  }

  /* ------------------------------------------------------------- mount */

  /* mount(frame): the button 保存全部步骤 with its progress and 取消. */
  function mount(frame) {
    var tab = frame.tab;
    var button = el('button', { type: 'button', className: 'present-all', textContent: '保存全部步骤',
                                title: '把每一步存进一个 HTML 文件：离线打开，按键换步，每一步打开时才画出' });
    var progress = el('span', { className: 'save-progress', role: 'status', hidden: true });
    var cancel = el('button', { type: 'button', className: 'save-cancel', textContent: '取消', hidden: true });
    frame.bar.appendChild(button);
    frame.bar.appendChild(progress);
    frame.bar.appendChild(cancel);
    var job = null;   /* the save under way */
    var folder = DSD_PROGRAMS.filter(function (p) { return p.name === tab.program; })[0].sources;

    /* finish(text): the save under way ends, with text as its last word. */
    function finish(text) {
      if (job) job.stopped = true;
      job = null;
      cancel.hidden = true;
      button.disabled = false;
      progress.hidden = !text;
      progress.textContent = text;
    }

    button.addEventListener('click', function () {
      var state = frame.state();
      var run = frame.run();
      if (!state || !run || job) return;
      var mine = job = { tab: tab, run: run, count: state.count, step: state.step, input: frame.inputName,
                         folder: folder, stopped: false,
                         progress: function (p) { if (job === mine) progress.textContent = '正在保存全部 ' + mine.count + ' 步：' + p; } };
      button.disabled = true;
      cancel.hidden = false;
      progress.hidden = false;
      mine.progress('开始');
      var name = fileName(tab, mine.input);
      if (!run.record || typeof DSD_DRAWING !== 'object') {
        finish('页面里缺少 drawing.js，无法保存全部步骤：请打开完整的 web 文件夹里的 index.html。');
        return;
      }
      var sources = DsdCodePanel.sources ? DsdCodePanel.sources() : Promise.resolve(null);
      safeRecord(mine, run.record, function (record) {
        sources.then(function (texts) {
          if (mine.stopped) return;
          offer(name, deckParts(mine, record, texts && !texts.error ? texts : null));
          finish('已保存全部 ' + mine.count + ' 步：' + name);
        });
      });
    });
    cancel.addEventListener('click', function () { if (job) finish('已取消保存全部步骤，没有存文件。'); });
    tab.onRun.push(function () {
      if (job) finish('新的运行结果出来了：保存全部步骤已停止，没有存文件；要保存就再按一次。');
    });
    return { busy: function () { return !!job; } };
  }

  return { mount: mount };
})();
