// The package's interface over the module: check, decode, generate, scan, redact, pseudonymize,
// reveal and places, with the field names of taloma-id's JSON rows. `createTalomaModule` and
// `talomaWasm` (the module, gzip-compressed, in base64) come before this text in the files that
// pack.mjs writes.

let wasm = null;  // the module, once `ready` has settled
let names = null;  // the kinds' and sexes' names, and the version
// Buffers in the module's memory, kept between calls: the one every call uses, and bulk checks'
// room for texts that are not short ASCII.
const scratch = { at: 0, size: 0 };
const spill = { at: 0, size: 0 };

const unpack = async () => {
  const bytes = typeof Buffer === "function"
    ? Buffer.from(talomaWasm, "base64")
    : Uint8Array.from(atob(talomaWasm), (c) => c.charCodeAt(0));
  const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"));
  return new Uint8Array(await new Response(stream).arrayBuffer());
};

// Pseudonyms need Node: its node:crypto gives the AES they are made with. The module asks for a
// cipher by its key and hands it blocks to encipher in ECB.
const nodeCrypto = (() => {
  if (typeof process !== "object" || !process.versions?.node || typeof require !== "function") return null;
  try {
    return require("node:crypto");
  } catch {
    return null;
  }
})();
const ciphers = new Map();
let lastCipher = 0;
const talomaAes = {
  open(key) {
    const cipher = nodeCrypto.createCipheriv("aes-256-ecb", key, null);
    key.fill(0);
    cipher.setAutoPadding(false);
    ciphers.set(++lastCipher, cipher);
    return lastCipher;
  },
  encrypt: (handle, blocks) => ciphers.get(handle).update(blocks),
  close: (handle) => ciphers.delete(handle),
};

const ready = (async () => {
  const module = await createTalomaModule({ wasmBinary: await unpack(), talomaAes });
  names = module.libraryNames();
  // The first call puts the module's own function in place of the loader's stand-in.
  module._taloma_js_check(0, 0, 0);
  checkOne = module._taloma_js_check;
  wasm = module;
  identityKinds = kindsOf({});
})();

const loaded = () => {
  if (wasm === null) throw new Error("taloma: await ready before the first call");
  return wasm;
};

// A set of kinds as the module takes it: names as an array or a comma-separated string, and
// before2023 for 統一編號 by the older rule.
const kindSets = new Map();
let identityKinds = -1;  // no options: the identity kinds, known once `ready` has settled
const kindsOf = (options) => {
  if (options === undefined) return identityKinds;
  const list = Array.isArray(options.kinds) ? options.kinds.join(",") : options.kinds ?? "";
  let kinds = kindSets.get(list);
  if (kinds === undefined) {
    kinds = loaded().libraryKinds(String(list));
    if (kinds < 0) throw new Error(`taloma: unknown kind in "${list}"`);
    kindSets.set(list, kinds);
  }
  return kinds | (options.before2023 ? 0x100 : 0);
};

// Room for `bytes` bytes at area.at (scratch's, unless another is given).
const reserve = (bytes, area = scratch) => {
  if (bytes <= area.size) return;
  if (area.size > 0) wasm._free(area.at);
  area.size = Math.max(bytes, 2 * area.size, 256);
  area.at = wasm._malloc(area.size);
  if (area.at === 0) {
    area.size = 0;
    throw new Error("taloma: out of memory");
  }
};

const encoder = new TextEncoder();
// Writes `text` as UTF-8 at `at`, which has room for 3 bytes a UTF-16 unit; returns the end.
const put = (heap, text, at) => {
  const length = text.length;
  for (let i = 0; i < length; ++i) {
    const c = text.charCodeAt(i);
    if (c >= 0x80) return at - i + encoder.encodeInto(text, heap.subarray(at - i)).written;
    heap[at++] = c;
  }
  return at;
};

// The verdict a code stands for (web/verdict_codes.cpp), made once per code by the module and
// shared: the fields of taloma-id's jsonl row but the input, in its order, those that do not apply
// left out.
// A small direct-mapped cache in front of the map keeps the lookup off a single check's path.
const templates = new Map();
const cachedCodes = new Int32Array(1024).fill(-1);
const cachedTemplates = new Array(1024).fill(null);
const templateOf = (code) => {
  const slot = (code ^ (code >>> 10) ^ (code >>> 20)) & 1023;
  if (cachedCodes[slot] === code) return cachedTemplates[slot];
  const t = templates.get(code) ?? makeTemplate(code);
  cachedCodes[slot] = code;
  cachedTemplates[slot] = t;
  return t;
};
const makeTemplate = (code) => {
  const t = Object.freeze(wasm.libraryTemplate(code));
  templates.set(code, t);
  return t;
};

// A row: a plain object of its input and its verdict's fields, copied from the verdict's template
// (which many rows share), so that spread, structuredClone and postMessage see them all; its
// fields are those of taloma-id's jsonl row, in its order, leaving out those that do not apply.
const rowOf = (input, template) => ({ input, ...template });

