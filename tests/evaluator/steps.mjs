// steps.mjs -- the evaluator's part of the step writers' check
// (tests/web/steps.test.mjs, through web.mjs): its step writer describes
// one step per row of the trace table the run appended to result.txt, of
// the row's kind, each at a line that does what the step says.
import assert from 'node:assert/strict';

// latin1(bytes): a string with one character per byte (GBK stays bytes).
const latin1 = (bytes) => Buffer.from(bytes).toString('latin1');

// The most bytes a description may take, whatever the input (the first
// comment of lab/evaluator/steps.cpp gives the bound).
export const bound = 64 * 1024;

// The evaluator's kinds of step, each with what its line does and how its
// row's action begins in the trace table (GBK texts as latin1 strings).
const KINDS = {
  push_opnd: [/PushTq\(&OPND, Value\)/, 'PUSH(OPND,'], push_optr: [/PushSq\(&OPTR, C\)/, 'PUSH(OPTR,'],
  cancel: [/PopSq\(&OPTR/, 'POP(OPTR)'], operate: [/PushTq\(&OPND, Calculate\(/, 'operate('],
  return: [/PopTq\(&OPND/, 'RETURN('],
  syntax_error: [/TEXT_SYNTAX_ERROR|TEXT_DIVIDE_ERROR/, latin1([0xca, 0xe4, 0xc8, 0xeb])],   // 输入
  divide_error: [/TEXT_SYNTAX_ERROR|TEXT_DIVIDE_ERROR/, 'error'],
};

// does: per kind of step, what the line its "src" names must do.
export const does = Object.fromEntries(Object.entries(KINDS).map(([k, [pattern]]) => [k, pattern]));

// tableRows(text): [number, action] of each row of the trace table in text.
function tableRows(text) {
  return text.split('\n').filter((l) => /^\d+\t/.test(l))
    .map((l) => [Number(l.slice(0, l.indexOf('\t'))), l.slice(l.lastIndexOf('\t') + 1)]);
}

// check(run, steps, request): the steps are the rows of the table that the
// run appended to result.txt, one each, of the row's kind.
export function check(run, steps, request) {
  if (steps.stopped === 'read') {
    assert.ok(!run.files.some((f) => f.path === 'result.txt'), 'a refused file leaves result.txt');
    return;
  }
  const out = run.files.find((f) => f.path === 'result.txt');
  assert.ok(out, 'the program wrote result.txt');
  const given = (request.files || []).find((f) => f.path === 'result.txt');
  const added = latin1(out.data).slice(given ? given.data.length : 0);
  const rows = tableRows(added);
  assert.deepEqual(steps.steps.map((r) => r.at), rows.map((row) => row[0]));
  steps.steps.forEach((r, i) => assert.ok(rows[i][1].startsWith(KINDS[r.kind][1]), `row ${r.at}: ${r.kind}`));
  assert.equal(steps.ok, run.status === 0);
}
