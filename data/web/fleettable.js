// The fleet as a table that stays quick with thousands of cards: only the
// rows in view (and a few around them) exist in the page, laid over a spacer
// as tall as all rows; a filter narrows the cards by name or internal code.
import { colorsText, lastHeardText, onlineText, sendState, sizeText } from './cardtexts.js';
import { t } from './texts.js';

const extraRows = 8;

export class FleetTable {
  constructor(viewport, spacer, onSelect) {
    this.viewport = viewport;
    this.spacer = spacer;
    this.onSelect = onSelect;
    this.cards = [];
    this.index = new Map(); // name -> position in this.cards
    this.shown = [];
    this.filter = '';
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

  // A card's new state; false when the card is not in the table.
  updateCard(card) {
    const i = this.index.get(card.name);
    if (i === undefined) return false;
    const before = this.matches(this.cards[i]);
    this.cards[i] = card;
    if (before !== this.matches(card)) this.refilter();
    else this.schedule();
    return true;
  }

  setFilter(text) {
    this.filter = text.trim().toLowerCase();
    this.refilter();
  }

  select(name) {
    this.selected = name;
    this.schedule();
  }

  matches(card) {
    if (!this.filter) return true;
    return card.name.toLowerCase().includes(this.filter) || (card.internalCode || '').includes(this.filter);
  }

  refilter() {
    this.shown = this.cards.filter((card) => this.matches(card));
    this.schedule();
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
    this.spacer.style.height = this.shown.length * this.rowHeight + 'px';
    const first = Math.max(0, Math.floor(this.viewport.scrollTop / this.rowHeight) - extraRows);
    const last = Math.min(this.shown.length, Math.ceil((this.viewport.scrollTop + this.viewport.clientHeight) / this.rowHeight) + extraRows);
    while (this.pool.length < last - first) this.pool.push(this.makeRow());
    this.pool.forEach((row, k) => {
      const card = this.shown[first + k];
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
    row.addEventListener('click', () => this.onSelect(row.dataset.name));
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
