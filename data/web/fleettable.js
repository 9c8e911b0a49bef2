// The fleet as a table that stays quick with thousands of cards: only the
// rows in view (and a few around them) exist in the page, laid over a spacer
// as tall as all rows. A filter narrows the cards by name or internal code
// and by on-line state; a column's heading sorts by it.
import { colorsText, lastHeardText, onlineText, sendState, sizeText } from './cardtexts.js';
import { t } from './texts.js';

const extraRows = 8;

// Sign-2 before Sign-10.
const byName = new Intl.Collator(undefined, { numeric: true, sensitivity: 'base' }).compare;
const plain = (a, b) => (a < b ? -1 : a > b ? 1 : 0);
const sortKeys = {
  name: (a, b) => byName(a.name, b.name),
  online: (a, b) => Number(!!b.online) - Number(!!a.online),
  size: (a, b) => a.width * a.height - b.width * b.height || a.width - b.width,
  colors: (a, b) => a.colors - b.colors,
  // The latest first; never heard last.
  lastHeard: (a, b) => plain(b.lastHeard || '', a.lastHeard || ''),
  send: (a, b) => plain((a.send || {}).state || '', (b.send || {}).state || ''),
};

export class FleetTable {
  constructor(viewport, spacer, onSelect) {
    this.viewport = viewport;
    this.spacer = spacer;
    this.onSelect = onSelect;
    this.cards = [];
    this.index = new Map(); // name -> position in this.cards
    this.shown = []; // positions in this.cards of the cards the filter lets through, in order
    this.filter = '';
    this.only = null; // 'online', 'offline' or null: every card
    this.sortKey = null; // null: as the service lists them
    this.sortDown = false;
    this.dirty = false; // this.shown must be made again before the next drawing
    this.selected = null;
    this.pool = [];
    this.frame = 0;
    this.rowHeight = 28;
    viewport.addEventListener('scroll', () => this.schedule());
    window.addEventListener('resize', () => this.schedule());
  }

  setCards(cards) {
    this.cards = cards;
    this.index = new Map(cards.map((card, i) => [card.name, i]));
    this.refilter();
  }

  card(name) { return this.cards[this.index.get(name)]; }

  // A card's new state; false when the card is not in the table. The order
  // and the filter are applied again once per drawing, not per change.
  updateCard(card) {
    const i = this.index.get(card.name);
    if (i === undefined) return false;
    this.cards[i] = card;
    this.dirty = true;
    this.schedule();
    return true;
  }

  setFilter(text) {
    this.filter = text.trim().toLowerCase();
    this.viewport.scrollTop = 0;
    this.refilter();
  }

  // Only the on-line or off-line cards; the same again shows every card.
  setOnly(state) {
    this.only = this.only === state ? null : state;
    this.viewport.scrollTop = 0;
    this.refilter();
  }

  // Sorts by a column; the same column again turns the order round.
  sortBy(key) {
    if (!sortKeys[key]) return;
    this.sortDown = this.sortKey === key ? !this.sortDown : false;
    this.sortKey = key;
    this.refilter();
  }

  select(name) {
    this.selected = name;
    this.schedule();
  }

  matches(card) {
    if (this.only && !!card.online !== (this.only === 'online')) return false;
    if (!this.filter) return true;
    return card.name.toLowerCase().includes(this.filter) || (card.internalCode || '').toLowerCase().includes(this.filter);
  }

  refilter() {
    this.dirty = true;
    this.schedule();
  }

  makeShown() {
    this.dirty = false;
    this.shown = [];
    this.cards.forEach((card, i) => { if (this.matches(card)) this.shown.push(i); });
    const compare = sortKeys[this.sortKey];
    if (!compare) return;
    const sign = this.sortDown ? -1 : 1;
    // Ties go by name.
    this.shown.sort((a, b) => sign * (compare(this.cards[a], this.cards[b]) || byName(this.cards[a].name, this.cards[b].name)));
  }

  counts() {
    let online = 0;
    for (const card of this.cards) if (card.online) ++online;
    return { online, offline: this.cards.length - online, shown: this.shown.length, all: this.cards.length };
  }

  schedule() {
    if (!this.frame) this.frame = requestAnimationFrame(() => { this.frame = 0; this.render(); });
  }

  render() {
    if (this.dirty) this.makeShown();
    this.spacer.style.height = this.shown.length * this.rowHeight + 'px';
    const first = Math.max(0, Math.floor(this.viewport.scrollTop / this.rowHeight) - extraRows);
    const last = Math.min(this.shown.length, Math.ceil((this.viewport.scrollTop + this.viewport.clientHeight) / this.rowHeight) + extraRows);
    while (this.pool.length < last - first) this.pool.push(this.makeRow());
    this.pool.forEach((row, k) => {
      const card = this.cards[this.shown[first + k]];
      row.hidden = !card || first + k >= last;
      if (!row.hidden) this.fill(row, card, first + k);
    });
    if (this.onRender) this.onRender(this.counts());
  }

  makeRow() {
    const row = document.createElement('div');
    row.className = 'row';
    row.innerHTML = '<span class="name"></span><span class="state"><i class="dot"></i><b></b></span><span></span><span></span><span></span>' +
      '<span class="send"><span class="progress" hidden><i></i></span><b></b></span>';
    row.tabIndex = 0;
    row.addEventListener('click', () => this.onSelect(row.dataset.name));
    row.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' || event.key === ' ') {
        event.preventDefault();
        this.onSelect(row.dataset.name);
      }
    });
    this.spacer.appendChild(row);
    return row;
  }

  fill(row, card, position) {
    const cells = row.children;
    row.dataset.name = card.name;
    row.style.top = position * this.rowHeight + 'px';
    row.classList.toggle('selected', card.name === this.selected);
    row.classList.toggle('is-online', !!card.online);
    cells[0].textContent = card.name;
    cells[0].title = card.name;
    cells[1].lastChild.textContent = onlineText(card);
    cells[2].textContent = sizeText(card);
    cells[3].textContent = colorsText(card.colors);
    cells[4].textContent = lastHeardText(card);
    const send = sendState(card.send);
    const bar = cells[5].firstChild;
    bar.hidden = send.progress === undefined;
    if (!bar.hidden) bar.firstChild.style.width = Math.round(send.progress * 100) + '%';
    cells[5].lastChild.textContent = send.text;
    cells[5].title = send.text;
    cells[5].classList.toggle('failed', !!send.failed);
  }
}

export function countsText(counts) {
  return {
    online: t('countOnline', counts.online),
    offline: t('countOffline', counts.offline),
    shown: counts.shown === counts.all ? '' : t('shown', counts.shown, counts.all),
  };
}
