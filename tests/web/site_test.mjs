// The hosted folder, served from this machine's loopback as a web server would serve it: Chromium
// finds it installable (manifest, icon, service worker, no installability error), the worker
// keeps it, and with the server gone and the network off the page opens again and works.
// node site_test.mjs SITE-FOLDER
import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { join, extname } from "node:path";
import { expect, finish, launchChromium, newTab } from "./harness.mjs";

const [site] = process.argv.slice(2);

const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript",
  ".webmanifest": "application/manifest+json", ".png": "image/png" };
const server = createServer(async (request, response) => {
  const path = new URL(request.url, "http://here").pathname.replace(/\/$/, "/index.html");
  try {
    const body = await readFile(join(site, path.slice(1)));
    response.writeHead(200, { "Content-Type": types[extname(path)] ?? "application/octet-stream" });
    response.end(body);
  } catch {
    response.writeHead(404).end();
  }
});
await new Promise((done) => server.listen(0, "127.0.0.1", done));
const origin = `http://127.0.0.1:${server.address().port}`;

const browser = await launchChromium();
const page = await newTab(browser);
const elsewhere = [];
const problems = [];
page.on("request", (request) => request.url().startsWith(origin) || elsewhere.push(request.url()));
page.on("console", (message) => message.type() === "error" && problems.push(message.text()));
page.on("pageerror", (error) => problems.push(error.message));
const ready = () => page.waitForSelector("html[data-ready]");

await page.goto(`${origin}/`);
await ready();
// The worker is active once it has cached the folder.
await page.evaluate(() => navigator.serviceWorker.ready);
const cdp = await page.createCDPSession();
const manifest = await cdp.send("Page.getAppManifest");
expect("manifest read without errors", manifest.errors, []);
const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
expect("installability errors", installabilityErrors.map((e) => e.errorId), []);
expect("manifest", JSON.parse(manifest.data).name, await page.title());

// Offline: no server, no network; the worker serves the page, which still produces numbers.
await new Promise((done) => server.close(done));
server.closeAllConnections();
await page.setOfflineMode(true);
await page.reload();
await ready();
expect("served by the worker", await page.evaluate(() => navigator.serviceWorker.controller !== null),
  true);
await page.select("#cboHowmuch", "5");
await page.click("#cmdProduce");
expect("numbers produced offline", await page.$$eval("#lstNo [role=option]", (o) => o.length), 5);

expect("requests elsewhere", elsewhere, []);
expect("errors in the console", problems, []);
await browser.close();
finish();
