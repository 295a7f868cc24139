/* compare.js -- the page's and compare.mjs's side of the comparison of a
 * student's output with ours.
 *
 * The comparison itself is C++ (lab/compare.h), the same that the grading
 * kit links: each program's script carries it as the entry CompareMain
 * (lab/page.cpp), run in a fresh instance: on the page by the program's
 * worker, asked for the action 'compare' (worker.js, DsdEngine.call), and
 * under node by runner.js (compare.mjs). This file only makes the run's
 * request and reads its answer:
 *
 *   request(ours, mine)      the runner request: ours as bytes (Uint8Array),
 *                            mine as bytes too, or a string of pasted text
 *                            (which has no encoding and no line ends of its
 *                            own: only its text is compared)
 *   report(program, result)  the report from the run's result, a plain
 *                            object (lab/page.cpp names its fields: verdict,
 *                            form, headline, encodings, reason, step, notes,
 *                            first, text), with program and output added;
 *                            throws an Error with a message for the user
 *                            when there is none
 *   format(report)           the report as plain text, one fact a line
 *   OUTPUTS                  program -> the output each program leaves, as
 *                            the student knows it
 *
 * Loaded by a <script> tag it defines the global DsdCompare; under node it is
 * a CommonJS module. */
(function (root) {
  'use strict';

  /* The output each program leaves: the output file that programs.js
   * names, else its console output. */
  var PROGRAMS = root.DSD_PROGRAMS ||
    (typeof require === 'function' ? require('../programs.js') : []);
  var OUTPUTS = {};
  PROGRAMS.forEach(function (p) { OUTPUTS[p.name] = p.output || 'stdout（控制台输出）'; });

  /* The two files inside the instance. */
  var OURS = 'ours.out';
  var MINE = 'mine.out';

  function request(ours, mine) {
    var pasted = typeof mine === 'string';
    var theirs = pasted ? new TextEncoder().encode(mine) : new Uint8Array(mine);
    return {
      entry: 'CompareMain',
      args: [OURS, MINE].concat(pasted ? ['pasted'] : []),
      files: [{ path: OURS, data: new Uint8Array(ours) }, { path: MINE, data: theirs }]
    };
  }

  function report(program, result) {
    var text = function (bytes) { return new TextDecoder('utf-8').decode(bytes || new Uint8Array(0)); };
    if (result.crash) throw new Error(result.crash);
    if (result.status > 1 || !result.stdout || result.stdout.length === 0) {
      throw new Error(text(result.stderr).trim() || '对照没有结果');
    }
    var r = JSON.parse(text(result.stdout));
    r.program = program;
    r.output = OUTPUTS[program] || '';
    return r;
  }

  function format(r) {
    return r.text;
  }

  var DsdCompare = { request: request, report: report, format: format, OUTPUTS: OUTPUTS };
  if (typeof module === 'object' && module.exports) module.exports = DsdCompare;
  else root.DsdCompare = DsdCompare;
})(typeof self !== 'undefined' ? self : this);
