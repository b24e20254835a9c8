// The filters applied before, kept in the browser, oldest first, and the completion that
// offers them by prefix: typing offers the oldest filter that begins with the typed text, with
// the added part selected; Down and Up step through the matches and stop at either end.

export const kHistoryMax = 20;
const kKey = 'dravo.filters';

// Moves text to the newest place (an empty text is not kept); drops the oldest past limit.
export function remember(list, text, limit = kHistoryMax) {
  const kept = list.filter((entry) => entry !== text && entry !== '');
  if (text !== '') kept.push(text);
  return kept.slice(Math.max(0, kept.length - limit));
}

export function matchesOf(list, typed) {
  return typed === '' ? [] : list.filter((entry) => entry.startsWith(typed) && entry !== typed);
}

// The completion at index of the matches: the full text and the selected added part, or null.
export function completion(list, typed, index = 0) {
  const matches = matchesOf(list, typed);
  if (matches.length === 0) return null;
  const at = Math.min(Math.max(index, 0), matches.length - 1);
  return { text: matches[at], start: typed.length, end: matches[at].length, index: at };
}

export function loadHistory(storage) {
  try {
    const list = JSON.parse(storage.getItem(kKey) || '[]');
    return Array.isArray(list) ? list.filter((e) => typeof e === 'string') : [];
  } catch {
    return [];
  }
}

export function saveHistory(storage, list) {
  try { storage.setItem(kKey, JSON.stringify(list)); } catch { /* private mode: kept for the visit */ }
}
