// The installed package from an ES module, against taloma-id: the same rows for the case table's
// inputs, the same seeded numbers, scan rows and redacted text, on the corpus too. TALOMA_ID,
// CASES and CORPUS name the program, the table and the corpus's folder (tests/corpus).
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { test } from "node:test";
import { check, checkColumns, decode, generate, places, pseudonymize, readKey, ready, redact, reveal, scan,
  version } from "taloma";

const id = (args, input = "") => {
  try {
    return execFileSync(process.env.TALOMA_ID, args, { input, encoding: "utf8", maxBuffer: 1 << 26 });
  } catch (failed) {
    if (failed.status !== 1) throw failed;
    return failed.stdout;
  }
};
const lines = (text) => text.split("\n").filter((line) => line !== "");
// taloma-id's scan rows without the file, and without the offset and length, which count bytes.
const idRows = (output) => lines(output).map((line) => {
  const { file, offset, length, ...row } = JSON.parse(line);
  return row;
});
// The package's rows, each offset and length checked in UTF-16 units of `text` and left out.
const ownRows = (text, rows) => rows.map(({ offset, length, ...row }) => {
  assert.equal(text.slice(offset, offset + length), row.input);
  return row;
});
const inputs = [...readFileSync(process.env.CASES, "utf8").matchAll(/^> (\{"input":.*\})$/gm)]
  .map((match) => JSON.parse(match[1]).input)
  .filter((input) => input !== "" && !/[\n\0]/.test(input) && !input.endsWith("…"));
inputs.push("04595257", "0912-345-678", "+886 912 345 678", "/ABC+123", "AB12345678901234", "8585");

await ready;

test("the version is taloma-id's", () => {
  assert.equal(version(), id(["--version"]).trim().split(" ").at(-1));
});

for (const kinds of ["", "national", "resident,resident-old", "business,certificate,carrier,donation,mobile"]) {
  test(`check -k ${kinds || "(identity kinds)"}, one at a time and all at once`, () => {
    const args = ["check", "-f", "jsonl", ...(kinds ? ["-k", kinds] : []), "--", ...inputs];
    const want = lines(id(args));
    assert.deepEqual(check(inputs, { kinds }).map((v, i) => JSON.stringify({ input: inputs[i], ...v })), want);
    assert.deepEqual(inputs.map((input) => JSON.stringify(check(input, { kinds }))), want);
    const rows = check(inputs, { kinds }), columns = checkColumns(inputs, { kinds });
    assert.deepEqual(Array.from(columns.verdict, (v) => columns.verdicts[v]), rows);
    assert.deepEqual([...columns.valid], rows.map((row) => (row.valid ? 1 : 0)));
  });
}

test("one check at a time after a bulk check has grown the module's memory", () => {
  const before = inputs.map((input) => JSON.stringify(check(input)));
  check(new Array(600_000).fill("A123456789"));
  assert.deepEqual(inputs.map((input) => JSON.stringify(check(input))), before);
});

test("統一編號 by the older rule", () => {
  assert.equal(check("10458570", { kinds: ["business"] }).valid, true);
  assert.equal(check("10458570", { kinds: ["business"], before2023: true }).expected, "4");
});

test("generate gives what taloma-id gen prints", () => {
  for (const [options, args] of [
    [{ count: 300, seed: 42 }, []],
    [{ count: 100, seed: 7n, kind: "resident", places: ["A", "臺中市"], sex: "female" },
      ["-k", "resident", "-p", "A,臺中市", "--sex", "female"]],
    [{ count: 50, seed: "18446744073709551615", kind: "resident", categories: "foreign,mainland-china", unique: true },
      ["-k", "resident", "--category", "foreign,mainland-china", "--unique"]],
    [{ count: 40, seed: 3, kind: "business", since2023: true }, ["-k", "business", "--since-2023"]],
    [{ count: 40, seed: 3, kind: "carrier" }, ["-k", "carrier"]],
  ]) {
    const seed = String(options.seed);
    assert.deepEqual(generate(options), lines(id(["gen", "--seed", seed, "-n", String(options.count), ...args])));
  }
  assert.throws(() => generate({ kind: "mobile" }), /mobile numbers are not generated/);
  assert.throws(() => generate({ places: "XX" }), /unknown place/);
});

