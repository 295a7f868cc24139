/* exercise.js -- the page's side of 换一题: new exercises on demand, a
 * random input that each program accepts, made from a size and a seed, so
 * that one link (ex=<size>-<seed>) gives every student the same exercise.
 *
 * The maker itself is C++ (lab/cases.h), the same that the grading kit
 * links: each program's script carries it as the entry ExerciseMain
 * (lab/page.cpp), which the program's worker runs (DsdEngine), off the
 * page's main thread.
 *
 * DsdExercise = {
 *   SIZES                 ['small', 'medium', 'large'], with LABELS 小/中/大
 *   make(program, size, seed) -> Promise of {name, bytes}: the input as the
 *                         program's tab loads it (the file, the session, or
 *                         the command line's words), ASCII bytes; of null
 *                         for an unknown size, or when the maker could not
 *                         run (the worker stopped)
 *   newSeed()             a fresh seed, 1 to 2^31-1; a seed is taken modulo
 *                         2^32, as links have always taken it
 * } */
var DsdExercise = (function () {
  'use strict';

  var SIZES = ['small', 'medium', 'large'];
  var LABELS = { small: '小', medium: '中', large: '大' };

  /* make(program, size, seed): the exercise described at the top. */
  function make(program, size, seed) {
    if (SIZES.indexOf(size) < 0 || typeof DsdEngine !== 'object') return Promise.resolve(null);
    var request = { args: [size, String(seed % 4294967296)] };
    return DsdEngine.call(program, 'exercise', request).then(function (answer) {
      var r = answer.result;
      if (!r || r.crash || r.status !== 0) return null;
      return { name: program + '-' + size + '-' + seed + '.txt', bytes: r.stdout };
    });
  }

  /* newSeed(): a fresh seed from 1 to 2^31-1. */
  function newSeed() {
    return 1 + Math.floor(Math.random() * 0x7ffffffe);
  }

  return { SIZES: SIZES, LABELS: LABELS, make: make, newSeed: newSeed };
})();

if (typeof module === 'object' && module.exports) module.exports = DsdExercise;
