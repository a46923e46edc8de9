// Takes the web page's pictures for the README in headless Chromium (see
// scripts/screenshot-web.sh): docs/web-desktop.png and docs/web-phone.png, the plain page;
// docs/web-record.png and docs/web-record-phone.png, the page opened from a (synthetic)
// patient's record; docs/web-printed.png, that page printed (A4);
// docs/web-record-failed.png, a launch whose record cannot be read.
import { execFileSync } from "node:child_process";
import { rmSync } from "node:fs";
import { resolve } from "node:path";
import { launchChromium, openPage, pinClock } from "../web/test/chromium.mjs";
import { startServer } from "../web/test/server.mjs";
import { startRecord } from "../web/test/smart_servers.mjs";

const [site, docs] = process.argv.slice(2).map((path) => resolve(path));
const loinc = (code) => ({ coding: [{ system: "http://loinc.org", code }] });
const measured = (code, value, unit, date) => ({ resourceType: "Observation", status: "final",
  code: loinc(code), effectiveDateTime: date,
  valueQuantity: { value, unit, system: "http://unitsofmeasure.org", code: unit } });
const patient = {
  patient: { gender: "female", birthDate: "1959-04-12", name: [{ family: "Lefèvre", given: ["Anne"] }] },
  observations: [
    { resourceType: "Observation", status: "final", code: loinc("85354-9"), effectiveDateTime: "2026-11-18",
      component: [
        { code: loinc("8480-6"), valueQuantity: { value: 146, unit: "mm[Hg]", system: "http://unitsofmeasure.org", code: "mm[Hg]" } },
        { code: loinc("8462-4"), valueQuantity: { value: 88, unit: "mm[Hg]", system: "http://unitsofmeasure.org", code: "mm[Hg]" } }] },
    measured("2093-3", 238, "mg/dL", "2025-09-02"), measured("2085-9", 0.52, "g/L", "2026-10-07"),
    { resourceType: "Observation", status: "final", code: loinc("72166-2"), effectiveDateTime: "2026-10-07",
      valueCodeableConcept: { coding: [{ system: "http://snomed.info/sct", code: "8517006" }] } }],
  conditions: [{ resourceType: "Condition", code: { coding: [{ system: "http://hl7.org/fhir/sid/icd-10", code: "E11.9" }], text: "Diabète de type 2" },
    clinicalStatus: { coding: [{ system: "http://terminology.hl7.org/CodeSystem/condition-clinical", code: "active" }] },
    verificationStatus: { coding: [{ system: "http://terminology.hl7.org/CodeSystem/condition-ver-status", code: "confirmed" }] },
    recordedDate: "2019-03-01" }],
};

const configuration = {};
const server = await startServer(site, configuration);
const record = await startRecord({ patient }, { redirectUri: `${server.url}record.html` });
configuration["/smart-config.json"] = JSON.stringify({ servers: [{ iss: record.fhir, clientId: "vessane" }] });
const chromium = await launchChromium(["--ignore-certificate-errors"]);
try {
  const page = await chromium.browser.newPage();
  await pinClock(page, "2026-12-07T10:00:00+01:00");
  const views = [
    ["web-desktop.png", { width: 1280, height: 800 }],
    ["web-phone.png", { width: 390, height: 844, isMobile: true, hasTouch: true }],
  ];
  for (const [name, viewport] of views) {
    await page.setViewport(viewport);
    await openPage(page, server.url);
    await page.screenshot({ path: `${docs}/${name}` });
  }
  const launched = `${server.url}launch.html?iss=${encodeURIComponent(record.fhir)}&launch=${record.launchFor("patient")}`;
  for (const [name, viewport, full] of [["web-record.png", { width: 1280, height: 900 }, false],
                                        ["web-record-phone.png", { width: 390, height: 844, isMobile: true, hasTouch: true }, true]]) {
    await page.setViewport(viewport);
    await page.goto(launched);
    await page.waitForFunction(() => /Valeurs lues/.test(document.getElementById("record-status")?.textContent ?? ""));
    await page.screenshot({ path: `${docs}/${name}`, fullPage: full });
  }
  // The record page as it prints (A4), rendered to a picture.
  await page.setViewport({ width: 1280, height: 900 });
  await page.goto(launched);
  await page.waitForFunction(() => /Valeurs lues/.test(document.getElementById("record-status")?.textContent ?? ""));
  await page.pdf({ path: `${docs}/web-printed.pdf`, format: "A4" });
  execFileSync("pdftoppm", ["-png", "-r", "70", "-singlefile", `${docs}/web-printed.pdf`, `${docs}/web-printed`]);
  rmSync(`${docs}/web-printed.pdf`);
  await page.setViewport({ width: 1280, height: 760 });
  record.fail("Observation", 403);
  await page.goto(launched);
  await page.waitForFunction(() => !document.getElementById("record-failure")?.hidden);
  await page.screenshot({ path: `${docs}/web-record-failed.png` });
} finally {
  await chromium.close();
  await record.close();
  await server.stop();
}
