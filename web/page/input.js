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
    return enc.bytes ? enc : { error: explain(enc, what) };
  }

  /* explain(enc, what): the message for a failed encode's {bad, line,
   * column}. */
  function explain(enc, what) {
    return what + '第' + enc.line + '行第' + enc.column + '个字符「' + enc.bad +
                    '」不在 GBK 字符集中：中文 Windows 控制台也无法把它交给程序。' +
                    '请换成 GBK 有的字符，或打开一个文件，按原样交给程序。';
  }

  /* plainName(name): name when the program can be given it as it is
   * (DsdLink.nameProblem finds nothing against it); else null. */
  function plainName(name) {
    return DsdLink.nameProblem(name) === null ? name : null;
  }

  /* shellWord(word): word as it is typed on a command line, one argument
   * to a Windows console and a Linux shell alike (DsdLink.consoleWord). */
  function shellWord(word) {
    return DsdLink.consoleWord(word);
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

  /* shownPart(text): the part of a long text an input box shows: its
   * first SHOW_LIMIT characters, cut behind the last newline in them when
   * that stands in their second half. */
  function shownPart(text) {
    var limit = DsdOutput.SHOW_LIMIT;
    if (text.length <= limit) return text;
    var nl = text.lastIndexOf('\n', limit - 1);
    return text.slice(0, nl >= limit / 2 ? nl + 1 : limit);
  }

  /* documentInput(box, program, file, label, tab): the input of a program
   * that reads a file named on its command line: a text box for the file's
   * text. An example or an opened file goes to the program byte for byte,
   * under its own name when it has a plain one; the box shows at most its
   * first SHOW_LIMIT bytes. A paste that would make the box's text longer
   * than SHOW_LIMIT characters is handled as an opened file is: the whole
   * text, encoded as GBK off the main thread (DsdGbk.encodeLater), goes to
   * the program, and the box shows its first part, so the page never lays
   * out megabytes. Once the text is edited, what is typed goes, as GBK,
   * under the name file. Returns the input object that makeTab expects. */
  function documentInput(box, program, file, label, tab) {
    var area = el('textarea', { className: 'document', rows: 8, spellcheck: false, id: program + '-document' });
    var given = null;   /* the exact bytes of the example, opened file or long paste */
    var name = file;    /* the name the program is given */
    var opened = null;  /* the opened file's own name, while it is the input */
    var pasted = null;  /* a long paste: {pending, error}, while it is the input */
    area.addEventListener('input', function () {
      if (opened && given) {
        tab.say('你改动了框里的文字：交给程序的不再是文件 ' + opened + '，而是框里的文字（按 GBK 编码，名为 ' + file + '）。');
      } else if (pasted) {
        tab.say('你改动了框里的文字：交给程序的不再是粘贴的整段文字，而是框里的文字（按 GBK 编码）。');
      }
      given = null;
      named(file);
      opened = null;
      pasted = null;
    });
    area.addEventListener('paste', function (e) {
      var text = e.clipboardData ? e.clipboardData.getData('text/plain') : '';
      var whole = area.value.length - (area.selectionEnd - area.selectionStart) + text.length;
      if (whole <= DsdOutput.SHOW_LIMIT) return;
      e.preventDefault();
      if (text.indexOf('\r') >= 0) text = text.replace(/\r\n?/g, '\n');   /* as a text box keeps a pasted line end */
      var all = area.value.slice(0, area.selectionStart) + text + area.value.slice(area.selectionEnd);
      var mine = pasted = { pending: true, error: null };
      given = null;
      opened = null;
      named(file);
      area.value = shownPart(all);
      tab.say('正在把粘贴的文字（' + all.length + ' 个字符）转换成 GBK…');
      DsdGbk.encodeLater(all).then(function (enc) {
        if (pasted !== mine) return;
        mine.pending = false;
        if (!enc.bytes) {
          mine.error = explain(enc, file + ' ');
          tab.say(mine.error);
          return;
        }
        given = enc.bytes;
        tab.say('已粘贴 ' + all.length + ' 个字符（按 GBK 编码共 ' + DsdDom.sizeText(enc.bytes.length) + '）：框里只显示开头的 ' +
                area.value.length + ' 个字符，整段文字都交给程序。');
      });
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
        pasted = null;
        opened = isOpened ? fileName : null;
        named(isOpened ? (plainName(fileName) || file) : file);
        area.value = showText(bytes);
        if (!isOpened) return;
        var shown = DsdOutput.cutAt(bytes) < bytes.length
          ? '框里只显示开头的 ' + DsdDom.sizeText(DsdOutput.cutAt(bytes)) + '，整个文件原样交给程序。'
          : '原样交给程序；修改后按 GBK 重新编码。';
        var problem = DsdLink.nameProblem(fileName);
        var renamed = problem === null ? ''
          : '这个文件名' + problem + '，不能原样交给程序，所以程序看到的名字是 ' + file + '，内容不变。';
        tab.say('已打开 ' + fileName + '（' + DsdDom.sizeText(bytes.length) + '）：' + shown + renamed);
      },
      saved: function () {
        var enc = given ? { bytes: given } : DsdGbk.encode(area.value);
        return { flag: '', bytes: enc.bytes || null };
      },
      restore: function (flag, bytes) { this.load(file, bytes, false); },
      request: function () {
        if (pasted && pasted.pending) return { error: '粘贴的文字还在转换成 GBK：请等框下的提示说“整段文字都交给程序”后再运行。' };
        if (pasted && pasted.error) return { error: pasted.error };
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
