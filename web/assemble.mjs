// Puts the page together as one file: the HTML with its words filled in from the module itself (so
// the first frame is the finished form, before the module runs, and no word is written twice),
// its styles, the WebAssembly module (as text) with its loader and the page's script inlined, and
// a Content-Security-Policy that allows exactly those two inline pieces and nothing from anywhere.
// Given a folder too, it writes there the same page as index.html with what a browser needs to
// install it and open it offline: a web app manifest, a service worker that caches the folder, and
// the icons, which the build has drawn into the folder already.
// node assemble.mjs PAGE.html PAGE.css PAGE.js MODULE.js MODULE.wasm OUT.html [SITE-FOLDER]
import { createHash } from "node:crypto";
import { readFileSync, readdirSync, writeFileSync } from "node:fs";
import { join } from "node:path";
import { createRequire } from "node:module";

const [html, css, pageScript, moduleScript, wasm, out, site] = process.argv.slice(2);
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
// The module is handed to its loader, which would otherwise fetch it, as a string of one
// character per byte: the commonest bytes as the characters that a string literal in a script
// element holds as they are (no NUL, line end, quote, backslash or "<"), the rest as two-byte
// characters, and a key of 256 characters, byte by byte, to read it back. Unlike base64 of a
// gzipped module, the page's own compression still sees the module's repetitions, so the page is
// hardly larger; and the script has the bytes at once, with nothing to wait for.
const encodeModule = (bytes) => {
  const counts = new Array(256).fill(0);
  for (const byte of bytes) counts[byte] += 1;
  const plain = [];
  for (let code = 1; code < 0x80; code += 1) {
    if (!"\n\r\"\\<".includes(String.fromCharCode(code))) plain.push(code);
  }
  const codes = [];
  [...counts.keys()].sort((a, b) => counts[b] - counts[a] || a - b)
    .forEach((byte, rank) => { codes[byte] = plain[rank] ?? 0x80 + rank - plain.length; });
  const text = (values) => values.map((code) => String.fromCharCode(code)).join("");
  return { key: text(codes), module: text([...bytes].map((byte) => codes[byte])) };
};
const encoded = encodeModule(wasmBinary);
// The page's script loses its comment lines, which only the page's size would notice.
const pageCode = read(pageScript).split("\n").filter((line) => !/^\s*\/\//.test(line)).join("\n");
const script = `const talomaWasm = "${encoded.module}", talomaKey = "${encoded.key}";\n` +
  `${read(moduleScript)}\n${pageCode}`;
for (const [name, text] of [["style", style], ["script", script]]) {
  if (/<\/(script|style)/i.test(text)) throw new Error(`the ${name} would end its own element`);
}
const hash = (text) => `'sha256-${createHash("sha256").update(text, "utf8").digest("base64")}'`;
// The page's policy; a hosted page may also fetch its own manifest, icon and service worker.
const policy = (hosted) => [
  "default-src 'none'",
  `script-src ${hash(script)} 'wasm-unsafe-eval'`,
  `style-src ${hash(style)}`,
  hosted ? "img-src 'self'" : "img-src 'none'",
  ...(hosted ? ["manifest-src 'self'", "worker-src 'self'"] : []),
  "connect-src 'none'",
  "form-action 'none'",
  "base-uri 'none'",
].join("; ");
const fill = (fills) => Object.entries(fills)
  .reduce((text, [placeholder, value]) => text.split(placeholder).join(value), page);
const assembled = (hosted, siteHead) => fill({
  "@POLICY@": policy(hosted), "@SITE_HEAD@": siteHead, "@STYLE@": style, "@SCRIPT@": script });
writeFileSync(out, assembled(false, ""));

if (site) {
  const icons = readdirSync(site).filter((name) => /^icon-\d+\.png$/.test(name))
    .map((name) => ({ src: name, sizes: `${name.match(/\d+/)[0]}x${name.match(/\d+/)[0]}`,
      type: "image/png" }));
  if (icons.length === 0) throw new Error(`no icon-SIZE.png in ${site}`);
  const paper = style.match(/--paper:\s*(#[0-9a-f]{6})/i)[1];
  const manifest = {
    name: words.title,
    short_name: "Taloma",
    description: words.welcome.replace(/\r?\n/g, " "),
    lang: "zh-Hant-TW",
    start_url: "./",
    scope: "./",
    display: "standalone",
    background_color: paper,
    theme_color: paper,
    icons,
  };
  const index = assembled(true,
    `<link rel="manifest" href="manifest.webmanifest">\n<link rel="icon" href="${icons[0].src}">\n`);
  const files = ["./", "index.html", "manifest.webmanifest", ...icons.map((icon) => icon.src)];
  // The worker's cache is named after everything it keeps, so that any change makes a new one.
  const version = createHash("sha256").update(index).update(JSON.stringify(manifest))
    .update(icons.map((icon) => readFileSync(join(site, icon.src))).join()).digest("hex").slice(0, 16);
  const worker = read(new URL("site/sw.js", import.meta.url))
    .replace("@VERSION@", version).replace("@FILES@", JSON.stringify(files));
  writeFileSync(join(site, "index.html"), index);
  writeFileSync(join(site, "manifest.webmanifest"), `${JSON.stringify(manifest, null, 2)}\n`);
  writeFileSync(join(site, "sw.js"), worker);
}
