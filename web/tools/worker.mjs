// worker.mjs -- node's client of a program's worker (web/worker/worker.js):
// the same worker body and message protocol as the page's, in one of
// node's worker_threads.
//
//     import { startWorker } from '../../web/tools/worker.mjs';
//     const worker = startWorker('build/web/<name>.js', '<name>');
//     const { result } = await worker.run(request);
//     const { trace } = await worker.steps(request);
//     await worker.stop();
//
// run, steps and ask(action, fields) each send one request {id, action,
// ...} and return a Promise of its answer without the id ({result},
// {trace, result} or {error}); a worker that fails or ends answers every
// pending request {error}. The bytes of a request's files and stdin cross
// to the worker in transferred buffers (handOver), the answer's bytes come
// back the same way; the caller's own arrays stay as they were.
import path from 'node:path';
import { Worker } from 'node:worker_threads';
import { fileURLToPath } from 'node:url';

const BODY = path.join(path.dirname(fileURLToPath(import.meta.url)), '../worker/worker.js');

// handOver(request): the request with its bytes (stdin, the files' data)
// in arrays of their own, and the transfer list of their buffers. A
// caller's Buffer may share its ArrayBuffer with others (node's pool), so
// it is never handed over itself: one copy here, none on the way.
function handOver(request) {
  const own = (b) => (b ? new Uint8Array(b) : b);
  const sent = { ...request, stdin: own(request.stdin),
                 files: (request.files || []).map((f) => ({ ...f, data: own(f.data) })) };
  if (!sent.stdin) delete sent.stdin;
  const transfer = [sent.stdin, ...sent.files.map((f) => f.data)].filter(Boolean).map((b) => b.buffer);
  return { sent, transfer };
}

// startWorker(script, name): a worker for the program whose emscripten
// script is `script` (its factory) and whose name is `name`.
export function startWorker(script, name) {
  const worker = new Worker(BODY, { workerData: { script: path.resolve(script), name } });
  const pending = new Map();   // id -> resolve
  let nextId = 1;
  const failAll = (message) => {
    for (const resolve of pending.values()) resolve({ error: message });
    pending.clear();
  };
  worker.on('message', ({ id, ...answer }) => {
    const resolve = pending.get(id);
    pending.delete(id);
    if (resolve) resolve(answer);
  });
  worker.on('error', (e) => failAll(`程序的工作线程出错：${e.message}`));
  worker.on('exit', () => failAll('程序的工作线程已结束'));

  // ask(action, fields): sends {id, action, ...fields}; its answer.
  function ask(action, fields = {}) {
    const id = nextId++;
    return new Promise((resolve) => {
      pending.set(id, resolve);
      if (!fields.request) { worker.postMessage({ id, action, ...fields }); return; }
      const { sent, transfer } = handOver(fields.request);
      worker.postMessage({ id, action, ...fields, request: sent }, transfer);
    });
  }
  return {
    ask,
    run: (request) => ask('run', { request }),
    steps: (request) => ask('steps', { request }),
    stop: () => worker.terminate(),
  };
}
