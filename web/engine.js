/* engine.js -- runs the programs off the page's main thread.
 *
 * Each program gets a Web Worker of its own, made from a Blob: a page
 * opened from file:// may start such a worker, but the worker could not
 * load the program's script from file:// itself. So the Blob carries the
 * source text of the program's factory (its script, loaded by the page,
 * defines it) and of DsdRunner (runner.js), and the worker answers one
 * message per run:
 *
 *   page -> worker   {id, request}        request as in runner.js
 *   worker -> page   {id, result}         result as in runner.js
 *
 * A run that takes long (the translator's growing sentences take seconds)
 * leaves the page free; stop() ends it by ending the worker, and the next
 * run starts a new one.
 *
 * DsdEngine = {run(program, request) -> Promise<result>, stop(program),
 *              loaded(program) -> true when the program's script is there}. */
var DsdEngine = (function () {
  'use strict';

  /* The global that each program's script defines. */
  var FACTORY = { evaluator: 'Evaluator', bitree: 'Bitree',
                  translator: 'Translator', josephus: 'Josephus' };
  var workers = {};   /* program -> {worker, pending: {id -> resolve}} */
  var nextId = 1;

  /* The worker's own code; runs inside the worker, never on the page. */
  function workerMain(factory, name) {
    var runner = DsdRunner();
    onmessage = function (e) {
      var id = e.data.id;
      runner.runProgram(factory, name, e.data.request).then(function (result) {
        postMessage({ id: id, result: result });
      });
    };
  }

  /* loaded(program): true when the page has the program's factory. */
  function loaded(program) {
    return typeof self[FACTORY[program]] === 'function';
  }

  /* start(program): a new worker for program, with no run pending. */
  function start(program) {
    var name = FACTORY[program];
    var source = [
      'var _scriptDir;',   /* read by the factory's code; unset in a worker */
      'var ' + name + ' = ' + self[name].toString() + ';',
      'var DsdRunner = ' + DsdRunner.toString() + ';',
      '(' + workerMain.toString() + ')(' + name + ', ' + JSON.stringify(program) + ');'
    ].join('\n');
    var url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    var entry = { worker: new Worker(url), pending: {} };
    URL.revokeObjectURL(url);
    entry.worker.onmessage = function (e) {
      var resolve = entry.pending[e.data.id];
      delete entry.pending[e.data.id];
      if (resolve) resolve(e.data.result);
    };
    entry.worker.onerror = function (e) {
      failAll(entry, '程序的工作线程出错：' + (e.message || '未知错误'));
      if (workers[program] === entry) delete workers[program];
    };
    return entry;
  }

  /* failAll(entry, message): answers every pending run of entry with a
   * result that carries message as its crash. */
  function failAll(entry, message) {
    Object.keys(entry.pending).forEach(function (id) {
      entry.pending[id]({ status: 255, stdout: new Uint8Array(0), stderr: new Uint8Array(0),
                          reads: [], files: [], crash: message });
    });
    entry.pending = {};
  }

  /* run(program, request): a Promise of the run's result; never rejects. */
  function run(program, request) {
    if (!loaded(program)) {
      return Promise.resolve({ status: 255, stdout: new Uint8Array(0), stderr: new Uint8Array(0),
                               reads: [], files: [],
                               crash: '找不到 ' + program + '.js：请从完整的 web 文件夹打开本页' });
    }
    if (!workers[program]) workers[program] = start(program);
    var entry = workers[program];
    var id = nextId++;
    return new Promise(function (resolve) {
      entry.pending[id] = resolve;
      entry.worker.postMessage({ id: id, request: request });
    });
  }

  /* stop(program): ends the program's worker and every run in it; each
   * pending run is answered as stopped. */
  function stop(program) {
    var entry = workers[program];
    if (!entry) return;
    delete workers[program];
    entry.worker.terminate();
    failAll(entry, '运行已停止');
  }

  return { run: run, stop: stop, loaded: loaded };
})();
