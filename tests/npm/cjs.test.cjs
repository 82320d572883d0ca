// The installed package from CommonJS: the same module behind require().
const assert = require("node:assert/strict");
const { test } = require("node:test");
const taloma = require("taloma");

test("require() gives the same interface", async () => {
  await taloma.ready;
  assert.equal(taloma.check("A123456789").place, "台北市");
  assert.equal(taloma.check("A123456788").expected, "9");
  const verdicts = taloma.check(["F931415926", "x", "A123456789"]);
  assert.deepEqual(verdicts.map((v) => v.valid), [true, false, true]);
  assert.equal(Object.isFrozen(verdicts[0]), true);
  // Values that are not strings are read as their text; the caller's array is left as it was.
  const mixed = ["台A123456789", 10458570, "A123456789"];
  assert.deepEqual(taloma.check(mixed, { kinds: "national,business" }).map((v) => v.kind),
    [undefined, "business", "national"]);
  assert.equal(mixed[1], 10458570);
  assert.equal(taloma.generate({ count: 5, seed: 1 }).length, 5);
  assert.equal(taloma.redact("A123456789"), "A*********");
});
