// Debian's Chromium, headless, driven by puppeteer-core, for the browser tests, the page's
// benchmark and its screenshots: started with a profile of its own, which close() removes.
import { mkdtempSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import puppeteer from "puppeteer-core";

export async function launchChromium() {
  const profile = mkdtempSync(join(tmpdir(), "vessane-chromium-"));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync",
           `--user-data-dir=${profile}`],
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