test("scan and redact as taloma-id scan", () => {
  const text = "客戶 A123456789，Ｆ２３１４１５９２６，統編 04595257，手機 0912-345-678\n" +
    "log A12345678X b200000004 AC12345679 /ABC+123 AB12345678901234\n";
  const kinds = "national,resident,resident-old,business,mobile,carrier,certificate";
  const want = idRows(id(["scan", "-a", "-f", "jsonl", "-k", kinds], text));
  assert.deepEqual(ownRows(text, scan(text, { kinds, nearMisses: true })), want);
  assert.equal(redact(text, { kinds }), id(["scan", "--redact", "-k", kinds], text));
});

test("pseudonyms as taloma-id scan --pseudonymize writes them, and back", () => {
  const folder = mkdtempSync(join(tmpdir(), "taloma-key-"));
  try {
    const keyFile = join(folder, "crm.key");
    id(["key", keyFile]);
    const key = readKey(keyFile);
    const text = "\uD800 王小明 A123456789，Ａ１２３４５６７８９ 統編 04595257 手機 +886 912-345-678 捐贈碼 8585\n";
    const kinds = "national,business,mobile,donation";
    const made = pseudonymize(text, { key, context: "crm", kinds });
    assert.equal(made, "\uD800" + id(["scan", "--pseudonymize", "--key-file", keyFile, "--context", "crm", "-k", kinds],
      text.slice(1)));
    assert.equal(reveal(made, { key, context: "crm", kinds }), text.replace("8585", "***5"));
    assert.throws(() => pseudonymize(text, { key: key.subarray(1) }), /32 bytes/);
    writeFileSync(keyFile, "not a key\n");
    assert.throws(() => readKey(keyFile), /not a key file/);
  } finally {
    rmSync(folder, { recursive: true });
  }
});

test("a row is a plain object; text round-trips code unit for code unit", () => {
  const row = check("A123456789");
  assert.deepEqual(structuredClone(row), { ...row });
  assert.deepEqual(Object.keys(row), ["input", "valid", "kind", "sex", "letter", "place"]);
  const text = "\uD800 A123456789 \uDC00\uD83D\uDE00\uFFFD0912345678\uDBFF";
  assert.equal(redact(text, { kinds: "national,mobile" }),
    "\uD800 A********* \uDC00\uD83D\uDE00\uFFFD09*****678\uDBFF");
  assert.deepEqual(scan(text, { kinds: "national,mobile" }).map((r) => [r.column, r.input]),
    [[3, "A123456789"], [17, "0912345678"]]);
});

test("the corpus's UTF-8 documents as taloma-id finds and masks them", { skip: !process.env.CORPUS }, () => {
  const kinds = "national,resident,resident-old,business,mobile";
  const manifest = JSON.parse(readFileSync(join(process.env.CORPUS, "manifest.json"), "utf8"));
  for (const { file, encoding, options } of manifest.filter((doc) => doc.encoding === "utf-8")) {
    const path = join(process.env.CORPUS, file);
    const text = readFileSync(path, "utf8");
    const normalize = options.includes("--normalize");
    const want = idRows(id(["scan", "-f", "jsonl", "-k", kinds, ...options, path]));
    assert.deepEqual(ownRows(text, scan(text, { kinds, normalize })), want, file);
    assert.equal(redact(text, { kinds, normalize }), id(["scan", "--redact", "-k", kinds, ...options, path]), file);
  }
});

test("places and a decoded number", () => {
  assert.deepEqual(places().map((row) => JSON.stringify(row)), lines(id(["places", "-f", "jsonl"])));
  assert.equal(places({ postal: true }).length, 369);
  assert.equal(decode("A123456789", { lang: "zh-TW" }), "這是正確的男性身分證字號戶籍地在台北市");
});
