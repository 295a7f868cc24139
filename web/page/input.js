/* input.js -- the input box of a program that reads a file named on its
 * command line (evaluator, translator), and what every tab's input needs:
 * typed text in GBK or a message that says why it cannot be, a file name
 * as the program gets it, a word as a command line shows it.
 *
 * DsdInput = {encodeOrExplain(text, what), plainName(name), shellWord(word),
 *             showText(bytes), documentInput(box, program, file, label, tab)} */
var DsdInput = (function () {
  'use strict';
  var el = DsdDom.el;

  /* encodeOrExplain(text, what): {bytes} with text in GBK, or {error} with
   * a message naming the character that GBK lacks and where it stands. */
  function encodeOrExplain(text, what) {
    var enc = DsdGbk.encode(text);
    if (enc.bytes) return enc;
    return { error: what + '第' + enc.line + '行第' + enc.column + '个字符「' + enc.bad +
                    '」不在 GBK 字符集中：中文 Windows 控制台也无法把它交给程序。' +
                    '请换成 GBK 有的字符，或打开一个文件，按原样交给程序。' };
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

  /* showText(bytes): the text of a file's bytes for an input box, at most
   * its first DsdOutput.SHOW_LIMIT bytes: UTF-8 when that part is valid UTF-8 (a byte
   * order mark dropped), else GBK. */
  function showText(bytes) {
    var part = bytes.subarray(0, DsdOutput.cutAt(bytes));
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(part, { stream: part.length < bytes.length });
    } catch (e) {
      return DsdGbk.decode(part);
    }
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
        var shown = DsdOutput.cutAt(bytes) < bytes.length
          ? '框里只显示开头的 ' + DsdDom.sizeText(DsdOutput.cutAt(bytes)) + '，整个文件原样交给程序。'
          : '原样交给程序；修改后按 GBK 重新编码。';
        var renamed = plainName(fileName) ? ''
          : '文件名里有非 ASCII 字符（例如汉字）或路径符号，浏览器无法把它原样交给程序（控制台按 GBK 传文件名，浏览器按 UTF-8），' +
            '所以程序看到的名字是 ' + file + '，内容不变。';
        tab.say('已打开 ' + fileName + '（' + DsdDom.sizeText(bytes.length) + '）：' + shown + renamed);
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

  return { encodeOrExplain: encodeOrExplain, plainName: plainName, shellWord: shellWord,
           showText: showText, documentInput: documentInput };
})();
