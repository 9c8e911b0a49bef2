// The fleet page: the table, the chosen card, the live updates.
import { listen, onTokenNeeded, request, setToken } from './api.js';
import { CardDetail } from './carddetail.js';
import { FleetTable, countsText } from './fleettable.js';
import { applyTexts, loadTexts, t } from './texts.js';

const $ = (id) => document.getElementById(id);

await loadTexts();
applyTexts(document);
document.title = t('title');
$('title').textContent = t('title');
$('filter').placeholder = t('filter');
$('token-prompt').textContent = t('tokenPrompt');
$('token-use').textContent = t('tokenUse');

const detail = new CardDetail();
const table = new FleetTable($('rows'), $('spacer'), (name) => choose(name));
table.onRender = (counts) => {
  const texts = countsText(counts);
  $('count-online').textContent = texts.online;
  $('count-offline').textContent = texts.offline;
  $('count-online').setAttribute('aria-pressed', String(table.only === 'online'));
  $('count-offline').setAttribute('aria-pressed', String(table.only === 'offline'));
  $('shown').textContent = texts.shown;
  for (const heading of document.querySelectorAll('#columns [data-sort]')) {
    if (heading.dataset.sort === table.sortKey) heading.setAttribute('aria-sort', table.sortDown ? 'descending' : 'ascending');
    else heading.removeAttribute('aria-sort');
  }
};

function choose(name) {
  table.select(name);
  detail.show(name);
  keepView();
}

// The chosen card, the filter and the order stay in the address, so that a
// reload or a bookmark shows the same view: #card=…&filter=…&only=offline&sort=name&down=1
function keepView() {
  const view = new URLSearchParams();
  if (table.selected) view.set('card', table.selected);
  if ($('filter').value) view.set('filter', $('filter').value);
  if (table.only) view.set('only', table.only);
  if (table.sortKey) view.set('sort', table.sortKey);
  if (table.sortDown) view.set('down', '1');
  const hash = view.toString();
  history.replaceState(null, '', hash ? '#' + hash : location.pathname + location.search);
}

function restoreView() {
  const view = new URLSearchParams(location.hash.slice(1));
  $('filter').value = view.get('filter') || '';
  table.setFilter($('filter').value);
  if (view.get('only') === 'online' || view.get('only') === 'offline') table.setOnly(view.get('only'));
  if (view.get('sort')) {
    table.sortBy(view.get('sort'));
    if (view.get('down') === '1') table.sortBy(view.get('sort'));
  }
  return view.get('card');
}
const chosenAtStart = restoreView();

$('filter').addEventListener('input', (event) => { table.setFilter(event.target.value); keepView(); });
$('count-online').title = $('count-offline').title = t('onlyThese');
$('count-online').addEventListener('click', () => { table.setOnly('online'); keepView(); });
$('count-offline').addEventListener('click', () => { table.setOnly('offline'); keepView(); });
for (const heading of document.querySelectorAll('#columns [data-sort]')) {
  heading.title = t('sortBy');
  heading.addEventListener('click', () => { table.sortBy(heading.dataset.sort); keepView(); });
}

let listening = false;
onTokenNeeded(() => { $('token-bar').hidden = false; $('token').focus(); });
$('token-bar').addEventListener('submit', (event) => {
  event.preventDefault();
  setToken($('token').value);
  $('token-bar').hidden = true;
  start();
});

let firstList = true;
async function reload() {
  try {
    table.setCards((await request('GET', '/api/cards')).cards);
    if (firstList && chosenAtStart && table.card(chosenAtStart)) choose(chosenAtStart);
    firstList = false;
  } catch (e) { /* shown by the token bar or the live marker */ }
}

// Changes that come together are fetched once: a few cards one by one, many
// as the whole list.
const changed = new Set();
let fetchTimer = 0;
function cardChanged(name) {
  changed.add(name);
  if (!fetchTimer) fetchTimer = setTimeout(fetchChanged, 200);
}
async function fetchChanged() {
  fetchTimer = 0;
  const names = [...changed];
  changed.clear();
  if (names.length > 20) return reload();
  for (const name of names) {
    try {
      const card = await request('GET', '/api/cards/' + encodeURIComponent(name));
      if (!table.updateCard(card)) return reload();
      detail.update(card);
    } catch (e) {
      if (e.status === 404) return reload();
    }
  }
}

function sendOf(status) {
  return { state: status.state, done: status.done, total: status.total, message: status.message };
}

function setSend(name, status) {
  const known = table.card(name);
  if (known) table.updateCard({ ...known, send: sendOf(status) });
}

function onEvent(type, data) {
  switch (type) {
    case 'job-progress':
      setSend(data.name, data);
      detail.jobChanged(data.job, data);
      break;
    case 'job-end':
      for (const card of data.cards || []) {
        setSend(card.name, card);
        detail.jobChanged(data.id, card);
      }
      break;
    case 'cards':
      reload();
      break;
    case 'playbill':
      if (data.name === detail.name) detail.show(data.name);
      cardChanged(data.name);
      break;
    default:
      if (data.name !== undefined) cardChanged(data.name);
  }
}

function onLive(live) {
  $('live').hidden = live;
  $('live').textContent = t('liveLost');
  if (live) reload();
}

// The stream ends only when the service asks for the token.
function start() {
  if (listening) { reload(); return; }
  listening = true;
  listen(onEvent, onLive).then(() => { listening = false; });
}
start();
