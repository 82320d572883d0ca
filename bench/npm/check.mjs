// The npm package's check against taiwan-id-validator (the fastest identity validator on npm, a
// test dependency only) on one million strings of mixed input, alternated rounds in one process:
// the columns, the bulk form and one call a string, each against the validator's one call a
// string, and against the floor of reading every character of the strings.
// node check.mjs PACKAGE-FOLDER ORACLE-FOLDER [ROUNDS]
import { createRequire } from "node:module";
import { join, resolve } from "node:path";

const [packageFolder, oracleFolder, rounds = "5"] = process.argv.slice(2).map((a, i) => (i < 2 ? resolve(a) : a));
const require = createRequire(import.meta.url);
const taloma = require(join(packageFolder, "taloma.cjs"));
const oracle = require(join(oracleFolder, "taiwan-id-validator"));
await taloma.ready;

// Of every ten: six valid numbers of the three kinds, a wrong check digit, a lower-case letter, a
// short string and a digit replaced, as taloma-id's benchmark has them.
const numbers = [
  ...taloma.generate({ count: 600_000, seed: 1, kind: "national" }),
  ...taloma.generate({ count: 250_000, seed: 2, kind: "resident" }),
  ...taloma.generate({ count: 150_000, seed: 3, kind: "resident-old" }),
];
const inputs = numbers.map((n, i) => {
  switch (i % 10) {
    case 6: return n.slice(0, 9) + ((Number(n[9]) + 1) % 10);
    case 7: return n.toLowerCase();
    case 8: return n.slice(0, 7);
    case 9: return `${n.slice(0, 4)}X${n.slice(5)}`;
    default: return n;
  }
});

const time = (work) => {
  const start = process.hrtime.bigint();
  const result = work();
  return [Number(process.hrtime.bigint() - start) / 1e6, result];
};
// What no check that starts from JavaScript strings can go below: reading their characters.
const readAll = () => {
  let sum = 0;
  for (const text of inputs) for (let i = 0; i < text.length; ++i) sum += text.charCodeAt(i);
  return sum;
};
// The valid count of the ways that give a value an input; the columns count theirs in one pass.
const counted = (values, isValid) => {
  let n = 0;
  for (let i = 0; i < values.length; ++i) if (isValid(values[i])) ++n;
  return n;
};
const sum = (column) => {
  let n = 0;
  for (let i = 0; i < column.length; ++i) n += column[i];
  return n;
};
const figures = { oracle: [], columns: [], bulk: [], single: [], read: [] };
for (let round = 0; round < Number(rounds); ++round) {
  figures.read.push(time(readAll)[0]);
  const [o, validO] = time(() => counted(inputs, (s) => oracle.isIdCardNumber(s)));
  const [c, validC] = time(() => sum(taloma.checkColumns(inputs).valid));
  const [b, validB] = time(() => counted(taloma.check(inputs), (v) => v.valid));
  const [s, validS] = time(() => counted(inputs, (x) => taloma.check(x).valid));
  if (new Set([validO, validC, validB, validS]).size !== 1) {
    throw new Error(`valid counts differ: ${validO} ${validC} ${validB} ${validS}`);
  }
  figures.oracle.push(o);
  figures.columns.push(c);
  figures.bulk.push(b);
  figures.single.push(s);
}
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const [o, c, b, s, r] = ["oracle", "columns", "bulk", "single", "read"].map((name) => median(figures[name]));
const rate = (ms) => `${(inputs.length / ms / 1000).toFixed(2)} M/s`;
const bar = (value, least) => (value >= least ? "met" : "NOT met");
console.log(`| taiwan-id-validator isIdCardNumber, 10^6 mixed strings | ${o.toFixed(0)} ms (${rate(o)}) | | |`);
console.log(`| floor: reading every character of the same strings, nothing checked | ${r.toFixed(0)} ms, ${(o / r).toFixed(1)} x | | |`);
console.log(`| taloma checkColumns(array), the same | ${c.toFixed(0)} ms (${rate(c)}), ${(o / c).toFixed(1)} x, ${(c / r).toFixed(2)} x the floor's time | >= 10 x | ${bar(o / c, 10)} |`);
console.log(`| taloma check(array), rows | ${b.toFixed(0)} ms (${rate(b)}), ${(o / b).toFixed(1)} x, ${(s / b).toFixed(2)} x the speed of one call each | >= 1 x one call each | ${bar(s / b, 1)} |`);
console.log(`| taloma check(string), one call each | ${s.toFixed(0)} ms (${rate(s)}), ${(o / s).toFixed(1)} x | >= 5 x | ${bar(o / s, 5)} |`);
