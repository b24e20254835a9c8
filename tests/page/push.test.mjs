// The long-poll loop against a scripted server: states in order, the server away and back,
// and a wake that drops a request in flight.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Api, PushLoop, kProofHeader } from '../../server/page/lib/api.js';

// A fetch that answers from a script of (target -> answer) steps; 'fail' rejects, 'hang' waits
// until aborted.
function scriptedFetch(steps, seen) {
  return async (target, options) => {
    seen.push({ target, proof: options.headers[kProofHeader] });
    const step = steps.shift() ?? 'hang';
    if (step === 'fail') throw new TypeError('Failed to fetch');
    if (step === 'hang') {
      return new Promise((_, reject) => options.signal?.addEventListener('abort', () => reject(new Error('aborted'))));
    }
    return { ok: true, status: 200, json: async () => step };
  };
}

function startLoop(steps) {
  const seen = [];
  const states = [];
  const away = [];
  const loop = new PushLoop(new Api(scriptedFetch(steps, seen)), {
    onState: (s) => states.push(s.rev),
    onAway: (a) => away.push(a),
    sleep: async () => {},
  });
  loop.run();
  return { loop, seen, states, away };
}

const settle = () => new Promise((resolve) => setTimeout(resolve, 20));

test('the loop takes the whole state, then waits from the revision it saw', async () => {
  const { loop, seen, states } = startLoop([{ rev: 5 }, { rev: 6 }, { rev: 9 }]);
  await settle();
  assert.deepEqual(states, [5, 6, 9]);
  assert.deepEqual(seen.map((s) => s.target), ['/api/state', '/api/wait?since=5', '/api/wait?since=6', '/api/wait?since=9']);
  assert.ok(seen.every((s) => s.proof === '1'), 'every request carries the proof');
  loop.stop();
});

test('a server away is said once, and once back its whole state is taken again', async () => {
  const { loop, seen, states, away } = startLoop([{ rev: 5 }, 'fail', 'fail', 'fail', { rev: 100 }]);
  await settle();
  assert.deepEqual(away, [true, false]);
  assert.deepEqual(states, [5, 100]);
  assert.equal(seen[4].target, '/api/state');
  loop.stop();
});

test('a wake drops the request in flight and asks again at once, not as a failure', async () => {
  const { loop, seen, states, away } = startLoop([{ rev: 5 }, 'hang', { rev: 6 }]);
  await settle();
  assert.equal(seen.length, 2);
  loop.wake();
  await settle();
  assert.deepEqual(states, [5, 6]);
  assert.deepEqual(away, []);
  assert.equal(seen[2].target, '/api/wait?since=5');
  loop.stop();
});
