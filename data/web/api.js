// Requests to the service: the access token (typed once, kept for the
// browser session) on every request, and the live event stream. The stream
// is read with fetch rather than EventSource, which cannot send the token.
const tokenKey = 'ledsign.token';
let askToken = () => {};

export function onTokenNeeded(handler) { askToken = handler; }
export function setToken(token) { sessionStorage.setItem(tokenKey, token); }

function headers(extra = {}) {
  const token = sessionStorage.getItem(tokenKey);
  return token ? { ...extra, Authorization: 'Bearer ' + token } : extra;
}

export class ApiError extends Error {
  constructor(status, message) { super(message); this.status = status; }
}

export async function request(method, path, body) {
  const init = { method, headers: headers(body === undefined ? {} : { 'Content-Type': 'application/json' }) };
  if (body !== undefined) init.body = JSON.stringify(body);
  const response = await fetch(path, init);
  if (response.status === 401) askToken();
  if (!response.ok) {
    let message = response.statusText;
    try { message = (await response.json()).error || message; } catch (e) { /* not JSON */ }
    throw new ApiError(response.status, message);
  }
  const type = response.headers.get('Content-Type') || '';
  return type.includes('json') ? response.json() : response.blob();
}

export const cardPath = (name) => '/api/cards/' + encodeURIComponent(name);

// Calls onEvent(type, data) for every event; onLive(true) once the stream is
// open (the caller reloads what it may have missed), onLive(false) when it
// is lost. Tries again every two seconds.
export async function listen(onEvent, onLive) {
  for (;;) {
    try {
      const response = await fetch('/api/events', { headers: headers({ Accept: 'text/event-stream' }) });
      if (response.status === 401) { askToken(); return; }
      if (response.ok && response.body) {
        onLive(true);
        await readEvents(response.body, onEvent);
      }
    } catch (e) { /* the service went away */ }
    onLive(false);
    await new Promise((resolve) => setTimeout(resolve, 2000));
  }
}

async function readEvents(body, onEvent) {
  const reader = body.pipeThrough(new TextDecoderStream()).getReader();
  let buffer = '';
  for (;;) {
    const { value, done } = await reader.read();
    if (done) return;
    buffer += value.replace(/\r\n?/g, '\n');
    let end;
    while ((end = buffer.indexOf('\n\n')) >= 0) {
      const block = buffer.slice(0, end);
      buffer = buffer.slice(end + 2);
      let type = 'message';
      const data = [];
      for (const line of block.split('\n')) {
        if (line.startsWith('event:')) type = line.slice(6).trim();
        else if (line.startsWith('data:')) data.push(line.slice(5).replace(/^ /, ''));
      }
      if (data.length === 0) continue;
      try { onEvent(type, JSON.parse(data.join('\n'))); } catch (e) { /* not JSON: nothing to show */ }
    }
  }
}
