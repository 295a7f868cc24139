/* gbk.js -- GBK (code page 936) text for the page, as a Chinese Windows
 * console passes it.
 *
 * Browsers decode GBK (TextDecoder) but encode only UTF-8, so the encoding
 * table is made once, on first use, by decoding every two-byte GBK code.
 * DsdGbk = {encode, decode}. */
var DsdGbk = (function () {
  'use strict';

  var decoder = new TextDecoder('gbk');
  var table = null;   /* character -> its two bytes, made by encodeTable() */

  /* encodeTable(): a Map from each character GBK has beyond ASCII to its
   * bytes, made by decoding every code once (about 24 000 pairs). */
  function encodeTable() {
    var map = new Map();
    var pair = new Uint8Array(2);
    for (var lead = 0x81; lead <= 0xfe; lead++) {
      for (var trail = 0x40; trail <= 0xfe; trail++) {
        if (trail === 0x7f) continue;
        pair[0] = lead;
        pair[1] = trail;
        var ch = decoder.decode(pair);
        if (ch.length === 1 && ch !== '\ufffd' && !map.has(ch)) map.set(ch, [lead, trail]);
      }
    }
    map.set('\u20ac', [0x80]);   /* the euro sign, one byte in code page 936 */
    return map;
  }

  /* encode(text): {bytes} with the GBK bytes of text, or {bad, line, column}
   * naming the first character that GBK lacks (line and column from 1);
   * nothing is ever replaced silently. */
  function encode(text) {
    if (!table) table = encodeTable();
    var out = [];
    var line = 1, column = 0;
    for (var ch of text) {            /* by code point, so an emoji is one */
      column++;
      var code = ch.codePointAt(0);
      if (code < 0x80) {
        out.push(code);
      } else {
        var bytes = table.get(ch);
        if (!bytes) return { bad: ch, line: line, column: column };
        for (var i = 0; i < bytes.length; i++) out.push(bytes[i]);
      }
      if (ch === '\n') { line++; column = 0; }
    }
    return { bytes: new Uint8Array(out) };
  }

  /* decode(bytes): the text of GBK bytes; a byte that is not GBK shows as
   * U+FFFD. */
  function decode(bytes) {
    return decoder.decode(bytes);
  }

  return { encode: encode, decode: decode };
})();
