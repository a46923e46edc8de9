// The page opened from a patient's record, end to end: a FHIR server and an authorisation
// server on 127.0.0.1 over https (smart_servers.mjs), the site served beside them with the
// test's own configuration, Debian's Chromium launching it as a hospital's record would.
// Each patient's filled form and result are compared with vessane-cli on the same fields.
//   SITE=build/web/site VESSANE_CLI=build/dev/cli/vessane-cli node --test web/test/smart.test.mjs
import { after, before, describe, test } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { readFileSync } from "node:fs";
import { resolve } from "node:path";
import { fileURLToPath } from "node:url";
import { launchChromium, pinClock, printed } from "./chromium.mjs";
import { startServer } from "./server.mjs";
import { startRecord } from "./smart_servers.mjs";
import { hostPolicy } from "../../scripts/host-headers.mjs";

const SITE = resolve(process.env.SITE || "build/web/site");
const CLI = resolve(process.env.VESSANE_CLI || "build/dev/cli/vessane-cli");
const AXE = fileURLToPath(new URL("../node_modules/axe-core/axe.min.js", import.meta.url));

// The day the page believes it is: the ages and stale marks below hold for it, whatever the
// day the test runs.
const TODAY = "2026-12-07T10:00:00+01:00";
const loinc = (code) => ({ coding: [{ system: "http://loinc.org", code }] });
const qty = (value, code) => ({ value, unit: code, system: "http://unitsofmeasure.org", code });
const obs = (code, value, date, status = "final") =>
  ({ resourceType: "Observation", status, code: loinc(code), effectiveDateTime: date, valueQuantity: value });
const smoking = (snomed) => ({ resourceType: "Observation", status: "final", code: loinc("72166-2"),
  effectiveDateTime: "2026-09-01", valueCodeableConcept: { coding: [{ system: "http://snomed.info/sct", code: snomed }] } });
const UNREACHABLE = "https://127.0.0.1:9/fhir";
const condition = (system, code) => ({ resourceType: "Condition", code: { coding: [{ system, code }] },
  clinicalStatus: { coding: [{ system: "http://terminology.hl7.org/CodeSystem/condition-clinical", code: "active" }] },
  verificationStatus: { coding: [{ system: "http://terminology.hl7.org/CodeSystem/condition-ver-status", code: "confirmed" }] } });
const NEVER_SMOKED = smoking("266919005");

