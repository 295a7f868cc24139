/* run.js -- the life of a tab's runs, as one small state machine. A run is
 * one request to the program's worker (engine.js), answered once.
 *
 *   idle     no request with the worker
 *   running  one request with the worker
 *   queued   one request with the worker, and run() was asked for since:
 *            when the answer comes it is dropped and one new run starts,
 *            with the input as it is then (so lines typed meanwhile go in
 *            one run, and only the latest request's answer is drawn)
 *
 *   run()      idle -> running (or a refusal: the input could not be
 *              made, stays idle); running or queued -> queued
 *   answer     running -> idle, the run shown; queued -> idle, then run()
 *   stop()     queued -> running (the run waiting is forgotten); the
 *              request in flight is ended, and its answer says so
 *   refuse(t)  the page did not give the input to the program: the message
 *              t, as the latest thing on screen
 *
 * A ticket counts what was put on screen or asked for: an answer to a
 * request older than the latest refusal is dropped.
 *
 * DsdRun.machine(program, hooks) with hooks =
 *   {ask()        the input as a request: {request, command} or {error},
 *    wantsSteps() true when the tab's picture wants the step writer's trace,
 *    busy(state)  the run bar as the state says ('idle', 'running', 'queued'),
 *    shown(run)   puts an answered run on screen (the output view), in a
                 turn of its own (DsdDom.inTurn) after the answer came;
                 the state is running until every listener has drawn it,
 *    refused(t)   puts a refusal's message on screen,
 *    publish(run) makes run the tab's latest and tells its listeners}
 * returns {run() -> Promise of the run on screen once this request (or a
 * newer one that took its place) is answered, stop(), refuse(text)}. A run
 * is {request, command, result, trace, record, stepsError, error, stopped, ms}, or
 * {error, refused: true, result: null, trace: null} for a refusal. */
var DsdRun = (function () {
  'use strict';

  /* machine(program, hooks): the runs of program's tab; see above. */
  function machine(program, hooks) {
    var state = 'idle';
    var ticket = 0;
    var waiters = [];   /* resolves of run() calls not yet answered */
    hooks.busy(state);

    /* enter(s): the machine is in state s. */
    function enter(s) {
      state = s;
      hooks.busy(s);
    }

    /* publish(run): run on screen as the latest; answers the run() calls
     * that waited for it, once every listener has had its turn
     * (DsdDom.inTurn: hooks.publish gives each listener a turn of its own,
     * and turns go in order). */
    function publish(run) {
      hooks.publish(run);
      var done = waiters;
      waiters = [];
      DsdDom.inTurn(function () { done.forEach(function (resolve) { resolve(run); }); });
    }

    /* refuse(text): a refusal as the latest thing on screen; a run still
     * in flight is older than it. */
    function refuse(text) {
      ticket++;
      hooks.refused(text);
      publish({ error: text, refused: true, result: null, trace: null });
    }

    /* start(): from idle, asks the worker for one run of the input as it
     * is now. */
    function start() {
      var asked = hooks.ask();
      if (asked.error) { refuse(asked.error); return; }
      var mine = ++ticket;
      var started = performance.now();
      enter('running');
      DsdEngine.run(program, asked.request, hooks.wantsSteps()).then(function (answer) {
        if (state === 'queued' || mine !== ticket) { settle(); return; }
        var run = { request: asked.request, command: asked.command, result: answer.result || null,
                    trace: answer.trace || null, record: answer.record || null, stepsError: answer.stepsError || null,
                    error: answer.error || null, stopped: answer.error === DsdEngine.STOPPED,
                    ms: performance.now() - started };
        /* Shown in turns (DsdDom.inTurn), the first after the answer's
         * own arrival (the worker's message read into objects), and the
         * machine stays running until the last: a run() asked for while
         * it is drawn waits for it, as one asked for while it ran. */
        DsdDom.inTurn(function () {
          if (mine === ticket) {         /* else a refusal came in between */
            hooks.shown(run);
            publish(run);
          }
          DsdDom.inTurn(settle);
        });
      });
    }

    /* settle(): the run in flight is over (shown or dropped): running ->
     * idle, or queued -> idle and a new run at once. */
    function settle() {
      var again = state === 'queued';
      enter('idle');
      if (again) start();
    }

    return {
      run: function () {
        var answered = new Promise(function (resolve) { waiters.push(resolve); });
        if (state === 'idle') start();
        else enter('queued');
        return answered;
      },
      stop: function () {
        if (state === 'queued') enter('running');
        DsdEngine.stop(program);
      },
      refuse: refuse
    };
  }

  return { machine: machine };
})();
