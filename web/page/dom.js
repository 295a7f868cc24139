/* dom.js -- the two helpers every script of the page's shell uses to
 * build what it shows: an element with its properties and children, and a
 * size in words. Nothing here keeps any state.
 *
 * DsdDom = {el(tag, props, children), sizeText(n)} */
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

  return { el: el, sizeText: sizeText };
})();