// Synthetic patients as French records hold them, and what the form must show.
const PATIENTS = {
  grams: {
    patient: { gender: "male", birthDate: "1966-03-10", name: [{ family: "Durand", given: ["Paul"] }] },
    observations: [obs("8480-6", qty(150, "mm[Hg]"), "2026-10-02"), obs("8462-4", qty(90, "mm[Hg]"), "2026-10-02"),
                   obs("2093-3", qty(2.3, "g/L"), "2026-09-15"), obs("2085-9", qty(0.5, "g/L"), "2026-09-15"),
                   smoking("449868002")],
    form: { sex: "Homme", age: "60", systolic: "150", diastolic: "90", unit: "g/L", total: "2.3", hdl: "0.5",
            smoker: true, diabetes: false, lvh: false },
  },
  milligrams: {
    patient: { gender: "female", birthDate: "1958-06-01" },
    observations: [obs("8480-6", qty(138, "mm[Hg]"), "2026-11-20"), obs("8462-4", qty(84, "mm[Hg]"), "2026-11-20"),
                   obs("2093-3", qty(230, "mg/dL"), "2026-08-01"), obs("2085-9", qty(55, "mg/dL"), "2026-08-01"),
                   smoking("8517006")],
    conditions: [condition("http://hl7.org/fhir/sid/icd-10", "E11.9")],
    form: { sex: "Femme", age: "68", systolic: "138", diastolic: "84", unit: "g/L", total: "2.3", hdl: "0.55",
            smoker: false, diabetes: true, lvh: false },
  },
  mixed: {
    patient: { gender: "male", birthDate: "1970-01-15" },
    observations: [
      { resourceType: "Observation", status: "final", code: loinc("85354-9"), effectiveDateTime: "2025-03-01",
        component: [{ code: loinc("8480-6"), valueQuantity: qty(160, "mm[Hg]") },
                    { code: loinc("8462-4"), valueQuantity: qty(95, "mm[Hg]") }] },
      obs("8480-6", qty(200, "mm[Hg]"), "2026-11-30", "entered-in-error"),
      obs("14647-2", qty(6.1, "mmol/L"), "2026-07-01"), obs("2085-9", qty(45, "mg/dL"), "2026-07-01"),
      NEVER_SMOKED],
    conditions: [condition("http://snomed.info/sct", "164873001")],
    form: { sex: "Homme", age: "56", systolic: "160", diastolic: "95", unit: "mmol/L", total: "6.1", hdl: "1.16",
            smoker: false, diabetes: false, lvh: true },
    panel: { systolic: /ancienne \(01\/03\/2025\)/, hdl: /2,58/ },
  },
  missing: {
    patient: { gender: "unknown", birthDate: "1961-02-02" },
    observations: [obs("8480-6", qty(18, "kPa"), "2026-10-01")],
    form: { sex: "(non renseigné)", systolic: "", total: "", hdl: "" },
    panel: { sex: /sexe enregistré : inconnu : à choisir/, systolic: /unité non prise en charge/, total: /aucune mesure/ },
    result: "ERREUR",
  },
  coronary: {
    patient: { gender: "male", birthDate: "1960-04-04" },
    observations: [obs("8480-6", qty(130, "mm[Hg]"), "2026-11-02"), obs("8462-4", qty(80, "mm[Hg]"), "2026-11-02"),
                   obs("2093-3", qty(2.0, "g/L"), "2026-11-02"), obs("2085-9", qty(0.6, "g/L"), "2026-11-02"),
                   NEVER_SMOKED],
    // Coded in CIM-10 under the French terminology server's URI, without the dot.
    conditions: [condition("https://mos.esante.gouv.fr/NOS/TRE_R310-CIM10ATIH/FHIR/TRE-R310-CIM10ATIH", "I214")],
    form: { sex: "Homme", age: "66", systolic: "130" },
  },
  paged: {
    patient: { gender: "male", birthDate: "1980-05-05" },
    observations: [
      ...Array.from({ length: 60 }, (_, i) => obs("8480-6", qty(120 + (i % 10), "mm[Hg]"),
        `2026-0${1 + Math.floor(i / 10)}-${String(1 + (i % 10)).padStart(2, "0")}`)),
      obs("8480-6", qty(144, "mm[Hg]"), "2026-11-29"), obs("8462-4", qty(88, "mm[Hg]"), "2026-11-29"),
      obs("2093-3", qty(2.1, "g/L"), "2026-11-29"), obs("2085-9", qty(0.45, "g/L"), "2026-11-29"),
      NEVER_SMOKED],
    form: { systolic: "144", diastolic: "88" },
  },
  undecided: {
    patient: { gender: "female", birthDate: "1962-02-12" },
    observations: [obs("8480-6", qty(145, "mm[Hg]"), "2026-11-02"), obs("8462-4", qty(85, "mm[Hg]"), "2026-11-02"),
                   obs("2093-3", qty(2.2, "g/L"), "2026-11-02"), obs("2085-9", qty(0.5, "g/L"), "2026-11-02")],
    form: { sex: "Femme", age: "64", smoker: false },
    panel: { smoker: /statut tabagique absent du dossier : à cocher ou décocher/ },
    result: "à compléter : statut tabagique",
  },
};

const CONTROLS = { sex: 1004, age: 101, systolic: 102, diastolic: 103, unit: 1005, total: 105, hdl: 106,
                   smoker: 1006, diabetes: 1007, lvh: 1008 };

let site, record, chromium, page, problems;

// What vessane-cli shows for the same fields.
function cliResult(form) {
  if (form.sex !== "Homme" && form.sex !== "Femme") return "ERREUR";
  const args = ["--sex", form.sex, "--age", form.age, "--systolic", form.systolic, "--diastolic", form.diastolic,
                "--unit", form.unit, "--total", form.total, "--hdl", form.hdl];
  for (const box of ["smoker", "diabetes", "lvh"]) if (form[box]) args.push("--" + box);
  try {
    return execFileSync(CLI, args, { encoding: "utf8", stdio: ["ignore", "pipe", "ignore"] }).trim();
  } catch (error) {
    return error.stdout.trim();
  }
}

