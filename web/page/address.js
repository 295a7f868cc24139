/* address.js -- the address's # part, which holds the visible tab and its
 * case, so that a link or a bookmark (also under file://) opens the same
 * case:
 *
 *   #<program>&in=<checksum>.<the input, base64url>&step=<picture step from 1>&ex=<size>-<seed>
 *
 * (what each part holds, and how it is checked: link.js). The # part is
 * parsed once per change: when the page opens, at each hashchange event,
 * and when set() writes it; every reader gets that one parse, and no
 * reader reads location.hash again (a long # part costs milliseconds at
 * each read). Writing a key replaces the address's state in the history,
 * never adds to it.
 *
 * DsdAddress = {program(), part(program, key), set(program, key, value),
 *               isProgram(name)} */
var DsdAddress = (function () {
  'use strict';
  var parsedText = null;   /* the # part parsed last */
  var parsed = null;       /* {program, keys: {key: value}} of it */

  /* now(): the parse of the # part (DsdLink.parseHash: its keys have no
   * prototype, so 'constructor' is a key only when the link holds it). */
  function now() {
    if (parsed === null) reread();
    return parsed;
  }

  /* reread(): parses the # part as it is now. */
  function reread() {
    parsedText = location.hash;
    parsed = DsdLink.parseHash(parsedText);
  }
  window.addEventListener('hashchange', reread);

  /* isProgram(name): true when name is a program of the registry (its own
   * stanza: never 'constructor', '__proto__' and their like). */
  function isProgram(name) {
    return DsdLink.knownProgram(name, DSD_PROGRAMS);
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
    if (text === parsedText) return;
    history.replaceState(null, '', text);
    parsedText = text;
    parsed = DsdLink.parseHash(text);
  }

  return { program: program, part: part, set: set, isProgram: isProgram };
})();
