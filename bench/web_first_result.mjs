// The web page's speed and size: navigation to the first result shown (median of 5 loads
// in headless Chromium, the site served from 127.0.0.1) and the site's bytes, raw and
// gzipped. A benchmark, not a test: it prints, and asserts nothing.
//   node bench/web_first_result.mjs [SITE]      (default build/web/site)
import { readdirSync, readFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { gzipSync } from "node:zlib";
import { launchChromium, openPage } from "../web/test/chromium.mjs";
import { startServer } from "../web/test/server.mjs";

const site = resolve(process.argv[2] || "build/web/site");
let raw = 0, gzipped = 0;
for (const name of readdirSync(site)) {
  const body = readFileSync(join(site, name));
  raw += body.length;
  gzipped += gzipSync(body, { level: 9 }).length;
}
const server = await startServer(site);
const chromium = await launchChromium();
try {
  const page = await chromium.browser.newPage();
  const times = [];
  for (let i = 0; i < 6; ++i) {
    await openPage(page, server.url);
    const time = await page.evaluate(
      () => performance.getEntriesByName("vessane-first-result")[0].startTime);
    if (i > 0) times.push(time);  // the first load fills the cache
  }
  times.sort((a, b) => a - b);
  console.log(`site: ${raw} bytes, ${gzipped} bytes gzipped (target: <= 200 KB gzipped)`);
  console.log(`navigation to the first result: median ${times[2].toFixed(0)} ms of ` +
              `${times.map((t) => t.toFixed(0)).join(", ")} ms (target: <= 300 ms)`);
} finally {
  await chromium.close();
  await server.stop();
}