// A single check keeps the module's memory and its check function at hand: looking them up on
// the module object, which carries a hundred names, costs a third of a check. The memory is
// looked up again once it has grown, which leaves the old view empty.
let heap = null;
let checkOne = null;
const checkCode = (input, kinds) => {
  if (3 * input.length > scratch.size) reserve(3 * input.length);
  if (heap === null || heap.length === 0) heap = wasm.HEAPU8;
  const end = put(heap, input, scratch.at);
  return checkOne(scratch.at, end - scratch.at, kinds);
};

// The verdicts on many inputs as columns, in one call into the module: valid, 1 or 0; verdict, each
// input's index into verdicts, the different verdicts, each once. Each text of up to 16 ASCII
// characters, the common case, is written into a slot of its own four characters a store; the
// others go as UTF-8 into the spill area after them. This reads each character once, as any check
// starting from JavaScript strings must, and writes a quarter as often.
const kSlot = 16;
const kSpilt = 255;  // a length that sends the module to the spill area
const columnsOf = (inputs, kinds) => {
  const count = inputs.length;
  const slotsAt = (count + 3) & ~3;
  const validAt = slotsAt + kSlot * count;
  const verdictAt = (validAt + count + 1) & ~1;
  const distinctAt = (verdictAt + 2 * count + 3) & ~3;
  reserve(distinctAt + 4 * 4096);
  const buffer = wasm.HEAPU8.buffer;
  const lengths = new Uint8Array(buffer, scratch.at, count);
  const words = new Int32Array(buffer, scratch.at + slotsAt, 4 * count);
  const spilt = [];
  for (let k = 0; k < count; ++k) {
    let text = inputs[k];
    if (typeof text !== "string") text = String(text);
    const n = text.length;
    if (n > kSlot) {
      spilt.push(text);
      lengths[k] = kSpilt;
      continue;
    }
    let i = 0, w = 4 * k, all = 0;
    for (; i + 4 <= n; i += 4) {
      const a = text.charCodeAt(i), b = text.charCodeAt(i + 1), c = text.charCodeAt(i + 2), d = text.charCodeAt(i + 3);
      all |= a | b | c | d;
      words[w++] = a | (b << 8) | (c << 16) | (d << 24);
    }
    if (i < n) {
      let word = 0;
      for (let shift = 0; i < n; ++i, shift += 8) {
        const c = text.charCodeAt(i);
        all |= c;
        word |= c << shift;
      }
      words[w] = word;
    }
    if (all < 0x80) {
      lengths[k] = n;
    } else {
      spilt.push(text);
      lengths[k] = kSpilt;
    }
  }
  // The spill area: the ends of its texts, then the texts end to end.
  let bytes = 4 * spilt.length;
  for (const text of spilt) bytes += 3 * text.length;
  reserve(bytes + 8, spill);
  const heap = wasm.HEAPU8;
  const ends = new Uint32Array(heap.buffer, spill.at, spilt.length);
  const textAt = spill.at + 4 * spilt.length;
  let at = textAt;
  for (let j = 0; j < spilt.length; ++j) {
    at = put(heap, spilt[j], at);
    ends[j] = at - textAt;
  }
  const base = scratch.at;
  const found = wasm._taloma_js_check_many(base, base + slotsAt, count, spill.at, textAt, kinds, base + validAt,
    base + verdictAt, base + distinctAt);
  const memory = wasm.HEAPU8.buffer;
  if (found >= 0) {
    return {
      valid: new Uint8Array(memory, base + validAt, count).slice(),
      verdict: new Uint16Array(memory, base + verdictAt, count).slice(),
      verdicts: Object.freeze(Array.from(new Int32Array(memory, base + distinctAt, found), templateOf)),
    };
  }
  // More different verdicts than the module's table holds: one call each.
  const valid = new Uint8Array(count), verdict = new Uint16Array(count), indexes = new Map(), verdicts = [];
  for (let i = 0; i < count; ++i) {
    const code = checkCode(String(inputs[i]), kinds);
    if (!indexes.has(code)) indexes.set(code, verdicts.push(templateOf(code)) - 1);
    verdict[i] = indexes.get(code);
    valid[i] = verdicts[verdict[i]].valid ? 1 : 0;
  }
  return { valid, verdict, verdicts: Object.freeze(verdicts) };
};

const checkColumns = (inputs, options) => {
  loaded();
  if (!Array.isArray(inputs)) throw new TypeError("taloma: checkColumns takes an array");
  return columnsOf(inputs, kindsOf(options));
};

