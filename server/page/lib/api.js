// The page's requests. Each carries the proof header that only a page of this server may add,
// and the long-poll loop that keeps the page live: it waits for the next change, says when the
// server is away, retries with a growing pause, and starts again at once when woken (the phone
// woke up, the network came back).

export const kProofHeader = 'X-Dravo-Remote';
const kRetryMs = [250, 500, 1000, 2000, 4000];

export class Api {
  constructor(fetchFn) { this.fetch = fetchFn; }

  async request(target, signal) {
    const answer = await this.fetch(target, { headers: { [kProofHeader]: '1' }, cache: 'no-store', signal });
    if (!answer.ok) throw new Error(`${target}: ${answer.status}`);
    return answer;
  }

  async json(target, signal) { return (await this.request(target, signal)).json(); }

  state() { return this.json('/api/state'); }
  wait(since, signal) { return this.json(`/api/wait?since=${since}`, signal); }
  list(offset, count, search, signal) {
    return this.json(`/api/list?offset=${offset}&count=${count}&q=${encodeURIComponent(search)}`, signal);
  }
  seek(ms) { return this.json(`/api/seek?ms=${Math.max(0, Math.round(ms))}`); }
  filter(text) { return this.json(`/api/filter?text=${encodeURIComponent(text)}`); }
  // One of the player commands (/next, /volume?volume=50, ...); its answer is not needed.
  async command(target) { await this.request(target); }
}

// Calls onState with every state the server sends, onAway(true) when it stops answering and
// onAway(false) once it answers again. sleep(ms, signal) waits (injected for tests).
export class PushLoop {
  constructor(api, { onState, onAway, sleep }) {
    this.api = api;
    this.onState = onState;
    this.onAway = onAway;
    this.sleep = sleep;
    this.since = 0;
    this.failures = 0;
    this.running = false;
    this.controller = null;
  }

  async run() {
    this.running = true;
    while (this.running) {
      this.controller = new AbortController();
      const { signal } = this.controller;
      try {
        const state = this.since === 0 ? await this.api.state() : await this.api.wait(this.since, signal);
        if (this.failures > 0) this.onAway(false);
        this.failures = 0;
        this.since = state.rev;
        this.onState(state);
      } catch {
        if (!this.running) break;
        if (signal.aborted) continue;  // woken: ask again at once
        if (++this.failures === 1) this.onAway(true);
        this.since = 0;  // a restarted server counts afresh: take its whole state
        await this.sleep(kRetryMs[Math.min(this.failures - 1, kRetryMs.length - 1)], signal);
      }
    }
  }

  // Drops the request in flight (it may be dead after a sleep) and asks again now.
  wake() { this.controller?.abort(); }

  stop() {
    this.running = false;
    this.controller?.abort();
  }
}
