// steps.test.mjs -- the step writers of the browser edition (WriteSteps,
// lab/<program>/) against the programs' own text output. Each input goes
// twice to the program's worker (web/worker/worker.js, through node's client
// web/tools/worker.mjs), as the page sends it: once as the program (main,
// 'run'), once as its step writer ('steps'), on the same args, stdin and
// files; the worker parses the writer's record. The writer must end with
// the program's status and stderr, write ASCII JSON (every byte from 0x80
// up escaped) under its bound, write the program's files byte for byte,
// and describe what the program printed or wrote, all of it (only a
// description that says it was cut may stop early). Every step's "src"
// must name a line of the program's source that does what the step says
// (a push onto OPND, the unlinking of a seat, a visit, an append of a
// replacement...), inside the function it names, the last of its chain,
// which starts where the program's `chainFrom` says, if it says.
// Inputs: every file of examples/, every end-to-end case of
// tests/<program>/cases (but the few that need a device or a folder the
// runner does not make), and the program's large inputs.
// The programs are those of the registry whose tests/<name>/web.mjs gives
// `steps`, their part of this check (tests/<name>/steps.mjs): the
// description's `bound` in bytes, what the line of each kind of step
// `does`, `check(run, steps, request, {example})` that holds the
// description to the output, optionally `example(name, bytes)`, the
// request of an example, and `inputs`, [title, request, then(run, steps)].
//
//     node --test tests/web/steps.test.mjs   (after the browser build; DSD_WEB_DIR
//                                             names its folder, build/web by default)
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { after, describe, test } from 'node:test';
import { exampleRequest, PROGRAMS, ROOT } from './registry.mjs';

const WEB_DIR = path.resolve(ROOT, process.env.DSD_WEB_DIR || 'build/web');
const EXAMPLES = path.join(ROOT, 'examples');
const { startWorker } = await import(path.join(ROOT, 'web/tools/worker.mjs'));

// latin1(bytes): a string with one character per byte (GBK stays bytes).
const latin1 = (bytes) => Buffer.from(bytes).toString('latin1');

// examples(program): [name, bytes] of each file in examples/<program>/.
function examples(program) {
  const dir = path.join(EXAMPLES, program);
  return fs.readdirSync(dir).sort().map((name) => [name, fs.readFileSync(path.join(dir, name))]);
}

// both(p, request): runs program p and its step writer on the request;
// checks what the two must share and the description's form; returns
// {run, steps}, steps being the parsed description.
const workers = {};
after(() => Promise.all(Object.values(workers).map((w) => w.stop())));
async function both(p, request) {
  const program = p.name;
  workers[program] ||= startWorker(path.join(WEB_DIR, `${program}.js`), program);
  const { result: run, error } = await workers[program].run(request);
  assert.equal(error, undefined, 'the program ran');
  const answer = await workers[program].steps(request);
  assert.equal(answer.error, undefined, 'the step writer ran and wrote JSON');
  const { trace: steps, result: writer } = answer;
  assert.equal(run.crash, undefined, 'the program ran');
  assert.equal(writer.status, run.status, 'exit status');
  assert.equal(latin1(writer.stderr), latin1(run.stderr), 'stderr');
  assert.ok(writer.stdout.length < p.checks.steps.bound, `description of ${writer.stdout.length} bytes`);
  assert.ok(writer.stdout.every((b) => b < 0x80), 'bytes from 0x80 up are escaped');
  for (const f of writer.files) {
    const same = run.files.find((g) => g.path === f.path);
    assert.ok(same && Buffer.compare(Buffer.from(f.data), Buffer.from(same.data)) === 0,
              `a file the step writer writes (${f.path}) is the program's, byte for byte`);
  }
  checkSources(p, steps);
  return { run, steps };
}

// ============================================================== sources

// sourceLines(file): the lines of a source file of the project, cached.
const sources = new Map();
function sourceLines(file) {
  if (!sources.has(file)) sources.set(file, fs.readFileSync(path.join(ROOT, file), 'latin1').split('\n'));
  return sources.get(file);
}

