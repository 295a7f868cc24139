/* bitree/tab.js -- bitree's tab: a console. The user types a line and
 * presses Enter; each Enter runs the program again on all the lines typed so
 * far (it is deterministic), so the transcript grows as at a console. Lines typed while a run is in
 * flight wait, and the next run takes all of them (page/run.js). Each
 * typed line appears where the program read it, which the runner's record
 * of stdin reads tells. "结束输入" is the console's Ctrl+Z / Ctrl+D: the
 * program then meets the end of its input and ends. 运行 sends a line typed
 * but not yet entered as Enter would. The typed lines are left out of a
 * copy of the console, which is then the program's stdout as the 对照
 * panel compares it; a button copies that stdout too. */
var DsdBitreeTab = DsdUi.makeTab('bitree', {
  intro: '二叉树工作台：0 由先序和中序序列重建二叉树并做后序线索化遍历；1 由波兰式建表达式树并输出三种遍历；' +
         '2 计算波兰式的值。在下面的控制台里输入，每行按回车。',
  input: function (box, tab) {
    var el = DsdUi.el;
    var screen = el('div', { className: 'console-screen', tabIndex: 0 });
    var line = el('input', { type: 'text', className: 'console-line', spellcheck: false,
                             placeholder: '输入一行，例如 0 ABC BAC，按回车' });
    var endButton = el('button', { type: 'button', className: 'end-input', textContent: '结束输入（Ctrl+Z / Ctrl+D）' });
    var clearButton = el('button', { type: 'button', className: 'clear', textContent: '重新开始' });
    var copyButton = el('button', { type: 'button', className: 'copy-stdout', textContent: '复制程序的输出',
                                    title: '复制程序写到标准输出的内容（不含输入的行），可粘贴到对照面板' });
    line.setAttribute('aria-label', '输入一行，按回车交给程序');
    screen.setAttribute('aria-label', '控制台');
    var message = el('p', { className: 'message', hidden: true, role: 'alert' });
    var state = { stdin: new Uint8Array(0), ended: false, name: null };
    box.appendChild(screen);
    box.appendChild(el('div', { className: 'console-bar' }, [line, endButton, clearButton, copyButton]));
    box.appendChild(message);

    /* append(bytes): the stdin so far with bytes behind it. */
    function append(bytes) {
      var all = new Uint8Array(state.stdin.length + bytes.length);
      all.set(state.stdin);
      all.set(bytes, state.stdin.length);
      return all;
    }

    /* typedLine(starts, k): the bytes of typed line k (from 0) without its
     * newline, or null when there is no such line; starts holds the
     * offsets of the lines found so far, and grows only as far as asked
     * (an opened file may have millions of lines). */
    function typedLine(starts, k) {
      var data = state.stdin;
      while (starts.length <= k + 1 && starts[starts.length - 1] < data.length) {
        var nl = data.indexOf(10, starts[starts.length - 1]);
        starts.push(nl < 0 ? data.length : nl + 1);
      }
      if (k + 1 >= starts.length) return null;
      var end = starts[k + 1];
      return data.subarray(starts[k], data[end - 1] === 10 ? end - 1 : end);
    }

    /* draw(run): the transcript: stdout with each typed line put in where
     * the program read it; before the end of input, stdout only up to the
     * point where the program waits for the next line. */
    function draw(run) {
      var r = run.result;
      var starts = [0];
      screen.textContent = '';
      if (!r) {
        screen.appendChild(el('span', { className: 'ended', textContent: '（' + run.error + '）' }));
        return;
      }
      var shown = 0;
      var waiting = false;
      var cut = false;   /* the transcript reached DsdUi.SHOW_LIMIT bytes of output */
      function out(upTo) {
        if (upTo > shown) screen.appendChild(document.createTextNode(DsdGbk.decode(r.stdout.subarray(shown, upTo))));
        shown = Math.max(shown, upTo);
      }
      for (var i = 0; i < r.reads.length && !waiting; i++) {
        var read = r.reads[i];
        if (read.at > DsdUi.SHOW_LIMIT) { cut = true; break; }
        out(read.at);
        var typed = read.end ? null : typedLine(starts, read.line);
        if (read.end) {
          if (state.ended) screen.appendChild(el('span', { className: 'typed end', textContent: '^Z\n' }));
          else waiting = true;
        } else if (typed) {
          screen.appendChild(el('span', { className: 'typed', textContent: DsdGbk.decode(typed) + '\n' }));
        }
      }
      if (cut || (!waiting && r.stdout.length > DsdUi.SHOW_LIMIT)) {
        out(Math.max(shown, Math.min(r.stdout.length, DsdUi.SHOW_LIMIT)));
        screen.appendChild(el('span', { className: 'ended', textContent: '\n（这里只显示开头的一段；全部输出共 ' +
          DsdUi.sizeText(r.stdout.length) + '，见下面的标准输出和它的“下载”）' }));
      } else {
        if (!waiting) out(r.stdout.length);
        if (waiting) screen.appendChild(el('span', { className: 'cursor', textContent: '▌' }));
        else screen.appendChild(el('span', { className: 'ended', textContent: '\n（程序已结束，退出状态 ' + r.status + '）' }));
      }
      screen.scrollTop = screen.scrollHeight;
    }
    tab.onRun.push(draw);

    /* enter(): puts the typed line behind the lines so far, as Enter does;
     * returns false (and says why) when the line is not GBK. */
    function enter() {
      var enc = DsdUi.encodeOrExplain(line.value + '\n', '输入行');
      message.hidden = !enc.error;
      if (enc.error) { message.textContent = enc.error; return false; }
      if (state.ended) { state.stdin = new Uint8Array(0); state.ended = false; }
      state.stdin = append(enc.bytes);
      state.name = null;
      line.value = '';
      return true;
    }

    line.addEventListener('keydown', function (e) {
      if (e.key === 'Enter') {
        if (enter()) tab.run();
      } else if ((e.key === 'z' || e.key === 'd') && e.ctrlKey) {
        e.preventDefault();
        endButton.click();
      }
    });
    endButton.addEventListener('click', function () { state.ended = true; tab.run(); });
    copyButton.addEventListener('click', function () {
      var r = tab.last && tab.last.result;
      if (!r) return;
      var text = DsdGbk.decode(r.stdout);
      var done = function () { copyButton.textContent = '已复制'; setTimeout(function () { copyButton.textContent = '复制程序的输出'; }, 1500); };
      if (navigator.clipboard) { navigator.clipboard.writeText(text).then(done, function () {}); return; }
      var area = el('textarea', { value: text });   /* older browsers: copy a selection */
      document.body.appendChild(area);
      area.select();
      if (document.execCommand('copy')) done();
      area.remove();
    });
    clearButton.addEventListener('click', function () {
      state = { stdin: new Uint8Array(0), ended: false, name: null };
      tab.run();
    });

    return {
      /* An example or an opened file is the whole input, ended as a
       * redirected file ends; the tab runs it. */
      load: function (name, bytes) {
        state = { stdin: bytes, ended: true, name: name };
      },
      flags: 'eo',   /* e: the input was ended (Ctrl+Z), o: still open */
      saved: function () {
        return { flag: state.ended ? 'e' : 'o', bytes: state.stdin };
      },
      restore: function (flag, bytes) {
        state = { stdin: bytes, ended: flag === 'e', name: null };
      },
      request: function () {
        if (line.value !== '' && !enter()) { message.hidden = true; return { error: message.textContent }; }
        var command = state.name ? 'bitree < ' + (/\s/.test(state.name) ? '"' + state.name + '"' : state.name)
                                 : 'bitree（然后在键盘上逐行输入' + (state.ended ? '，最后按 Ctrl+Z' : '') + '）';
        return { request: { args: [], stdin: state.stdin, readsUpTo: DsdUi.SHOW_LIMIT }, command: command };
      }
    };
  }
});
