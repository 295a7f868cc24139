/* output.js -- the output view: a run as the console would show it (its
 * command line, exit status, stdout, stderr and each output file), every
 * text cut to its first SHOW_LIMIT bytes for the screen with all of its
 * bytes in its 下载 link.
 *
 * DsdOutput = {SHOW_LIMIT, cutAt(bytes), showRun(run, box),
 *              clearBox(box), ourOutput(program, result)} */
var DsdOutput = (function () {
  'use strict';
  var el = DsdDom.el;

  /* At most this many bytes of an input or an output are shown as text;
   * the program always gets, and 下载 always saves, every byte. */
  var SHOW_LIMIT = 64 * 1024;

  /* cutAt(bytes): where a text shown of bytes ends: all of them when they
   * fit in SHOW_LIMIT, else behind the last newline in that part (or at
   * SHOW_LIMIT when the part has none in its second half). */
  function cutAt(bytes) {
    if (bytes.length <= SHOW_LIMIT) return bytes.length;
    var nl = bytes.subarray(0, SHOW_LIMIT).lastIndexOf(10);
    return nl >= SHOW_LIMIT / 2 ? nl + 1 : SHOW_LIMIT;
  }

  /* cutNote(shown, total): the line under a text cut for the page, or ''
   * when nothing was cut. */
  function cutNote(shown, total) {
    if (shown >= total) return '';
    return '这里只显示开头的 ' + DsdDom.sizeText(shown) + '；全部共 ' + DsdDom.sizeText(total) + '，每个字节都在“下载”里。';
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
                         [cutNote(end, bytes.length)].concat(linked ? [] : [' ', DsdFiles.downloadLink(name, bytes)])));
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
                      '（' + DsdDom.sizeText(f.data.length) + '） ', DsdFiles.downloadLink(f.path, f.data)]),
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

  /* ourOutput(program, result): the bytes of the program's output in a
   * run's result (stdout when programs.js names no output file), or null
   * when there is no result or the run wrote none. */
  function ourOutput(program, result) {
    if (!result) return null;
    var output = DSD_PROGRAMS.filter(function (p) { return p.name === program; })[0].output;
    if (!output) return result.stdout;
    var file = result.files.filter(function (f) { return f.path === output; })[0];
    return file ? file.data : null;
  }

  return { SHOW_LIMIT: SHOW_LIMIT, cutAt: cutAt, showRun: showRun, clearBox: clearBox,
           ourOutput: ourOutput };
})();
