// The player's state as the page keeps it: the server's JSON with the moment it arrived, so the
// position bar runs on between answers. Pure functions.

export const kStates = ['stopped', 'playing', 'paused'];

// Which fields of next differ from prev (all of them when there was none), and the kept state.
export function mergeState(prev, next, receivedAt) {
  const kept = { ...next, receivedAt };
  if (!prev) return { state: kept, changed: new Set(Object.keys(next)), newList: true };
  // An answer from before the one shown (a slow request) must not undo it. Revisions start
  // from the server's clock in ms and grow by one a change, so a restarted server's are larger.
  if (next.rev < prev.rev) return { state: prev, changed: new Set(), newList: false };
  const changed = new Set(Object.keys(next).filter((key) => prev[key] !== next[key]));
  return { state: kept, changed, newList: prev.list_rev !== next.list_rev };
}

// The position at now (ms, same clock as receivedAt), kept within the track.
export function positionAt(state, now) {
  if (!state || state.position_ms < 0) return 0;
  let position = state.position_ms;
  if (state.state === 'playing') position += Math.max(0, now - state.receivedAt);
  const length = state.length_s > 0 ? state.length_s * 1000 : Infinity;
  return Math.min(position, length);
}

// The label of the play/pause button: what pressing it does.
export function playButtonLabel(state) {
  return state && state.state === 'playing' ? 'Pause' : 'Play';
}
