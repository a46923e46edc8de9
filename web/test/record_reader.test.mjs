// Reading the form from a FHIR record: what each field takes, from where, and why one is
// left empty. Node's test runner:   node --test web/test/record_reader.test.mjs
import { test } from "node:test";
import assert from "node:assert/strict";
import { readRecord } from "../smart/record_reader.mjs";

const TODAY = new Date("2026-12-07T12:00:00Z");
const loinc = (code) => ({ coding: [{ system: "http://loinc.org", code }] });
const qty = (value, code) => ({ value, unit: code, system: "http://unitsofmeasure.org", code });
const obs = (code, value, date, status = "final") =>
  ({ resourceType: "Observation", status, code: loinc(code), effectiveDateTime: date,
     valueQuantity: value });
const smoking = (snomed, date = "2026-06-01") =>
  ({ resourceType: "Observation", status: "final", code: loinc("72166-2"), effectiveDateTime: date,
     valueCodeableConcept: { coding: [{ system: "http://snomed.info/sct", code: snomed }] } });
const condition = (system, code, status = "active", verification = "confirmed") =>
  ({ resourceType: "Condition", code: { coding: [{ system, code }] },
     clinicalStatus: { coding: [{ code: status }] },
     verificationStatus: { coding: [{ code: verification }] } });
const man = { resourceType: "Patient", gender: "male", birthDate: "1976-12-08" };

// Each case: the record, then what some fields must hold.
const cases = [
  ["sex and age in whole years", { patient: man },
   { sex: { index: 1 }, age: { text: "49" } }],
  ["a sex other than male or female is left unset", { patient: { gender: "other" } },
   { sex: { index: -1, reason: /sexe non renseigné/ }, age: { text: "", reason: /naissance/ } }],
  ["pressures: the most recent final value, entered-in-error ignored",
   { observations: [obs("8480-6", qty(150, "mm[Hg]"), "2026-01-01"),
                    obs("8480-6", qty(135, "mm[Hg]"), "2026-10-01"),
                    obs("8480-6", qty(190, "mm[Hg]"), "2026-11-01", "entered-in-error"),
                    obs("8480-6", qty(170, "mm[Hg]"), "2026-11-02", "preliminary")] },
   { systolic: { text: "135", stale: false } }],
  ["pressures only inside a panel",
   { observations: [{ resourceType: "Observation", status: "final", code: loinc("85354-9"),
                      effectiveDateTime: "2026-09-01",
                      component: [{ code: loinc("8480-6"), valueQuantity: qty(142, "mm[Hg]") },
                                  { code: loinc("8462-4"), valueQuantity: qty(88, "mm[Hg]") }] }] },
   { systolic: { text: "142" }, diastolic: { text: "88" } }],
  ["a stale measurement is filled and marked",
   { observations: [obs("8462-4", qty(85, "mm[Hg]"), "2025-06-30")] },
   { diastolic: { text: "85", stale: true } }],
  ["pressure in another unit is left empty", { observations: [obs("8480-6", qty(20, "kPa"), "2026-10-01")] },
   { systolic: { text: "", reason: /unité non prise en charge/ } }],
  ["a unit's display text is never trusted",
   { observations: [obs("2093-3", { value: 2.1, unit: "g/L" }, "2026-10-01")] },
   { total: { text: "", reason: /unité non prise en charge/ } }],
  ["cholesterol in g/L", { observations: [obs("2093-3", qty(2.1, "g/L"), "2026-10-01"),
                                          obs("2085-9", qty(0.55, "g/L"), "2026-10-01")] },
   { unit: { index: 1 }, total: { text: "2.1" }, hdl: { text: "0.55" } }],
  ["mg/dL to g/L, exactly", { observations: [obs("2093-3", qty(230, "mg/dL"), "2026-10-01"),
                                              obs("2085-9", qty(49.5, "mg/dL"), "2026-10-01")] },
   { unit: { index: 1 }, total: { text: "2.3" }, hdl: { text: "0.495" } }],
  ["mmol/L", { observations: [obs("14647-2", qty(5.93, "mmol/L"), "2026-10-01"),
                              obs("14646-4", qty(1.29, "mmol/L"), "2026-10-01")] },
   { unit: { index: 0 }, total: { text: "5.93" }, hdl: { text: "1.29" } }],
  ["mixed units: the mass one converted with the form's factor",
   { observations: [obs("14647-2", qty(5.2, "mmol/L"), "2026-10-01"),
                    obs("2085-9", qty(50, "mg/dL"), "2026-10-01")] },
   { unit: { index: 0 }, total: { text: "5.2" }, hdl: { text: "1.29" } }],
  ["smoking: current, former, never, unknown",
   { observations: [smoking("449868002")] }, { smoker: { checked: true } }],
  ["an ex-smoker is not a smoker", { observations: [smoking("8517006")] }, { smoker: { checked: false } }],
  ["never smoked", { observations: [smoking("266919005")] }, { smoker: { checked: false } }],
  ["unknown smoking status says so", { observations: [smoking("266927001")] },
   { smoker: { checked: false, reason: /inconnu/ } }],
  ["diabetes in CIM-10, LVH in SNOMED",
   { conditions: [condition("http://hl7.org/fhir/sid/icd-10", "E11.9"),
                  condition("http://snomed.info/sct", "164873001")] },
   { diabetes: { checked: true }, lvh: { checked: true } }],
  ["inactive or entered-in-error conditions do not count",
   { conditions: [condition("http://snomed.info/sct", "44054006", "resolved"),
                  condition("http://snomed.info/sct", "55827005", "active", "entered-in-error")] },
   { diabetes: { checked: false, reason: /aucun diabète/ }, lvh: { checked: false } }],
  ["nothing in the record: empty fields, each with its reason", {},
   { systolic: { text: "", reason: /aucune mesure/ }, total: { text: "", reason: /aucune mesure/ },
     smoker: { checked: false, reason: /absent/ } }],
];

for (const [name, record, expected] of cases) {
  test(name, () => {
    const fields = readRecord({ patient: man, ...record, today: TODAY });
    for (const [field, want] of Object.entries(expected)) {
      for (const [key, value] of Object.entries(want)) {
        const got = fields[field][key];
        if (value instanceof RegExp) assert.match(got ?? "", value, `${field}.${key}`);
        else assert.equal(got, value, `${field}.${key}`);
      }
    }
  });
}
