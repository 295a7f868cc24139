/* dom.js -- the helpers every script of the page's shell uses to build
 * what it shows: an element with its properties and children, a size in
 * words, and work done in turns, one task each, so that the page can draw
 * and answer the user between them. Nothing here keeps any state but the
 * turns still waiting.
 *
 * DsdDom = {el(tag, props, children), sizeText(n), inTurn(work)} */
var DsdDom = (function () {
  'use strict';

  /* el(tag, props, children): a new element with the given properties
   * (className, textContent, ...) and children (elements or strings). */
  function el(tag, props, children) {
    var node = document.createElement(tag);
    Object.keys(props || {}).forEach(function (k) {
      if (k.indexOf('data-') === 0 || k === 'for' || k === 'role') node.setAttribute(k, props[k]);
      else node[k] = props[k];
    });
    (children || []).forEach(function (c) {
      node.appendChild(typeof c === 'string' ? document.createTextNode(c) : c);
    });
    return node;
  }

  /* sizeText(n): a size in bytes in words, with MB or KB when large. */
  function sizeText(n) {
    if (n >= 1024 * 1024) return n + ' 字节（约 ' + (n / 1048576).toFixed(1) + ' MB）';
    if (n >= 1024) return n + ' 字节（约 ' + Math.round(n / 1024) + ' KB）';
    return n + ' 字节';
  }

  /* inTurn(work): runs the function work in a task of its own, after
   * every piece of work given before it (first in, first out). A run's
   * answer puts its output, its console, its picture and its code on
   * screen in turns like these: each is bounded, where all of them in one
   * task held the page up for as long as they took together. A task of a
   * MessageChannel, not setTimeout, which browsers delay to 4 ms and more
   * once timers nest. */
  var turns = [];
  var channel = null;
  function inTurn(work) {
    if (typeof MessageChannel !== 'function') { setTimeout(work, 0); return; }
    if (!channel) {
      channel = new MessageChannel();
      channel.port1.onmessage = function () { turns.shift()(); };
    }
    turns.push(work);
    channel.port2.postMessage(null);
  }

  return { el: el, sizeText: sizeText, inTurn: inTurn };
})();
