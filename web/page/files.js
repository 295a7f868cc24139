/* files.js -- bytes in and out of the page: base64 and base64url text (the
 * bundled examples, the input kept in the address), a file of the user's
 * own opened byte for byte, and bytes saved as a file.
 *
 * DsdFiles = {base64Bytes(text), bytesToBase64url(bytes),
 *             base64urlToBytes(text), fileButton(onOpen, onFail),
 *             downloadLink(name, bytes)} */
var DsdFiles = (function () {
  'use strict';
  var el = DsdDom.el;

  /* base64Bytes(text): the bytes that base64 text stands for; throws when
   * it is not base64. */
  function base64Bytes(text) {
    var raw = atob(text);
    var bytes = new Uint8Array(raw.length);
    for (var i = 0; i < raw.length; i++) bytes[i] = raw.charCodeAt(i);
    return bytes;
  }

  /* bytesToBase64url(bytes): bytes as base64url text (for the address). */
  function bytesToBase64url(bytes) {
    var raw = '';
    for (var i = 0; i < bytes.length; i += 8192) {
      raw += String.fromCharCode.apply(null, bytes.subarray(i, i + 8192));
    }
    return btoa(raw).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  }

  /* base64urlToBytes(text): the bytes of base64url text, or null when it
   * is not base64url (a stray character, a length no base64 has). */
  function base64urlToBytes(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) return null;
    try {
      return base64Bytes(text.replace(/-/g, '+').replace(/_/g, '/'));
    } catch (e) {
      return null;
    }
  }

  /* The most bytes copied into a file, or read out of one, in one turn (a
   * Blob copies what it is made of: 80 MB at once held the page up for
   * half a second). */
  var FILE_PART = 4 * 1024 * 1024;

  /* readFile(file, done, fail): calls done with the exact bytes of file
   * (a File), read a FILE_PART at a time (the browser puts each read
   * together on the page's thread: 50 MB in one read held it up), or fail
   * when the browser cannot read it. A file that shrinks meanwhile gives
   * the bytes read. */
  function readFile(file, done, fail) {
    var bytes = new Uint8Array(file.size);
    var at = 0;
    (function part() {
      if (at >= bytes.length) { done(bytes); return; }
      file.slice(at, at + FILE_PART).arrayBuffer().then(function (buf) {
        if (!buf.byteLength) { done(bytes.subarray(0, at)); return; }
        bytes.set(new Uint8Array(buf), at);
        at += buf.byteLength;
        part();
      }, fail);
    })();
  }

  /* fileButton(onOpen, onFail): a button that opens a file of the user's
   * own and calls onOpen(name, bytes) with its exact bytes, or onFail with
   * a message when the browser cannot read it. */
  function fileButton(onOpen, onFail) {
    var input = el('input', { type: 'file', hidden: true });
    input.addEventListener('change', function () {
      var file = input.files[0];
      if (!file) return;
      input.value = '';
      readFile(file, function (bytes) {
        onOpen(file.name, bytes);
      }, function () {
        onFail('无法读取文件 ' + file.name + '：浏览器读不出它的内容（它可能已被移走、改名，或太大）。请检查后重新打开。');
      });
    });
    var button = el('button', { type: 'button', className: 'open', textContent: '打开文件…' });
    button.addEventListener('click', function () { input.click(); });
    return el('span', {}, [button, input]);
  }

  /* downloadLink(name, bytes): a link that saves bytes as a file name.
   * The file is made on the first click (copying a large output when it
   * is shown would hold the page up); a file over FILE_PART bytes is made
   * a part per turn (DsdDom.inTurn), each Blob made of the one before and
   * the next part, and saved when the last part is in. */
  function downloadLink(name, bytes) {
    var a = el('a', { href: '#', download: name, className: 'download', textContent: '下载' });
    var type = { type: 'application/octet-stream' };
    var making = false;
    a.addEventListener('click', function (e) {
      if (a.href.indexOf('blob:') === 0) return;   /* made: the browser saves it */
      if (bytes.length <= FILE_PART) {
        a.href = URL.createObjectURL(new Blob([bytes], type));
        return;
      }
      e.preventDefault();
      if (making) return;
      making = true;
      a.textContent = '下载（正在准备文件…）';
      var file = new Blob([], type);
      var at = 0;
      (function part() {
        file = new Blob([file, bytes.subarray(at, at + FILE_PART)], type);
        at += FILE_PART;
        if (at < bytes.length) { DsdDom.inTurn(part); return; }
        a.href = URL.createObjectURL(file);
        a.textContent = '下载';
        making = false;
        a.click();
      })();
    });
    return a;
  }

  return { base64Bytes: base64Bytes, bytesToBase64url: bytesToBase64url, base64urlToBytes: base64urlToBytes,
           fileButton: fileButton, downloadLink: downloadLink };
})();
