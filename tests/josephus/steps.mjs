// steps.mjs -- josephus's part of the step writers' check
// (tests/web/steps.test.mjs, through web.mjs): the leaving order is out.txt
// (its first numbers, when the trace stopped at its bound); each pass moves
// the count to the next seat still seated, a turn passes its moves and
// unlinks the seat the count is on, and the next turn counts that seat's
// value from the seat after it. Its large input: a 1000-seat ring.
import assert from 'node:assert/strict';

// latin1(bytes): a string with one character per byte (GBK stays bytes).
const latin1 = (bytes) => Buffer.from(bytes).toString('latin1');

// The most bytes a description may take, whatever the input (the first
// comment of lab/josephus/steps.cpp gives the bound).
export const bound = 31 * 1024 * 1024;

// does: per kind of step, what the line its "src" names must do.
export const does = { count: /CountMoves\(m, size\)/, leave: /before->next = leaver->next/, pass: /current = current->next/ };

// example(name, bytes): an example as the tab takes it: the keyboard
// example is typed, the others are arguments.
export function example(name, bytes) {
  return /keyboard/.test(name) ? { stdin: bytes } : { args: latin1(bytes).trim().split(/\s+/) };
}

// checkJosephus(run, steps): see the top. The ring is followed through the
// steps' own seated strings: each step is checked against the one before.
function checkJosephus(run, steps) {
  const out = latin1(run.files.find((f) => f.path === 'out.txt').data);
  const { n, m, values } = steps.input;
  assert.equal(values.length, n);
  const left = steps.steps.filter((t) => t.kind === 'leave').map((t) => `${t.seat} `).join('');
  if (steps.stopped === 'bound') assert.ok(out.startsWith(left), 'the leavers begin out.txt');
  else assert.equal(left, out);
  let seated = '1'.repeat(n);
  let count = m;
  const written = [];    /* out.txt so far */
  let turn = null;       /* the turn's count step, and the seat the count is on */
  steps.steps.forEach((t, k) => {
    const what = `step ${k + 1} (${t.kind})`;
    if (t.kind === 'count') {
      assert.equal(turn, null, `${what}: the turn before has ended`);
      assert.equal(t.count, count, what);
      assert.equal(t.size, seated.split('1').length - 1, what);
      assert.equal(t.said, 1, what);
      assert.equal(t.seat, t.from, what);
      turn = { count: t, on: t.seat, said: 1 };
    } else {
      assert.ok(turn, `${what}: in a turn`);
      for (const f of ['from', 'count', 'size', 'moves', 'turn']) assert.equal(t[f], turn.count[f], `${what}: ${f}`);
      if (t.kind === 'pass') {
        let next = turn.on % n;   /* the next seat still seated, by index */
        while (seated[next] !== '1') next = (next + 1) % n;
        assert.equal(t.seat, next + 1, `${what}: the next seat still seated`);
        assert.equal(t.said, turn.said + 1, what);
        turn.on = t.seat;
        turn.said = t.said;
      } else {
        assert.equal(t.seat, turn.on, `${what}: the seat the count is on leaves`);
        assert.equal(turn.said, t.moves + 1, `${what}: after passing its moves`);
        assert.equal(t.said, t.moves + 1, what);
        assert.equal(t.at, t.turn, what);
        seated = seated.slice(0, t.seat - 1) + '0' + seated.slice(t.seat);
        written.push(t.seat);
        count = values[t.seat - 1];
        turn = null;
      }
    }
    assert.equal(t.seated, seated, `${what}: the ring after it`);
    assert.deepEqual(t.out, written, `${what}: out.txt so far`);
  });
  if (steps.stopped !== 'bound') assert.equal(seated, '0'.repeat(n), 'everyone has left');
}

// check(run, steps, request, {example}): an example, and every case the
// program completes, held to out.txt.
export function check(run, steps, request, { example }) {
  if (example || steps.ok) checkJosephus(run, steps);
}

// inputs: [title, request, then(run, steps)], the large input.
let seed = 20240601;
const counts = Array.from({ length: 1001 }, (_, k) => {
  seed = (seed * 48271) % 2147483647;
  return k % 3 === 0 ? 2147483647 : seed;
});
export const inputs = [
  ['a ring of 1000 seats with large counts', { args: ['1000', ...counts.map(String)] }, (run, steps) => {
    assert.equal(steps.stopped, 'bound', 'hundreds of megabytes of steps, kept to the bound');
    checkJosephus(run, steps);
  }],
];
