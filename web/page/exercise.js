/* exercise.js -- new exercises on demand: a random input that each program
 * accepts, made from a seed and a size, so that one link gives every
 * student the same exercise.
 *
 * The generator knows the programs' input formats, and of a technique only
 * what a valid input needs (a random tree's preorder and inorder, which
 * are bitree's input; the answers are never computed here). It writes an expression, a preorder/inorder pair of one random tree with
 * two prefix expressions, a rule file, a ring with its step values. What
 * the input does is then shown by the program's own run, as for any other
 * input. Each input is chosen to be worth doing by hand:
 *   evaluator   an expression with brackets and both levels of precedence
 *   bitree      a tree of distinct letters (choice 0), then one prefix
 *               expression printed three ways (choice 1) and one computed
 *               (choice 2)
 *   translator  rules that each rewrite something (a rule's symbol is in
 *               the sentence or in an earlier rule's replacement), and a
 *               sentence with a bracket group (nested in the large size)
 *   josephus    a first count larger than the ring, so the count goes round
 * and stays within what the page draws in full (a short expression, a
 * ring small enough for the seats' labels).
 *
 * DsdExercise = {
 *   SIZES                 ['small', 'medium', 'large'], with LABELS 小/中/大
 *   make(program, size, seed) -> {name, bytes}: the input as the program's
 *                         tab loads it (the file, the session, or the
 *                         command line's words), ASCII bytes; null for an
 *                         unknown program or size
 *   newSeed()             a fresh seed, 1 to 2^31-1
 * } */
