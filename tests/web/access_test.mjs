// The page as a phone and a keyboard user meet it: axe-core finds no WCAG 2.2 A/AA fault in any
// state, every control's focus ring stands out 3:1 against the page, and on a touch screen a tap
// on a selected number decodes it.
// node access_test.mjs PAGE.html
import { createRequire } from "node:module";
import { pathToFileURL } from "node:url";
import { expect, finish, launchChromium, newTab } from "./harness.mjs";

const [pagePath] = process.argv.slice(2);
const axe = createRequire(import.meta.url).resolve("axe-core/axe.min.js");

const browser = await launchChromium();
const page = await newTab(browser);
await page.setOfflineMode(true);
// axe-core comes in as an inline script, which the page's own policy would refuse.
await page.setBypassCSP(true);
await page.evaluateOnNewDocument(() => {
  navigator.clipboard.writeText = async () => {};
});

const open = async (viewport) => {
  await page.setViewport(viewport);
  await page.goto(pathToFileURL(pagePath).href);
  await page.waitForSelector("html[data-ready]");
  await page.addScriptTag({ path: axe });
};
const audit = async (state) => {
  const violations = await page.evaluate(async () => (await window.axe.run(document, {
    runOnly: { type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22aa"] },
  })).violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`));
  expect(`axe-core, ${state}`, violations, []);
};
const value = (selector) => page.$eval(selector, (element) => element.value);
const option = (n) => `#lstNo [role=option]:nth-child(${n})`;

for (const [name, viewport] of [["phone", { width: 360, height: 780, hasTouch: true, isMobile: true }],
  ["desktop", { width: 1280, height: 900 }]]) {
  await open(viewport);
  await audit(`${name}, opening`);
  await page.select("#cboHowmuch", "5");
  await page.click("#cmdProduce");
  await page.click(option(2));
  await page.focus("#lstNo");
  await audit(`${name}, a batch with one number selected`);
  // Targets of 24 px or more, whether or not spacing would excuse smaller ones.
  const small = await page.$$eval("input, select, button, [role=option]", (targets) => targets
    .filter((target) => target.offsetParent !== null)
    .filter((target) => {
      const { width, height } = target.getBoundingClientRect();
      return width < 24 || height < 24;
    }).map((target) => target.id));
  expect(`${name}: targets under 24 px`, small, []);
  await page.type("#txtOther", "1234");
  await page.click("#cmdOtherCheck");
  await audit(`${name}, a wrong number of another kind`);
  await page.click("#cmdAbout");
  await audit(`${name}, About`);
}

// Every control the Tab key reaches wears a ring of at least 2 px, 3:1 against the page.
await open({ width: 1280, height: 900 });
await page.click("#cmdProduce");
const rings = new Map();
for (let step = 0; step < 40; step += 1) {
  await page.keyboard.press("Tab");
  const ring = await page.evaluate(() => {
    const element = document.activeElement;
    if (element === document.body) return ["(past the last control)", true];
    const style = getComputedStyle(element);
    const luminance = (colour) => {
      const [r, g, b] = colour.match(/\d+(\.\d+)?/g).slice(0, 3).map((c) => {
        const v = Number(c) / 255;
        return v <= 0.03928 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4;
      });
      return 0.2126 * r + 0.7152 * g + 0.0722 * b;
    };
    const [a, b] = [style.outlineColor, getComputedStyle(document.documentElement).backgroundColor]
      .map(luminance).sort((x, y) => y - x);
    const wide = style.outlineStyle !== "none" && parseFloat(style.outlineWidth) >= 2;
    return [element.id, wide && (a + 0.05) / (b + 0.05) >= 3];
  });
  rings.set(...ring);
}
expect("controls reached by Tab", rings.size > 15, true);
expect("controls without a ring of 3:1", [...rings].filter(([, good]) => !good).map(([id]) => id), []);

// On a touch screen: a tap selects a number, a second tap on it decodes it.
await open({ width: 360, height: 780, hasTouch: true, isMobile: true });
await page.click("#cmdProduce");
const tap = async (selector) => {
  const { x, y, width, height } = await (await page.$(selector)).boundingBox();
  await page.touchscreen.tap(x + width / 2, y + height / 2);
};
await page.$eval(option(1), (item) => item.scrollIntoView());
await tap(option(1));
const first = await page.$eval(option(1), (item) => item.textContent);
expect("one tap selects", [await page.$eval(option(1), (i) => i.ariaSelected), await value("#txtNo")],
  ["true", ""]);
await tap(option(1));
expect("a second tap decodes", await value("#txtNo"), first);
await browser.close();
finish();