async function shownForm() {
  return page.evaluate((controls) => Object.fromEntries(Object.entries(controls).map(([name, id]) => {
    const element = document.getElementById("c" + id);
    if (element instanceof HTMLSelectElement) {
      return [name, element.selectedIndex < 0 ? "(non renseigné)" : element.options[element.selectedIndex].text];
    }
    return [name, element.type === "checkbox" ? element.checked : element.value];
  })), CONTROLS);
}

async function launch(query) {
  problems = [];
  await page.goto(`${site.url}launch.html?${query}`);
  await page.waitForFunction(() => {
    const status = document.getElementById("record-status") ?? document.getElementById("launch-status");
    return status && !/…$/.test(status.textContent);
  }, { timeout: 20000 });
}
const status = () => page.$eval("#record-status, #launch-status", (element) => element.textContent);
const result = () => page.$eval("#c110", (element) => element.value);

before(async () => {
  // The site's address is needed for the record's redirect, and the record's for the
  // site's configuration: the site starts first and is given its configuration after.
  // The pages are served with the policy the docs tell a host to send, as written.
  const configuration = {}, headers = {};
  site = await startServer(SITE, configuration, headers);
  record = await startRecord(PATIENTS, { redirectUri: `${site.url}record.html` });
  const config = { servers: [record.fhir, record.open, UNREACHABLE]
    .map((iss) => ({ iss, clientId: "vessane", authorization: record.authUrl })) };
  configuration["/smart-config.json"] = JSON.stringify(config);
  headers["Content-Security-Policy"] = hostPolicy(config).join("; ");
  chromium = await launchChromium(["--ignore-certificate-errors"]);
  page = await chromium.browser.newPage();
  await pinClock(page, TODAY);
  await page.setViewport({ width: 1280, height: 900 });
  page.on("console", (message) => {
    // A refused request is also reported by the browser itself: that is the test's doing.
    if (message.type() === "error" && !/Failed to load resource/.test(message.text())) {
      problems.push(`console: ${message.text()}`);
    }
  });
  page.on("pageerror", (error) => problems.push(`exception: ${error.message}`));
});

after(async () => {
  await chromium?.close();
  await record?.close();
  await site?.stop();
});

