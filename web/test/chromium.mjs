// Debian's Chromium, headless, driven by puppeteer-core, for the browser tests, the page's
// benchmark and its screenshots: started with a profile of its own, which close() removes.
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import puppeteer from "puppeteer-core";

export async function launchChromium(extraArgs = []) {
  const profile = mkdtempSync(join(tmpdir(), "vessane-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync",
           `--user-data-dir=${profile}`, ...extraArgs],
  });
  return {
    browser,
    async close() {
      await browser.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// Opens the page and waits for its first result.
export async function openPage(page, url) {
  await page.goto(url, { waitUntil: "load" });
  await page.waitForSelector("html[data-ready]");
}

// Pins the clock of every document the page opens from now on: `new Date()` and `Date.now()`
// start at `instant` and then run at the real pace (so timers and token lifetimes behave),
// and the time zone is fixed. What a page computes against today (ages, stale marks, the
// summary's date) then does not depend on the day the test runs.
export async function pinClock(page, instant, timeZone = "Europe/Paris") {
  await page.emulateTimezone(timeZone);
  await page.evaluateOnNewDocument((start) => {
    const RealDate = Date;
    const offset = start - RealDate.now();
    globalThis.Date = class extends RealDate {
      constructor(...args) {
        super(...(args.length ? args : [RealDate.now() + offset]));
      }
      static now() {
        return RealDate.now() + offset;
      }
    };
  }, Date.parse(instant));
}

// Prints the page as Chromium prints it (A4), and returns its number of pages and its
// text as pdftotext reads it.
export async function printed(page) {
  const { execFileSync } = await import("node:child_process");
  const folder = mkdtempSync(join(tmpdir(), "vessane-print-"));
  try {
    const pdf = join(folder, "sheet.pdf");
    await page.pdf({ path: pdf, format: "A4" });
    const pages = Number(/Pages:\s+(\d+)/.exec(execFileSync("pdfinfo", [pdf], { encoding: "utf8" }))[1]);
    const text = execFileSync("pdftotext", ["-layout", pdf, "-"], { encoding: "utf8" });
    return { pages, text: text.replace(/\s+/g, " ") };
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}
