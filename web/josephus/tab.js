/* josephus/tab.js -- the josephus tab: the numbers on the command line, or
 * typed at the keyboard after the program's prompt; out.txt out. */
var DsdJosephusTab = DsdUi.makeTab('josephus', {
  intro: '约瑟夫环：n 个人围成一圈，每人持有一个报数上限；从第 1 人起按 m 报数，报到的人出列，' +
         '他的数成为新的 m。出列顺序写入 out.txt。',
  input: function (box, tab) {
    var el = DsdUi.el;
    var argsMode = el('input', { type: 'radio', name: 'josephus-mode', value: 'args', checked: true });
    var keysMode = el('input', { type: 'radio', name: 'josephus-mode', value: 'keys' });
    var line = el('input', { type: 'text', className: 'args', size: 60, spellcheck: false });
    var keys = el('textarea', { className: 'keys', rows: 4, spellcheck: false });
    line.setAttribute('aria-label', '命令行参数 n m s1 … sn');
    keys.setAttribute('aria-label', '从键盘输入的内容');
    var given = null;   /* exact bytes of an example or opened file for the keyboard */
    var opened = null;  /* the opened file's name, while it is the input */
    /* Typing into a box chooses the input it belongs to. */
    keys.addEventListener('input', function () {
      if (opened && given) tab.say('你改动了框里的文字：交给程序的不再是文件 ' + opened + '，而是框里的文字（按 GBK 编码）。');
      given = null;
      opened = null;
      keysMode.checked = true;
    });
    line.addEventListener('input', function () { argsMode.checked = true; });
    box.appendChild(el('p', {}, [el('label', {}, [argsMode, '命令行参数 n m s1 … sn：']), line]));
    box.appendChild(el('p', {}, [el('label', {}, [keysMode, '不带参数运行，从键盘输入（程序先提示 please enter parameters!）：'])]));
    box.appendChild(keys);

    /* argument(word): the word as the program receives it: a string when
     * it is ASCII, else its GBK bytes; or {error}. */
    function argument(word) {
      if (/^[\x00-\x7f]*$/.test(word)) return word;
      var enc = DsdUi.encodeOrExplain(word, '参数 ');
      return enc.error ? enc : enc.bytes;
    }

    return {
      load: function (name, bytes, isOpened) {
        var keyboard = isOpened || /keyboard/.test(name);
        argsMode.checked = !keyboard;
        keysMode.checked = keyboard;
        opened = isOpened ? name : null;
        if (keyboard) {
          given = bytes;
          keys.value = DsdUi.showText(bytes);
          if (isOpened) {
            tab.say('已打开 ' + name + '（' + DsdUi.sizeText(bytes.length) + '）：作为键盘输入原样交给程序，就像 josephus < ' +
                    name + (bytes.length > DsdUi.SHOW_LIMIT ? '；框里只显示它的开头。' : '。'));
          }
        } else {
          line.value = DsdUi.showText(bytes).trim();
        }
      },
      flags: 'ka',   /* k: typed at the keyboard, a: command-line arguments */
      saved: function () {
        var enc = keysMode.checked ? (given ? { bytes: given } : DsdGbk.encode(keys.value))
                                   : DsdGbk.encode(line.value);
        return { flag: keysMode.checked ? 'k' : 'a', bytes: enc.bytes || null };
      },
      restore: function (flag, bytes) {
        this.load(flag === 'k' ? 'keyboard' : 'args', bytes, false);
      },
      request: function () {
        if (keysMode.checked) {
          var enc = given ? { bytes: given } : DsdUi.encodeOrExplain(keys.value, '键盘输入');
          if (enc.error) return enc;
          return { request: { args: [], stdin: enc.bytes },
                   command: opened ? 'josephus < ' + (/\s/.test(opened) ? '"' + opened + '"' : opened)
                                   : 'josephus（然后在键盘上输入上面的内容）' };
        }
        var words = line.value.split(/\s+/).filter(Boolean);
        var args = words.map(argument);
        var bad = args.filter(function (a) { return a.error; })[0];
        if (bad) return bad;
        var bytesArgs = args.some(function (a) { return typeof a !== 'string'; });
        var request = { args: args };
        /* main is called directly when an argument is not plain text:
         * the usual entry passes its arguments as UTF-8, not GBK. */
        if (bytesArgs) request.entry = 'main';
        return { request: request, command: ['josephus'].concat(words).join(' ') };
      }
    };
  }
});