describe("launched from the record", () => {
  for (const [name, patient] of Object.entries(PATIENTS)) {
    test(`EHR launch: ${name}`, async () => {
      await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor(name)}`);
      assert.match(await status(), /Valeurs lues dans le dossier/);
      const shown = await shownForm();
      for (const [field, value] of Object.entries(patient.form)) assert.equal(shown[field], value, field);
      assert.equal(shown.unit !== undefined && (await page.$eval("#c109", (e) => e.value)), "10");
      assert.equal(await result(), patient.result ?? cliResult(shown));
      for (const [field, pattern] of Object.entries(patient.panel ?? {})) {
        assert.match(await page.$eval(`#provenance-${field}`, (e) => e.textContent), pattern, field);
      }
      assert.deepEqual(problems, []);
    });
  }

  test("standalone launch and the open-server convention", async () => {
    // A client id in the address changes nothing: the site's own is used (another one
    // would be refused by the record's authorisation server).
    await launch(`iss=${encodeURIComponent(record.fhir)}&clientId=autre-client`);
    assert.equal((await shownForm()).systolic, "150");
    await launch(`fhirServiceUrl=${encodeURIComponent(record.open)}&patientId=${record.ids.milligrams}`);
    assert.equal((await shownForm()).total, "2.3");
    assert.deepEqual(problems, []);
  });

  test("once launched, the page reaches the record's FHIR and token origins, and no other", async () => {
    await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("grams")}`);
    assert.notEqual(new URL(record.authUrl).origin, new URL(record.url).origin);
    const third = new URL(UNREACHABLE).origin;
    await page.evaluate(async (origins) => {
      window.violations = [];
      document.addEventListener("securitypolicyviolation", (e) => window.violations.push(new URL(e.blockedURI).origin));
      for (const origin of origins) await fetch(`${origin}/`, { mode: "no-cors" }).catch(() => {});
    }, [record.url, record.authUrl, third]);
    await page.waitForFunction(() => window.violations.length > 0, { timeout: 10000 });
    assert.deepEqual(await page.evaluate(() => window.violations), [third]);
  });

  test("the patient's identity above the form; the footer once values were read", async () => {
    await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("grams")}`);
    const identity = await page.$eval("#identity", (e) => (e.hidden ? "" : e.textContent));
    for (const part of ["Paul DURAND", "10/03/1966", "masculin", record.fhir]) assert.ok(identity.includes(part), part);
    assert.equal(await page.$eval("#record-footer", (e) => e.hidden), false);
    assert.equal(await page.$eval("#secondary-prevention", (e) => e.hidden), true);
    // Printed: one page with the identity and where the values came from.
    const { pages, text } = await printed(page);
    assert.equal(pages, 1);
    for (const part of ["Imprimé le 07/12/2026", "Patient : Paul DURAND", "Provenance des valeurs",
                        "LOINC 2093-3", "Ce résultat aide le jugement clinique"]) {
      assert.ok(text.includes(part), `${part} in: ${text}`);
    }
  });

  test("a known coronary disease: a banner says the equations do not apply; the result is still shown", async () => {
    await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("coronary")}`);
    const banner = await page.$eval("#secondary-prevention", (e) => (e.hidden ? "" : e.textContent));
    assert.match(banner, /maladie cardiovasculaire connue.*athéroscléreuse documentée : .*I214/i);
    assert.match(await result(), /%$/);
    // SCORE2 is for people without one: no number, and why.
    assert.equal(await page.$eval("#score2-result", (e) => e.textContent), "—");
    assert.equal(await page.$eval("#score2-reason", (e) => e.textContent),
                 "SCORE2 ne s'applique pas en cas de maladie cardiovasculaire connue");
  });

  test("fits a phone: 320 to 390 px, one column, nothing wider than the screen", async () => {
    for (const width of [320, 390]) {
      await page.setViewport({ width, height: 844, isMobile: true, hasTouch: true });
      await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("grams")}`);
      assert.ok(await page.evaluate(() => document.documentElement.scrollWidth <= innerWidth), `${width} px`);
      const columns = await page.$eval("main", (main) => getComputedStyle(main).gridTemplateColumns.split(" ").length);
      assert.equal(columns, 1, `${width} px`);
    }
    await page.setViewport({ width: 1280, height: 900 });
  });

  test("a smoking status the record does not hold: no result until the box is decided", async () => {
    await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("undecided")}`);
    assert.equal(await page.$eval("#c1006", (e) => e.indeterminate), true);
    assert.equal(await page.$eval("#what-if", (e) => e.hidden), true);
    assert.equal(await page.$eval("#score2-result", (e) => e.textContent), "à compléter : statut tabagique");
    await page.click("#c1006");  // a smoker
    assert.match(await page.$eval("#score2-result", (e) => e.textContent), /^\d+\.\d %$/);
    const shown = await shownForm();
    assert.equal(shown.smoker, true);
    assert.equal(await result(), cliResult(shown));
    await page.click("#c1006");  // not a smoker after all
    assert.equal(await result(), cliResult(await shownForm()));
  });

  test("an edited value is marked as typed; the summary can be copied", async () => {
    await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("grams")}`);
    await page.click("#c101", { count: 3 });
    await page.keyboard.type("61");
    assert.equal(await page.$eval("#provenance-age", (e) => e.textContent), "saisie");
    await chromium.browser.defaultBrowserContext().overridePermissions(site.url.replace(/\/$/, ""),
      ["clipboard-read", "clipboard-write", "clipboard-sanitized-write"]);
    await page.click("#copy-summary");
    const copied = await page.evaluate(() => navigator.clipboard.readText());
    assert.match(copied, /Âge : 61 ans \(saisie\)/);
    assert.match(copied, /Patient : Paul DURAND, né\(e\) le 10\/03\/1966/);
    assert.match(copied, /Cholestérol total : 2\.3 g\/L/);
    assert.match(copied, new RegExp(`Résultat : ${(await result()).replace(/[.%]/g, "\\$&")}`));
    assert.match(copied, /Am Heart J 1991/);
  });

  test("no patient data is stored beyond the tab's session", async () => {
    await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("grams")}`);
    const stored = await page.evaluate(() => ({ local: localStorage.length, cookies: document.cookie,
      session: JSON.stringify(sessionStorage) }));
    assert.deepEqual([stored.local, stored.cookies], [0, ""]);
    assert.doesNotMatch(stored.session, /1966-03-10|mm\[Hg\]/);
  });

  test("accessible with the panel open (axe-core)", async () => {
    await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("mixed")}`);
    // The page's policy admits its own scripts only: axe-core is evaluated in place.
    await page.evaluate(readFileSync(AXE, "utf8"));
    const found = await page.evaluate(async () => (await window.axe.run()).violations.map((v) => v.id));
    assert.deepEqual(found, []);
  });
});

