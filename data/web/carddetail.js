// The chosen card: its state, its pages as the card shows them, a box for
// each text material with a Send button, and a Send button for the card.
import { cardPath, request } from './api.js';
import { colorsText, lastHeardText, onlineText, sendState, sizeText } from './cardtexts.js';
import { t } from './texts.js';

const $ = (id) => document.getElementById(id);

export class CardDetail {
  constructor() {
    this.name = null;
    this.pictures = [];
    this.jobs = new Map(); // job id -> the element that shows its result
    $('card-none').textContent = t('chooseCard');
    $('card-send').textContent = t('send');
    $('card-send').addEventListener('click', () => this.run($('card-send-state'), () => request('POST', cardPath(this.name) + '/send')));
  }

  async show(name) {
    this.name = name;
    $('card-none').hidden = true;
    $('card-detail').hidden = false;
    $('card-name').textContent = name;
    $('texts').replaceChildren();
    $('pages').replaceChildren();
    $('card-send-state').textContent = '';
    try {
      const card = await request('GET', cardPath(name));
      if (this.name !== name) return;
      this.update(card);
      this.showTexts(card.texts || []);
      await this.showPages(card.pages || 0);
    } catch (e) {
      $('card-state').textContent = e.message;
    }
  }

  update(card) {
    if (card.name !== this.name) return;
    const send = sendState(card.send);
    $('card-state').textContent = [onlineText(card), sizeText(card), colorsText(card.colors),
      t('lastHeard') + ': ' + lastHeardText(card), send.text].filter(Boolean).join(' · ');
    $('card-state').className = card.online ? '' : 'failed';
  }

  showTexts(texts) {
    if (texts.length === 0) {
      const none = document.createElement('p');
      none.textContent = t('noTexts');
      $('texts').appendChild(none);
    }
    for (const item of texts) {
      const box = document.createElement('div');
      box.className = 'text';
      const label = document.createElement('label');
      label.textContent = item.material;
      const input = document.createElement('textarea');
      input.rows = item.multiLine ? 3 : 1;
      input.value = item.text || '';
      input.dataset.material = item.material;
      label.htmlFor = input.id = 'text-' + item.material;
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = t('send');
      const result = document.createElement('span');
      result.className = 'result';
      button.addEventListener('click', () => this.run(result, () =>
        request('PUT', cardPath(this.name) + '/texts/' + encodeURIComponent(item.material), { text: input.value })));
      box.append(label, input, button, result);
      $('texts').appendChild(box);
    }
  }

  async showPages(count) {
    for (const url of this.pictures) URL.revokeObjectURL(url);
    this.pictures = [];
    const name = this.name;
    const images = [];
    for (let n = 1; n <= count; ++n) {
      try {
        const picture = await request('GET', cardPath(name) + '/pages/' + n + '.png');
        const image = document.createElement('img');
        image.src = URL.createObjectURL(picture);
        image.alt = t('page', n);
        image.onload = () => { image.style.width = Math.min(image.naturalWidth * 4, 640) + 'px'; };
        this.pictures.push(image.src);
        images.push(image);
      } catch (e) { /* a page that cannot be drawn is left out */ }
    }
    if (this.name === name) $('pages').replaceChildren(...images);
  }

  // Starts a request that answers with a job and shows how the job goes.
  async run(result, start) {
    result.className = 'result';
    result.textContent = t('sending');
    try {
      const job = await start();
      if (!job || job.id === undefined) return;
      this.jobs.set(String(job.id), result);
      const mine = (job.cards || []).find((c) => c.name === this.name);
      if (mine) this.jobChanged(job.id, mine); // it may have ended already
    } catch (e) {
      result.className = 'result failed';
      result.textContent = e.message;
    }
  }

  // How a job goes for one card, from the event stream.
  jobChanged(jobId, status) {
    const result = this.jobs.get(String(jobId));
    if (!result || status.name !== this.name) return;
    const send = sendState(status);
    result.className = send.failed ? 'result failed' : 'result';
    result.textContent = send.text;
    if (status.state === 'sent' || status.state === 'failed') {
      this.jobs.delete(String(jobId));
      if (status.state === 'sent') this.refreshPages();
    }
  }

  async refreshPages() {
    try {
      const card = await request('GET', cardPath(this.name));
      await this.showPages(card.pages || 0);
    } catch (e) { /* kept as they were */ }
  }
}
