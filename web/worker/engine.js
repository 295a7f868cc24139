/* engine.js -- the page's client of the programs' workers: it runs the
 * programs off the page's main thread.
 *
 * Each program (programs.js) gets a Web Worker of its own, made from its
 * source text (workerFrom): a page opened from file:// may start such a
 * worker, but the worker could not load a script from file:// itself. So
 * the text carries the source of the program's factory (its script,
 * loaded by the page, defines it), of DsdRunner (runner.js) and of
 * DsdWorker (worker.js, which holds the message protocol), and starts
 * DsdWorker on them.
 *
 * A run of the page is one request {id, action: 'run', request} and, when
 * the tab's picture wants the steps, a second one {id, action: 'steps',
 * request} on the same request (worker.js: the step writer in a fresh
 * instance, its trace parsed in the worker). The request's bytes are
 * copied to the worker, a few MB per turn (the page keeps its request:
 * the saved score reads it, and it is sent twice); the answers' bytes
 * come back transferred.
 *
 * stop(program) ends the program's worker and with it what it was doing;
 * every pending request is answered as stopped, and the next run starts a
 * new worker.
 *
 * DsdEngine = {run(program, request, wantSteps) -> Promise<answer>,
 *              call(program, action, request) -> Promise<{result} or
 *              {error}> for the worker's other actions (compare.js and
 *              exercise.js ask 'compare' and 'exercise'),
 *              stop(program), loaded(program), workerFrom(source),
 *              STOPPED}; an answer is
 * {result, trace, record, stepsError} (record: the envelope's own bytes,
 * as the step writer wrote them, which 保存全部步骤 puts in its file
 * without a JSON.stringify on the page; trace null and stepsError the reason when
 * the steps were wanted but the record could not be had; both null when
 * they were not wanted) or {error} with a message, never a rejection. */
