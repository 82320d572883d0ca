// The page in Debian's Chromium, headless, opened from file:// with the network off, used as a
// person would: typing, pasting, checking, clearing and cutting, producing, selecting and copying,
// the postal panel, decoding, About, and all of it again from the keyboard. It counts every request
// the page makes (none may go out) and saves screenshots at 360 and 1280 pixels.
// node page_test.mjs PAGE.html ARTEFACTS-FOLDER
import { mkdirSync } from "node:fs";
import { pathToFileURL } from "node:url";
import { expect, finish, launchChromium, newTab } from "./harness.mjs";

const [pagePath, artefacts] = process.argv.slice(2);
const url = pathToFileURL(pagePath).href;

const browser = await launchChromium();
const page = await newTab(browser);
const requests = [];
const problems = [];
page.on("request", (request) => requests.push(request.url()));
page.on("console", (message) => message.type() === "error" && problems.push(message.text()));
page.on("pageerror", (error) => problems.push(error.message));
await page.setOfflineMode(true);
// What the page puts on the clipboard, kept where the test can read it.
await page.evaluateOnNewDocument(() => {
  // Audio contexts made, for the beeps.
  window.audioContexts = 0;
  const Real = window.AudioContext;
  window.AudioContext = class extends Real {
    constructor() { super(); window.audioContexts += 1; }
  };
  window.copied = [];
  navigator.clipboard.writeText = async (text) => { window.copied.push(text); };
});

const open = async (width) => {
  await page.setViewport({ width, height: 900 });
  await page.goto(url);
  await page.waitForSelector("html[data-ready]");
};
const value = (selector) => page.$eval(selector, (element) => element.value);
const text = (selector) => page.$eval(selector, (element) => element.textContent);
const focused = () => page.evaluate(() => document.activeElement.id);
const selection = () => page.$eval("#txtNo", (box) => [box.selectionStart, box.selectionEnd]);
// Presses `key` in the open dialog `id` and waits for its close event, which runs after the
// dialog has closed and gives the focus back where the page wants it.
const closeWith = async (id, key) => {
  await page.$eval(id, (dialog) => {
    window.dialogClosed = new Promise((done) =>
      dialog.addEventListener("close", () => setTimeout(done), { once: true }));
  });
  await page.keyboard.press(key);
  await page.evaluate(() => window.dialogClosed);
};
const copied = () => page.evaluate(() => window.copied.at(-1));
const numbers = () => page.$$eval("#lstNo [role=option]", (items) => items.map((i) => i.textContent));
const listed = (n) => `#lstNo [role=option]:nth-child(${n})`;
const paste = (pasted, into = "#txtNo") => page.$eval(into, (box, data) => {
  box.focus();
  box.select();
  box.dispatchEvent(new InputEvent("beforeinput", {
    inputType: "insertFromPaste", data, bubbles: true, cancelable: true }));
}, pasted);
const typeNumber = async (number) => {
  await page.$eval("#txtNo", (box) => { box.value = ""; box.focus(); });
  await page.keyboard.type(number);
};

await open(1280);
expect("title", await page.title(), "Taloma v2.0 (身分證字號產生器)");
expect("welcome", await text("#lblTel"), "歡迎使用Taloma v2.0\n身分證字號產生器");
expect("caret in the number box", await focused(), "txtNo");
// Every control has a name a screen reader announces.
const unnamed = await page.evaluate(() => [...document.querySelectorAll("input, select, button")]
  .filter((control) => !(control.labels?.[0]?.textContent.trim() || control.textContent.trim() ||
    control.getAttribute("aria-labelledby"))).map((control) => control.id));
expect("controls without a name", unnamed, []);

// Typed, a number is upper-cased; at ten characters the check takes the focus.
await typeNumber("a123456789");
expect("typed", await value("#txtNo"), "A123456789");
expect("focus after ten", await focused(), "cmdCheck");
await page.keyboard.press("Enter");
expect("valid", await text("#lblTel"), "這是正確的男性身分證字號戶籍地在台北市");
expect("cut mode", [await text("#cmdClear"), await focused()], ["剪下號碼", "cmdClear"]);
// A digit that the full box refuses changes nothing, the cut mode and the focus included.
await page.focus("#txtNo");
await page.keyboard.press("5");
expect("a refused key", [await value("#txtNo"), await text("#cmdClear"), await focused()],
  ["A123456789", "剪下號碼", "txtNo"]);
await page.focus("#cmdClear");
await page.keyboard.press("Enter");
expect("cut", [await copied(), await value("#txtNo"), await text("#lblTel")],
  ["A123456789", "", "已經成功的將身分證字號移到剪貼簿中!!"]);

