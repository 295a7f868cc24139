/* engine.js -- runs the programs off the page's main thread.
 *
 * Each program (programs.js) gets a Web Worker of its own, made from a
 * Blob: a page opened from file:// may start such a worker, but the worker
 * could not load the program's script from file:// itself. So the Blob
 * carries the source text of the program's factory (its script, loaded by
 * the page, defines it) and of DsdRunner (runner.js). One run is one
 * message pair:
 *
 *   page -> worker   {id, action: 'run', request, steps}
 *   worker -> page   {id, result, steps}   or   {id, error}
 *
 * request and result as in runner.js. With steps true the worker, after
 * main, runs the picture's step writer (the exported WriteSteps) on the
 * same input in a fresh instance and answers with both: steps is the step
 * writer's result, else null. So a run and its steps are one request,
 * answered once, and a stop ends both.
 *
 * stop(program) ends the program's worker and with it what it was doing;
 * every pending run is answered as stopped, and the next run starts a new
 * worker.
 *
 * DsdEngine = {run(program, request, wantSteps) -> Promise<answer>,
 *              stop(program), loaded(program)}; an answer is {result,
 * steps} or {error} with a message, never a rejection. */
var DsdEngine = (function () {
  'use strict';

  /* The message of a run that stop() ended. */
  var STOPPED = '运行已停止';
  var factories = {};   /* program -> the global its script defines */
  DSD_PROGRAMS.forEach(function (p) { factories[p.name] = p.factory; });
  var workers = {};   /* program -> {worker, pending: {id -> resolve}} */
  var nextId = 1;

  /* The worker's own code; runs inside the worker, never on the page. */
  function workerMain(factory, name) {
    var runner = DsdRunner();
    /* buffersOf(answer): the byte buffers of the answer's results, handed
     * over to the page rather than copied (tens of MB for a long run,
     * which a copy would make the page wait for). */
    function buffersOf(answer) {
      var list = [];
      [answer.result].forEach(function (r) {
        if (!r) return;
        [r.stdout, r.stderr].concat(r.files.map(function (f) { return f.data; })).forEach(function (b) {
          if (b && b.buffer && list.indexOf(b.buffer) < 0) list.push(b.buffer);
        });
      });
      return list;
    }
    onmessage = function (e) {
      var id = e.data.id;
      var request = e.data.request;
      runner.runProgram(factory, name, request).then(function (result) {
        if (!e.data.steps || result.crash) return { id: id, result: result };
        var stepRequest = Object.assign({}, request, { entry: 'WriteSteps' });
        return runner.runProgram(factory, name, stepRequest).then(function (steps) {
          var answer = { id: id, result: result };
          if (steps.crash) answer.stepsError = steps.crash;
          else {
            try { answer.trace = JSON.parse(new TextDecoder('ascii').decode(steps.stdout)); }
            catch (err) { answer.stepsError = '步骤记录无法读取（状态 ' + steps.status + '）'; }
          }
          return answer;
        });
      }).then(function (answer) {
        postMessage(answer, buffersOf(answer));
      }, function (err) {
        postMessage({ id: id, error: String(err && err.message || err) });
      });
    };
  }

  /* loaded(program): true when the page has the program's factory. */
  function loaded(program) {
    return typeof self[factories[program]] === 'function';
  }

  /* start(program): a new worker for program, with no run pending. */
  function start(program) {
    var name = factories[program];
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
      if (resolve) resolve(e.data.error ? { error: e.data.error }
                                 : { result: e.data.result, trace: e.data.trace || null, stepsError: e.data.stepsError || null });
    };
    entry.worker.onerror = function (e) {
      if (workers[program] === entry) delete workers[program];
      entry.worker.terminate();
      failAll(entry, '程序的工作线程出错：' + (e.message || '未知错误'));
    };
    return entry;
  }

  /* failAll(entry, message): answers every pending run of entry with
   * {error: message}. */
  function failAll(entry, message) {
    Object.keys(entry.pending).forEach(function (id) { entry.pending[id]({ error: message }); });
    entry.pending = {};
  }

  /* run(program, request, wantSteps): a Promise of the run's answer; never
   * rejects. The request's bytes are copied to the worker. */
  function run(program, request, wantSteps) {
    if (!loaded(program)) {
      return Promise.resolve({ error: '找不到 ' + program + '.js：请从完整的 web 文件夹打开本页' });
    }
    if (!workers[program]) workers[program] = start(program);
    var entry = workers[program];
    var id = nextId++;
    return new Promise(function (resolve) {
      entry.pending[id] = resolve;
      entry.worker.postMessage({ id: id, action: 'run', request: request, steps: !!wantSteps });
    });
  }

  /* stop(program): ends the program's worker and every run in it; each
   * pending run is answered {error: STOPPED}. */
  function stop(program) {
    var entry = workers[program];
    if (!entry) return;
    delete workers[program];
    entry.worker.terminate();
    failAll(entry, STOPPED);
  }

  return { run: run, stop: stop, loaded: loaded, STOPPED: STOPPED };
})();
