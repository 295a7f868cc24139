/* ui.js -- what the tabs of the page share: the tabs themselves (one per
 * program of programs.js), the example list and the file button, the run
 * bar, the display of a run's result, and the address's # part.
 *
 * A tab is made by DsdUi.makeTab(program, content); the program's own script
 * (tab-<program>.js) gives its content:
 *   intro          one sentence on what the program shows
 *   input(box, tab)  builds the program's input inside box and returns
 *                  {load(name, bytes, opened), request(), saved(), flags,
 *                  restore(flag, bytes)}: load puts an example or an opened
 *                  file there; request() answers {request, command} for
 *                  runner.js and the console command line it stands for, or
 *                  {error} with a message for the user; saved() answers
 *                  {flag, bytes} (bytes null when the input cannot be kept)
 *                  for the address, flags the letters a flag may be ('' for
 *                  none), restore puts such a pair back
 *   show(run, box) optional: more display of a run (evaluator's table)
 *
 * The tab object it returns: {program, section, run(), stop(), last,
 * onRun, wantsSteps, say(text)}. A run is one request to the program's
 * worker (engine.js), answered once; while it is in flight the tab is busy,
 * shows Stop, and a new run() waits behind it and takes the input as it is
 * when it starts: so lines typed meanwhile go in one run, and only the
 * latest request's answer is drawn. last is the latest run on screen:
 * {request, command, result, steps, ms} or {error} (the page refused the
 * input, the run was stopped or its instance failed: result null).
 * Listeners in tab.onRun are called with it each time the screen changes
 * (the pictures and the compare panel use this). */
