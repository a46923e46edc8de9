// The page in a real browser: Debian's Chromium, headless, driven by puppeteer-core, the
// page served from 127.0.0.1 by a plain static server. Any console error or uncaught
// exception fails the test that caused it.
//   SITE=build/web/site node --test web/test/browser.test.mjs
// (Timings are measured by bench/web_first_result.mjs, pictures taken by
// scripts/screenshot-web.sh: tests only test.)
import { after, afterEach, before, beforeEach, describe, test } from "node:test";
import assert from "node:assert/strict";
import { readdirSync, readFileSync } from "node:fs";
import { join, resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";
import { launchChromium, openPage, pinClock, printed } from "./chromium.mjs";
import { startServer } from "./server.mjs";

const SITE = resolve(process.env.SITE || "build/web/site");
const AXE = fileURLToPath(new URL("../node_modules/axe-core/axe.min.js", import.meta.url));
const DESKTOP = { width: 1280, height: 800 };
const PHONE = { width: 390, height: 844, isMobile: true, hasTouch: true, deviceScaleFactor: 1 };

let server, chromium, page;
let problems = [];   // console errors and uncaught exceptions of the current test
let requests = [];   // requests the page made since it finished loading

const value = (id) => page.$eval(`#c${id}`, (element) => element.value);
const text = (id) => page.$eval(`#c${id}`, (element) => element.textContent);
const bar = () => page.$eval("#c1012", (element) => element.value);
const result = () => value(110);

async function open({ bypassCsp = false } = {}) {
  await page.setBypassCSP(bypassCsp);
  requests = [];
  await openPage(page, server.url);
  const loading = requests;
  requests = [];
  return loading;
}

// Replaces a field's text as a user would: select all, then type (each key an input).
async function type(id, keys) {
  await page.click(`#c${id}`, { count: 3 });
  await page.keyboard.press("Backspace");
  if (keys) await page.keyboard.type(keys);
}

async function choose(id, index) {
  await page.$eval(`#c${id}`, (select, i) => {
    select.selectedIndex = i;
    select.dispatchEvent(new Event("change", { bubbles: true }));
  }, index);
}

// A field's whole text replaced in one input, as a paste over a selection does.
async function insertReplacing(id, data) {
  await page.click(`#c${id}`, { count: 3 });
  await insert(id, data);
}

// Text arriving in one piece, as a paste or an input method delivers it.
async function insert(id, data) {
  await page.focus(`#c${id}`);
  const session = await page.createCDPSession();
  await session.send("Input.insertText", { text: data });
  await session.detach();
}

before(async () => {
  server = await startServer(SITE);
  chromium = await launchChromium();
  page = await chromium.browser.newPage();
  await pinClock(page, "2026-12-07T10:00:00+01:00");  // the printed date, whatever the day
  await page.setViewport(DESKTOP);
  page.on("console", (message) => {
    if (message.type() === "error") problems.push(`console: ${message.text()}`);
  });
  page.on("pageerror", (error) => problems.push(`exception: ${error.message}`));
  page.on("request", (request) => requests.push(request.url()));
});

after(async () => {
  await chromium?.close();
  await server?.stop();
});

beforeEach(async () => {
  problems = [];
  await page.setViewport(DESKTOP);
  await open();
});

afterEach(() => {
  assert.deepEqual(problems, [], "no console error and no uncaught exception");
});

describe("the form", () => {
  test("opens with the window's defaults, loading nothing but the site", async () => {
    assert.equal(await page.$eval("#c1004", (s) => s.options[s.selectedIndex].text), "Homme");
    assert.equal(await page.$eval("#c1005", (s) => s.options[s.selectedIndex].text), "g/L");
    const fields = [];
    for (const id of [101, 102, 103, 105, 106, 109]) fields.push(await value(id));
    assert.deepEqual(fields, ["50", "150", "90", "2.30", "0.50", "10"]);
    assert.deepEqual([await text(1010), await text(1011)], ["[0.78-4.68]", "[0.12-1.95]"]);
    for (const id of [1006, 1007, 1008]) {
      assert.equal(await page.$eval(`#c${id}`, (box) => box.checked), false);
    }
    assert.equal(await result(), "10.3 %");
    assert.equal(await bar(), 10);

    const loading = await open();
    assert.deepEqual(loading.filter((url) => !url.startsWith(server.url)), [], "only the site");
  });

  // Fills the form as a user would, from a row of a shared table (the batch's columns).
  async function fill(sex, age, sys, dia, total, hdl, unit, years, smoker, diabetes, lvh) {
    await choose(1004, sex === "Femme" ? 0 : 1);
    await choose(1005, unit === "mmol/L" ? 0 : 1);
    for (const [id, value] of [[1006, smoker], [1007, diabetes], [1008, lvh]]) {
      if (value === "1") await page.click(`#c${id}`);
    }
    for (const [id, value] of [[101, age], [102, sys], [103, dia], [105, total], [106, hdl],
                               [109, years]]) {
      await insertReplacing(id, value);
    }
  }
  // A shared table's rows: a quoted cell may hold a comma.
  const table = (name) => readFileSync(new URL(`../../tests/data/${name}`, import.meta.url), "utf8")
    .trim().split("\n").map((line) =>
      [...line.matchAll(/(?:"([^"]*)"|([^,]*))(?:,|$)/g)].map((m) => m[1] ?? m[2]).slice(0, 13));

  test("\"Et si…\" shows the lines every front end shares, and none on ERREUR", async () => {
    for (const [name, ...row] of table("what_if.csv").slice(1)) {
      await open();
      await fill(...row.slice(0, 11));
      const shown = await page.$eval("#what-if", (e) =>
        e.hidden ? "" : [...e.querySelectorAll("li")].map((li) => li.textContent).join(" | "));
      assert.equal(shown, row[11], name);
    }
    await type(101, "29");
    assert.equal(await page.$eval("#what-if", (e) => e.hidden), true);
    // The lines follow the unit shown at once, on the page and on the printed sheet.
    await open();
    await choose(1005, 0);
    const lines = await page.$eval("#what-if ul", (e) => e.textContent);
    assert.ok(lines.includes("5.16 mmol/L") && !lines.includes("g/L"), lines);
    const { text } = await printed(page);
    assert.ok(text.includes("5.16 mmol/L"), text);
  });

  test("prints on one A4 page: date, inputs with units, result, Et si…, citation", async () => {
    await page.click("#c1006");  // a smoker: 16.2 %
    const { pages, text } = await printed(page);
    assert.equal(pages, 1);
    for (const part of ["Imprimé le 07/12/2026", "Âge 50 ans", "Pression systolique 150 mm Hg",
                        "Cholestérol total 2.30 g/L", "Fumeur oui", "Résultat : 16.2 %", "Faible",
                        "Fort", "sans tabac, le modèle donnerait 10.3 %", "Am Heart J 1991",
                        "Ce résultat aide le jugement clinique ; il ne le remplace pas."]) {
      assert.ok(text.includes(part), `${part} in: ${text}`);
    }
  });

  // SCORE2's card: the paper's own example, every region, the models' scope, and the same
  // lines as vessane-cli --score2 on the same forms (WebAssembly against the native core).
  test("SCORE2 beside the 1991 result: the papers' figures, the regions, the reasons", async () => {
    const card = () => page.$eval("#score2", (e) => ({
      model: e.querySelector("#score2-model").textContent,
      result: e.querySelector("#score2-result").textContent,
      category: e.querySelector("#score2-category").textContent,
      reason: e.querySelector("#score2-reason").textContent }));
    const region = (index) => page.$eval("#score2-region", (select, i) => {
      select.selectedIndex = i;
      select.dispatchEvent(new Event("change", { bubbles: true }));
    }, index);
    await open();
    // As vessane-cli --score2 shows the same forms.
    assert.equal((await card()).result, "4.1 %", "the window's defaults, low region");
    await fill("Homme", "50", "140", "80", "5.5", "1.3", "mmol/L", "10", "1", "0", "0");
    assert.deepEqual(await card(), { model: "SCORE2", result: "5.9 %", category: "risque élevé", reason: "" });
    await region(3);
    assert.equal((await card()).result, "14.0 %");
    await type(101, "80");
    assert.equal(await result(), "ERREUR");
    assert.deepEqual([(await card()).model, (await card()).result], ["SCORE2-OP", "44.0 %"]);
    await page.click("#c1007");  // diabetes
    assert.match((await card()).reason, /^SCORE2-OP n'est pas calculé ici en cas de diabète$/);
    const { text } = await printed(page);
    assert.ok(text.includes("SCORE2-OP (région très élevé)"), text);
  });

  test("the cases every front end's tests share give their results", async () => {
    for (const [name, ...row] of table("shared_cases.csv").slice(1)) {
      await open();
      await fill(...row.slice(0, 11));
      assert.equal(await result(), row[11], name);
    }
  });

  test("each box recomputes at once", async () => {
    for (const [id, shown] of [[1006, "16.2 %"], [1007, "13.9 %"], [1008, "27.1 %"]]) {
      await page.click(`#c${id}`);
      assert.equal(await result(), shown);
      assert.equal(await bar(), parseInt(shown, 10));
      await page.click(`#c${id}`);
      assert.equal(await result(), "10.3 %");
    }
  });

  test("each selector", async () => {
    await page.select("#c1004", "0");
    assert.deepEqual([await result(), await bar()], ["6.9 %", 6]);
    await page.select("#c1004", "1");
    assert.deepEqual([await result(), await bar()], ["10.3 %", 10]);
  });

  test("ERREUR says why and dims the bar; correcting the field recovers", async () => {
    const barState = () => page.$eval("#c1012", (element) =>
      [element.classList.contains("no-value"), element.getAttribute("aria-valuetext")]);
    const reason = () => page.$eval("#reason", (element) => element.textContent);
    await page.click("#c1006");  // 16.2 %, bar 16
    for (const [id, keys, why] of [
      [101, "29", "âge hors de l'intervalle [30-74] ans"],
      [101, "", "âge : valeur manquante"],
      [105, "", "cholestérol total : valeur manquante"],
      [109, "11", "horizon hors de l'intervalle [2-10] ans"],
      [102, "99", "pression systolique inférieure à la diastolique + 9.9 mm Hg"],
      [106, "0.11", "cholestérol HDL hors de l'intervalle [0.3-5] mmol/L (0.12 à 1.93 g/L)"],
    ]) {
      const before = await value(id);
      await type(id, keys);
      assert.equal(await result(), "ERREUR", `${id} = "${keys}"`);
      assert.equal(await reason(), why);
      assert.deepEqual(await barState(), [true, "aucune valeur : ERREUR"]);
      await type(id, before);
      assert.deepEqual([await result(), await bar(), await reason()], ["16.2 %", 16, ""]);
      assert.deepEqual(await barState(), [false, null]);
    }
  });

  test("a decimal comma in the cholesterol fields reads as a point and is kept", async () => {
    for (const id of [105, 106]) {
      assert.equal(await page.$eval(`#c${id}`, (field) => field.inputMode), "decimal");
    }
    await type(105, "3,1");
    assert.deepEqual([await value(105), await result(), await bar()], ["3,1", "14.8 %", 14]);
    await choose(1005, 0);  // the unit switch writes a point
    assert.equal(await value(105), "8.00");
  });

  test("the unit switch converts both values in place and leaves the result", async () => {
    await choose(1005, 0);
    assert.deepEqual([await value(105), await value(106)], ["5.93", "1.29"]);
    assert.deepEqual([await text(1010), await text(1011)], ["[2-12]", "[0.3-5]"]);
    assert.equal(await result(), "10.3 %");
    await choose(1005, 1);
    assert.deepEqual([await value(105), await value(106)], ["2.30", "0.50"]);
    assert.deepEqual([await text(1010), await text(1011)], ["[0.78-4.68]", "[0.12-1.95]"]);

    // Accepted in mmol/L, kept after the switch, refused at the next change.
    await choose(1005, 0);
    await type(105, "6.00");
    await type(106, "5.00");
    const shown = await result();
    assert.notEqual(shown, "ERREUR");
    await choose(1005, 1);
    assert.deepEqual([await value(105), await value(106), await result()], ["2.33", "1.94", shown]);
    await page.click("#c1006");
    assert.equal(await result(), "ERREUR");

    // Single precision shows; no number converts as 0 and the result stays ERREUR.
    await type(105, "0.25");
    await type(106, "abc");
    await choose(1005, 0);
    assert.deepEqual([await value(105), await value(106), await result()], ["0.64", "0.00", "ERREUR"]);
    await type(105, "3.75");
    await choose(1005, 0);
    assert.equal(await value(105), "9.68");
  });

  test("the keyboard alone reaches and works every control; Enter does nothing", async () => {
    const order = [];
    for (let i = 0; i < 14; ++i) {
      await page.keyboard.press("Tab");
      order.push(await page.evaluate(() => document.activeElement.id));
    }
    assert.deepEqual(order.slice(0, 13), ["about-open", "c1004", "c101", "c102", "c103", "c1006",
                                          "c1007", "c1008", "c105", "c106", "c1005", "c109", "c110"]);
    await page.focus("#c1004");
    await page.keyboard.press("ArrowUp");
    assert.equal(await result(), "6.9 %");
    await page.focus("#c1006");
    await page.keyboard.press("Space");
    assert.notEqual(await result(), "6.9 %");
    await page.keyboard.press("Space");
    assert.equal(await result(), "6.9 %");
    for (const id of [101, 102, 103, 105, 106, 109]) {
      await page.focus(`#c${id}`);
      await page.keyboard.press("Enter");
    }
    assert.equal(await result(), "6.9 %");
    assert.equal(page.url(), server.url);

    await page.focus("#about-open");
    await page.keyboard.press("Enter");
    assert.equal(await page.$eval("#about", (dialog) => dialog.open), true);
    const about = await page.$eval("#about", (dialog) => dialog.textContent);
    for (const part of ["Vessane version 1.3", "Framingham", "Am Heart J 1991;121:293-8"]) {
      assert.ok(about.includes(part), part);
    }
    await page.keyboard.press("Escape");
    assert.equal(await page.$eval("#about", (dialog) => dialog.open), false);
  });

  test("digits-only fields take digits alone and bring up a numeric keypad", async () => {
    for (const id of [101, 102, 103, 109]) {
      assert.equal(await page.$eval(`#c${id}`, (field) => field.inputMode), "numeric");
    }
    const note = () => page.$eval("#c101-refused", (e) => (e.hidden ? "" : e.textContent));
    await type(102, "13/");  // "13/8": centimetres of mercury, as French clinicians say it
    assert.equal(await page.$eval("#c102-refused", (e) => (e.hidden ? "" : e.textContent)),
                 "chiffres seulement");
    await type(101, "4a5.");
    assert.equal(await value(101), "45");
    assert.equal(await note(), "chiffres seulement");
    await type(101, "45");
    assert.equal(await note(), "", "an accepted input takes the note away");
    await insert(101, "6x");  // refused whole, as a paste with a letter
    assert.equal(await value(101), "45");
    await insert(101, "1");
    assert.deepEqual([await value(101), await result()], ["451", "ERREUR"]);
    const refused = await page.$eval("#c101", (field) => {
      const paste = (data) => {
        const transfer = new DataTransfer();
        transfer.setData("text/plain", data);
        return !field.dispatchEvent(new ClipboardEvent("paste", {
          clipboardData: transfer, bubbles: true, cancelable: true }));
      };
      return [paste("12a"), paste("-1"), paste("60")];
    });
    assert.deepEqual(refused, [true, true, false]);
  });

  test("hostile input never throws and shows what the window shows", async () => {
    const megabyte = "2".repeat(1 << 20);
    await type(105, "");
    await insert(105, megabyte);  // read as 222222 g/L
    assert.equal(await result(), "ERREUR");
    await choose(1005, 0);        // the whole text converts: beyond single precision
    assert.equal(await value(105), "ERREUR");
    await type(105, "5.93");
    assert.equal(await result(), "10.3 %");

    await type(101, "");
    await insert(101, "5".repeat(1 << 20));
    assert.equal(await result(), "ERREUR");
    await type(101, "50");

    await type(105, "1e39");      // mmol/L beyond single precision
    assert.equal(await result(), "ERREUR");
    await choose(1005, 1);
    assert.deepEqual([await value(105), await value(106)], ["ERREUR", "0.50"]);
    await type(105, "2.30");
    assert.equal(await result(), "10.3 %");

    await page.$eval("#c1005", (select) => {
      for (let i = 0; i < 1000; ++i) {
        select.selectedIndex = 1 - select.selectedIndex;
        select.dispatchEvent(new Event("change", { bubbles: true }));
      }
    });
    assert.deepEqual([await value(105), await value(106), await result()],
                     ["2.30", "0.50", "10.3 %"]);
    assert.deepEqual(requests, [], "no request after loading");
    assert.deepEqual(await page.evaluate(async () => [
      document.cookie, localStorage.length, sessionStorage.length,
      (await indexedDB.databases()).length]), ["", 0, 0, 0], "nothing typed is kept");
  });
});

describe("the page", () => {
  test("is accessible (axe-core), with the About panel closed and open", async () => {
    const run = () => page.evaluate(async () => (await axe.run(document)).violations.map(
      (v) => `${v.id}: ${v.nodes.map((n) => n.target.join(" ")).join(", ")}`));
    for (const viewport of [DESKTOP, PHONE]) {
      await page.setViewport(viewport);
      await open({ bypassCsp: true });
      await page.addScriptTag({ path: AXE });
      assert.deepEqual(await run(), []);
      await page.click("#about-open");
      assert.deepEqual(await run(), []);
      await page.click("#about-ok");
    }
    await open();  // the page again under its own security policy
    assert.equal(await page.$eval("#c110", (output) => output.getAttribute("aria-live")), "polite");
  });

  test("fits a phone in one column with large touch targets", async () => {
    for (const width of [320, 360, 390]) {
      await page.setViewport({ ...PHONE, width });
      await open();
      assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth));
      const small = await page.$$eval("input:not([type]), select, label.box, button", (all) =>
        all.filter((e) => e.getClientRects().length > 0 && e.getBoundingClientRect().height < 44).map((e) => e.id || e.textContent));
      assert.deepEqual(small, []);
    }
    await page.tap("#c1007");
    assert.equal(await result(), "13.9 %");
  });

  test("uses a wide screen's width: the groups side by side, the result across", async () => {
    await page.setViewport(DESKTOP);
    await open();
    const boxes = await page.evaluate(() => ["main", ...["PRESSURE", "CHOLESTEROL", "RISK"].map(
      (g) => `fieldset[data-c="TXT_${g}_GROUP"]`)].map((sel) => {
      const { left, top, width } = document.querySelector(sel).getBoundingClientRect();
      return { left, top, width: width / innerWidth };
    }));
    const [main, pressure, cholesterol, risk] = boxes;
    assert.ok(main.width >= 0.9, JSON.stringify(main));
    assert.equal(pressure.top, cholesterol.top);
    assert.ok(pressure.left < cholesterol.left && risk.top > pressure.top);
    assert.ok(risk.width >= 0.8 * main.width, JSON.stringify(risk));
  });

  test("is light: every file of the site, gzipped, within 200 KB", () => {
    let raw = 0, gzipped = 0;
    for (const name of readdirSync(SITE)) {
      const body = readFileSync(join(SITE, name));
      raw += body.length;
      gzipped += gzipSync(body, { level: 9 }).length;
    }
    console.log(`# site: ${raw} bytes, ${gzipped} bytes gzipped`);
    assert.ok(gzipped <= 200 * 1024);
  });

  test("installs as an app and works offline once loaded, after the server stops",
       async () => {
    await page.evaluate(() => navigator.serviceWorker.ready);
    const session = await page.createCDPSession();
    const { installabilityErrors } = await session.send("Page.getInstallabilityErrors");
    await session.detach();
    assert.deepEqual(installabilityErrors, []);
    await open();  // now under the worker's control
    assert.ok(await page.evaluate(() => navigator.serviceWorker.controller !== null));
    await server.stop();
    await open();
    assert.equal(await result(), "10.3 %");
    await page.click("#c1006");
    assert.equal(await result(), "16.2 %");
  });
});
