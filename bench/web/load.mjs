// How soon the page is ready beside a blank page, in headless Chromium from file://: from the
// start of navigation until the page is both drawn (its first paint) and ready (its "taloma-ready"
// mark: module compiled, lists filled, the caret in the number box), against a blank page with one
// word, loaded and drawn; medians of 20 alternated loads, at the machine's own speed and with the
// CPU slowed four times, as on a phone.
// node load.mjs PAGE.html
import { writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { pathToFileURL } from "node:url";
// Chromium as the page's tests start it, with their puppeteer-core (npm ci in tests/web).
import { launchChromium } from "../../tests/web/harness.mjs";

const page = pathToFileURL(process.argv[2]).href;
const blankPath = join(tmpdir(), "taloma-blank.html");
// A word on it, so that it paints as the page does.
writeFileSync(blankPath, "<!doctype html><title>blank</title><p>blank</p>");
const blank = pathToFileURL(blankPath).href;

const browser = await launchChromium();
const tab = await browser.newPage();
const cdp = await tab.createCDPSession();
// Both times are the page's own, from the start of its navigation.
const toReady = async () => {
  await tab.goto(page);
  await tab.waitForSelector("html[data-ready]");
  // Usable once it is both ready and drawn: the later of its ready mark and its first paint.
  await tab.waitForFunction(() => performance.getEntriesByName("first-contentful-paint").length > 0);
  return tab.evaluate(() => Math.max(performance.getEntriesByName("taloma-ready")[0].startTime,
    performance.getEntriesByName("first-contentful-paint")[0].startTime));
};
const toBlank = async () => {
  await tab.goto(blank);
  await tab.waitForFunction(() => performance.getEntriesByType("navigation")[0].loadEventEnd > 0 &&
    performance.getEntriesByName("first-contentful-paint").length > 0);
  return tab.evaluate(() => Math.max(performance.getEntriesByType("navigation")[0].loadEventEnd,
    performance.getEntriesByName("first-contentful-paint")[0].startTime));
};
const median = (values) => values.sort((a, b) => a - b)[values.length >> 1];
const rows = [];
for (const [slowdown, bar] of [[1, 60], [4, 250]]) {
  await cdp.send("Emulation.setCPUThrottlingRate", { rate: slowdown });
  await toReady();  // the first load fills caches that every later one finds full
  await toBlank();
  const ready = [], blanks = [];
  for (let i = 0; i < 20; ++i) {
    ready.push(await toReady());
    blanks.push(await toBlank());
  }
  const [r, b] = [median(ready), median(blanks)];
  const cpu = slowdown === 1 ? "" : `, CPU ${slowdown}× slower`;
  rows.push(`| blank page, navigation to loaded and drawn${cpu} | ${b.toFixed(1)} ms | | |`,
    `| taloma.html, navigation to ready and drawn${cpu} | ${r.toFixed(1)} ms | | |`,
    `| difference${cpu} | ${(r - b).toFixed(1)} ms | <= ${bar} ms | ${r - b <= bar ? "met" : "NOT met"} |`);
}
await browser.close();
console.log(["| Figure | Measured | Bar | Result |", "|---|---|---|---|", ...rows].join("\n"));