var DsdExercise = (function () {
  'use strict';

  var SIZES = ['small', 'medium', 'large'];
  var LABELS = { small: '小', medium: '中', large: '大' };

  /* random(seed): a function that returns the next number in [0, 1) of the
   * sequence the seed starts (mulberry32: small, fast, the same in every
   * browser, since it uses only 32-bit integer steps). */
  function random(seed) {
    var a = seed >>> 0;
    return function () {
      a = (a + 0x6D2B79F5) >>> 0;
      var t = a;
      t = Math.imul(t ^ (t >>> 15), t | 1);
      t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
      return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
    };
  }

  /* pick(rand, lo, hi): a whole number from lo to hi, both included. */
  function pick(rand, lo, hi) {
    return lo + Math.floor(rand() * (hi - lo + 1));
  }

  /* shuffled(rand, list): the items of list (an array, or the characters
   * of a text) in a random order, as a new array (Fisher-Yates). */
  function shuffled(rand, list) {
    var chars = typeof list === 'string' ? list.split('') : list.slice();
    for (var i = chars.length - 1; i > 0; i--) {
      var j = pick(rand, 0, i);
      var t = chars[i]; chars[i] = chars[j]; chars[j] = t;
    }
    return chars;
  }

  /* shape(rand, k): a random binary tree of k nodes, as {left, right}
   * objects, a missing child null. An expression puts its operators on
   * these nodes and its numbers in the missing children's places. */
  function shape(rand, k) {
    if (k === 0) return null;
    var left = pick(rand, 0, k - 1);
    return { left: shape(rand, left), right: shape(rand, k - 1 - left) };
  }

  /* ---------------------------------------------------------- evaluator */

  var PREC = { '+': 1, '-': 1, '*': 2, '/': 2 };

  /* operands(rand, tree, max): tree with an operator on each inner node and
   * a number from 1 to max on each leaf; a '/' only before a number, so
   * that no division by zero ends the exercise early. */
  function operands(rand, tree, max) {
    if (!tree) return { num: pick(rand, 1, max) };
    var node = { op: '+-*/'[pick(rand, 0, 3)],
                 left: operands(rand, tree.left, max), right: operands(rand, tree.right, max) };
    if (node.op === '/' && !('num' in node.right)) node.op = '*';
    return node;
  }

  /* infix(node, outer, right): the expression as text, with the brackets
   * that its shape needs under an operator of precedence outer (right:
   * it stands right of a '-' or '/', where equal precedence needs them). */
  function infix(node, outer, right) {
    if ('num' in node) return String(node.num);
    var p = PREC[node.op];
    var text = infix(node.left, p, false) + node.op +
               infix(node.right, p, node.op === '-' || node.op === '/');
    return p < outer || (right && p === outer) ? '(' + text + ')' : text;
  }

  var EXPRESSION = { small: { ops: 3, max: 9 }, medium: { ops: 5, max: 20 }, large: { ops: 8, max: 50 } };

  /* expression(rand, size): an expression of the size's operators, with a
   * bracket pair and both levels of precedence, at most 49 characters. */
  function expression(rand, size) {
    var s = EXPRESSION[size];
    for (;;) {
      var text = infix(operands(rand, shape(rand, s.ops), s.max), 0, false);
      if (text.length <= 49 && /\(/.test(text) && /[*\/]/.test(text) && /[+\-]/.test(text)) return text;
    }
  }

  /* ------------------------------------------------------------- bitree */

  /* sequences(tree, letters): the preorder and inorder, {preorder,
   * inorder}, of tree with letters given to its nodes in preorder. */
  function sequences(tree, letters) {
    var pre = '', ino = '', next = 0;
    (function walk(node) {
      var ch = letters[next++];
      pre += ch;
      if (node.left) walk(node.left);
      ino += ch;
      if (node.right) walk(node.right);
    })(tree);
    return { preorder: pre, inorder: ino };
  }

  /* prefix(node): a prefix expression of single digits. */
  function prefix(node) {
    return 'num' in node ? String(node.num) : node.op + prefix(node.left) + prefix(node.right);
  }

  var TREE = { small: { nodes: 5, ops: 2 }, medium: { nodes: 8, ops: 3 }, large: { nodes: 12, ops: 5 } };

  /* session(rand, size): the lines of one bitree session: choice 0 with a
   * tree's two sequences, then choices 1 and 2 with prefix expressions. */
  function session(rand, size) {
    var s = TREE[size];
    var letters = shuffled(rand, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ');
    var seq = sequences(shape(rand, s.nodes), letters);
    var shown = prefix(operands(rand, shape(rand, s.ops), 9));
    var computed = prefix(operands(rand, shape(rand, s.ops), 9));
    return '0\n' + seq.preorder + ' ' + seq.inorder + '\n1\n' + shown + '\n2\n' + computed + '\n';
  }

  /* --------------------------------------------------------- translator */

  var WORDS = 'tdsaezgxnh';          /* the letters that have a word */
  var RULES = { small: { rules: 2, groups: 1 }, medium: { rules: 3, groups: 2 }, large: { rules: 4, groups: 2 } };

  /* letters(rand, lo, hi): lo to hi letters that have a word. */
  function letters(rand, lo, hi) {
    var out = '';
    for (var n = pick(rand, lo, hi); n > 0; n--) out += WORDS[pick(rand, 0, WORDS.length - 1)];
    return out;
  }

  /* group(rand, inner): a bracket group: its first character and one to
   * three more, with inner (a group, or '') among them. */
  function group(rand, inner) {
    var rest = letters(rand, 1, 3);
    var at = pick(rand, 0, rest.length);
    return '(' + letters(rand, 1, 1) + rest.slice(0, at) + inner + rest.slice(at) + ')';
  }

  /* ruleFile(rand, size): a rule file whose every rule rewrites something,
   * and whose sentence has the size's bracket groups; the sentence line
   * has no line end, so each character of the result has a word. */
  function ruleFile(rand, size) {
    var s = RULES[size];
    var symbols = shuffled(rand, 'ABCDEFGHIJKLMNOPQRSTUVWXYZ').slice(0, s.rules);
    var pieces = [];                 /* the sentence, in pieces */
    var replacements = [];
    for (var i = 0; i < s.rules; i++) {
      var r = letters(rand, 1, 4);
      /* The next rule's symbol comes in with this replacement, or stands
       * in the sentence. */
      if (i + 1 < s.rules && rand() < 0.5) {
        var at = pick(rand, 0, r.length);
        r = r.slice(0, at) + symbols[i + 1] + r.slice(at);
      } else if (i + 1 < s.rules) {
        pieces.push(symbols[i + 1]);
      }
      replacements.push(r);
    }
    pieces.push(symbols[0]);
    var inner = size === 'large' ? group(rand, '') : '';
    for (var g = 0; g < s.groups; g++) pieces.push(group(rand, g === 0 ? inner : ''));
    pieces.push(letters(rand, 0, 2));
    var sentence = shuffled(rand, pieces.filter(Boolean)).join('');
    var lines = [String(s.rules)];
    for (var k = 0; k < s.rules; k++) lines.push(symbols[k] + ' = ' + replacements[k]);
    return lines.join('\n') + '\n' + sentence;
  }

  /* ----------------------------------------------------------- josephus */

  var RING = { small: 5, medium: 8, large: 12 };

  /* ring(rand, size): the words n m s1 ... sn, with a first count past the
   * ring and step values up to twice its size. */
  function ring(rand, size) {
    var n = RING[size];
    var words = [n, pick(rand, n + 1, 2 * n)];
    for (var k = 0; k < n; k++) words.push(pick(rand, 1, 2 * n));
    return words.join(' ');
  }

  /* ---------------------------------------------------------------- API */

  /* asciiBytes(text): the bytes of an ASCII text. */
  function asciiBytes(text) {
    var out = new Uint8Array(text.length);
    for (var i = 0; i < text.length; i++) out[i] = text.charCodeAt(i);
    return out;
  }

  var MAKERS = {
    evaluator: function (rand, size) { return expression(rand, size) + '\n'; },
    bitree: session,
    translator: ruleFile,
    josephus: ring
  };

  /* make(program, size, seed): the exercise described at the top, or null. */
  function make(program, size, seed) {
    if (!MAKERS[program] || SIZES.indexOf(size) < 0) return null;
    var text = MAKERS[program](random(seed), size);
    return { name: program + '-' + size + '-' + seed + '.txt', bytes: asciiBytes(text) };
  }

  /* newSeed(): a fresh seed from 1 to 2^31-1. */
  function newSeed() {
    return 1 + Math.floor(Math.random() * 0x7ffffffe);
  }

  return { SIZES: SIZES, LABELS: LABELS, make: make, newSeed: newSeed };
})();

if (typeof module === 'object' && module.exports) module.exports = DsdExercise;