// Pasted, it keeps its case and loses what nobody sees; a fault of form is a message box.
await paste("\u200Ba123456789");
expect("pasted", await value("#txtNo"), "a123456789");
await page.click("#cmdCheck");
expect("box", [await text("#boxTitle"), await text("#boxText")],
  ["<錯誤>", "身分證第一碼應為大寫英文字母!!"]);
await closeWith("#box", "Enter");
expect("after the box", [await focused(), await selection()], ["txtNo", [0, 1]]);
// Any identity kind is checked, whatever kind 產生號碼 is set to make.
await typeNumber("A800000014");
await page.keyboard.press("Enter");
expect("a resident number checked", await text("#lblTel"),
  "這是正確的男性新式居留證號，字首 A 為台北市，外國人或無國籍人士");
for (const [typed, caption, selected] of [["A123456788", "最後一碼檢測碼應為9", [9, 10]],
  ["A12345678X", null, [2, 10]], ["A123456780", "最後一碼檢測碼應為9", [9, 10]]]) {
  await typeNumber(typed);
  await page.keyboard.press("Enter");
  if (caption) expect(`${typed} caption`, await text("#lblTel"), caption);
  else await closeWith("#box", "Enter");
  expect(`${typed} selection`, await selection(), selected);
  expect(`${typed}: one audio context for all beeps`, await page.evaluate(() => window.audioContexts), 1);
}
await typeNumber("A12");
await page.click("#cmdClear");
expect("cleared", [await value("#txtNo"), await text("#lblTel")], ["", "資料已清除!!"]);

// The postal panel follows the place.
await page.select("#cboPlace", "1");
expect("台北市", [await text("#lblZonenum"), await text("#lblAreacode"),
  (await value("#lstZonenum")) || (await page.$eval("#lstZonenum", (l) => l.options[0].value))],
["台北市郵遞區號", "022", "中正區  100"]);
await page.select("#cboPlace", "22");
expect("陽明山", await page.$$eval("#lstZonenum option", (o) => o.map((x) => x.value)),
  ["無特定郵遞區號"]);

// Producing, selecting and copying; a particular place gives numbers that do not decode.
await page.select("#cboHowmuch", "5");
await page.click("#optGirl");
await page.click("#cmdProduce");
const taipei = await numbers();
expect("five of 陽明山", [taipei.length, taipei.every((n) => /^Y2\d{8}$/.test(n))], [5, true]);
expect("produced", await text("#lblTel"), "產生了5組戶籍地在\n陽明山的女性身分證字號!!");
await page.click(listed(3));
await page.keyboard.down("Control");
await page.click(listed(1));
await page.keyboard.up("Control");
await page.click("#cmdCopy");
expect("copied in list order", await copied(), `${taipei[0]}\r\n${taipei[2]}\r\n`);
await page.click("#cmdSelectall");
expect("copied all", [await copied(), await text("#lblTel")],
  [taipei.map((n) => `${n}\r\n`).join(""), "已成功的將全部的身分證字號複製到剪貼簿中!!"]);

// From the keyboard alone: a batch of any place; Shift extends, Ctrl moves the focus alone, and
// Enter decodes the number with the focus, not the first one selected.
await page.select("#cboPlace", "0");
await page.focus("#cmdProduce");
await page.keyboard.press("Enter");
expect("the hint under the list", await page.$eval("#decodeHint", (p) => p.hidden), false);
await page.focus("#lstNo");
await page.keyboard.press("ArrowDown");
await page.keyboard.down("Shift");
await page.keyboard.press("ArrowDown");
await page.keyboard.up("Shift");
await page.keyboard.down("Control");
await page.keyboard.press("ArrowDown");
await page.keyboard.up("Control");
const drawn = await numbers();
const selectedNow = () => page.$$eval("#lstNo [aria-selected=true]", (s) => s.map((i) => i.textContent));
expect("selected from the keyboard", await selectedNow(), drawn.slice(0, 2));
await page.keyboard.press("Enter");
expect("decoded into the box", [await value("#txtNo"), await focused()], [drawn[2], "cmdClear"]);
expect("decoded", (await text("#lblTel")).startsWith("這是一位戶籍地在\n「"), true);

// Resident numbers of a chosen category, checked as such.
await page.select("#cboKind", "1");
await page.select("#cboCategory", "4");
await page.click("#cmdProduce");
const residents = await numbers();
expect("resident, Hong Kong or Macao", residents.every((n) => /^[A-Z][89]8\d{7}$/.test(n)), true);
expect("resident batch caption", (await text("#lblTel")).endsWith("\n字首與性別不指定的新式居留證號!!"), true);
await typeNumber(residents[0]);
await page.keyboard.press("Enter");
expect("resident checked", (await text("#lblTel")).endsWith("，香港或澳門居民"), true);

