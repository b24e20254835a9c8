// The playlist as the page holds it: rows fetched in pages for one search and one list
// revision, and the range of rows a scrolled view shows. Pure data; the fetching is the caller's.

export const kPageSize = 200;

export class RowCache {
  constructor() { this.reset('', -1); }

  // A new search or a new playlist: everything held is stale.
  reset(search, listRev) {
    this.search = search;
    this.listRev = listRev;
    this.matches = -1;  // unknown until the first page arrives
    this.rows = new Map();     // position among the matches -> [index, name]
    this.pending = new Set();  // page offsets asked for
  }

  // The offsets of the pages that hold rows first..last and are neither here nor asked for.
  missing(first, last) {
    const offsets = [];
    const end = this.matches >= 0 ? Math.min(last, this.matches - 1) : last;
    for (let offset = Math.floor(first / kPageSize) * kPageSize; offset <= end; offset += kPageSize) {
      if (!this.pending.has(offset) && !this.rows.has(offset)) offsets.push(offset);
    }
    return offsets;
  }

  asked(offset) { this.pending.add(offset); }

  // Takes a page of the server's; false when it belongs to another search or playlist.
  store(page, search) {
    if (search !== this.search || (this.listRev >= 0 && page.list_rev !== this.listRev)) return false;
    this.listRev = page.list_rev;
    this.matches = page.matches;
    this.pending.delete(page.offset);
    page.items.forEach((item, k) => this.rows.set(page.offset + k, item));
    return true;
  }

  row(position) { return this.rows.get(position) || null; }
}

// The rows a view of height px scrolled to top shows, with overscan rows either side.
export function visibleRange(top, height, rowHeight, count, overscan = 8) {
  if (count <= 0) return { first: 0, last: -1 };
  const first = Math.max(0, Math.floor(top / rowHeight) - overscan);
  const last = Math.min(count - 1, Math.ceil((top + height) / rowHeight) + overscan);
  return { first, last };
}
