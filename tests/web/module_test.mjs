// The page's WebAssembly module under node, against taloma-id: the same seeded numbers for the
// same choices, and the same verdicts on the inputs of the command line's case table.
// node module_test.mjs MODULE.js TALOMA-ID CASES.txt
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { createRequire } from "node:module";
import { expect, finish } from "./harness.mjs";

const [modulePath, talomaId, casesPath] = process.argv.slice(2);
// The module is handed to its loader, as the page hands it.
const wasmBinary = readFileSync(modulePath.replace(/\.js$/, ".wasm"));
const module = await createRequire(import.meta.url)(modulePath)({ wasmBinary });
// taloma-id's output, whatever its exit status (1 when a number is invalid).
const id = (args, input) => {
  try {
    return execFileSync(talomaId, args, { input, encoding: "utf8", env: { LC_ALL: "C.UTF-8" } });
  } catch (failed) {
    if (failed.status !== 1) throw failed;
    return failed.stdout;
  }
};

// Seeded batches: place row 0 is every place and either sex, as taloma-id gen without -p.
const kinds = ["national", "resident", "resident-old"];
const letters = "ABCDEFGHJKLMNPQRSTUVXYWZIO";
for (const [count, place, sex, kind, categories, seed] of [
  [100, 0, 0, 0, 0, 42], [50, 1, 0, 0, 0, 7], [50, 26, 1, 0, 0, 9], [40, 0, 0, 1, 0, 3],
  [40, 24, 1, 2, 0, 5], [30, 0, 0, 1, 0b1010, 11],
]) {
  const args = ["gen", "--seed", String(seed), "-n", String(count), "-k", kinds[kind]];
  if (place !== 0) args.push("-p", letters[place - 1], "--sex", sex ? "female" : "male");
  const chosen = ["foreign", "unregistered", "hong-kong-macao", "mainland-china"]
    .filter((_, bit) => categories & (1 << bit));
  if (chosen.length) args.push("--category", chosen.join(","));
  const batch = module.generate(count, place, sex, kind, categories, 0, seed);
  expect(`taloma-id ${args.join(" ")}`, batch.numbers, id(args).trim().split("\n"));
}

// The other kinds, drawn and checked: the numbers of taloma-id gen -k, and its Chinese sentences.
const formKinds = ["business", "certificate", "carrier", "donation", "mobile"];
for (const [i, kind] of formKinds.entries()) {
  const code = 3 + i;
  if (kind !== "mobile") {
    expect(`taloma-id gen -k ${kind}`, module.formGenerate(20, code, 0, 99),
      id(["gen", "--seed", "99", "-n", "20", "-k", kind]).trim().split("\n"));
  }
  const inputs = ["04595257", "12345678", "AB12345678901234", "/ABC+123", "/abc+123", "001",
    "0912-345-678", "+886 912 345 678", "0812345678", "1234567a"];
  const said = id(["--lang", "zh-TW", "check", "-k", kind], inputs.join("\n")).trim().split("\n");
  expect(`formCheck -k ${kind}`, inputs.map((input) => `${input}: ${module.formCheck(input, code).caption}`),
    said);
}
expect("no mobile numbers drawn", module.formGenerate(5, 7, 0, 1), []);

// Verdicts: every input the case table shows a jsonl verdict for, and more of every kind.
const inputs = [...readFileSync(casesPath, "utf8").matchAll(/^> \{"input":"((?:[^"\\]|\\.)*)"/gm)]
  .map((match) => JSON.parse(`"${match[1]}"`))
  .filter((input) => !input.includes("\n") && !input.endsWith("…"));
inputs.push(...id(["gen", "--seed", "1", "-n", "30", "-k", "resident"]).trim().split("\n"));
const sentences = id(["--lang", "zh-TW", "check", "-k", "resident,resident-old"], inputs.join("\n"));
const expected = new Map();
for (const line of sentences.split("\n")) {
  const split = line.lastIndexOf(": ");
  if (split > 0) expected.set(line.slice(0, split), line.slice(split + 2));
}
for (const input of inputs) {
  if (!expected.has(input)) continue;
  expect(`check ${input}`, module.check(input, 0b110).caption,
    expected.get(input));
}
finish();
