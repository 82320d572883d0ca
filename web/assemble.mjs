// Puts the page together as one file: the HTML with its styles, the WebAssembly module (as text)
// and its loader and the page's script inlined, and a Content-Security-Policy that allows exactly
// those two inline pieces and nothing from anywhere.
// node assemble.mjs PAGE.html PAGE.css PAGE.js MODULE.js MODULE.wasm OUT.html
import { createHash } from "node:crypto";
import { readFileSync, writeFileSync } from "node:fs";

const [html, css, pageScript, moduleScript, wasm, out] = process.argv.slice(2);
const read = (path) => readFileSync(path, "utf8");
const style = read(css);
// The module is handed to its loader, which would otherwise fetch it.
const module = `const talomaWasm = "${readFileSync(wasm).toString("base64")}";`;
const script = `${module}\n${read(moduleScript)}\n${read(pageScript)}`;
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
let page = read(html);
for (const [placeholder, text] of Object.entries(fills)) page = page.split(placeholder).join(text);
writeFileSync(out, page);
