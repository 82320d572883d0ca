// Time from navigation to the first verdict shown on the page, beside the time to load a blank
// page, in headless Chromium from file://: medians of 20 loads each, alternated.
// node load.mjs PAGE.html
import { writeFileSync } from "node:fs";
import { createRequire } from "node:module";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";

// puppeteer-core as the page's tests install it (scripts/test, npm ci in tests/web).
const puppeteer = createRequire(new URL("../../tests/web/package.json", import.meta.url))(
  "puppeteer-core");

const page = pathToFileURL(process.argv[2]).href;
const blankPath = join(tmpdir(), "taloma-blank.html");
writeFileSync(blankPath, "<!doctype html><title>blank</title>");
const blank = pathToFileURL(blankPath).href;

const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  headless: true,
  args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--no-first-run",
    "--disable-component-update", "--disable-sync"],
});
const tab = await browser.newPage();
const time = async (load) => {
  await tab.goto("about:blank");
  const start = performance.now();
  await load();
  return performance.now() - start;
};
const toVerdict = () => time(async () => {
  await tab.goto(page);
  await tab.waitForSelector("html[data-ready]");
  await tab.evaluate(() => {
    const box = document.getElementById("txtNo");
    box.value = "A123456789";
    box.dispatchEvent(new Event("input"));
    document.getElementById("cmdCheck").click();
  });
  await tab.waitForFunction(() => document.getElementById("lblTel").textContent.startsWith("這是正確"));
});
const toBlank = () => time(() => tab.goto(blank));
await toVerdict();  // the first load fills caches that every later one finds full
await toBlank();
const verdicts = [], blanks = [];
for (let i = 0; i < 20; ++i) {
  verdicts.push(await toVerdict());
  blanks.push(await toBlank());
}
await browser.close();
const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];
const [v, b] = [median(verdicts), median(blanks)];
console.log(`| Figure | Measured | Bar | Result |
|---|---|---|---|
| blank page, navigation to load | ${b.toFixed(1)} ms | | |
| taloma.html, navigation to the first verdict | ${v.toFixed(1)} ms | | |
| difference | ${(v - b).toFixed(1)} ms | <= 150 ms | ${v - b <= 150 ? "met" : "NOT met"} |`);
