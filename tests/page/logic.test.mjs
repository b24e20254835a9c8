// The page's logic without a browser: time and name texts, the row cache and the visible
// range, the filter history and its completion, the state merge and the running position.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { baseName, folderOf, formatTime, shownTitle } from '../../server/page/lib/format.js';
import { completion, loadHistory, remember, saveHistory } from '../../server/page/lib/history.js';
import { RowCache, kPageSize, visibleRange } from '../../server/page/lib/paging.js';
import { mergeState, playButtonLabel, positionAt } from '../../server/page/lib/state.js';

test('times read as the player shows them', () => {
  const cases = [[0, '0:00'], [999, '0:00'], [83456, '1:23'], [245000, '4:05'], [3723000, '1:02:03'],
                 [-1, '0:00'], [NaN, '0:00'], [undefined, '0:00']];
  for (const [ms, text] of cases) assert.equal(formatTime(ms), text, `${ms}`);
});

test('names split at either separator; the title falls back to the file', () => {
  const cases = [['/m/Jazz/a b.mp3', 'a b.mp3', '/m/Jazz'], ['C:\\mp3\\Värld\\Ä dag.mp3', 'Ä dag.mp3', 'C:\\mp3\\Värld'],
                 ['bare.ogg', 'bare.ogg', '']];
  for (const [path, base, folder] of cases) {
    assert.equal(baseName(path), base);
    assert.equal(folderOf(path), folder);
  }
  assert.equal(shownTitle({ title: 'Night Walk', count: 3 }, '/x/y.mp3'), 'Night Walk');
  assert.equal(shownTitle({ title: '', count: 3 }, '/x/some.file.mp3'), 'some.file');
  assert.equal(shownTitle({ title: '', count: 0 }, undefined), 'The playlist is empty');
});

test('the row cache asks once per page and drops pages of another search or playlist', () => {
  const cache = new RowCache();
  cache.reset('jazz', -1);
  assert.deepEqual(cache.missing(0, 10), [0]);
  cache.asked(0);
  assert.deepEqual(cache.missing(0, 10), [], 'a page asked for is not asked again');
  const items = Array.from({ length: kPageSize }, (_, k) => [k * 2, `/m/${k}.mp3`]);
  assert.equal(cache.store({ list_rev: 7, matches: 450, offset: 0, items }, 'jazz'), true);
  assert.deepEqual(cache.row(3), [6, '/m/3.mp3']);
  assert.deepEqual(cache.missing(150, 449), [200, 400]);
  assert.deepEqual(cache.missing(440, 9999), [400], 'nothing past the matches');
  assert.equal(cache.store({ list_rev: 7, matches: 1, offset: 0, items: [] }, 'blues'), false, 'another search');
  assert.equal(cache.store({ list_rev: 8, matches: 1, offset: 200, items: [] }, 'jazz'), false, 'another playlist');
});

test('the visible range covers the view and a few rows either side, within the list', () => {
  const cases = [
    [[0, 520, 52, 100000], { first: 0, last: 18 }],
    [[52 * 5000, 520, 52, 100000], { first: 4992, last: 5018 }],
    [[52 * 99995, 520, 52, 100000], { first: 99987, last: 99999 }],
    [[0, 520, 52, 0], { first: 0, last: -1 }],
  ];
  for (const [args, range] of cases) assert.deepEqual(visibleRange(...args), range, `${args}`);
});

test('the filter history keeps each text once, newest last, within its limit', () => {
  let list = [];
  for (const text of ['jazz', 'rock', '', 'jazz', 'blues']) list = remember(list, text, 3);
  assert.deepEqual(list, ['rock', 'jazz', 'blues']);
  assert.deepEqual(remember(['a', 'b', 'c'], 'd', 3), ['b', 'c', 'd']);
});

test('completion offers the oldest filter that begins with the typed text, and steps within the matches', () => {
  const list = ['jazz -live', 'rock', 'jazz +"blue note"', 'jazz'];
  const cases = [
    ['ja', 0, { text: 'jazz -live', start: 2, end: 10, index: 0 }],
    ['ja', 1, { text: 'jazz +"blue note"', start: 2, end: 17, index: 1 }],
    ['ja', 9, { text: 'jazz', start: 2, end: 4, index: 2 }],
    ['ja', -1, { text: 'jazz -live', start: 2, end: 10, index: 0 }],
    ['jazz', 0, { text: 'jazz -live', start: 4, end: 10, index: 0 }],
    ['pop', 0, null],
    ['', 0, null],
  ];
  for (const [typed, index, expected] of cases) assert.deepEqual(completion(list, typed, index), expected, `${typed} ${index}`);
});

test('the history survives in storage and a spoilt entry reads as none', () => {
  const store = new Map();
  const storage = { getItem: (k) => store.get(k) ?? null, setItem: (k, v) => store.set(k, v) };
  saveHistory(storage, ['a', 'b "c"']);
  assert.deepEqual(loadHistory(storage), ['a', 'b "c"']);
  for (const spoilt of ['{', '{"a":1}', '[1,"x",null]']) {
    store.set('dravo.filters', spoilt);
    assert.deepEqual(loadHistory(storage), spoilt.startsWith('[') ? ['x'] : []);
  }
  const full = { getItem: () => null, setItem: () => { throw new Error('quota'); } };
  assert.doesNotThrow(() => saveHistory(full, ['a']));
});

test('a merged state says what changed, takes a new playlist, and ignores a late older answer', () => {
  const first = { rev: 10, list_rev: 3, state: 'playing', volume: 50, position_ms: 1000, length_s: 100 };
  const one = mergeState(null, first, 0);
  assert.equal(one.newList, true);
  const two = mergeState(one.state, { ...first, rev: 11, volume: 40 }, 5);
  assert.deepEqual([...two.changed].sort(), ['rev', 'volume']);
  assert.equal(two.newList, false);
  const three = mergeState(two.state, { ...first, rev: 12, list_rev: 4 }, 9);
  assert.equal(three.newList, true);
  const late = mergeState(three.state, { ...first, rev: 11, volume: 1 }, 12);
  assert.equal(late.state.volume, 50);
  assert.equal(late.changed.size, 0);
});

test('the position runs on while playing and stays within the track', () => {
  const playing = { state: 'playing', position_ms: 1000, length_s: 10, receivedAt: 500 };
  const cases = [
    [playing, 1500, 2000],
    [playing, 99999, 10000],
    [{ ...playing, state: 'paused' }, 5000, 1000],
    [{ ...playing, state: 'stopped', position_ms: -1 }, 5000, 0],
    [null, 5000, 0],
  ];
  for (const [state, now, position] of cases) assert.equal(positionAt(state, now), position);
  assert.equal(playButtonLabel(playing), 'Pause');
  assert.equal(playButtonLabel({ state: 'paused' }), 'Play');
});
