/* ui.js -- what the four tabs of the page share: the example list and the
 * file button, the run bar, and the display of a run's result.
 *
 * A tab is made by DsdUi.makeTab(program, content); the program's own script
 * (tab-<program>.js) gives its content:
 *   intro          one sentence on what the program shows
 *   input(box, tab)  builds the program's input inside box and returns
 *                  {load(name, bytes, opened), request()}: load puts an
 *                  example or an opened file there; request() answers
 *                  {request, command} for runner.js and the console command
 *                  line it stands for, or {error} with a message for the user
 *                  and save() / restore(state): the input as a string for the
 *                  address's # part (null when it cannot be saved), and back
 *   show(run, box) optional: more display of a run (evaluator's table)
 * The tab object it returns: {program, section, run(), last}; last is the
 * latest {request, command, result, ms}. Listeners added to tab.onRun are
 * called with it after each run (the pictures and the compare panel use
 * this). */
var DsdUi = (function () {
  'use strict';

  /* el(tag, props, children): a new element with the given properties
   * (className, textContent, ...) and children (elements or strings). */
  function el(tag, props, children) {
    var node = document.createElement(tag);
    Object.keys(props || {}).forEach(function (k) {
      if (k.indexOf('data-') === 0 || k === 'for' || k === 'role') node.setAttribute(k, props[k]);
      else node[k] = props[k];
    });
    (children || []).forEach(function (c) {
      node.appendChild(typeof c === 'string' ? document.createTextNode(c) : c);
    });
    return node;
  }

  /* base64Bytes(text): the bytes that base64 text stands for. */
  function base64Bytes(text) {
    var raw = atob(text);
    var bytes = new Uint8Array(raw.length);
    for (var i = 0; i < raw.length; i++) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }

  /* bytesToBase64url(bytes): bytes as base64url text (for the address). */
  function bytesToBase64url(bytes) {
    var raw = '';
    for (var i = 0; i < bytes.length; i++) raw += String.fromCharCode(bytes[i]);
    return btoa(raw).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  /* base64urlToBytes(text): the bytes of base64url text, or null when it
   * is not base64url. */
  function base64urlToBytes(text) {
    try {
      return base64Bytes(text.replace(/-/g, '+').replace(/_/g, '/'));
    } catch (e) {
      return null;
    }
  }

  /* The address's # part holds the visible tab and its case:
   * #<program>&in=<the input, base64url>&step=<picture step from 1>.
   * hashPart(program, key): the value of key there, when the # part is
   * program's; else null. */
  function hashPart(program, key) {
    var parts = location.hash.replace(/^#/, '').split('&');
    if (parts[0] !== program) return null;
    for (var i = 1; i < parts.length; i++) {
      if (parts[i].indexOf(key + '=') === 0) return parts[i].slice(key.length + 1);
    }
    return null;
  }

  /* setHashPart(program, key, value): writes key=value into the # part when
   * it is program's, keeping the rest; adds nothing to the history. */
  function setHashPart(program, key, value) {
    var parts = location.hash.replace(/^#/, '').split('&');
    if (parts[0] !== program) return;
    parts = parts.filter(function (p, i) { return i === 0 || p.indexOf(key + '=') !== 0; });
    parts.push(key + '=' + value);
    history.replaceState(null, '', '#' + parts.join('&'));
  }

  /* examples(program): the program's bundled examples, [{name, bytes}],
   * the main one first; none when examples.js is missing. */
  function examples(program) {
    var list = (typeof DSD_EXAMPLES === 'object' && DSD_EXAMPLES[program]) || [];
    return list.map(function (e) { return { name: e.name, bytes: base64Bytes(e.base64) }; });
  }

  /* encodeOrExplain(text, what): {bytes} with text in GBK, or {error} with
   * a message naming the character that GBK lacks and where it stands. */
  function encodeOrExplain(text, what) {
    var enc = DsdGbk.encode(text);
    if (enc.bytes) return enc;
    return { error: what + '第' + enc.line + '行第' + enc.column + '个字符「' + enc.bad +
                    '」不在 GBK 字符集中：中文 Windows 控制台也无法把它交给程序。' +
                    '请换成 GBK 有的字符，或打开一个文件，按原样交给程序。' };
  }

  /* fileButton(onOpen): a button that opens a file of the user's own and
   * calls onOpen(name, bytes) with its exact bytes. */
  function fileButton(onOpen) {
    var input = el('input', { type: 'file', hidden: true });
    input.addEventListener('change', function () {
      var file = input.files[0];
      if (!file) return;
      file.arrayBuffer().then(function (buf) {
        input.value = '';
        onOpen(file.name, new Uint8Array(buf));
      });
    });
    var button = el('button', { type: 'button', className: 'open', textContent: '打开文件…' });
    button.addEventListener('click', function () { input.click(); });
    return el('span', {}, [button, input]);
  }

  /* downloadLink(name, bytes): a link that saves bytes as a file name. */
  function downloadLink(name, bytes) {
    var url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    return el('a', { href: url, download: name, className: 'download', textContent: '下载' });
  }

  /* showRun(run, box): the command line, the exit status, stdout, stderr
   * and each output file of a run, in box; replaces what box held. */
  function showRun(run, box) {
    Array.prototype.forEach.call(box.querySelectorAll('a.download'), function (a) {
      URL.revokeObjectURL(a.href);
    });
    box.textContent = '';
    var r = run.result;
    box.appendChild(el('p', { className: 'command' }, [
      '相当于在控制台执行：', el('code', { textContent: run.command })]));
    if (r.crash) box.appendChild(el('p', { className: 'crash', textContent: r.crash }));
    box.appendChild(el('p', { className: 'status' + (r.status ? ' failed' : '') }, [
      '退出状态：', el('strong', { className: 'status-value', textContent: String(r.status) }),
      r.status === 255 ? '（即 -1）' : '']));
    [['stdout', '标准输出（stdout）'], ['stderr', '标准错误（stderr）']].forEach(function (s) {
      var bytes = r[s[0]];
      box.appendChild(el('section', { className: 'stream ' + s[0] }, [
        el('h3', { textContent: s[1] + (bytes.length ? '' : '：无') }),
        bytes.length ? el('pre', { className: s[0] + '-text', textContent: DsdGbk.decode(bytes), tabIndex: 0 }) : el('span')]));
    });
    r.files.slice().sort(function (a, b) { return a.path < b.path ? -1 : 1; }).forEach(function (f) {
      box.appendChild(el('section', { className: 'file', 'data-name': f.path }, [
        el('h3', {}, ['输出文件 ', el('code', { textContent: f.path }),
                      '（' + f.data.length + ' 字节） ', downloadLink(f.path, f.data)]),
        el('pre', { className: 'file-text', textContent: DsdGbk.decode(f.data), tabIndex: 0 })]));
    });
  }

  /* showText(bytes): the text of a file's bytes for the input box: UTF-8
   * when they are valid UTF-8 (a byte order mark dropped), else GBK. */
  function showText(bytes) {
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch (e) {
      return DsdGbk.decode(bytes);
    }
  }

  /* documentInput(box, program, file, label): the input of a program that
   * reads a file named on its command line: a text box for the file's
   * text. An example or an opened file goes to the program byte for byte
   * until the text is edited; typed text goes as GBK. Returns the input
   * object that makeTab expects. */
  function documentInput(box, program, file, label) {
    var area = el('textarea', { className: 'document', rows: 8, spellcheck: false, id: program + '-document' });
    var given = null;   /* the exact bytes of the example or opened file */
    area.addEventListener('input', function () { given = null; });
    box.appendChild(el('label', { className: 'document-label', for: area.id }, [label]));
    box.appendChild(area);
    return {
      area: area,
      load: function (name, bytes) {
        given = bytes;
        area.value = showText(bytes);
      },
      save: function () {
        var enc = given ? { bytes: given } : DsdGbk.encode(area.value);
        return enc.bytes ? bytesToBase64url(enc.bytes) : null;
      },
      restore: function (state) {
        var bytes = base64urlToBytes(state);
        if (bytes) this.load(file, bytes);
      },
      request: function () {
        var enc = given ? { bytes: given } : encodeOrExplain(area.value, file + ' ');
        if (enc.error) return enc;
        return { request: { args: [file], files: [{ path: file, data: enc.bytes }] },
                 command: program + ' ' + file };
      }
    };
  }

  /* The output the 对照 panel compares: the file each program writes. */
  var OUTPUT_FILE = { evaluator: 'result.txt', translator: 'translate.txt', josephus: 'out.txt' };

  /* ourOutput(program, result): the bytes of the program's output in a
   * run's result (bitree: stdout), or null when the run wrote none. */
  function ourOutput(program, result) {
    if (program === 'bitree') return result.stdout;
    var file = result.files.filter(function (f) { return f.path === OUTPUT_FILE[program]; })[0];
    return file ? file.data : null;
  }

  /* makeTab(program, content): builds the tab's content in its section
   * (#tab-<program>) and returns the tab object described above. */
  function makeTab(program, content) {
    var section = document.getElementById('tab-' + program);
    /* inputName: the example or file in the input, 'typed' once edited. */
    var tab = { program: program, section: section, last: null, onRun: [], inputName: 'typed' };
    var inputBox = el('div', { className: 'input' });
    var select = el('select', { className: 'examples' });
    var source = el('span', { className: 'source' });
    var runButton = el('button', { type: 'button', className: 'run', textContent: '运行' });
    var stopButton = el('button', { type: 'button', className: 'stop', textContent: '停止', hidden: true });
    var busy = el('span', { className: 'busy', hidden: true, textContent: '正在运行…' });
    var message = el('p', { className: 'message', hidden: true, role: 'alert' });
    var output = el('div', { className: 'output' });
    var list = examples(program);
    var runs = 0;   /* runs shown so far, for the checks to wait on */

    var tabButton = document.querySelector('#tabs [data-tab="' + program + '"]');
    section.appendChild(el('h2', { className: 'visually-hidden', textContent: tabButton ? tabButton.textContent : program }));
    section.appendChild(el('p', { className: 'intro', textContent: content.intro }));
    list.forEach(function (e, i) { select.appendChild(el('option', { value: String(i), textContent: e.name })); });
    section.appendChild(el('div', { className: 'sources' }, [
      el('label', {}, ['示例：', select]), fileButton(function (name, bytes) {
        tab.inputName = name;
        input.load(name, bytes, true);
        source.textContent = '已打开 ' + name + '（' + bytes.length + ' 字节），原样交给程序；修改后按 GBK 重新编码。';
      }), source]));
    section.appendChild(inputBox);
    inputBox.addEventListener('input', function () { tab.inputName = 'typed'; });
    section.appendChild(el('div', { className: 'actions' }, [
      runButton, stopButton, busy,
      el('span', { className: 'note', textContent: '每次运行都用一个新的程序实例，在一个空的工作文件夹里进行。' })]));
    section.appendChild(message);
    tab.pictureBox = el('div', { className: 'picture' });
    section.appendChild(tab.pictureBox);
    section.appendChild(output);
    tab.compareBox = el('div', { className: 'compare' }, [
      el('h3', { textContent: '对照：你的程序与我们的程序' })]);
    section.appendChild(tab.compareBox);

    var input = content.input(inputBox, tab);
    /* loadExample(i): puts example i into the input. */
    function loadExample(i) {
      if (!list[i]) return;
      tab.inputName = list[i].name;
      input.load(list[i].name, list[i].bytes, false);
      source.textContent = '';
    }
    select.addEventListener('change', function () { loadExample(Number(select.value)); });
    var linked = hashPart(program, 'in');
    if (linked === null) loadExample(0);
    else input.restore(linked);

    tab.run = function () {
      var asked = input.request();
      if (asked.error) {
        message.textContent = asked.error;
        message.hidden = false;
        return Promise.resolve(null);
      }
      message.hidden = true;
      var started = performance.now();
      runButton.disabled = true;
      stopButton.hidden = false;
      busy.hidden = false;
      section.classList.add('running');
      return DsdEngine.run(program, asked.request).then(function (result) {
        var run = { request: asked.request, command: asked.command, result: result };
        showRun(run, output);
        if (content.show) content.show(run, output);
        run.ms = performance.now() - started;
        output.setAttribute('data-ms', run.ms.toFixed(1));
        output.setAttribute('data-runs', String(++runs));
        tab.last = run;
        var saved = input.save();
        if (saved !== null) setHashPart(program, 'in', saved);
        runButton.disabled = false;
        stopButton.hidden = true;
        busy.hidden = true;
        section.classList.remove('running');
        tab.onRun.forEach(function (f) { f(run); });
        return run;
      });
    };
    /* The 对照 panel compares a student's output with the output file of
     * the run on screen (bitree: its console output). */
    if (typeof DsdComparePanel === 'object') {
      tab.comparePanel = DsdComparePanel.mount(tab.compareBox, program, function () {
        return tab.last ? ourOutput(program, tab.last.result) : null;
      }, { onStep: function (step) { if (tab.onCompareStep) tab.onCompareStep(step); } });
    }
    runButton.addEventListener('click', function () { tab.run(); });
    stopButton.addEventListener('click', function () { DsdEngine.stop(program); });
    return tab;
  }

  return { el: el, makeTab: makeTab, encodeOrExplain: encodeOrExplain,
           documentInput: documentInput, showText: showText, downloadLink: downloadLink,
           hashPart: hashPart, setHashPart: setHashPart,
           bytesToBase64url: bytesToBase64url, base64urlToBytes: base64urlToBytes };
})();