var DsdEngine = (function () {
  'use strict';

  /* The message of a run that stop() ended. */
  var STOPPED = '运行已停止';
  var factories = {};   /* program -> the global its script defines */
  DSD_PROGRAMS.forEach(function (p) { factories[p.name] = p.factory; });
  var workers = {};   /* program -> {worker, pending: {id -> resolve}} */
  var nextId = 1;

  /* loaded(program): true when the page has the program's factory. */
  function loaded(program) {
    return typeof self[factories[program]] === 'function';
  }

  /* workerFrom(source): a new Web Worker that runs the script text
   * source, given as a data: URL. Not as a Blob's URL: URL.createObjectURL
   * waits for the browser's own answer, and while the browser is still
   * taking in a long address (a link of megabytes) that wait held the page
   * up for seconds. */
  function workerFrom(source) {
    return new Worker('data:text/javascript;charset=utf-8,' + encodeURIComponent(source));
  }

  /* start(program): a new worker for program, with no request pending. */
  function start(program) {
    var name = factories[program];
    var source = [
      'var _scriptDir;',   /* read by the factory's code; unset in a worker */
      'var ' + name + ' = ' + self[name].toString() + ';',
      'var DsdRunner = ' + DsdRunner.toString() + ';',
      DsdWorker.toString(),
      'onmessage = (function (handle) { return function (e) { handle(e.data); }; })(' +
        'DsdWorker(' + name + ', ' + JSON.stringify(program) + ', DsdRunner, function (a, t) { postMessage(a, t); }));'
    ].join('\n');
    var entry = { worker: workerFrom(source), pending: {} };
    entry.worker.onmessage = function (e) {
      var resolve = entry.pending[e.data.id];
      delete entry.pending[e.data.id];
      if (resolve) resolve(e.data);
    };
    entry.worker.onerror = function (e) {
      if (workers[program] === entry) delete workers[program];
      entry.worker.terminate();
      failAll(entry, '程序的工作线程出错：' + (e.message || '未知错误'));
    };
    return entry;
  }

  /* failAll(entry, message): answers every pending request of entry with
   * {error: message}. */
  function failAll(entry, message) {
    Object.keys(entry.pending).forEach(function (id) { entry.pending[id]({ error: message }); });
    entry.pending = {};
  }

  /* The most bytes of a request copied in one turn: a 50 MB file copied
   * at once held the page up for 100 to 400 ms. */
  var COPY_PART = 4 * 1024 * 1024;

  /* copied(bytes, done): calls done with a fresh copy of bytes, made a
   * COPY_PART at a time, each part after the first in a turn of its own
   * (DsdDom.inTurn, page/dom.js; a turn is a task, nothing of the DOM). */
  function copied(bytes, done) {
    var copy = new Uint8Array(bytes.length);
    var at = 0;
    (function part() {
      copy.set(bytes.subarray(at, at + COPY_PART), at);
      at += COPY_PART;
      if (at < bytes.length) DsdDom.inTurn(part);
      else done(copy);
    })();
  }

  /* sent(request, done): calls done with {request, transfer}: a copy of
   * request whose bytes (stdin, the files) are fresh buffers, to be
   * transferred: one copy of the bytes, where a structured clone of a
   * large file holds the page up far longer. The page keeps its own
   * request. */
  function sent(request, done) {
    var copy = Object.assign({}, request);
    var transfer = [];
    var files = request.files || [];
    var left = files.length + (request.stdin ? 1 : 0);
    function own(bytes, put) {
      copied(bytes, function (mine) {
        transfer.push(mine.buffer);
        put(mine);
        if (--left === 0) done({ request: copy, transfer: transfer });
      });
    }
    if (request.files) copy.files = files.map(function (f) { return { path: f.path, data: null }; });
    if (left === 0) { done({ request: copy, transfer: transfer }); return; }
    if (request.stdin) own(request.stdin, function (mine) { copy.stdin = mine; });
    files.forEach(function (f, i) { own(f.data, function (mine) { copy.files[i].data = mine; }); });
  }

  /* ask(entry, action, request): a Promise of the worker's answer to one
   * request (without its id). It is pending from the start, so that a
   * stop while its bytes are still being copied answers it too; a worker
   * stopped meanwhile is sent nothing. */
  function ask(entry, action, request) {
    var id = nextId++;
    return new Promise(function (resolve) {
      entry.pending[id] = resolve;
      sent(request, function (message) {
        if (!entry.pending[id]) return;
        entry.worker.postMessage({ id: id, action: action, request: message.request }, message.transfer);
      });
    });
  }

  /* run(program, request, wantSteps): a Promise of the run's answer; never
   * rejects. The steps are asked for only after a run whose instance did
   * not fail, from the same worker: a stop in between ends both. */
  function run(program, request, wantSteps) {
    if (!loaded(program)) {
      return Promise.resolve({ error: '找不到 ' + program + '.js：请从完整的 web 文件夹打开本页' });
    }
    if (!workers[program]) workers[program] = start(program);
    var entry = workers[program];
    return ask(entry, 'run', request).then(function (ran) {
      if (ran.error) return { error: ran.error };
      var answer = { result: ran.result, trace: null, record: null, stepsError: null };
      if (!wantSteps || ran.result.crash) return answer;
      if (workers[program] !== entry) return { error: STOPPED };   /* stopped since */
      return ask(entry, 'steps', request).then(function (steps) {
        if (steps.error === STOPPED) return { error: STOPPED };
        if (steps.error) answer.stepsError = steps.error;
        else { answer.trace = steps.trace; answer.record = steps.result.stdout; }
        return answer;
      });
    });
  }

  /* call(program, action, request): a Promise of the worker's answer to
   * one request of another action than run ('compare', 'exercise':
   * worker.js), {result} or {error}; never rejects. */
  function call(program, action, request) {
    if (!loaded(program)) {
      return Promise.resolve({ error: '找不到 ' + program + '.js：请从完整的 web 文件夹打开本页' });
    }
    if (!workers[program]) workers[program] = start(program);
    return ask(workers[program], action, request);
  }

  /* stop(program): ends the program's worker and every request in it;
   * each pending one is answered {error: STOPPED}. */
  function stop(program) {
    var entry = workers[program];
    if (!entry) return;
    delete workers[program];
    entry.worker.terminate();
    failAll(entry, STOPPED);
  }

  return { run: run, call: call, stop: stop, loaded: loaded, workerFrom: workerFrom, STOPPED: STOPPED };
})();
