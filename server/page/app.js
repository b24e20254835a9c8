// The remote page: wires the controls to the server's API and shows what the push loop brings.
// Logic lives in lib/ (tested by Node's test runner); this file only reads and writes the page.
import { Api, PushLoop } from './lib/api.js';
import { formatTime, shownTitle } from './lib/format.js';
import { completion, loadHistory, remember, saveHistory } from './lib/history.js';
import { RowCache, kPageSize } from './lib/paging.js';
import { mergeState, playButtonLabel, positionAt } from './lib/state.js';
import { VirtualList } from './lib/view.js';

const $ = (id) => document.getElementById(id);
const api = new Api((...args) => fetch(...args));
const cache = new RowCache();
let shown = null;     // the last state shown
let dragging = null;  // the slider being moved: 'seek' or 'volume'
let searchText = '';
let history = loadHistory(localStorage);
let completionIndex = 0;

const list = new VirtualList($('playlist'), $('spacer'), {
  rows: () => ({ count: Math.max(cache.matches, 0), row: (p) => cache.row(p) }),
  onRange: (first, last) => fetchRows(first, last),
  onPick: (index) => command(`/play?track=${index + 1}`),
});

function sleep(ms, signal) {
  return new Promise((resolve) => {
    const timer = setTimeout(resolve, ms);
    signal?.addEventListener('abort', () => { clearTimeout(timer); resolve(); }, { once: true });
  });
}

async function command(target) {
  try { await api.command(target); } catch { loop.wake(); }
}

async function stateCommand(call) {
  try { show(await call()); } catch { loop.wake(); }
}

// Rows: the first page of a new search comes first; pages in view follow as they scroll in.
async function fetchRows(first, last) {
  const offsets = cache.matches < 0 ? (cache.pending.size ? [] : [0]) : cache.missing(first, last);
  for (const offset of offsets) {
    cache.asked(offset);
    const search = cache.search;
    api.list(offset, kPageSize, search).then((page) => {
      if (cache.store(page, search)) redrawList();
      else if (search === cache.search) newList(shown?.list_rev ?? -1);  // the playlist changed meanwhile
    }).catch(() => cache.pending.delete(offset));
  }
}

function redrawList() {
  const matches = Math.max(cache.matches, 0);
  const total = shown ? shown.count : 0;
  $('count').textContent = searchText ? `${matches} of ${total} entries match` : `${total} entries`;
  list.draw();
}

function newList(listRev) {
  cache.reset(searchText, listRev);
  fetchRows(0, 0);
}

function show(next) {
  const merged = mergeState(shown, next, performance.now());
  const state = merged.state;
  shown = state;
  document.title = state.title ? `${state.title} – dravo` : 'dravo remote';
  $('title').textContent = shownTitle(state, cache.row(state.index)?.[1]);
  $('state').textContent = state.count > 0 ? `${state.state} · ${state.index + 1} of ${state.count}` : state.state;
  const playing = state.state === 'playing';
  $('play').setAttribute('aria-label', playButtonLabel(state));
  $('play-icon').setAttribute('href', playing ? '#i-pause' : '#i-play');
  $('seek').max = String(Math.max(state.length_s, 0) * 1000);
  $('length').textContent = formatTime(state.length_s * 1000);
  if (dragging !== 'volume') $('volume').value = String(state.volume);
  $('mute').setAttribute('aria-pressed', String(state.muted));
  $('mute').setAttribute('aria-label', state.muted ? 'Unmute' : 'Mute');
  $('mute-icon').setAttribute('href', state.muted ? '#i-muted' : '#i-volume');
  $('shuffle').setAttribute('aria-pressed', String(state.shuffle));
  $('repeat').setAttribute('aria-pressed', String(state.repeat));
  $('server-filter').textContent = state.filter || 'none (every track)';
  if (merged.newList) newList(state.list_rev);
  list.setCurrent(state.index);
  redrawList();
  tick();
}

// The bar runs on between answers while the page is seen.
let frame = 0;
function tick() {
  cancelAnimationFrame(frame);
  if (!shown) return;
  const position = positionAt(shown, performance.now());
  if (dragging !== 'seek') {
    $('seek').value = String(position);
    $('position').textContent = formatTime(position);
  }
  if (shown.state === 'playing' && !document.hidden) frame = requestAnimationFrame(tick);
}