// check("A123456789") gives one row; check([...]) the verdict on each, without the input.
const check = (input, options) => {
  // One string with the identity kinds, the common call, goes straight to the module.
  if (typeof input === "string" && options === undefined && wasm !== null) {
    return rowOf(input, templateOf(checkCode(input, identityKinds)));
  }
  loaded();
  const kinds = kindsOf(options);
  if (Array.isArray(input)) {
    const { verdict, verdicts } = columnsOf(input, kinds);
    const rows = new Array(verdict.length);
    for (let i = 0; i < verdict.length; ++i) rows[i] = verdicts[verdict[i]];
    return rows;
  }
  const text = typeof input === "string" ? input : String(input);
  return rowOf(text, templateOf(checkCode(text, kinds)));
};

const decode = (input, options = {}) =>
  loaded().libraryDecode(String(input), kindsOf(options), /^zh/i.test(options.lang ?? ""));

const listOf = (value) => (Array.isArray(value) ? value.join(",") : String(value ?? ""));

// The numbers taloma-id gen prints for the same options.
const generate = (options = {}) => {
  const module = loaded();
  const count = options.count ?? 1;
  if (!Number.isSafeInteger(count) || count < 0) throw new Error("taloma: count must be a whole number");
  let seed = options.seed;
  if (seed === undefined) {
    const halves = crypto.getRandomValues(new Uint32Array(2));
    seed = (BigInt(halves[0]) << 32n) | BigInt(halves[1]);
  }
  seed = BigInt(seed);
  if (seed < 0n || seed >= 1n << 64n) throw new Error("taloma: seed must be 0 to 2^64 - 1");
  const kind = names.kinds.indexOf(options.kind ?? "national");
  if (kind < 0) throw new Error(`taloma: unknown kind "${options.kind}"`);
  const sex = options.sex === undefined ? -1 : names.sexes.indexOf(options.sex);
  if (sex < -1 || (options.sex !== undefined && sex < 0)) throw new Error(`taloma: unknown sex "${options.sex}"`);
  const lines = module.libraryGenerate(count, Number(seed >> 32n), Number(seed & 0xffffffffn), kind,
    listOf(options.places), sex, listOf(options.categories), Boolean(options.unique),
    Boolean(options.current), Boolean(options.since2023));
  if (lines.error !== undefined) throw new Error(`taloma: ${lines.error}`);
  return count === 0 ? [] : lines.split("\n");
};

// A lone surrogate, which a string may hold and UTF-8 cannot, is read as U+FFFD, one character in
// its place; every mask is as long as what it masks, so the redacted text takes it back there.
const lone = /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/g;
const hasLone = /[\uD800-\uDFFF]/;
const scanArguments = (text, options = {}) => [text.replace(lone, "\uFFFD"), kindsOf(options),
  Boolean(options.nearMisses), Boolean(options.normalize), Boolean(options.labelled)];

const scan = (text, options) => loaded().libraryScan(...scanArguments(String(text), options));
const redact = (input, options) => {
  const text = String(input);
  return lonesBack(text, loaded().libraryRedact(...scanArguments(text, options)));
};
// A lone surrogate went to the module as U+FFFD; the text written back takes it back in its place.
const lonesBack = (text, written) =>
  written === null || !hasLone.test(text) ? written : written.replace(/\uFFFD/g, (mark, at) => text[at]);

// The text with each valid number replaced by its pseudonym (or with `reveal` turned back), under
// options.key (32 bytes) and options.context, as taloma-id scan --pseudonymize writes it.
const rewritten = (input, options, reveal) => {
  const module = loaded();
  if (nodeCrypto === null) {
    throw new Error("taloma: pseudonyms need Node, whose node:crypto gives the AES they are made with");
  }
  const key = options?.key;
  if (!(key instanceof Uint8Array) || key.length !== 32) {
    throw new TypeError("taloma: options.key is 32 bytes, a Uint8Array or Buffer (readKey reads a key file)");
  }
  const text = String(input);
  const written = module.libraryRewrite(...scanArguments(text, options), key, String(options.context ?? ""), reveal);
  if (written === null) throw new Error("taloma: out of memory");
  return lonesBack(text, written);
};
const pseudonymize = (text, options) => rewritten(text, options, false);
const reveal = (text, options) => rewritten(text, options, true);

// The key in a key file that taloma-id key wrote: 64 hexadecimal characters and a newline. A
// file that other users may read gets a warning, as taloma-id gives.
const readKey = (path) => {
  if (nodeCrypto === null) throw new Error("taloma: readKey needs Node");
  const fs = require("node:fs");
  const key = loaded().libraryKeyOfFile(fs.readFileSync(path, "latin1"));
  if (key === null) {
    throw new Error(`taloma: ${path} is not a key file: it must hold 64 hexadecimal characters and a newline, nothing else`);
  }
  if (process.platform !== "win32" && (fs.statSync(path).mode & 0o077) !== 0) {
    process.emitWarning(`other users may read the key file ${path}; run chmod 600 on it`);
  }
  return key;
};

const places = (options = {}) => loaded().libraryPlaces(Boolean(options.postal));
const version = () => names?.version ?? null;
