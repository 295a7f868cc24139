/* present.js -- a picture shown to a class and saved for slides: full
 * screen, the keys that step it, the step said aloud to a screen reader,
 * and the picture saved as SVG or as PNG; 保存全部步骤 (every step in one
 * HTML file) is save.js's, mounted here.
 *
 * picture.js mounts it once per picture:
 *
 *     var present = DsdPresent.mount({ tab, box, bar, canvas, svg, go, state });
 *
 *   box     the frame's whole box (div.picture): full screen takes it all,
 *           with whatever the frame holds (controls, picture, code panel)
 *   bar     the controls, where the buttons 全屏 and 保存… are added
 *   canvas  the picture's scrolling box, svg the picture in it
 *   go(i, quiet)  shows step i; quiet: leaves the address and the spoken
 *           step alone (used while every step is drawn for saving)
 *   state() {step, count, caption, lines} of the step on screen, or null
 *           when there is no picture; caption is the picture's own
 *           sentence for the step: the full-screen sentence, the saved
 *           files and the spoken step all use it; lines what the picture
 *           put on view.slideLines, written under it on a slide
 *   run()   the run on screen: for save.js
 * and calls present.shown(quiet) after each step is drawn. 保存全部步骤 is
 * save.js's.
 *
 * Full screen steps with ← → space Home End and with PageUp/PageDown, the
 * keys a presenter's clicker sends. A picture that would shrink below
 * READABLE of its size to fit the screen (a tree of a thousand nodes) is
 * shown at its own size instead, and scrolls or pans by dragging. */
