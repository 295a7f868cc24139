/* gbk.js -- GBK (code page 936) text for the page, as a Chinese Windows
 * console passes it.
 *
 * Browsers decode GBK (TextDecoder) but encode only UTF-8, so the encoding
 * table is made once, on first use, by decoding every two-byte GBK code in
 * one call (each code followed by a newline, so a code GBK lacks can
 * never run into the next one).
 *
 * A long text (a paste of megabytes) is encoded off the page's main
 * thread: encodeLater(text) hands it to a worker of its own, made once
 * from the same code (DsdEngine.workerFrom, as the programs' workers are
 * made), and its bytes come back transferred.
 *
 * DsdGbk = {encode(text), decode(bytes), encodeLater(text) -> Promise} */
var DsdGbk = (function () {
  'use strict';

  /* gbkCore(): {encode, decode}: the whole of the encoding, in one
   * function so that the worker gets it as its source text. */
  function gbkCore() {
    var decoder = new TextDecoder('gbk');
    var table = null;   /* character -> its bytes, made by encodeTable() */

    /* encodeTable(): a Map from each character GBK has beyond ASCII to
     * its bytes (one number: lead * 256 + trail; the euro sign, one byte
     * in code page 936, is 0x80). */
    function encodeTable() {
      var codes = [];
      var all = new Uint8Array(126 * 190 * 3);
      var n = 0;
      for (var lead = 0x81; lead <= 0xfe; lead++) {
        for (var trail = 0x40; trail <= 0xfe; trail++) {
          if (trail === 0x7f) continue;
          all[n++] = lead;
          all[n++] = trail;
          all[n++] = 10;
          codes.push(lead * 256 + trail);
        }
      }
      var texts = decoder.decode(all.subarray(0, n)).split('\n');
      var map = new Map();
      for (var i = 0; i < codes.length; i++) {
        var ch = texts[i];
        if (ch.length === 1 && ch !== '\ufffd' && !map.has(ch)) map.set(ch, codes[i]);
      }
      map.set('\u20ac', 0x80);
      return map;
    }

    /* encode(text): {bytes} with the GBK bytes of text, or {bad, line,
     * column} naming the first character that GBK lacks (line and column
     * from 1); nothing is ever replaced silently. */
    function encode(text) {
      if (!table) table = encodeTable();
      var out = new Uint8Array(text.length * 2);
      var n = 0;
      var line = 1, column = 0;
      for (var ch of text) {            /* by code point, so an emoji is one */
        column++;
        var code = ch.codePointAt(0);
        if (code < 0x80) {
          out[n++] = code;
        } else {
          var bytes = table.get(ch);
          if (bytes === undefined) return { bad: ch, line: line, column: column };
          if (bytes > 0xff) out[n++] = bytes >> 8;
          out[n++] = bytes & 0xff;
        }
        if (code === 10) { line++; column = 0; }
      }
      return { bytes: out.slice(0, n) };
    }

    /* decode(bytes): the text of GBK bytes; a byte that is not GBK shows
     * as U+FFFD. */
    function decode(bytes) {
      return decoder.decode(bytes);
    }

    return { encode: encode, decode: decode };
  }

  var core = gbkCore();
  var worker = null;    /* the encoding worker, made on first need */
  var waiting = {};     /* id -> resolve of an encodeLater */
  var nextId = 1;

  /* encodeLater(text): a Promise of encode(text), worked out in the
   * encoding worker; where the browser gives no worker, here. */
  function encodeLater(text) {
    if (typeof Worker !== 'function' || typeof DsdEngine !== 'object') return Promise.resolve(core.encode(text));
    if (!worker) {
      worker = DsdEngine.workerFrom('var core = (' + gbkCore.toString() + ')();\n' +
        'onmessage = function (e) { var r = core.encode(e.data.text); r.id = e.data.id;' +
        ' postMessage(r, r.bytes ? [r.bytes.buffer] : []); };');
      worker.onmessage = function (e) {
        var resolve = waiting[e.data.id];
        delete waiting[e.data.id];
        delete e.data.id;
        if (resolve) resolve(e.data);
      };
    }
    var id = nextId++;
    return new Promise(function (resolve) {
      waiting[id] = resolve;
      worker.postMessage({ id: id, text: text });
    });
  }

  return { encode: core.encode, decode: core.decode, encodeLater: encodeLater };
})();
