/* worker.js -- the body of a program's worker: one small message protocol,
 * the same in the page's Web Worker and in node's worker_threads.
 *
 * A worker holds one program (its emscripten factory) and answers each
 * request exactly once, in order of arrival:
 *
 *   {id, action: 'run',   request}  ->  {id, result}
 *       the program's main on the request (request and result as in
 *       runner.js), in a fresh instance;
 *   {id, action: 'compare', request} ->  {id, result}
 *   {id, action: 'exercise', request} -> {id, result}
 *       the comparison of a student's output with ours (CompareMain, on
 *       the request compare.js makes) or the exercise maker (ExerciseMain,
 *       args [size, seed]), C++ of lab/ that the program's script carries,
 *       in a fresh instance; the report or the exercise is result.stdout;
 *   {id, action: 'steps', request}  ->  {id, trace, result}
 *       the program's step writer (WriteSteps) on the same request, in a
 *       fresh instance of its own: trace is its JSON envelope
 *       (lab/README.md) parsed here, off the page's main thread; result
 *       the writer's run itself (its stdout holds the envelope's bytes);
 *   anything else                   ->  {id, error: '未知的请求：<action>'}
 *
 * and {id, error} with a one-line message when a request cannot be
 * answered (an instance that failed, a step record that is no JSON). The
 * bytes of a result (stdout, stderr, the files) cross as transferred
 * ArrayBuffers, never copied: the worker keeps nothing of a run.
 *
 * Where it runs, found out right here at the top:
 * - in node's worker_threads (web/tools/worker.mjs starts it with
 *   workerData {script, name}: the program's script and its name), it
 *   loads that script and runner.js itself and listens on its parent port;
 * - on the page it is a classic script that only defines DsdWorker: the
 *   page's client (engine.js) puts its source text, with the program's
 *   factory and DsdRunner, into a Blob and starts the Web Worker from that
 *   (a page opened from file:// may not load a worker's script itself). */
if (typeof process === 'object' && typeof require === 'function' &&
    !require('worker_threads').isMainThread) {
  (function () {
    var threads = require('worker_threads');
    var port = threads.parentPort;
    /* emscripten's node code adds, for each instance, two listeners that
     * end the thread on an error nothing caught, as node does by itself;
     * kept, they would pile up one pair per run, each holding its
     * instance's memory. */
    var on = process.on;
    process.on = function (event, listener) {
      if (event === 'uncaughtException' || event === 'unhandledRejection') return process;
      return on.call(process, event, listener);
    };
    var handle = DsdWorker(require(threads.workerData.script), threads.workerData.name,
                           require('./runner.js'), function (answer, transfer) {
                             port.postMessage(answer, transfer);
                           });
    port.on('message', handle);
  })();
}

/* DsdWorker(factory, name, makeRunner, post): the request handler of a
 * worker for the program that factory makes (name: its name, argv[0]);
 * makeRunner is DsdRunner (runner.js); post(answer, transfer) sends one
 * answer with its transfer list. Returns handle(message). */
function DsdWorker(factory, name, makeRunner, post) {
  'use strict';
  var runner = makeRunner();

  /* transferOf(result): the buffers of result's bytes, each once. */
  function transferOf(result) {
    var list = [];
    [result.stdout, result.stderr].concat(result.files.map(function (f) { return f.data; })).forEach(function (b) {
      if (b && b.buffer && list.indexOf(b.buffer) < 0) list.push(b.buffer);
    });
    return list;
  }

  /* run(request): a Promise of the answer to 'run'. */
  function run(request) {
    return runner.runProgram(factory, name, request).then(function (result) {
      return { result: result };
    });
  }

  /* steps(request): a Promise of the answer to 'steps'. The envelope is
   * ASCII (json.h escapes every byte from 0x80 up), so one decode gives
   * its text. */
  function steps(request) {
    var asked = Object.assign({}, request, { entry: 'WriteSteps' });
    return runner.runProgram(factory, name, asked).then(function (result) {
      if (result.crash) return { error: result.crash };
      var trace;
      try {
        trace = JSON.parse(new TextDecoder('ascii').decode(result.stdout));
      } catch (e) {
        return { error: '步骤记录无法读取（状态 ' + result.status + '）' };
      }
      return { trace: trace, result: result };
    });
  }

  /* entry(name): the action that runs the exported entry name (lab/page.cpp)
   * on the request, in a fresh instance: 'compare' runs CompareMain, the
   * comparison of lab/compare.h, on the two files of the request that
   * compare.js makes; 'exercise' runs ExerciseMain, the exercise maker of
   * lab/cases.h, on its size and seed. Their answer is {result}, as run's. */
  function entry(name) {
    return function (request) { return run(Object.assign({}, request, { entry: name })); };
  }

  var ACTIONS = { run: run, steps: steps, compare: entry('CompareMain'), exercise: entry('ExerciseMain') };

  /* handle(message): answers message once: {id, ...answer} or {id, error}. */
  return function handle(message) {
    var id = message.id;
    var action = ACTIONS.hasOwnProperty(message.action) ? ACTIONS[message.action] : null;
    var answered = action
      ? Promise.resolve().then(function () { return action(message.request || {}); })
      : Promise.resolve({ error: '未知的请求：' + message.action });
    answered.then(function (answer) {
      answer.id = id;
      post(answer, answer.result ? transferOf(answer.result) : []);
    }, function (e) {
      post({ id: id, error: String(e && e.message || e) }, []);
    });
  };
}
