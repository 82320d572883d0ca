// taloma-id's verdicts on 統一編號, 自然人憑證, 手機條碼 and 捐贈碼 against an independent validator
// from npm (a test dependency only): 100,000 seeded random strings of each kind's shape, mostly
// right and sometimes one character off, and the edge cases: a seventh digit 7 under both rules
// of 統一編號, lower case, and full-width forms read with --normalize.
// node oracle_test.mjs TALOMA-ID
import { execFileSync } from "node:child_process";
import * as oracle from "taiwan-id-validator";

const [talomaId] = process.argv.slice(2);
const perKind = 100_000;

// mulberry32: the same strings on every run.
let state = 20261207;
const random = () => {
  state = (state + 0x6d2b79f5) | 0;
  let t = Math.imul(state ^ (state >>> 15), 1 | state);
  t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
};
const pick = (chars) => chars[Math.floor(random() * chars.length)];
const digits = "0123456789";
const capitals = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const odd = "abz_ *#/+.-０Ａé";  // what a string one character off may hold
// `length` characters of `chars`, each one now and then from `odd`.
const shaped = (length, chars) =>
  Array.from({ length }, () => (random() < 0.02 ? pick(odd) : pick(chars))).join("");
const around = (length) => length + (random() < 0.1 ? pick([-1, 1]) : 0);

const kinds = {
  business: {
    valid: (s) => oracle.isBan(s),
    draw: () => shaped(around(8), digits),
  },
  certificate: {
    valid: (s) => oracle.isCdcNumber(s),
    draw: () => shaped(2, random() < 0.9 ? capitals : capitals.toLowerCase()) +
      shaped(around(14), digits),
  },
  carrier: {
    valid: (s) => oracle.isMobileBarcode(s),
    draw: () => (random() < 0.95 ? "/" : pick(odd)) +
      shaped(around(7), random() < 0.9 ? `${digits}${capitals}.-+` : `${digits}abcxyz.-+`),
  },
  donation: {
    valid: (s) => oracle.isDonateCode(s),
    draw: () => shaped(2 + Math.floor(random() * 7), digits),
  },
};

// taloma-id's verdicts on `inputs`, one a line, in order.
const verdicts = (args, inputs) => {
  let out;
  try {
    out = execFileSync(talomaId, ["check", "-f", "jsonl", ...args], {
      input: inputs.join("\n"), encoding: "utf8", maxBuffer: 1 << 28, env: { LC_ALL: "C.UTF-8" },
    });
  } catch (failed) {
    if (failed.status !== 1) throw failed;
    out = failed.stdout;
  }
  return out.trim().split("\n").map((line) => JSON.parse(line).valid);
};

let failures = 0;
const compare = (what, args, inputs, oracleOf) => {
  const ours = verdicts(args, inputs);
  const differ = inputs.filter((input, i) => ours[i] !== oracleOf(input));
  const valid = ours.filter(Boolean).length;
  console.log(`${what}: ${inputs.length} strings, ${valid} valid, ${differ.length} disagreements`);
  if (ours.length !== inputs.length || differ.length > 0) {
    failures += 1;
    console.log(`  first: ${JSON.stringify(differ.slice(0, 5))} (${ours.length} rows)`);
  }
};

const toFullWidth = (s) =>
  [...s].map((c) => (c > " " && c <= "~" ? String.fromCharCode(c.charCodeAt(0) + 0xfee0) : c)).join("");

for (const [kind, { valid, draw }] of Object.entries(kinds)) {
  const inputs = Array.from({ length: perKind }, draw);
  compare(kind, ["-k", kind], inputs, valid);
  const right = inputs.filter(valid).slice(0, 2000);
  compare(`${kind}, full width with --normalize`, ["-k", kind, "--normalize"],
    right.map(toFullWidth), () => true);
  compare(`${kind}, lower case`, ["-k", kind], inputs.map((s) => s.toLowerCase()).slice(0, 5000),
    valid);
}

// 統一編號 with a seventh digit 7 (28 counts 10, and the sum plus 1 may pass), by both rules.
const sevens = Array.from({ length: 20_000 }, () => `${shaped(6, digits)}7${pick(digits)}`)
  .filter((s) => /^\d{8}$/.test(s));
compare("business, seventh digit 7", ["-k", "business"], sevens, (s) => oracle.isBan(s));
const old = (s) => oracle.isBan(s, { applyOldRules: true });
compare("business, seventh digit 7, before 2023", ["-k", "business", "--before-2023"], sevens, old);
compare("business, before 2023", ["-k", "business", "--before-2023"],
  Array.from({ length: perKind }, kinds.business.draw), old);

// What gen draws passes the oracle: by both rules unless --since-2023, then by the new one alone.
const generated = (args) => execFileSync(talomaId, ["gen", "--seed", "5", "-n", "20000", ...args],
  { encoding: "utf8" }).trim().split("\n");
for (const kind of Object.keys(kinds)) {
  const numbers = generated(["-k", kind]);
  const wrong = numbers.filter((n) => !kinds[kind].valid(n) || (kind === "business" && !old(n)));
  console.log(`gen -k ${kind}: ${numbers.length} numbers, ${wrong.length} the oracle rejects`);
  if (wrong.length > 0) failures += 1;
}
const since = generated(["-k", "business", "--since-2023"]);
const notSince = since.filter((n) => !oracle.isBan(n) || old(n));
console.log(`gen -k business --since-2023: ${notSince.length} not valid by the new rule alone`);
if (notSince.length > 0) failures += 1;

console.log(failures ? `${failures} failed` : "all passed");
process.exit(failures ? 1 : 0);