// 其他號碼: ten 統一編號 drawn, copied, one picked and checked with Enter; no mobile numbers drawn.
await page.select("#cboOtherKind", "3");
await page.click("#cmdOtherProduce");
const others = await page.$$eval("#lstOther option", (options) => options.map((o) => o.value));
expect("ten business numbers", [others.length, others.every((n) => /^\d{8}$/.test(n))], [10, true]);
await page.click("#cmdOtherCopy");
expect("business numbers copied", await page.evaluate(() => window.copied.at(-1)),
  others.map((n) => `${n}\r\n`).join(""));
await page.select("#lstOther", others[0]);
await page.focus("#txtOther");
await page.keyboard.press("Enter");
expect("business checked", [await value("#txtOther"), await text("#lblOther")],
  [others[0], "這是正確的統一編號"]);
// A new number, typed or pasted, clears the last verdict, and the empty message area is no box;
// a pasted number loses the white space around it and what nobody sees, as in the number box.
await page.keyboard.press("Backspace");
expect("typing clears the verdict", await text("#lblOther"), "");
await page.keyboard.press("Enter");
await paste(`\u3000 ${others[1]}\u200B\t`, "#txtOther");
expect("pasted", await page.$eval("#lblOther", (area) => [area.textContent,
  getComputedStyle(area).borderTopStyle, getComputedStyle(area).backgroundColor,
  document.getElementById("txtOther").value]), ["", "none", "rgba(0, 0, 0, 0)", others[1]]);
await page.keyboard.press("Enter");
expect("pasted and checked", await text("#lblOther"), "這是正確的統一編號");
await page.select("#cboOtherKind", "7");
await page.click("#cmdOtherProduce");
expect("no mobile numbers", [await text("#lblOther"), (await page.$$("#lstOther option")).length],
  ["不產生手機號碼：任何一個都可能是真實的人在用的號碼。", 0]);
await page.$eval("#txtOther", (box) => { box.value = ""; });
await page.type("#txtOther", "0912-345-67x");
await page.keyboard.press("Enter");
expect("mobile checked", await text("#lblOther"),
  "手機號碼應以 09 或 +886 9 開頭，其後為數字，可用空格或連字號分組，第 12 碼不符");

// About, with the version and the mail link; the caret goes back to the number box.
await page.click("#cmdAbout");
expect("About", [await text("#lblInfo"), await page.$eval("#lblMail2", (a) => a.href)],
  ["程式名稱：Taloma v2.0\n用途：身分證字號產生器\n完成日期：1999/6/6", "mailto:taloma@example.org"]);
await closeWith("#frmAbout", "Enter");
expect("after About", [await page.$eval("#frmAbout", (d) => d.open), await focused()],
  [false, "txtNo"]);

mkdirSync(artefacts, { recursive: true });
for (const width of [360, 1280]) {
  await open(width);
  const overflow = await page.evaluate(() => document.documentElement.scrollWidth > innerWidth);
  expect(`no sideways scrolling at ${width} px`, overflow, false);
  await page.screenshot({ path: `${artefacts}/page-${width}.png`, fullPage: true });
}
expect("ready: the note that the page needs WebAssembly is gone", await page.$("#needsWasm"), null);
expect("requests other than the page itself", requests.filter((r) => r !== url), []);
expect("errors in the console", problems, []);

// A browser that will not compile so large a module on its main thread gets it compiled in the
// background, and the page works all the same.
const refusing = await newTab(browser);
await refusing.evaluateOnNewDocument(() => {
  WebAssembly.Module = function () { throw new RangeError("too large to compile here"); };
});
await refusing.goto(url);
await refusing.waitForSelector("html[data-ready]");
await refusing.click("#cmdProduce");
expect("compiled in the background", await refusing.$$eval("#lstNo [role=option]", (o) => o.length), 1);
await refusing.close();

// Without WebAssembly, or without script, the form still reads in full, one line says why it does
// nothing, and every control shows that it does nothing.
const idle = (tab) => tab.evaluate(() => [...["needsWasm", "cmdProduce", "lblTel"].map((id) =>
  document.getElementById(id).textContent), [...document.querySelectorAll("main :is(input, select, button)")]
  .filter((control) => !control.disabled).map((control) => control.id)]);
const idleForm = ["此頁需要 WebAssembly", "產生號碼", "歡迎使用Taloma v2.0\n身分證字號產生器", []];
const withoutWasm = await newTab(browser);
await withoutWasm.evaluateOnNewDocument(() => { delete window.WebAssembly; });
await withoutWasm.goto(url);
expect("no WebAssembly", await idle(withoutWasm), idleForm);
await page.setJavaScriptEnabled(false);
await page.goto(url);
expect("no script", await idle(page), idleForm);
await browser.close();
finish();
