// Puts the page together as one file: the HTML with its words filled in from the module itself (so
// the first frame is the finished form, before the module runs, and no word is written twice),
// its styles, the WebAssembly module (as text) with its loader and the page's script inlined, and
// a Content-Security-Policy that allows exactly those two inline pieces and nothing from anywhere.
// node assemble.mjs PAGE.html PAGE.css PAGE.js MODULE.js MODULE.wasm OUT.html
import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";
import { gzipSync } from "node:zlib";
import { createRequire } from "node:module";

const [html, css, pageScript, moduleScript, wasm, out] = process.argv.slice(2);
const read = (path) => readFileSync(path, "utf8");
const wasmBinary = readFileSync(wasm);

// The words, as the module gives them to the page.
const module = await createRequire(import.meta.url)(moduleScript)({ wasmBinary });
const words = module.words();
// The postal panel as it opens, for no particular place.
const panel = module.panel(0);
words.postalHeading = panel.heading;
const escape = (text) => text.replace(/\r\n/g, "\n").replace(/[&<>"]/g,
  (c) => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;", "\"": "&quot;" })[c]);
const word = (key) => {
  const text = words.texts[key] ?? words[key];
  if (typeof text !== "string") throw new Error(`no word "${key}"`);
  return escape(text);
};
const options = {
  places: words.places.map((name, index) => [index, name]),
  batchSizes: words.batchSizes.map((size) => [size, String(size)]),
  kinds: words.kinds.map((_, bit) => [bit, words.kindLabels[bit]]),
  formKinds: words.formKinds.map((kind, i) => [kind, words.formKindLabels[i]]),
  categories: [[0, words.texts.allCategories],
    ...words.categoryLabels.map((label, bit) => [1 << bit, label])],
  // An option collapses runs of spaces; the postal lines keep their two.
  postal: panel.lines.map((line) => [line, line.replaceAll(" ", "\u00A0")]),
};
let page = read(html)
  // <x data-text="key"></x>: the word as the element's text.
  .replace(/(<([a-z0-9]+)\b[^>]*\bdata-text="([^"]+)"[^>]*>)(<\/\2>)/g,
    (_, open, tag, key, close) => `${open}${word(key)}${close}`)
  // data-tip="key": the word as the tooltip; data-label="key": as the name a screen reader says.
  .replace(/\bdata-tip="([^"]+)"/g, (_, key) => `title="${word(key)}"`)
  .replace(/\bdata-label="([^"]+)"/g, (_, key) => `aria-label="${word(key)}"`)
  .replace(/\bdata-mailto\b/g, () => `href="mailto:${escape(words.contact)}"`)
  // <select data-options="list"></select>: the list's items.
  .replace(/(<select\b[^>]*\bdata-options="([^"]+)"[^>]*>)(<\/select>)/g, (_, open, list, close) =>
    open + options[list].map(([value, label]) =>
      `<option value="${escape(String(value))}">${escape(label)}</option>`).join("") + close);
const left = page.match(/data-(tip|label)="[^"]*"|data-(text|options)="[^"]*"[^>]*><\//);
if (left) throw new Error(`not filled: ${left[0]}`);

const style = read(css);
// The module is handed to its loader, which would otherwise fetch it; compressed, since base64
// of the raw module would make the page a quarter larger.
const packed = gzipSync(wasmBinary, { level: 9 }).toString("base64");
const script = `const talomaWasm = "${packed}";\n` +
  `${read(moduleScript)}\n${read(pageScript)}`;
for (const [name, text] of [["style", style], ["script", script]]) {
  if (/<\/(script|style)/i.test(text)) throw new Error(`the ${name} would end its own element`);
}
const hash = (text) => `'sha256-${createHash("sha256").update(text, "utf8").digest("base64")}'`;
const fills = {
  "@STYLE_HASH@": hash(style),
  "@SCRIPT_HASH@": hash(script),
  "@STYLE@": style,
  "@SCRIPT@": script,
};
for (const [placeholder, text] of Object.entries(fills)) page = page.split(placeholder).join(text);
writeFileSync(out, page);
