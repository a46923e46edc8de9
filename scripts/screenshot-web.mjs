// Takes the web page's pictures for the README, docs/web-desktop.png and
// docs/web-phone.png, in headless Chromium (see scripts/screenshot-web.sh).
import { resolve } from "node:path";
import { launchChromium, openPage } from "../web/test/chromium.mjs";
import { startServer } from "../web/test/server.mjs";

const [site, docs] = process.argv.slice(2).map((path) => resolve(path));
const server = await startServer(site);
const chromium = await launchChromium();
try {
  const page = await chromium.browser.newPage();
  const views = [
    ["web-desktop.png", { width: 1280, height: 800 }],
    ["web-phone.png", { width: 390, height: 844, isMobile: true, hasTouch: true }],
  ];
  for (const [name, viewport] of views) {
    await page.setViewport(viewport);
    await openPage(page, server.url);
    await page.screenshot({ path: `${docs}/${name}` });
  }
} finally {
  await chromium.close();
  await server.stop();
}
