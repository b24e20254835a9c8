// The playlist's list: only the rows in view (and a few around) exist as elements, placed by
// transform inside a spacer as tall as all rows, so 100,000 entries scroll like 20. Row texts
// are set with textContent only. Needs a DOM; nothing here runs at import.
import { baseName, folderOf } from './format.js';
import { visibleRange } from './paging.js';

export const kRowHeight = 52;

export class VirtualList {
  // rows(): { count, row(position) -> [index, name] | null }; onRange(first, last) asks for
  // missing rows; onPick(index) plays an entry.
  constructor(box, spacer, { rows, onRange, onPick }) {
    this.box = box;
    this.spacer = spacer;
    this.rows = rows;
    this.onRange = onRange;
    this.onPick = onPick;
    this.current = -1;
    this.pool = [];
    box.addEventListener('scroll', () => this.draw(), { passive: true });
    box.addEventListener('click', (event) => this.pick(event.target));
    box.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' || event.key === ' ') {
        event.preventDefault();
        this.pick(event.target);
      }
    });
    new ResizeObserver(() => this.draw()).observe(box);
  }

  pick(target) {
    const row = target.closest ? target.closest('.row') : null;
    if (row && row.dataset.index !== '') this.onPick(Number(row.dataset.index));
  }

  setCurrent(index) {
    this.current = index;
    this.draw();
  }

  scrollToTop() { this.box.scrollTop = 0; }

  element(k) {
    while (this.pool.length <= k) {
      const row = document.createElement('div');
      row.className = 'row';
      row.setAttribute('role', 'option');
      row.tabIndex = -1;
      const name = document.createElement('span');
      name.className = 'name';
      const folder = document.createElement('span');
      folder.className = 'folder';
      row.append(name, folder);
      this.spacer.append(row);
      this.pool.push(row);
    }
    return this.pool[k];
  }

  draw() {
    const { count } = this.rows();
    this.spacer.style.height = `${Math.max(count, 0) * kRowHeight}px`;
    const { first, last } = visibleRange(this.box.scrollTop, this.box.clientHeight, kRowHeight, count);
    let k = 0;
    for (let position = first; position <= last; ++position, ++k) {
      this.fill(this.element(k), position);
      this.pool[k].setAttribute('aria-setsize', String(count));
    }
    for (; k < this.pool.length; ++k) this.pool[k].hidden = true;
    if (last >= first) this.onRange(first, last);
  }

  fill(element, position) {
    const item = this.rows().row(position);
    element.hidden = false;
    element.style.transform = `translateY(${position * kRowHeight}px)`;
    const [name, folder] = element.children;
    if (!item) {
      element.dataset.index = '';
      name.textContent = '…';
      folder.textContent = '';
      element.setAttribute('aria-selected', 'false');
      return;
    }
    const [index, path] = item;
    element.dataset.index = String(index);
    element.setAttribute('aria-posinset', String(position + 1));
    name.textContent = `${index + 1}. ${baseName(path)}`;
    folder.textContent = folderOf(path);
    element.setAttribute('aria-selected', index === this.current ? 'true' : 'false');
  }
}
