// The page's texts, in the service's language, from its language tables.
let table = {};

export async function loadTexts() {
  try {
    const response = await fetch('texts.json');
    if (response.ok) {
      const body = await response.json();
      table = body.texts || {};
      document.documentElement.lang = body.language || 'en';
    }
  } catch (e) {
    table = {};
  }
}

// The text of `key` with %1, %2 ... filled in; the key itself when the table has none.
export function t(key, ...args) {
  let text = table[key] ?? key;
  args.forEach((value, i) => { text = text.split('%' + (i + 1)).join(String(value)); });
  return text;
}

export function applyTexts(root) {
  for (const element of root.querySelectorAll('[data-text]')) element.textContent = t(element.dataset.text);
}
