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
 *   run(), fresh  the run on screen and whether its picture draws from
 *           the trace alone: for save.js
 * and calls present.shown(quiet) after each step is drawn. */
var DsdPresent = (function () {
  'use strict';
  var el = DsdUi.el;
  var SVG = 'http://www.w3.org/2000/svg';
  var FONT = '"Microsoft YaHei", "PingFang SC", "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif';
  var CAPTION_SIZE = 16;          /* the sentence under a saved picture */
  var PNG_SCALE = 2;              /* a saved PNG's pixels per picture pixel */
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

  /* pngBytes(svg): a Promise of the PNG bytes of svg drawn on a canvas at
   * PNG_SCALE; an SVG given as a data: address draws from file:// too,
   * as it reaches for nothing outside itself. */
  function pngBytes(svg) {
    var width = Number(svg.getAttribute('width'));
    var height = Number(svg.getAttribute('height'));
    var img = new Image();
    img.src = 'data:image/svg+xml;charset=utf-8,' + encodeURIComponent(svgText(svg));
    return img.decode().then(function () {
      var canvas = document.createElement('canvas');
      canvas.width = Math.round(width * PNG_SCALE);
      canvas.height = Math.round(height * PNG_SCALE);
      var ctx = canvas.getContext('2d');
      ctx.scale(PNG_SCALE, PNG_SCALE);
      ctx.drawImage(img, 0, 0, width, height);
      return new Promise(function (resolve) { canvas.toBlob(resolve, 'image/png'); });
    }).then(function (blob) { return blob.arrayBuffer(); }).then(function (buf) { return new Uint8Array(buf); });
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
    [['full', '全屏', '全屏放映：← → 空格 Home End 换步，Esc 退出'], ['svg', '保存为 SVG', '把这一步连同说明存成 SVG 图'],
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
    }

    /* leave(): back to the page. */
    function leave() {
      box.classList.remove('presenting');
      document.documentElement.classList.remove('presenting-page');
      buttons.full.textContent = '全屏';
      if (real && document.fullscreenElement === box) document.exitFullscreen();
      real = false;
    }

    buttons.full.addEventListener('click', function () { if (presenting()) leave(); else enter(); });
    document.addEventListener('fullscreenchange', function () {
      if (real && document.fullscreenElement !== box) { real = false; leave(); }
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
      pngBytes(slideSvg(frame, slideLines(state))).then(function (bytes) {
        offer(name, bytes);
        say('');
      }, function () { say('这个浏览器无法把图画成 PNG：请改用“保存为 SVG”。'); });
    });
    /* 保存全部步骤, its progress and 取消 (save.js). */
    DsdSave.mount({ tab: frame.tab, bar: frame.bar, svg: frame.svg, go: frame.go, state: frame.state,
                    run: frame.run, fresh: frame.fresh, lines: slideLines,
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
        box.classList.toggle('caption-beside', w / h < 1.2);
        Array.prototype.forEach.call(frame.tab.section.querySelectorAll(CLICKABLE), function (node) {
          if (!node.hasAttribute('tabindex')) node.tabIndex = 0;
        });
      }
    };
    mounted.push(entry);
    return entry;
  }

  /* isField(node): true when node takes typed keys itself. */
  function isField(node) {
    return /^(INPUT|TEXTAREA|SELECT)$/.test(node.tagName) || node.isContentEditable;
  }

  /* The keys: ← and → step the visible tab's picture unless a field, a
   * tab (which has its own arrow keys) or an earlier listener takes them;
   * in full screen ←, →, space, Home and End always step it and Esc
   * leaves. Enter and space on a clickable part of the text press it. */
  document.addEventListener('keydown', function (e) {
    if (e.defaultPrevented || e.altKey || e.ctrlKey || e.metaKey) return;
    var entry = mounted.filter(function (m) { return !m.frame.tab.section.hidden; })[0];
    if (!entry) return;
    var frame = entry.frame;
    var state = frame.state();
    var t = e.target;
    var full = entry.presenting();
    if (e.key === 'Escape' && full) { entry.leave(); e.preventDefault(); return; }
    if (!full && t.matches && t.matches(CLICKABLE) && (e.key === 'Enter' || e.key === ' ')) {
      t.click();
      e.preventDefault();
      return;
    }
    if (!state) return;
    if (!full && (isField(t) || t.getAttribute('role') === 'tab' || !/^Arrow/.test(e.key))) return;
    var to = { ArrowLeft: state.step - 1, ArrowRight: state.step + 1, ' ': state.step + 1,
               Home: 0, End: state.count - 1 }[e.key];
    if (to === undefined) return;
    e.preventDefault();
    frame.go(to);
  });

  return { mount: mount };
})();
