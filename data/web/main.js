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
const table = new FleetTable($('rows'), $('spacer'), (name) => {
  table.select(name);
  detail.show(name);
});
table.onRender = (counts) => {
  const texts = countsText(counts);
  $('count-online').textContent = texts.online;
  $('count-offline').textContent = texts.offline;
  $('shown').textContent = texts.shown;
};
$('filter').addEventListener('input', (event) => table.setFilter(event.target.value));

let listening = false;
onTokenNeeded(() => { $('token-bar').hidden = false; $('token').focus(); });
$('token-bar').addEventListener('submit', (event) => {
  event.preventDefault();
  setToken($('token').value);
  $('token-bar').hidden = true;
  start();
});

async function reload() {
  try {
    table.setCards(await request('GET', '/api/cards'));
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
