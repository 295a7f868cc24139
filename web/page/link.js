/* link.js -- the page's address read and written as plain values: what a
 * link holds, whether it is whole, and how a file name reads on a command
 * line. Pure functions of their arguments: no DOM, no location; the shell
 * reads the address once per change and asks these.
 *
 * The # part of the address:
 *   #<program>&in=<input>&step=<n>&ex=<size>-<seed>
 * where <program> is a name of the registry (programs.js), <n> the
 * picture's step counted from 1, and <input>
 *   <crc>.<flag><base64url of the bytes>
 * with <crc> the CRC-32 of the flag's and the bytes' text, 8 hex digits, so
 * that a link cut short, altered or mistyped anywhere is known as damaged
 * instead of running another input. (The checksum stands first: a link cut
 * at its end loses data, never the checksum alone.) <flag> is a letter some
 * tabs put first (josephus: arguments or keyboard), '' for the others.
 *
 * Loaded by a <script> tag it defines the global DsdLink; under node it is a
 * CommonJS module, and tests/web/link.test.mjs checks it there. */
var DsdLink = (function () {
  'use strict';

  /* The most bytes an input may have to travel in a link: 32 KB, which
   * every browser's address bar takes. */
  var LINK_LIMIT = 32 * 1024;
  /* The longest <input> text a link of LINK_LIMIT bytes gives (base64
   * takes 4 characters for 3 bytes, plus the checksum and the flag): a
   * longer one is refused before anything is decoded. */
  var IN_LIMIT = Math.ceil(LINK_LIMIT / 3) * 4 + 16;
  /* The seeds 换一题 makes (page/exercise.js newSeed), 1 to 2^31-1. */
  var SEED_MAX = 2147483647;

  /* ----------------------------------------------------------------
   * CRC-32 (the one of zip and PNG), table built on first use
   * -------------------------------------------------------------- */
  var crcTable = null;

  /* crc32(bytes): the CRC-32 of a Uint8Array (or an array of byte
   * values), as an unsigned number. */
  function crc32(bytes) {
    if (!crcTable) {
      crcTable = new Uint32Array(256);
      for (var n = 0; n < 256; n++) {
        var c = n;
        for (var k = 0; k < 8; k++) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
        crcTable[n] = c >>> 0;
      }
    }
    var crc = 0xFFFFFFFF;
    for (var i = 0; i < bytes.length; i++) crc = crcTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >>> 8);
    return (crc ^ 0xFFFFFFFF) >>> 0;
  }

  /* checksum(flag, bytes): the 8 hex digits of the CRC-32 of the flag's
   * character (if any) followed by the bytes. */
  function checksum(flag, bytes) {
    var all = new Uint8Array(flag.length + bytes.length);
    for (var i = 0; i < flag.length; i++) all[i] = flag.charCodeAt(i) & 0xFF;
    all.set(bytes, flag.length);
    return ('0000000' + crc32(all).toString(16)).slice(-8);
  }

  /* ----------------------------------------------------------------
   * base64url
   * -------------------------------------------------------------- */
  var ALPHABET = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_';

  /* toBase64url(bytes): the bytes as base64url text, without padding. */
  function toBase64url(bytes) {
    var out = [];
    for (var i = 0; i < bytes.length; i += 3) {
      var n = bytes[i] << 16 | (i + 1 < bytes.length ? bytes[i + 1] << 8 : 0) | (i + 2 < bytes.length ? bytes[i + 2] : 0);
      out.push(ALPHABET[n >> 18 & 63], ALPHABET[n >> 12 & 63]);
      if (i + 1 < bytes.length) out.push(ALPHABET[n >> 6 & 63]);
      if (i + 2 < bytes.length) out.push(ALPHABET[n & 63]);
    }
    return out.join('');
  }

  /* fromBase64url(text): the bytes that base64url text (with or without
   * padding) stands for, or null when it is not base64url: a character
   * outside the alphabet, or a length that no bytes give. */
  function fromBase64url(text) {
    text = text.replace(/=+$/, '');
    if (text.length % 4 === 1 || /[^A-Za-z0-9_-]/.test(text)) return null;
    var out = new Uint8Array(Math.floor(text.length * 3 / 4));
    var bits = 0, value = 0, k = 0;
    for (var i = 0; i < text.length; i++) {
      value = value << 6 | ALPHABET.indexOf(text[i]);
      bits += 6;
      if (bits >= 8) {
        bits -= 8;
        out[k++] = value >> bits & 0xFF;
      }
    }
    return out;
  }

  /* ----------------------------------------------------------------
   * The # part
   * -------------------------------------------------------------- */

  /* parseHash(hash): {program, keys} of a # part ('#evaluator&in=…', with
   * or without its '#'): program the text before the first '&', keys an
   * object without a prototype (so that no key such as 'constructor' is
   * found in it unless the link holds it) of each key=value after it. */
  function parseHash(hash) {
    var text = String(hash);
    var parts = (text.charAt(0) === '#' ? text.slice(1) : text).split('&');   /* no copy of a long # part */
    var keys = Object.create(null);
    parts.slice(1).forEach(function (p) {
      var eq = p.indexOf('=');
      if (eq > 0) keys[p.slice(0, eq)] = p.slice(eq + 1);
    });
    return { program: parts[0], keys: keys };
  }

  /* knownProgram(name, programs): true when name is the name of a stanza
   * of programs (the registry's list); never for a name that objects
   * inherit ('constructor', '__proto__', 'toString', …). */
  function knownProgram(name, programs) {
    return programs.some(function (p) { return p.name === name; });
  }

  /* encodeInput(flag, bytes): the in= text of an input (see the top). */
  function encodeInput(flag, bytes) {
    return checksum(flag, bytes) + '.' + flag + toBase64url(bytes);
  }

  /* decodeInput(value, flags): the input that an in= value holds, as
   * {flag, bytes}, or {damaged: why} with why one of
   *   'long'      longer than a link of LINK_LIMIT bytes can be (nothing
   *               decoded)
   *   'checksum'  no checksum, or one the input does not match: the link
   *               was cut, altered or mistyped
   *   'text'      not the text of an input at all
   * flags: the letters the tab's input may start with ('' for none). */
  function decodeInput(value, flags) {
    if (value.length > IN_LIMIT * 3) return { damaged: 'long' };
    var text;
    try {
      text = decodeURIComponent(value);
    } catch (e) {
      return { damaged: 'text' };
    }
    if (text.length > IN_LIMIT) return { damaged: 'long' };
    var m = /^([0-9a-f]{8})\.(.*)$/.exec(text);
    if (!m) return { damaged: 'checksum' };
    var body = m[2];
    var flag = flags ? body.charAt(0) : '';
    if (flags && (!flag || flags.indexOf(flag) < 0)) return { damaged: 'checksum' };
    var bytes = fromBase64url(body.slice(flag.length));
    if (!bytes) return { damaged: 'checksum' };
    if (checksum(flag, bytes) !== m[1]) return { damaged: 'checksum' };
    return { flag: flag, bytes: bytes };
  }

  /* parseExercise(value, sizes): {size, seed} of an ex= value
   * '<size>-<seed>', or null when it is not exactly one the generator
   * makes: a size of sizes, and a seed from 1 to SEED_MAX written as the
   * generator writes it (decimal, no sign, no leading zero). */
  function parseExercise(value, sizes) {
    var m = /^([a-z]+)-([1-9][0-9]{0,9})$/.exec(value);
    if (!m || sizes.indexOf(m[1]) < 0) return null;
    var seed = Number(m[2]);
    return seed <= SEED_MAX ? { size: m[1], seed: seed } : null;
  }

  /* ----------------------------------------------------------------
   * File names on a command line
   * -------------------------------------------------------------- */

  /* nameProblem(name): null when a file's own name can be given to the
   * program as it is; else why not, one Chinese phrase:
   *   the browser passes a name as UTF-8 and a Windows console as GBK, so
   *   a character outside printable ASCII reads differently in each; a
   *   folder separator would name another folder; a leading '-' reads as
   *   an option on a command line; a '"' cannot be in a Windows file name. */
  function nameProblem(name) {
    if (!/^[\x20-\x7e]+$/.test(name)) return '含有中文或其他非 ASCII 字符（浏览器按 UTF-8 传给程序，Windows 控制台按 GBK，两者读出的不一样）';
    if (/[\/\\]/.test(name)) return '含有文件夹分隔符 / 或 \\';
    if (name[0] === '-') return '以 - 开头（在命令行上会被当成选项）';
    if (/"/.test(name)) return '含有双引号 "（Windows 的文件名里不能有它）';
    return null;
  }

  /* consoleWord(word): word as it is typed on a command line, one
   * argument to a Windows console and to a Linux shell alike: as it is when
   * it holds only characters that both read plainly, else in double quotes
   * (a blank, '&', '(' and their like). The names the page gives a program
   * hold no '"' (nameProblem), so the quotes always close where they
   * should. */
  function consoleWord(word) {
    if (word !== '' && /^[A-Za-z0-9_.,+=:@%\/-]+$/.test(word)) return word;
    return '"' + word + '"';
  }

  return { LINK_LIMIT: LINK_LIMIT, SEED_MAX: SEED_MAX, crc32: crc32, toBase64url: toBase64url,
           fromBase64url: fromBase64url, parseHash: parseHash, knownProgram: knownProgram,
           encodeInput: encodeInput, decodeInput: decodeInput, parseExercise: parseExercise,
           nameProblem: nameProblem, consoleWord: consoleWord };
})();

if (typeof module === 'object' && module.exports) module.exports = DsdLink;