var DsdUi = (function () {
  'use strict';

  /* At most this many bytes of an input or an output are shown as text;
   * the program always gets, and 下载 always saves, every byte. */
  var SHOW_LIMIT = 64 * 1024;
  /* An input of at most this many bytes is kept in the address. */
  var LINK_LIMIT = 32 * 1024;

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

  /* info(program): the program's stanza in programs.js. */
  function info(program) {
    return DSD_PROGRAMS.filter(function (p) { return p.name === program; })[0];
  }

  /* buildFrame(): one tab button and one empty section per program, in the
   * order of programs.js; leaves those that index.html already has. */
  function buildFrame() {
    var nav = document.getElementById('tabs');
    var main = document.querySelector('main');
    DSD_PROGRAMS.forEach(function (p) {
      if (!nav.querySelector('[data-tab="' + p.name + '"]')) {
        nav.appendChild(el('button', { type: 'button', role: 'tab', 'data-tab': p.name, textContent: p.title }));
      }
      if (!document.getElementById('tab-' + p.name)) {
        main.appendChild(el('section', { id: 'tab-' + p.name, className: 'tab', role: 'tabpanel', hidden: true }));
      }
    });
  }
  buildFrame();

  /* sizeText(n): a size in bytes in words, with MB or KB when large. */
  function sizeText(n) {
    if (n >= 1024 * 1024) return n + ' 字节（约 ' + (n / 1048576).toFixed(1) + ' MB）';
    if (n >= 1024) return n + ' 字节（约 ' + Math.round(n / 1024) + ' KB）';
    return n + ' 字节';
  }

  /* base64Bytes(text): the bytes that base64 text stands for; throws when
   * it is not base64. */
  function base64Bytes(text) {
    var raw = atob(text);
    var bytes = new Uint8Array(raw.length);
    for (var i = 0; i < raw.length; i++) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }

  /* bytesToBase64url(bytes): bytes as base64url text (for the address). */
  function bytesToBase64url(bytes) {
    var raw = '';
    for (var i = 0; i < bytes.length; i += 8192) {
      raw += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
    }
    return btoa(raw).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  /* base64urlToBytes(text): the bytes of base64url text, or null when it
   * is not base64url (a stray character, a length no base64 has). */
  function base64urlToBytes(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) return null;
    try {
      return base64Bytes(text.replace(/-/g, '+').replace(/_/g, '/'));
    } catch (e) {
      return null;
    }
  }

  /* The address's # part holds the visible tab and its case:
   * #<program>&in=<the input, base64url>&step=<picture step from 1>.
   * hashParts(): {program, keys: {key: value}} of the # part as it is. */
  function hashParts() {
    var parts = location.hash.replace(/^#/, '').split('&');
    var keys = {};
    parts.slice(1).forEach(function (p) {
      var eq = p.indexOf('=');
      if (eq > 0) keys[p.slice(0, eq)] = p.slice(eq + 1);
    });
    return { program: parts[0], keys: keys };
  }

  /* hashPart(program, key): the value of key in the # part, when the # part
   * is program's; else null. */
  function hashPart(program, key) {
    var h = hashParts();
    return h.program === program && key in h.keys ? h.keys[key] : null;
  }

  /* setHashPart(program, key, value): writes key=value into the # part
   * (value null: takes key out), keeping the rest, when the # part is
   * program's, or names no program and program's tab is the visible one
   * (a page opened with no #); adds nothing to the history. */
  function setHashPart(program, key, value) {
    var h = hashParts();
    if (h.program !== program) {
      var section = document.getElementById('tab-' + program);
      if (info(h.program) || !section || section.hidden) return;
      h = { program: program, keys: {} };
    }
    if (value === null) delete h.keys[key];
    else h.keys[key] = value;
    var order = ['in', 'step'].filter(function (k) { return k in h.keys; })
      .concat(Object.keys(h.keys).filter(function (k) { return k !== 'in' && k !== 'step'; }));
    var text = '#' + [h.program].concat(order.map(function (k) { return k + '=' + h.keys[k]; })).join('&');
    if (text !== location.hash) history.replaceState(null, '', text);
  }

  /* examples(program): the program's bundled examples, [{name, bytes}],
   * the main one first; none when examples.js is missing. */
  function examples(program) {
    var list = (typeof DSD_EXAMPLES === 'object' && DSD_EXAMPLES[program]) || [];
    var main = info(program).mainExample;
    return list.map(function (e) { return { name: e.name, bytes: base64Bytes(e.base64) }; })
      .sort(function (a, b) { return (b.name === main) - (a.name === main); });
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

  /* fileButton(onOpen, onFail): a button that opens a file of the user's
   * own and calls onOpen(name, bytes) with its exact bytes, or onFail with
   * a message when the browser cannot read it. */
  function fileButton(onOpen, onFail) {
    var input = el('input', { type: 'file', hidden: true });
    input.addEventListener('change', function () {
      var file = input.files[0];
      if (!file) return;
      input.value = '';
      file.arrayBuffer().then(function (buf) {
        onOpen(file.name, new Uint8Array(buf));
      }, function () {
        onFail('无法读取文件 ' + file.name + '：浏览器读不出它的内容（它可能已被移走、改名，或太大）。请检查后重新打开。');
      });
    });
    var button = el('button', { type: 'button', className: 'open', textContent: '打开文件…' });
    button.addEventListener('click', function () { input.click(); });
    return el('span', {}, [button, input]);
  }

  /* downloadLink(name, bytes): a link that saves bytes as a file name.
   * The file is made on the first click (copying a large output when it
   * is shown would hold the page up). */
  function downloadLink(name, bytes) {
    var a = el('a', { href: '#', download: name, className: 'download', textContent: '下载' });
    a.addEventListener('click', function () {
      if (a.href.indexOf('blob:') !== 0) {
        a.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
      }
    });
    return a;
  }

  /* cutAt(bytes): where a text shown of bytes ends: all of them when they
   * fit in SHOW_LIMIT, else behind the last newline in that part (or at
   * SHOW_LIMIT when the part has none in its second half). */
  function cutAt(bytes) {
    if (bytes.length <= SHOW_LIMIT) return bytes.length;
    var nl = bytes.subarray(0, SHOW_LIMIT).lastIndexOf(10);
    return nl >= SHOW_LIMIT / 2 ? nl + 1 : SHOW_LIMIT;
  }

  /* showText(bytes): the text of a file's bytes for an input box, at most
   * its first SHOW_LIMIT bytes: UTF-8 when that part is valid UTF-8 (a byte
   * order mark dropped), else GBK. */
  function showText(bytes) {
    var part = bytes.subarray(0, cutAt(bytes));
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(part, { stream: part.length < bytes.length });
    } catch (e) {
      return DsdGbk.decode(part);
    }
  }

  /* cutNote(shown, total): the line under a text cut for the page, or ''
   * when nothing was cut. */
  function cutNote(shown, total) {
    if (shown >= total) return '';
    return '这里只显示开头的 ' + sizeText(shown) + '；全部共 ' + sizeText(total) + '，每个字节都在“下载”里。';
  }

  /* textBlock(className, name, bytes, linked): a <pre> with the GBK text
   * of bytes, at most their first SHOW_LIMIT bytes, and when cut a line
   * that says so, with a download link of all of them unless the block's
   * heading has one (linked); returns both in a <div>. */
  function textBlock(className, name, bytes, linked) {
    var end = cutAt(bytes);
    var box = el('div', { className: 'text-block' },
                 [el('pre', { className: className, textContent: DsdGbk.decode(bytes.subarray(0, end)), tabIndex: 0 })]);
    if (end < bytes.length) {
      box.appendChild(el('p', { className: 'cut-note' },
                         [cutNote(end, bytes.length)].concat(linked ? [] : [' ', downloadLink(name, bytes)])));
    }
    return box;
  }

  /* showRun(run, box): the command line, the exit status, stdout, stderr
   * and each output file of a run, in box; or its command line and why it
   * has no result (stopped, failed); replaces what box held. */
  function showRun(run, box) {
    clearBox(box);
    box.appendChild(el('p', { className: 'command' }, [
      '相当于在控制台执行：', el('code', { textContent: run.command })]));
    if (run.error) {
      box.appendChild(el('p', { className: 'crash', textContent: run.error }));
      return;
    }
    var r = run.result;
    if (r.crash) box.appendChild(el('p', { className: 'crash', textContent: r.crash }));
    box.appendChild(el('p', { className: 'status' + (r.status ? ' failed' : '') }, [
      '退出状态：', el('strong', { className: 'status-value', textContent: String(r.status) }),
      r.status === 255 ? '（即 -1）' : '']));
    [['stdout', '标准输出（stdout）'], ['stderr', '标准错误（stderr）']].forEach(function (s) {
      var bytes = r[s[0]];
      box.appendChild(el('section', { className: 'stream ' + s[0] }, [
        el('h3', { textContent: s[1] + (bytes.length ? '' : '：无') }),
        bytes.length ? textBlock(s[0] + '-text', s[0] + '.txt', bytes, false) : el('span')]));
    });
    r.files.slice().sort(function (a, b) { return a.path < b.path ? -1 : 1; }).forEach(function (f) {
      box.appendChild(el('section', { className: 'file', 'data-name': f.path }, [
        el('h3', {}, ['输出文件 ', el('code', { textContent: f.path }),
                      '（' + sizeText(f.data.length) + '） ', downloadLink(f.path, f.data)]),
        textBlock('file-text', f.path, f.data, true)]));
    });
  }

  /* clearBox(box): empties box, freeing the files its links held. */
  function clearBox(box) {
    Array.prototype.forEach.call(box.querySelectorAll('a.download'), function (a) {
      if (a.href.indexOf('blob:') === 0) URL.revokeObjectURL(a.href);
    });
    box.textContent = '';
  }

  /* plainName(name): name when the program can be given it as it is (the
   * browser passes a name as UTF-8, a Windows console as GBK, so only
   * printable ASCII without a folder separator is the same on both); else
   * null. */
  function plainName(name) {
    return /^[\x20-\x7e]+$/.test(name) && !/[\/\\]/.test(name) && name[0] !== '-' ? name : null;
  }

  /* shellWord(word): word as it is typed on a command line (quoted when it
   * holds a blank). */
  function shellWord(word) {
    return /\s/.test(word) ? '"' + word + '"' : word;
  }

  /* documentInput(box, program, file, label, tab): the input of a program
   * that reads a file named on its command line: a text box for the file's
   * text. An example or an opened file goes to the program byte for byte,
   * under its own name when it has a plain one; the box shows at most its
   * first SHOW_LIMIT bytes. Once the text is edited, what is typed goes,
   * as GBK, under the name file. Returns the input object that makeTab
   * expects. */
  function documentInput(box, program, file, label, tab) {
    var area = el('textarea', { className: 'document', rows: 8, spellcheck: false, id: program + '-document' });
    var given = null;   /* the exact bytes of the example or opened file */
    var name = file;    /* the name the program is given */
    var opened = null;  /* the opened file's own name, while it is the input */
    area.addEventListener('input', function () {
      if (opened && given) {
        tab.say('你改动了框里的文字：交给程序的不再是文件 ' + opened + '，而是框里的文字（按 GBK 编码，名为 ' + file + '）。');
      }
      given = null;
      named(file);
      opened = null;
    });
    var caption = el('label', { className: 'document-label', for: area.id, textContent: label });
    box.appendChild(caption);
    box.appendChild(area);
    /* named(n): the box's caption names the file the program gets. */
    function named(n) {
      name = n;
      caption.textContent = label.split(file).join(n);
    }
    return {
      area: area,
      flags: '',
      load: function (fileName, bytes, isOpened) {
        given = bytes;
        opened = isOpened ? fileName : null;
        named(isOpened ? (plainName(fileName) || file) : file);
        area.value = showText(bytes);
        if (!isOpened) return;
        var shown = cutAt(bytes) < bytes.length
          ? '框里只显示开头的 ' + sizeText(cutAt(bytes)) + '，整个文件原样交给程序。'
          : '原样交给程序；修改后按 GBK 重新编码。';
        var renamed = plainName(fileName) ? ''
          : '文件名里有非 ASCII 字符（例如汉字）或路径符号，浏览器无法把它原样交给程序（控制台按 GBK 传文件名，浏览器按 UTF-8），' +
            '所以程序看到的名字是 ' + file + '，内容不变。';
        tab.say('已打开 ' + fileName + '（' + sizeText(bytes.length) + '）：' + shown + renamed);
      },
      saved: function () {
        var enc = given ? { bytes: given } : DsdGbk.encode(area.value);
        return { flag: '', bytes: enc.bytes || null };
      },
      restore: function (flag, bytes) { this.load(file, bytes, false); },
      request: function () {
        var enc = given ? { bytes: given } : encodeOrExplain(area.value, file + ' ');
        if (enc.error) return enc;
        return { request: { args: [name], files: [{ path: name, data: enc.bytes }] },
                 command: program + ' ' + shellWord(name) };
      }
    };
  }

  /* ourOutput(program, result): the bytes of the program's output in a
   * run's result (stdout when programs.js names no output file), or null
   * when there is no result or the run wrote none. */
  function ourOutput(program, result) {
    if (!result) return null;
    var output = info(program).output;
    if (!output) return result.stdout;
    var file = result.files.filter(function (f) { return f.path === output; })[0];
    return file ? file.data : null;
  }

  /* makeTab(program, content): builds the tab's content in its section
   * (#tab-<program>) and returns the tab object described above. */
  function makeTab(program, content) {
    var section = document.getElementById('tab-' + program);
    /* inputName: the example or file in the input, 'typed' once edited. */
    var tab = { program: program, section: section, last: null, onRun: [], wantsSteps: false,
                inputName: 'typed' };
    var inputBox = el('div', { className: 'input' });
    var select = el('select', { className: 'examples' });
    var source = el('span', { className: 'source' });
    var runButton = el('button', { type: 'button', className: 'run', textContent: '运行' });
    var stopButton = el('button', { type: 'button', className: 'stop', textContent: '停止', hidden: true });
    var busy = el('span', { className: 'busy', hidden: true, textContent: '正在运行…' });
    var message = el('p', { className: 'message', hidden: true, role: 'alert' });
    var linkNote = el('p', { className: 'link-note', hidden: true });
    var output = el('div', { className: 'output' });
    var list = examples(program);
    var runs = 0;          /* answers shown so far, for the checks to wait on */
    var inFlight = false;  /* a request is with the worker */
    var queued = false;    /* run() was called meanwhile: one more run follows */
    var waiters = [];      /* resolves of run() calls not yet answered */
    var generation = 0;    /* counts what was put on screen or asked for: an
                              answer to an older one is dropped */
    var linkDamaged = false; /* the input of the link could not be read */
    DsdUi.tabs[program] = tab;

    /* say(text): the line beside the examples (what is open, what goes to
     * the program). */
    tab.say = function (text) { source.textContent = text; };

    var tabButton = document.querySelector('#tabs [data-tab="' + program + '"]');
    section.appendChild(el('h2', { className: 'visually-hidden', textContent: tabButton ? tabButton.textContent : program }));
    section.appendChild(el('p', { className: 'intro', textContent: content.intro }));
    list.forEach(function (e, i) { select.appendChild(el('option', { value: String(i), textContent: e.name })); });
    var fileOption = el('option', { value: 'file', hidden: true, disabled: true });
    select.appendChild(fileOption);
    section.appendChild(el('div', { className: 'sources' }, [
      el('label', {}, ['示例：', select]), fileButton(function (name, bytes) {
        linkDamaged = false;
        fileOption.textContent = '（你打开的文件：' + name + '）';
        fileOption.hidden = false;
        select.value = 'file';
        tab.say('');
        tab.inputName = name;
        setHashPart(program, 'ex', null);
        input.load(name, bytes, true);
        if (!source.textContent) tab.say('已打开 ' + name + '（' + sizeText(bytes.length) + '），原样交给程序。');
        tab.run();
      }, function (text) { refuse(text); }), exerciseBar(), source]));
    section.appendChild(inputBox);
    inputBox.addEventListener('input', function () {
      tab.inputName = 'typed';
      tab.exercise = null;
      setHashPart(program, 'ex', null);
    });
    section.appendChild(el('div', { className: 'actions' }, [
      runButton, stopButton, busy,
      el('span', { className: 'note', textContent: '每次运行都用一个新的程序实例，在一个空的工作文件夹里进行。' })]));
    section.appendChild(message);
    section.appendChild(linkNote);
    tab.pictureBox = el('div', { className: 'picture' });
    section.appendChild(tab.pictureBox);
    section.appendChild(output);
    tab.compareBox = el('div', { className: 'compare' }, [
      el('h3', { textContent: '对照：你的程序与我们的程序' })]);
    section.appendChild(tab.compareBox);

    /* exerciseBar(): 换一题 with its size (exercise.js): a new random input
     * that the program accepts, run at once; its size and seed go into the
     * address (ex=<size>-<seed>), so a link gives everyone the same one. */
    function exerciseBar() {
      var size = el('select', { className: 'exercise-size' });
      DsdExercise.SIZES.forEach(function (s) { size.appendChild(el('option', { value: s, textContent: DsdExercise.LABELS[s] })); });
      var button = el('button', { type: 'button', className: 'exercise-new', textContent: '换一题' });
      button.addEventListener('click', function () {
        loadExercise(size.value, DsdExercise.newSeed());
        tab.run();
      });
      tab.exerciseSize = size;
      return el('span', { className: 'exercise' }, [button, el('label', {}, [' 大小：', size])]);
    }

    /* loadExercise(size, seed): puts the exercise of that size and seed into
     * the input; false (the input left as it was) when there is none. */
    function loadExercise(size, seed) {
      var ex = typeof DsdExercise === 'object' ? DsdExercise.make(program, size, seed) : null;
      if (!ex) return false;
      linkDamaged = false;
      tab.exerciseSize.value = size;
      fileOption.textContent = '（换一题：' + DsdExercise.LABELS[size] + '，编号 ' + seed + '）';
      fileOption.hidden = false;
      select.value = 'file';
      tab.inputName = ex.name;
      input.load(ex.name, ex.bytes, false);
      tab.say('');
      setHashPart(program, 'ex', size + '-' + seed);
      tab.exercise = size + '-' + seed;
      return true;
    }

    /* linkedExercise(): loads the exercise that the address names (ex=);
     * false when it names none, or a damaged one. */
    function linkedExercise() {
      var m = /^([a-z]+)-(\d{1,10})$/.exec(hashPart(program, 'ex') || '');
      return !!m && loadExercise(m[1], Number(m[2]));
    }

    var input = content.input(inputBox, tab);
    /* loadExample(i): puts example i into the input. */
    function loadExample(i) {
      if (!list[i]) return;
      setHashPart(program, 'ex', null);
      tab.exercise = null;
      fileOption.hidden = true;
      select.value = String(i);
      tab.inputName = list[i].name;
      input.load(list[i].name, list[i].bytes, false);
      tab.say('');
    }
    select.addEventListener('change', function () {
      if (select.value === 'file') return;
      linkDamaged = false;
      loadExample(Number(select.value));
      tab.run();
    });

    /* restoreLink(value): puts the input that a link's in= holds into the
     * input; returns false (the input left as it was) when it is damaged. */
    function restoreLink(value) {
      var text;
      try {
        text = decodeURIComponent(value);
      } catch (e) {
        return false;
      }
      var flag = input.flags ? text[0] : '';
      if (input.flags && (!flag || input.flags.indexOf(flag) < 0)) return false;
      var bytes = base64urlToBytes(text.slice(flag.length));
      if (!bytes) return false;
      input.restore(flag, bytes);
      fileOption.hidden = true;
      select.value = '';
      tab.say('');
      return true;
    }

    /* follow(value): takes the input of a link (null: none), or, when it is
     * damaged, the tab's main example with a line that says so. */
    function follow(value) {
      linkDamaged = false;
      if (linkedExercise()) return;
      if (value === null) { loadExample(0); return; }
      if (restoreLink(value)) return;
      loadExample(0);
      linkDamaged = true;
      showLinkNote('链接已损坏：其中的输入无法读出，已改为载入主示例 ' + (list[0] ? list[0].name : '') + '。');
    }

    /* showLinkNote(text): the line about the link under the run bar ('':
     * none). */
    function showLinkNote(text) {
      linkNote.textContent = text;
      linkNote.hidden = !text;
    }

    /* saveLink(): writes the input into the address when it is small
     * enough, else takes it out and says so. */
    function saveLink() {
      var s = input.saved();
      if (!s.bytes) { setHashPart(program, 'in', null); return; }
      if (s.bytes.length > LINK_LIMIT) {
        setHashPart(program, 'in', null);
        showLinkNote('这个输入有 ' + sizeText(s.bytes.length) + '，超过链接能带的 32 KB，不能放进链接：' +
                     '地址栏里的链接只记下标签页和步骤，用它再打开本页时，请重新打开这个文件。');
        return;
      }
      setHashPart(program, 'in', s.flag + bytesToBase64url(s.bytes));
      if (linkDamaged) linkDamaged = false;   /* the note stays for the run it explains */
      else showLinkNote('');
    }
    tab.savedIn = function () {
      var s = input.saved();
      return s.bytes && s.bytes.length <= LINK_LIMIT ? s.flag + bytesToBase64url(s.bytes) : null;
    };

    /* setBusy(): the run bar as the requests in flight and waiting say. */
    function setBusy() {
      runButton.disabled = inFlight;
      stopButton.hidden = !inFlight;
      busy.hidden = !inFlight;
      busy.textContent = '正在运行…' + (queued ? '（还有 1 次运行在等待：它会用上到目前为止的全部输入）' : '');
      section.classList.toggle('running', inFlight);
      section.setAttribute('data-pending', String((inFlight ? 1 : 0) + (queued ? 1 : 0)));
    }

    /* publish(run): puts run on screen as the tab's latest, tells the
     * listeners, and answers the run() calls that waited for it. */
    function publish(run) {
      tab.last = run;
      tab.onRun.forEach(function (f) { f(run); });
      if (tab.comparePanel) tab.comparePanel.refresh();
      var done = waiters;
      waiters = [];
      done.forEach(function (resolve) { resolve(run); });
    }

    /* refuse(text): the page did not give the input to the program: the
     * message, and nothing left of the previous run on screen. */
    function refuse(text) {
      message.textContent = text;
      message.hidden = false;
      clearBox(output);
      output.setAttribute('data-refused', String(Number(output.getAttribute('data-refused') || 0) + 1));
      generation++;          /* a run still in flight is older than this */
      publish({ error: text, refused: true, result: null, trace: null });
    }

    /* start(): asks the worker for one run of the input as it is now. */
    function start() {
      var asked = input.request();
      if (asked.error) { refuse(asked.error); return; }
      message.hidden = true;
      var started = performance.now();
      var mine = ++generation;
      inFlight = true;
      setBusy();
      DsdEngine.run(program, asked.request, tab.wantsSteps).then(function (answer) {
        inFlight = false;
        if (queued) {            /* a newer request is waiting: this answer is dropped */
          queued = false;
          start();
          return;
        }
        setBusy();
        if (mine !== generation) return;   /* the page refused something since */
        var run = { request: asked.request, command: asked.command, result: answer.result || null,
                    trace: answer.trace || null, stepsError: answer.stepsError || null, error: answer.error || null,
                    stopped: answer.error === DsdEngine.STOPPED };
        run.ms = performance.now() - started;
        showRun(run, output);
        if (content.show && !run.error) content.show(run, output);
        output.setAttribute('data-ms', run.ms.toFixed(1));
        output.setAttribute('data-runs', String(++runs));
        if (!run.error) saveLink();
        publish(run);
      });
    }

    /* run(): a Promise of the run on screen once this request (or a newer
     * one that took its place) is answered. */
    tab.run = function () {
      var answered = new Promise(function (resolve) { waiters.push(resolve); });
      if (inFlight) { queued = true; setBusy(); } else start();
      return answered;
    };
    /* stop(): ends the run in flight and forgets the one waiting. */
    tab.stop = function () {
      queued = false;
      DsdEngine.stop(program);
    };
    /* followLink(runNow): takes the input and step of the address's #
     * part (a link pasted into the open page); when the input changed, runs
     * it if runNow (else the caller does). */
    tab.followLink = function (runNow) {
      var value = hashPart(program, 'in');
      var ex = hashPart(program, 'ex');
      var changed = (value !== null && value !== tab.savedIn()) || (ex !== null && ex !== tab.exercise);
      if (changed) follow(value);
      if (tab.linkStep) tab.linkStep(hashPart(program, 'step'), changed || !runNow);
      if (changed && runNow) tab.run();
    };

    follow(hashPart(program, 'in'));

    /* The 对照 panel compares a student's output with the output file of
     * the run on screen (bitree: its console output). */
    if (typeof DsdComparePanel === 'object') {
      tab.comparePanel = DsdComparePanel.mount(tab.compareBox, program, function () {
        return tab.last ? ourOutput(program, tab.last.result) : null;
      }, { onStep: function (step) { if (tab.onCompareStep) tab.onCompareStep(step); } });
    }
    runButton.addEventListener('click', function () { tab.run(); });
    stopButton.addEventListener('click', function () { tab.stop(); });
    setBusy();
    return tab;
  }

  return { el: el, makeTab: makeTab, encodeOrExplain: encodeOrExplain, tabs: {}, info: info,
           documentInput: documentInput, showText: showText, downloadLink: downloadLink,
           hashPart: hashPart, setHashPart: setHashPart, sizeText: sizeText, plainName: plainName,
           bytesToBase64url: bytesToBase64url, base64urlToBytes: base64urlToBytes,
           SHOW_LIMIT: SHOW_LIMIT, LINK_LIMIT: LINK_LIMIT };
})();
