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
    this.ended = new Map(); // job id -> its end, when the events told it before the request's answer came
    $('card-none').textContent = t('chooseCard');
    $('card-send').textContent = t('send');
    $('card-send').addEventListener('click', () => this.run($('card-send-state'), () => request('POST', cardPath(this.name) + '/send')));
  }

  // Shows a card; the same card again (its playbill was replaced) keeps
  // what is shown until the new texts are there, and a text typed and not
  // yet sent stays in its box.
  async show(name) {
    const again = this.name === name;
    this.name = name;
    $('card-none').hidden = true;
    $('card-detail').hidden = false;
    $('card-name').textContent = name;
    if (!again) {
      $('texts').replaceChildren();
      $('pages').replaceChildren();
      $('card-send-state').textContent = '';
    }
    try {
      const [card, texts] = await Promise.all([request('GET', cardPath(name)), request('GET', cardPath(name) + '/texts')]);
      if (this.name !== name) return;
      const typed = new Map();
      for (const box of document.querySelectorAll('#texts textarea')) {
        if (box.value !== box.dataset.original) typed.set(box.dataset.material, box.value);
      }
      this.update(card);
      $('texts').replaceChildren();
      this.showTexts(texts.texts, typed);
      await this.showPages(texts.pages);
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

  showTexts(texts, typed = new Map()) {
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
      input.rows = item.kind === 'multi' ? 3 : 1;
      input.dataset.original = item.text || '';
      input.value = typed.has(item.material) ? typed.get(item.material) : input.dataset.original;
      input.dataset.material = item.material;
      label.htmlFor = input.id = 'text-' + item.material;
      const button = document.createElement('button');
      button.type = 'button';
      button.textContent = t('send');
      button.dataset.send = item.material;
      const result = document.createElement('span');
      result.className = 'result';
      button.addEventListener('click', () => this.run(result, async () => {
        const text = input.value;
        const job = await request('PUT', cardPath(this.name) + '/texts/' + encodeURIComponent(item.material), { text });
        input.dataset.original = text;
        return job;
      }));
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
    if (this.name !== name) return;
    $('pages').replaceChildren(...images);
    $('pages-title').hidden = images.length === 0; // a card without a playbill has no pages
  }

  // Starts a request that answers with a job and shows how the job goes.
  async run(result, start) {
    result.className = 'result';
    result.textContent = t('sending');
    try {
      const job = await start();
      if (!job || job.id === undefined) return;
      const id = String(job.id);
      this.jobs.set(id, result);
      const status = this.ended.get(id) || (job.cards || []).find((c) => c.name === this.name);
      this.ended.delete(id);
      if (status) this.jobChanged(id, status);
    } catch (e) {
      result.className = 'result failed';
      result.textContent = e.message;
    }
  }

  // How a job goes for one card, from the event stream.
  jobChanged(jobId, status) {
    if (status.name !== this.name) return;
    const final = status.state === 'sent' || status.state === 'failed';
    const result = this.jobs.get(String(jobId));
    if (!result) {
      if (final) this.ended.set(String(jobId), status);
      if (this.ended.size > 50) this.ended.delete(this.ended.keys().next().value);
      return;
    }
    const send = sendState(status);
    result.className = send.failed ? 'result failed' : 'result';
    result.textContent = send.text;
    if (final) {
      this.jobs.delete(String(jobId));
      if (status.state === 'sent') this.refreshPages();
    }
  }

  async refreshPages() {
    try {
      const texts = await request('GET', cardPath(this.name) + '/texts');
      await this.showPages(texts.pages);
    } catch (e) { /* kept as they were */ }
  }
}
