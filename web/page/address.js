/* address.js -- the address's # part, which holds the visible tab and its
 * case, so that a link or a bookmark (also under file://) opens the same
 * case:
 *
 *   #<program>&in=<the input, base64url>&step=<picture step from 1>&ex=<size>-<seed>
 *
 * The # part is parsed once per change (when its text differs from the
 * text parsed last); every reader gets that one parse. Writing a key
 * replaces the address's state in the history, never adds to it.
 *
 * DsdAddress = {program(), part(program, key), set(program, key, value)} */
var DsdAddress = (function () {
  'use strict';
  var parsedText = null;   /* the # part parsed last */
  var parsed = null;       /* {program, keys: {key: value}} of it */

  /* parse(text): {program, keys} of a # part's text. */
  function parse(text) {
    var parts = text.replace(/^#/, '').split('&');
    var keys = {};
    parts.slice(1).forEach(function (p) {
      var eq = p.indexOf('=');
      if (eq > 0) keys[p.slice(0, eq)] = p.slice(eq + 1);
    });
    return { program: parts[0], keys: keys };
  }

  /* now(): the parse of the # part as it is, parsed again only when it
   * changed. */
  function now() {
    if (location.hash !== parsedText) {
      parsedText = location.hash;
      parsed = parse(parsedText);
    }
    return parsed;
  }

  /* isProgram(name): true when name is a program of the registry. */
  function isProgram(name) {
    return DSD_PROGRAMS.some(function (p) { return p.name === name; });
  }

  /* program(): the program the # part names ('' for none). */
  function program() {
    return now().program;
  }

  /* part(program, key): the value of key in the # part, when the # part is
   * program's; else null. */
  function part(program, key) {
    var h = now();
    return h.program === program && key in h.keys ? h.keys[key] : null;
  }

  /* set(program, key, value): writes key=value into the # part (value
   * null: takes key out), keeping the rest, when the # part is program's,
   * or names no program and program's tab is the visible one (a page
   * opened with no #); in= and step= first, the rest in their order. */
  function set(program, key, value) {
    var h = now();
    var keys = Object.assign({}, h.keys);
    if (h.program !== program) {
      var section = document.getElementById('tab-' + program);
      if (isProgram(h.program) || !section || section.hidden) return;
      keys = {};
    }
    if (value === null) delete keys[key];
    else keys[key] = value;
    var order = ['in', 'step'].filter(function (k) { return k in keys; })
      .concat(Object.keys(keys).filter(function (k) { return k !== 'in' && k !== 'step'; }));
    var text = '#' + [program].concat(order.map(function (k) { return k + '=' + keys[k]; })).join('&');
    if (text !== location.hash) history.replaceState(null, '', text);
  }

  return { program: program, part: part, set: set };
})();
