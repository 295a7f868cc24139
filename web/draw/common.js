/* draw/common.js -- the drawing primitives all four pictures share, so
 * that they look alike and say things one way: SVG elements and text, the
 * fonts, an estimate of a text's width, arcs, labels for bytes and for
 * blanks, arrowheads, and the picture's size, viewBox and white ground.
 *
 * Colours and fonts are SVG attributes, never CSS, so that a picture saved
 * as an SVG file looks the same on its own. */
var DsdDraw = (function () {
  'use strict';
  var SVG = 'http://www.w3.org/2000/svg';
  /* The page's font for Chinese and Latin text, and the fixed-width one
   * for characters, bytes and code. */
  var FONT = '"Microsoft YaHei", "PingFang SC", "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif';
  var MONO = '"DejaVu Sans Mono", Consolas, "Courier New", monospace';
  var INK = '#1d2330';      /* the colour of text */
  var GREY = '#5b6578';     /* the colour of notes and captions */

  /* svgEl(tag, attrs, text): a new SVG element with those attributes and
   * text content. */
  function svgEl(tag, attrs, text) {
    var node = document.createElementNS(SVG, tag);
    Object.keys(attrs || {}).forEach(function (k) { node.setAttribute(k, attrs[k]); });
    if (text !== undefined) node.textContent = text;
    return node;
  }

  /* round(v): v to one decimal, so that the markup of a step is short and
   * always the same. */
  function round(v) {
    return Math.round(v * 10) / 10;
  }

  /* text(parent, x, y, s, attrs): appends a line of text s at (x, y), in
   * the font, size and colour of the picture's root unless attrs say
   * otherwise; returns it. */
  function text(parent, x, y, s, attrs) {
    var node = svgEl('text', Object.assign({ x: round(x), y: round(y) }, attrs || {}), s);
    parent.appendChild(node);
    return node;
  }

  /* textWidth(s, size): about how wide s is at font size size: a Chinese
   * character (or another wide sign) is a square, the others a little over
   * half of one. */
  function textWidth(s, size) {
    var w = 0;
    for (var i = 0; i < s.length; i++) w += s.charCodeAt(i) >= 0x2000 ? size : size * 0.6;
    return w;
  }

  /* arcPath(a, b, radius, large): the "d" of the circular arc from point a
   * to point b ({x, y}) of that radius, turning clockwise on screen (so
   * that going from left to right it bows upwards), the longer way round
   * when large. */
  function arcPath(a, b, radius, large) {
    var r = round(radius);
    return 'M' + round(a.x) + ' ' + round(a.y) + ' A' + r + ' ' + r + ' 0 ' + (large ? 1 : 0) + ' 1 ' +
           round(b.x) + ' ' + round(b.y);
  }

  /* byteLabel(b): how a byte (0-255) is shown where one byte stands in a
   * cell or a node: a printable ASCII character as itself, a space as ␣,
   * any other byte (a control byte, one byte of a Chinese character) as
   * \xHH, the way the programs' sources write such bytes. */
  function byteLabel(b) {
    if (b === 0x20) return '␣';
    if (b > 0x20 && b < 0x7f) return String.fromCharCode(b);
    return '\\x' + (b < 16 ? '0' : '') + b.toString(16).toUpperCase();
  }

  /* visible(c): a character of decoded text as a picture shows it: blanks,
   * tabs and line ends as signs that can be seen, others as they are. */
  function visible(c) {
    return { ' ': '␣', '\t': '→', '\r': '␍', '\n': '␤' }[c] || c;
  }

  /* arrowHead(id, colour, size): a <marker> of a filled arrowhead, size
   * pixels long, for marker-end="url(#id)"; put it into the picture's
   * <defs>. */
  function arrowHead(id, colour, size) {
    var marker = svgEl('marker', { id: id, viewBox: '0 0 10 10', refX: 9, refY: 5, markerWidth: size,
                                   markerHeight: size, orient: 'auto', markerUnits: 'userSpaceOnUse' });
    marker.appendChild(svgEl('path', { d: 'M0 0 L10 5 L0 10 z', fill: colour }));
    return marker;
  }

  /* canvas(svg, width, height): sizes the (empty) svg and its viewBox,
   * lays its white ground and returns the root group, in the picture's
   * font, size and colour, that the picture draws into. */
  function canvas(svg, width, height) {
    svg.appendChild(svgEl('rect', { x: 0, y: 0, width: 0, height: 0, fill: '#ffffff', 'data-ground': '' }));
    resize(svg, width, height);
    var root = svgEl('g', { 'font-family': FONT, 'font-size': 14, fill: INK });
    svg.appendChild(root);
    return root;
  }

  /* resize(svg, width, height): the size of a picture whose height is
   * known only once it is drawn: the svg, its viewBox and its ground. */
  function resize(svg, width, height) {
    width = Math.ceil(width);
    height = Math.ceil(height);
    svg.setAttribute('width', width);
    svg.setAttribute('height', height);
    svg.setAttribute('viewBox', '0 0 ' + width + ' ' + height);
    var ground = svg.querySelector('rect[data-ground]');
    ground.setAttribute('width', width);
    ground.setAttribute('height', height);
  }

  return { FONT: FONT, MONO: MONO, INK: INK, GREY: GREY, svgEl: svgEl, round: round, text: text,
           textWidth: textWidth, arcPath: arcPath, byteLabel: byteLabel, visible: visible,
           arrowHead: arrowHead, canvas: canvas, resize: resize };
})();