describe("a launch that fails fills nothing and says what failed, in French", () => {
  const cases = [
    ["the server cannot be reached", "serveur injoignable", () => "iss=" + encodeURIComponent(UNREACHABLE)],
    ["the observations are forbidden (403)", "accès refusé par le serveur", () => {
      record.fail("Observation", 403);
      return `iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("grams")}`;
    }],
    ["a malformed bundle", "réponse illisible", () => {
      record.fail("Condition", "garbage");
      return `iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("grams")}`;
    }],
    ["a missing patient", "dossier introuvable", () => `fhirServiceUrl=${encodeURIComponent(record.open)}&patientId=absent`],
    ["the server goes down after the launch", "serveur injoignable", () => {
      record.fail("Patient", 503);
      return `iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("grams")}`;
    }],
    ["a server the site does not list", "pas autorisé", () => "iss=" + encodeURIComponent("https://127.0.0.1:1/autre")],
  ];
  for (const [name, said, make] of cases) {
    test(name, async () => {
      record.heal();
      await launch(make());
      record.heal();
      const failure = await page.evaluate(() => {
        const banner = document.getElementById("record-failure");
        return banner && !banner.hidden ? banner.querySelector("p").textContent
          : document.getElementById("launch-status")?.textContent ?? "";
      });
      assert.ok(failure.includes(said), failure);
      assert.deepEqual(problems, []);
      // No number anywhere: an empty form, no result, no footer about values read.
      const onRecordPage = await page.$("#c110");
      if (onRecordPage) {
        const shown = await shownForm();
        assert.deepEqual([shown.sex, shown.age, shown.systolic, shown.total], ["(non renseigné)", "", "", ""]);
        assert.doesNotMatch(await result(), /\d/);
        assert.equal(await page.$eval("#record-footer", (e) => e.hidden), true);
        assert.equal(await page.$eval("#record-failure details", (e) => e.open), false);
      } else {
        // Failed on the launch page, before any record was read: no form, no value shown.
        assert.equal(await page.$$eval("input, output", (all) => all.length), 0);
        assert.doesNotMatch(await page.$eval("body", (e) => e.innerText), /\d+(\.\d+)? %/);
      }
      // The technical detail says where it failed, never who: no patient id, launch or code.
      const detail = await page.evaluate(() =>
        (document.querySelector("#record-failure pre") ?? document.getElementById("launch-detail"))?.textContent ?? "");
      assert.doesNotMatch(detail, /(patient(Id)?|launch|code)=[^…&\s]|Patient\/(?!…)/, detail);
    });
  }

  test("a bad or expired token (401)", async () => {
    await launch(`iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("grams")}`);
    await page.evaluate(() => {
      for (const key of Object.keys(sessionStorage)) {
        const value = sessionStorage.getItem(key);
        if (value?.includes("access_token")) {
          const state = JSON.parse(value);
          state.tokenResponse.access_token = "expired";
          sessionStorage.setItem(key, JSON.stringify(state));
        }
      }
    });
    problems = [];
    await page.reload();
    await page.waitForFunction(() => !document.getElementById("record-failure").hidden);
    assert.match(await page.$eval("#record-failure", (e) => e.textContent), /session expirée/);
    assert.deepEqual(problems, []);
  });
});