function setAway(away) {
  $('away').hidden = !away;
  if (away) $('state').textContent = 'Not connected';
}

const loop = new PushLoop(api, { onState: show, onAway: setAway, sleep });

function wireButtons() {
  const commands = { prev: '/prev', next: '/next', stop: '/stop', back: '/rewind', forward: '/ffwd', mute: '/mute' };
  for (const [id, target] of Object.entries(commands)) $(id).addEventListener('click', () => command(target));
  $('play').addEventListener('click', () => command(shown && shown.state !== 'stopped' ? '/pause' : '/play'));
  $('shuffle').addEventListener('click', () => command(`/playmode?shuffle=${shown?.shuffle ? 'off' : 'on'}`));
  $('repeat').addEventListener('click', () => command(`/playmode?repeat=${shown?.repeat ? 'off' : 'on'}`));
}

function wireSliders() {
  const seek = $('seek');
  seek.addEventListener('input', () => {
    dragging = 'seek';
    $('position').textContent = formatTime(Number(seek.value));
  });
  seek.addEventListener('change', () => {
    dragging = null;
    stateCommand(() => api.seek(Number(seek.value)));
  });
  const volume = $('volume');
  let pending = 0;
  volume.addEventListener('input', () => {
    dragging = 'volume';
    clearTimeout(pending);
    pending = setTimeout(() => command(`/volume?volume=${volume.value}`), 120);
  });
  volume.addEventListener('change', () => {
    clearTimeout(pending);
    dragging = null;
    command(`/volume?volume=${volume.value}`);
  });
}

// Phones complete while composing, where the inline completion stays out of the way: the same
// history is offered as the box's suggestions too, newest first.
function offerHistory() {
  const options = history.slice().reverse().map((text) => {
    const option = document.createElement('option');
    option.value = text;
    return option;
  });
  $('filter-history').replaceChildren(...options);
}

function applyFilter() {
  const text = $('filter').value.trim();
  history = remember(history, text);
  saveHistory(localStorage, history);
  offerHistory();
  searchText = '';
  $('search').value = '';
  stateCommand(() => api.filter(text));
}

function offer(edit, index) {
  const typed = edit.value.slice(0, edit.selectionStart);
  const found = completion(history, typed, index);
  if (!found) return;
  completionIndex = found.index;
  edit.value = found.text;
  edit.setSelectionRange(found.start, found.end);
}

function wireFilter() {
  const edit = $('filter');
  edit.addEventListener('input', (event) => {
    completionIndex = 0;
    const atEnd = edit.selectionStart === edit.value.length;
    if (event.inputType === 'insertText' && atEnd) offer(edit, 0);
  });
  edit.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') applyFilter();
    else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      offer(edit, completionIndex + (event.key === 'ArrowDown' ? 1 : -1));
    }
  });
  $('apply').addEventListener('click', applyFilter);
  $('search').addEventListener('input', () => {
    searchText = $('search').value;
    list.scrollToTop();
    newList(shown?.list_rev ?? -1);
  });
}

const kThemes = ['system', 'dark', 'light'];
function applyTheme(theme) {
  if (theme === 'system') delete document.documentElement.dataset.theme;
  else document.documentElement.dataset.theme = theme;
  const said = theme === 'system' ? 'follows the system' : theme;
  $('theme').setAttribute('aria-label', `Theme: ${said}`);
}

function wireTheme() {
  let theme = localStorage.getItem('dravo.theme') || 'system';
  if (!kThemes.includes(theme)) theme = 'system';
  applyTheme(theme);
  $('theme').addEventListener('click', () => {
    theme = kThemes[(kThemes.indexOf(theme) + 1) % kThemes.length];
    try { localStorage.setItem('dravo.theme', theme); } catch { /* kept for the visit */ }
    applyTheme(theme);
  });
}

wireButtons();
wireSliders();
wireFilter();
wireTheme();
offerHistory();
// A phone that slept may hold a dead request: ask again as soon as the page is seen.
document.addEventListener('visibilitychange', () => { if (!document.hidden) { loop.wake(); tick(); } });
window.addEventListener('online', () => loop.wake());
window.addEventListener('pageshow', () => loop.wake());
loop.run();
