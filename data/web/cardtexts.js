// How a card's values read on the page (table and card panel alike).
import { t } from './texts.js';

export function colorsText(colors) {
  if (colors === 1) return t('colorSingle');
  if (colors === 2) return t('colorDual');
  return t('colorTricolor');
}

export const sizeText = (card) => card.width + ' × ' + card.height;
export const onlineText = (card) => t(card.online ? 'online' : 'offline');

// The browser's local time as 2026-03-01 14:05:09, the same whatever
// language the browser itself is set to.
export function lastHeardText(card) {
  if (!card.lastHeard) return t('never');
  const when = new Date(card.lastHeard);
  if (isNaN(when)) return card.lastHeard;
  const two = (n) => String(n).padStart(2, '0');
  return when.getFullYear() + '-' + two(when.getMonth() + 1) + '-' + two(when.getDate()) + ' ' +
    two(when.getHours()) + ':' + two(when.getMinutes()) + ':' + two(when.getSeconds());
}

// The send state as a short text; `progress` (0..1) while a send runs.
export function sendState(send) {
  if (!send) return { text: '' };
  switch (send.state) {
    case 'queued':
    case 'sending':
      return { text: send.total ? send.done + ' / ' + send.total : t('sending'), progress: send.total ? send.done / send.total : 0 };
    case 'sent':
      return { text: t('sent') };
    case 'failed':
      return { text: send.message || t('sendFailed'), failed: true };
    default:
      return { text: '' };
  }
}
