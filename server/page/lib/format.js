// Text the page shows: times and the parts of a file name. Pure functions.

// 83456 -> "1:23"; an hour or more -> "1:02:03"; unknown (negative, NaN) -> "0:00".
export function formatTime(ms) {
  const total = Number.isFinite(ms) && ms > 0 ? Math.floor(ms / 1000) : 0;
  const hours = Math.floor(total / 3600);
  const minutes = Math.floor((total % 3600) / 60);
  const seconds = String(total % 60).padStart(2, '0');
  return hours > 0 ? `${hours}:${String(minutes).padStart(2, '0')}:${seconds}` : `${minutes}:${seconds}`;
}

// The last part of a path, Windows or POSIX.
export function baseName(path) {
  const cut = Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  return path.slice(cut + 1);
}

// The folder the file lies in, without its separator; empty for a bare name.
export function folderOf(path) {
  const cut = Math.max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
  return cut < 0 ? '' : path.slice(0, cut);
}

// What the heading says: the title, else the file's name, else that nothing plays.
export function shownTitle(state, fileName) {
  if (state.title) return state.title;
  if (fileName) return baseName(fileName).replace(/\.[^.]*$/, '');
  return state.count > 0 ? 'Stopped' : 'The playlist is empty';
}
