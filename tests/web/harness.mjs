// What the web tests share: a check that counts failures and reports them at the end, and
// Debian's Chromium started headless with nothing of its own going to the network (puppeteer-core
// is loaded only then, so a test without a browser does not need it).

let failures = 0;
export const expect = (what, got, want) => {
  if (JSON.stringify(got) === JSON.stringify(want)) return;
  failures += 1;
  console.log(`FAIL ${what}\n  got  ${JSON.stringify(got)}\n  want ${JSON.stringify(want)}`);
};

// Prints the outcome and ends the process with it.
export const finish = () => {
  console.log(failures ? `${failures} failed` : "all passed");
  process.exit(failures ? 1 : 0);
};

export const launchChromium = async () => (await import("puppeteer-core")).default.launch({
  executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
  headless: true,
  timeout: 0,
  args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--no-first-run",
    "--disable-component-update", "--disable-sync", "--disable-quic"],
});

// A tab with no waits of its own on the clock: a slow, busy machine only makes a test slower, and
// CTest's time limit catches a page that never gets ready.
export const newTab = async (browser) => {
  const tab = await browser.newPage();
  tab.setDefaultTimeout(0);
  tab.setDefaultNavigationTimeout(0);
  return tab;
};