// functionAt(file, line): the name of the function whose definition holds
// the line: the nearest line above it that starts a definition at column 0
// (its frame, STEP_CALL, may end that line).
function functionAt(file, line) {
  const lines = sourceLines(file);
  for (let k = line - 1; k >= 0; k--) {
    const m = /^[A-Za-z[].*?\b([A-Za-z_]\w*)\s*\([^;]*$/.exec(lines[k].replace(/\s*STEP_CALL;\s*$/, ''));
    if (m && !/^(if|for|while|switch|return)$/.test(m[1])) return m[1];
  }
  return null;
}

// checkSrc(program, src, what, pattern): src names a line of the program's
// folder inside the function it names, ending its chain, and the line does
// `what` (it matches pattern).
function checkSrc(program, src, what, pattern) {
  assert.ok(src && typeof src.file === 'string', `${what}: a src`);
  assert.ok(src.file.startsWith(`${program}/`), `${what}: ${src.file} is the program's`);
  const text = sourceLines(src.file)[src.line - 1];
  assert.ok(text !== undefined, `${what}: ${src.file}:${src.line} exists`);
  assert.match(text, pattern, `${what}: ${src.file}:${src.line} does it`);
  assert.equal(functionAt(src.file, src.line), src.func, `${what}: ${src.file}:${src.line} is in ${src.func}`);
  assert.equal(src.chain.at(-1), src.func, `${what}: the chain ends with the function`);
}

// checkSources(p, steps): every step's src, as above, by what the line of
// its kind does (p's steps.does).
function checkSources(p, steps) {
  if (steps.ok === false && !(steps.steps && steps.steps.length)) return;   // a stop record
  const { does, chainFrom } = p.checks.steps;
  for (const [k, step] of steps.steps.entries()) {
    const what = `step ${k + 1} (${step.kind})`;
    assert.ok(does[step.kind], `${what}: a kind of ${p.name}'s step`);
    checkSrc(p.name, { ...step.src, chain: step.chain }, what, does[step.kind]);
    if (chainFrom) assert.equal(step.chain[0], chainFrom, `${what}: the chain starts at ${chainFrom}`);
  }
}

// ============================================================== cases

// endToEndCases(program): [name, request, given] of each case of
// tests/<program>/cases that the runner can run (tests/web/cases.py reads
// them): its args, stdin and files, and the files given before the run.
function endToEndCases(program) {
  const dir = path.join(ROOT, 'tests', program, 'cases');
  const names = fs.readdirSync(dir).filter((f) => f.endsWith('.case')).sort()
    .filter((f) => !/^=== (link|dir|stdout-to)/m.test(fs.readFileSync(path.join(dir, f), 'utf8')))
    .map((f) => f.slice(0, -'.case'.length));
  const raw = JSON.parse(execFileSync('python3', [path.join(ROOT, 'tests/web/cases.py'),
                                                  ...names.map((n) => `${program}:${n}`)]));
  return names.map((n) => {
    const c = raw[`${program}:${n}`];
    const files = Object.entries(c.files).map(([p, b]) => ({ path: p, data: new Uint8Array(Buffer.from(b, 'base64')) }));
    return [n, { args: c.args, stdin: new Uint8Array(Buffer.from(c.stdin, 'base64')), files }];
  });
}

// ============================================================== the programs

for (const p of PROGRAMS.filter((q) => q.checks.steps)) {
  const own = p.checks.steps;
  describe(p.name, () => {
    for (const [name, bytes] of examples(p.name)) {
      test(`examples/${p.name}/${name}`, async () => {
        const request = own.example ? own.example(name, bytes) : exampleRequest(p, name);
        const { run, steps } = await both(p, request);
        own.check(run, steps, request, { example: true });
      });
    }
    for (const [name, request] of endToEndCases(p.name)) {
      test(`tests/${p.name}/cases/${name}`, async () => {
        const { run, steps } = await both(p, request);
        own.check(run, steps, request, { example: false });
      });
    }
    for (const [title, request, then] of own.inputs || []) {
      test(title, async () => {
        const { run, steps } = await both(p, request);
        then(run, steps);
      });
    }
  });
}

// ============================================================== the worker

test('the worker answers each request once, an unknown one by its name, and runs on after it', async () => {
  const p = PROGRAMS[0];
  const request = exampleRequest(p, p.mainExample);
  const alone = startWorker(path.join(WEB_DIR, `${p.name}.js`), p.name);
  const worker = startWorker(path.join(WEB_DIR, `${p.name}.js`), p.name);
  try {
    const { result: expected } = await alone.run(request);
    assert.equal(expected.status, 0, 'the main example runs');
    const answers = await Promise.all([worker.ask('draw', { request }), worker.run(request), worker.ask('')]);
    assert.deepEqual(answers[0], { error: '未知的请求：draw' });
    const got = answers[1].result;
    assert.equal(got.status, 0);
    assert.equal(latin1(got.stdout), latin1(expected.stdout));
    assert.deepEqual(got.files.map((f) => [f.path, latin1(f.data)]), expected.files.map((f) => [f.path, latin1(f.data)]));
    assert.ok(got.stdout.length + got.files.length > 0, 'the run wrote something');
    assert.deepEqual(answers[2], { error: '未知的请求：' });
  } finally {
    await Promise.all([alone.stop(), worker.stop()]);
  }
});