var DsdPresent = (function () {
  'use strict';
  var el = DsdUi.el;
  var SVG = 'http://www.w3.org/2000/svg';
  var FONT = '"Microsoft YaHei", "PingFang SC", "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif';
  var CAPTION_SIZE = 16;          /* the sentence under a saved picture */
  var PNG_SCALE = 2;              /* a saved PNG's pixels per picture pixel */
  /* A saved PNG is at most PNG_SIDE pixels on a side and PNG_AREA pixels
   * in all: a canvas beyond that is refused by some browsers (and a phone
   * has no memory for it), so a larger picture is scaled down to fit and
   * the message says so. The SVG keeps every picture whole. */
  var PNG_SIDE = 16384;
  var PNG_AREA = 64e6;
  var READABLE = 0.6;             /* full screen shrinks a picture no further */
  /* Parts of a picture's text (data-go) and rows of the tab's output view
   * (data-at) that go to a step when clicked; each gets a place in the
   * keyboard's order and answers Enter and space. */
  var CLICKABLE = '[data-go], [data-at]';
  var mounted = [];               /* the frames, for the one key listener */

  /* ------------------------------------------------------------ the words */

  /* extraLines(frame, state): what stands beside the picture and belongs
   * on a slide with it: the picture's own view.slideLines (state.lines). */
  function extraLines(frame, state) {
    return state.lines && state.lines.length ? state.lines : [];
  }

  /* spoken(state, caption): what the live region says for a step. */
  function spoken(state, caption) {
    return '第 ' + (state.step + 1) + ' / ' + state.count + ' 步' + (caption ? '：' + caption : '');
  }

  /* fileName(frame, what): the saved file's name: the program, the
   * example or file the run read ('typed' for typed input), then what. */
  function fileName(frame, what) {
    var input = String(frame.inputName || 'typed').replace(/[\\\/:*?"<>|\s]+/g, '_');
    return frame.tab.program + '-' + input + '-' + what;
  }

  /* stepLabel(state): 'step07': the step from 1, as many digits as the
   * last step has (two at least), so the files sort in order. */
  function stepLabel(state) {
    var n = String(state.step + 1);
    var digits = Math.max(2, String(state.count).length);
    while (n.length < digits) n = '0' + n;
    return 'step' + n;
  }

  /* --------------------------------------------------- the saved picture */

  /* wrap(text, width, size): text broken into lines no wider than width
   * at font size size (measured with the page's own font); a closing mark
   * stays on the line of the word before it. */
  function wrap(text, width, size) {
    var ctx = document.createElement('canvas').getContext('2d');
    ctx.font = size + 'px ' + FONT;
    var lines = [];
    var line = '';
    Array.prototype.forEach.call(text, function (c) {
      if (ctx.measureText(line + c).width > width && line && '，。：；、！？）」'.indexOf(c) < 0) {
        lines.push(line);
        line = '';
      }
      line += c;
    });
    if (line) lines.push(line);
    return lines;
  }

  /* slideSvg(frame, lines): a standalone SVG element: the picture on
   * screen with lines (the step's sentence, out.txt) written under it. */
  function slideSvg(frame, lines) {
    var w = Number(frame.svg.getAttribute('width')) || 10;
    var h = Number(frame.svg.getAttribute('height')) || 10;
    var width = Math.max(w, 480);
    var rows = [];
    lines.forEach(function (l) { rows = rows.concat(wrap(l, width - 32, CAPTION_SIZE)); });
    var height = h + (rows.length ? 16 + rows.length * 24 : 0);
    var out = document.createElementNS(SVG, 'svg');
    [['xmlns', SVG], ['width', width], ['height', height], ['viewBox', '0 0 ' + width + ' ' + height]].forEach(function (a) {
      out.setAttribute(a[0], a[1]);
    });
    out.appendChild(DsdPicture.svgEl('rect', { x: 0, y: 0, width: width, height: height, fill: '#ffffff' }));
    var picture = frame.svg.cloneNode(true);
    picture.removeAttribute('style');
    picture.removeAttribute('class');
    picture.setAttribute('x', Math.floor((width - w) / 2));
    picture.setAttribute('y', 0);
    out.appendChild(picture);
    rows.forEach(function (row, i) {
      out.appendChild(DsdPicture.svgEl('text', { x: 16, y: h + 30 + i * 24, 'font-size': CAPTION_SIZE,
                                                 'font-family': FONT, fill: '#1d2330', class: 'slide-caption' }, row));
    });
    return out;
  }

  /* svgText(svg): the markup of a standalone SVG file. */
  function svgText(svg) {
    return '<?xml version="1.0" encoding="UTF-8"?>\n' + new XMLSerializer().serializeToString(svg);
  }

  /* pngScale(width, height): the PNG's pixels per picture pixel:
   * PNG_SCALE, or less for a picture that would pass PNG_SIDE or PNG_AREA. */
  function pngScale(width, height) {
    return Math.min(PNG_SCALE, PNG_SIDE / width, PNG_SIDE / height, Math.sqrt(PNG_AREA / (width * height)));
  }

  /* pngBytes(svg): a Promise of {bytes, width, height, scaled} of svg drawn
   * on a canvas at pngScale (scaled: true when that is below PNG_SCALE),
   * or of null when no canvas could hold it; an SVG given as a data:
   * address draws from file:// too, as it reaches for nothing outside
   * itself. */
  function pngBytes(svg) {
    var width = Number(svg.getAttribute('width'));
    var height = Number(svg.getAttribute('height'));
    var scale = pngScale(width, height);
    var img = new Image();
    img.src = 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(svgText(svg));
    var canvas = document.createElement('canvas');
    return img.decode().then(function () {
      canvas.width = Math.max(1, Math.floor(width * scale));
      canvas.height = Math.max(1, Math.floor(height * scale));
      var ctx = canvas.getContext('2d');
      if (!ctx) return null;
      ctx.scale(scale, scale);
      ctx.drawImage(img, 0, 0, width, height);
      return new Promise(function (resolve) { canvas.toBlob(resolve, 'image/png'); });
    }).then(function (blob) { return blob && blob.arrayBuffer(); }).then(function (buf) {
      return buf ? { bytes: new Uint8Array(buf), width: canvas.width, height: canvas.height, scaled: scale < PNG_SCALE } : null;
    });
  }

  /* offer(name, bytes): saves bytes as a file name through a download. */
  function offer(name, bytes) {
    var a = DsdUi.downloadLink(name, bytes);
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(function () { URL.revokeObjectURL(a.href); }, 60000);
  }

  /* --------------------------------------------------------------- mount */

  /* mount(frame): adds full screen, the keys, the spoken step and saving
   * to a picture's frame (see above); returns {shown(quiet)}. */
  function mount(frame) {
    var box = frame.box;
    var live = el('p', { className: 'present-live visually-hidden', role: 'status' });
    var caption = el('div', { className: 'present-caption' });
    var message = el('span', { className: 'present-message', role: 'status' });
    var buttons = {};
    [['full', '全屏', '全屏放映：← → 空格 PageUp PageDown Home End 换步，Esc 退出'], ['svg', '保存为 SVG', '把这一步连同说明存成 SVG 图'],
     ['png', '保存为 PNG', '把这一步连同说明存成 PNG 图片']
    ].forEach(function (b) {
      buttons[b[0]] = el('button', { type: 'button', className: 'present-' + b[0], textContent: b[1], title: b[2] });
      frame.bar.appendChild(buttons[b[0]]);
    });
    box.appendChild(caption);
    box.appendChild(live);
    box.tabIndex = -1;                          /* full screen takes the keys here */
    frame.canvas.tabIndex = 0;                  /* a picture larger than its box scrolls by keyboard */
    frame.canvas.setAttribute('role', 'group');
    frame.canvas.setAttribute('aria-label', '图解（放大或滚动查看）');
    frame.tab.onRun.push(function () { frame.inputName = frame.tab.inputName; });
    var real = false;                           /* in the browser's own full screen */

    /* slideLines(state): the lines under a saved picture or a full-screen
     * one: the step's sentence, then what stands beside it. */
    function slideLines(state) {
      var said = state.caption;
      return [said ? '第 ' + (state.step + 1) + ' 步：' + said : '第 ' + (state.step + 1) + ' 步'].concat(extraLines(frame, state));
    }

    /* presenting(): true in full screen (or its fallback). */
    function presenting() {
      return box.classList.contains('presenting');
    }

    /* enter(): full screen for the frame's box, or the window-filling
     * class where the browser refuses it. */
    function enter() {
      box.classList.add('presenting');
      buttons.full.textContent = '退出全屏（Esc）';
      document.documentElement.classList.add('presenting-page');
      if (box.requestFullscreen) {
        box.requestFullscreen().then(function () { real = true; }, function () { real = false; });
      }
      box.focus({ preventScroll: true });
      fit();
    }

    /* leave(): back to the page. */
    function leave() {
      box.classList.remove('presenting', 'panning', 'caption-cut');
      document.documentElement.classList.remove('presenting-page');
      buttons.full.textContent = '全屏';
      if (real && document.fullscreenElement === box) document.exitFullscreen();
      real = false;
    }

    buttons.full.addEventListener('click', function () { if (presenting()) leave(); else enter(); });
    document.addEventListener('fullscreenchange', function () {
      if (real && document.fullscreenElement !== box) { real = false; leave(); }
      else fit();
    });
    window.addEventListener('resize', function () { fit(); });

    /* fit(): in full screen, the picture scaled to its cell, or, where
     * that would take it below READABLE, at its own size (--pan-width,
     * --pan-height) in a cell that scrolls (panning); and the sentence
     * marked as cut (caption-cut, a sign that it scrolls) when it is
     * longer than its box. */
    function fit() {
      if (!presenting()) return;
      var w = Number(frame.svg.getAttribute('width')) || 1;
      var h = Number(frame.svg.getAttribute('height')) || 1;
      var left = frame.canvas.scrollLeft, top = frame.canvas.scrollTop;   /* where a panned picture was */
      box.classList.remove('panning');
      var cell = frame.canvas.getBoundingClientRect();
      var scale = Math.min(cell.width / w, cell.height / h);
      if (scale < READABLE) {
        box.classList.add('panning');
        box.style.setProperty('--pan-width', w + 'px');
        box.style.setProperty('--pan-height', h + 'px');
        frame.canvas.scrollLeft = left;
        frame.canvas.scrollTop = top;
      }
      cut();
    }

    /* cut(): caption-cut while the sentence has more below its box. */
    function cut() {
      box.classList.toggle('caption-cut', presenting() && caption.scrollTop + caption.clientHeight < caption.scrollHeight - 1);
    }
    caption.addEventListener('scroll', cut);

    /* Dragging a panning picture moves it, as on a map. */
    var drag = null;
    frame.canvas.addEventListener('pointerdown', function (e) {
      if (!box.classList.contains('panning') || e.button !== 0) return;
      drag = { x: e.clientX, y: e.clientY, left: frame.canvas.scrollLeft, top: frame.canvas.scrollTop };
      frame.canvas.setPointerCapture(e.pointerId);
    });
    frame.canvas.addEventListener('pointermove', function (e) {
      if (!drag) return;
      frame.canvas.scrollLeft = drag.left - (e.clientX - drag.x);
      frame.canvas.scrollTop = drag.top - (e.clientY - drag.y);
    });
    ['pointerup', 'pointercancel'].forEach(function (t) {
      frame.canvas.addEventListener(t, function () { drag = null; });
    });

    /* say(text): a short message beside the buttons. */
    function say(text) {
      message.textContent = text;
    }

    buttons.svg.addEventListener('click', function () {
      var state = frame.state();
      if (!state) return;
      offer(fileName(frame, stepLabel(state) + '.svg'), new TextEncoder().encode(svgText(slideSvg(frame, slideLines(state)))));
    });
    buttons.png.addEventListener('click', function () {
      var state = frame.state();
      if (!state) return;
      var name = fileName(frame, stepLabel(state) + '.png');
      say('正在生成 PNG…');
      pngBytes(slideSvg(frame, slideLines(state))).then(function (png) {
        if (!png) { say('这张图太大，画不成 PNG：请改用“保存为 SVG”，它保存整张图。'); return; }
        offer(name, png.bytes);
        say(png.scaled ? '这张图很大：保存的 PNG 每边最多 ' + PNG_SIDE + ' 像素、共最多 ' + PNG_AREA / 1e4 + ' 万像素，' +
                         '已缩小到 ' + png.width + '×' + png.height + ' 像素；要原大小的清晰图，请用“保存为 SVG”。' : '');
      }, function () { say('这张图画不成 PNG：请改用“保存为 SVG”，它保存整张图。'); });
    });
    /* 保存全部步骤, its progress and 取消 (save.js). */
    DsdSave.mount({ tab: frame.tab, bar: frame.bar, svg: frame.svg, go: frame.go, state: frame.state,
                    run: frame.run,
                    get inputName() { return frame.inputName; } });
    frame.bar.appendChild(message);

    var entry = {
      frame: frame, presenting: presenting, leave: leave,
      /* shown(quiet): after a step is drawn: the spoken step, the sentence
       * in full screen, and the clickable text made keyboard-reachable. */
      shown: function (quiet) {
        if (quiet) return;
        var state = frame.state();
        if (!state) return;
        var lines = slideLines(state);
        caption.textContent = '';
        lines.forEach(function (l) { caption.appendChild(el('p', { textContent: l })); });
        live.textContent = spoken(state, state.caption);
        /* Full screen sizes the picture's row by its shape (style.css). */
        var w = Number(frame.svg.getAttribute('width')) || 1;
        var h = Number(frame.svg.getAttribute('height')) || 1;
        box.style.setProperty('--picture-ratio', String(h / w));
        box.style.setProperty('--picture-min-width', Math.round(w * READABLE) + 'px');
        box.classList.toggle('caption-beside', w / h < 1.2);
        fit();
        reachable(frame.tab.section);
      }
    };
    mounted.push(entry);
    return entry;
  }

  /* reachable(section): gives each clickable part of section's text a
   * place in the keyboard's order. The rows of a table are one place: the
   * marked row (or the first) takes Tab, and ↑ ↓ move between the rows
   * (rowKey), so a long step table is not a hundred Tab stops. */
  function reachable(section) {
    var tables = [];
    Array.prototype.forEach.call(section.querySelectorAll(CLICKABLE), function (node) {
      var table = node.tagName === 'TR' ? node.closest('table') : null;
      if (!table) { if (!node.hasAttribute('tabindex')) node.tabIndex = 0; return; }
      if (tables.indexOf(table) < 0) tables.push(table);
    });
    tables.forEach(function (table) {
      var rows = table.querySelectorAll('tr');
      var rowsIn = Array.prototype.filter.call(rows, function (r) { return r.matches(CLICKABLE); });
      var here = rowsIn.filter(function (r) { return r.matches('.current, [aria-current="step"]'); })[0] ||
                 rowsIn.filter(function (r) { return r === document.activeElement; })[0] || rowsIn[0];
      rowsIn.forEach(function (r) { r.tabIndex = r === here ? 0 : -1; });
    });
  }

  /* rowKey(e): ↑ ↓ Home End on a clickable table row: the focus moves to
   * the row above or below (the first, the last) and presses it; true when
   * the key was taken. */
  function rowKey(e) {
    var t = e.target;
    if (t.tagName !== 'TR' || !t.matches(CLICKABLE) || !/^(ArrowUp|ArrowDown|Home|End)$/.test(e.key)) return false;
    var rows = Array.prototype.filter.call(t.closest('table').querySelectorAll('tr'), function (r) { return r.matches(CLICKABLE); });
    var i = rows.indexOf(t);
    var to = rows[{ ArrowUp: i - 1, ArrowDown: i + 1, Home: 0, End: rows.length - 1 }[e.key]];
    e.preventDefault();
    if (!to) return true;
    rows.forEach(function (r) { r.tabIndex = r === to ? 0 : -1; });
    to.focus();
    to.click();
    return true;
  }

  /* isField(node): true when node takes typed keys itself. */
  function isField(node) {
    return /^(INPUT|TEXTAREA|SELECT)$/.test(node.tagName) || node.isContentEditable;
  }

  /* The keys: ← and → step the visible tab's picture unless a field, a
   * tab (which has its own arrow keys) or an earlier listener takes them;
   * in full screen ←, →, space, PageUp, PageDown, Home and End always step
   * it and Esc leaves. Enter and space on a clickable part of the text press it. */
  document.addEventListener('keydown', function (e) {
    if (e.defaultPrevented || e.altKey || e.ctrlKey || e.metaKey) return;
    var entry = mounted.filter(function (m) { return !m.frame.tab.section.hidden; })[0];
    if (!entry) return;
    var frame = entry.frame;
    var state = frame.state();
    var t = e.target;
    var full = entry.presenting();
    if (e.key === 'Escape' && full) { entry.leave(); e.preventDefault(); return; }
    if (!full && rowKey(e)) return;
    if (!full && t.matches && t.matches(CLICKABLE) && (e.key === 'Enter' || e.key === ' ')) {
      t.click();
      e.preventDefault();
      return;
    }
    if (!state) return;
    if (!full && (isField(t) || t.getAttribute('role') === 'tab' || !/^Arrow/.test(e.key))) return;
    var to = { ArrowLeft: state.step - 1, ArrowRight: state.step + 1, ' ': state.step + 1,
               PageUp: state.step - 1, PageDown: state.step + 1, Home: 0, End: state.count - 1 }[e.key];
    if (to === undefined) return;
    e.preventDefault();
    frame.go(to);
  });

  return { mount: mount };
})();
