// Reading the form from a FHIR record: what each field takes, from where, and why one is
// left empty. A row per rule. Node's test runner:
//   SITE=build/web/site node --test web/test/record_reader.test.mjs
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { resolve } from "node:path";
import { pathToFileURL } from "node:url";

// The modules as the site serves them: beside the tables the build writes from the core's.
const site = (name) => pathToFileURL(resolve(process.env.SITE ?? "build/web/site", name)).href;
const { collectEntries, failureDetail, fieldsMaybeOutdated, knownCardiovascularDisease, launchFailure,
        readIdentity, readRecord } = await import(site("record_reader.mjs"));
const { allowedServer } = await import(site("site_config.mjs"));

const valueSets = JSON.parse(readFileSync(new URL("../smart/value_sets.json", import.meta.url), "utf8"));
const TODAY = new Date("2026-12-07T12:00:00Z");
const ZONE = "Europe/Paris";
const loinc = (code) => ({ coding: [{ system: "http://loinc.org", code }] });
const qty = (value, code, extra = {}) => ({ value, unit: code, system: "http://unitsofmeasure.org", code, ...extra });
const obs = (code, value, date, status = "final", extra = {}) =>
  ({ resourceType: "Observation", status, code: loinc(code), effectiveDateTime: date,
     valueQuantity: value, ...extra });
const panel = (date, systolic, diastolic, extra = {}) =>
  ({ resourceType: "Observation", status: "final", code: loinc("85354-9"), effectiveDateTime: date,
     component: [{ code: loinc("8480-6"), ...systolic }, { code: loinc("8462-4"), ...diastolic }], ...extra });
const mmHg = (value) => ({ valueQuantity: qty(value, "mm[Hg]") });
const absent = { dataAbsentReason: { coding: [{ code: "not-performed" }] } };
const smoking = (system, code, date = "2026-06-01") =>
  ({ resourceType: "Observation", status: "final", code: loinc("72166-2"), effectiveDateTime: date,
     valueCodeableConcept: { coding: [{ system, code }] } });
const SCT = "http://snomed.info/sct";
const CLINICAL = "http://terminology.hl7.org/CodeSystem/condition-clinical";
const VERIFICATION = "http://terminology.hl7.org/CodeSystem/condition-ver-status";
// Statuses in their HL7 code systems, as records send them.
const condition = (system, code, clinical = "active", verification = "confirmed", extra = {}) =>
  ({ resourceType: "Condition", code: { coding: [{ system, code }] },
     ...(clinical && { clinicalStatus: { coding: [{ system: CLINICAL, code: clinical }] } }),
     ...(verification && { verificationStatus: { coding: [{ system: VERIFICATION, code: verification }] } }),
     ...extra });
const LOCAL = "https://hopital.example/statuts";
const ANS = "https://mos.esante.gouv.fr/NOS";
const CIM10_ATIH = `${ANS}/TRE_R310-CIM10ATIH/FHIR/TRE-R310-CIM10ATIH`;
const ansLoinc = (code) => ({ coding: [{ system: `${ANS}/TRE_A04-Loinc/FHIR/TRE-A04-Loinc`, code }] });
const man = { resourceType: "Patient", gender: "male", birthDate: "1976-12-08" };

// Each case: the record, then what some fields must hold (a RegExp matches a text; for
// `notes`, their texts joined).
const cases = [
  // The patient
  ["age in whole years", { patient: man }, { sex: { index: 1 }, age: { text: "49" } }],
  ["age on the local calendar date: a Paris birthday before 02:00 UTC",
   { patient: { gender: "female", birthDate: "1976-12-08" }, today: new Date("2026-12-07T23:30:00Z") },
   { age: { text: "50" } }],
  ["a deceased patient has no age", { patient: { ...man, deceasedDateTime: "2026-03-01T10:00:00+01:00" } },
   { age: { text: "", reason: /patient décédé le 01\/03\/2026/ } }],
  ["gender other is left to choose", { patient: { gender: "other" } },
   { sex: { index: -1, reason: /sexe enregistré : autre : à choisir/ }, age: { text: "", reason: /naissance manquante/ } }],
  // Which observation counts
  ["status: final, amended, corrected; others ignored",
   { observations: [obs("8480-6", qty(150, "mm[Hg]"), "2026-01-01"),
                    obs("8480-6", qty(135, "mm[Hg]"), "2026-10-01", "amended"),
                    obs("8480-6", qty(190, "mm[Hg]"), "2026-11-01", "entered-in-error"),
                    obs("8480-6", qty(170, "mm[Hg]"), "2026-11-02", "preliminary")] },
   { systolic: { text: "135", stale: false } }],
  ["times compared as instants: 00:15+02:00 is before 23:30Z the day before",
   { observations: [obs("8480-6", qty(141, "mm[Hg]"), "2026-10-01T23:30:00Z"),
                    obs("8480-6", qty(152, "mm[Hg]"), "2026-10-02T00:15:00+02:00")] },
   { systolic: { text: "141" } }],
  ["effectivePeriod and effectiveInstant count as times",
   { observations: [{ ...obs("8480-6", qty(131, "mm[Hg]")), effectiveDateTime: undefined, effectiveInstant: "2026-10-03T08:00:00Z" },
                    { ...obs("8480-6", qty(132, "mm[Hg]")), effectiveDateTime: undefined,
                      effectivePeriod: { start: "2026-10-02T08:00:00Z", end: "2026-10-02T09:00:00Z" } }] },
   { systolic: { text: "131" } }],
  ["a tie: the later issued wins",
   { observations: [obs("8480-6", qty(121, "mm[Hg]"), "2026-10-01", "final", { issued: "2026-10-01T10:00:00Z" }),
                    obs("8480-6", qty(122, "mm[Hg]"), "2026-10-01", "final", { issued: "2026-10-01T12:00:00Z" })] },
   { systolic: { text: "122" } }],
  ["a tie: the correction wins over the final it corrects",
   { observations: [obs("8480-6", qty(124, "mm[Hg]"), "2026-10-01", "corrected"),
                    obs("8480-6", qty(123, "mm[Hg]"), "2026-10-01", "final")] },
   { systolic: { text: "124" } }],
  ["no effective time: issued is used, and said",
   { observations: [{ ...obs("8480-6", qty(128, "mm[Hg]")), effectiveDateTime: undefined, issued: "2026-09-01T10:00:00Z" }] },
   { systolic: { text: "128", source: { dateNote: /date de publication/ } } }],
  ["neither time: date unknown, marked stale",
   { observations: [{ ...obs("8480-6", qty(129, "mm[Hg]")), effectiveDateTime: undefined }] },
   { systolic: { text: "129", stale: true } }],
  ["a time more than a day ahead is ignored, and said",
   { observations: [obs("8480-6", qty(300, "mm[Hg]"), "2062-10-01"), obs("8480-6", qty(138, "mm[Hg]"), "2026-10-01")] },
   { systolic: { text: "138", notes: /du futur ignorée \(01\/10\/2062\)/ } }],
  ["a data-absent value does not hide an older usable one",
   { observations: [obs("2085-9", undefined, "2026-11-01", "final", absent), obs("2085-9", qty(0.5, "g/L"), "2026-06-01")] },
   { hdl: { text: "0.5" } }],
  ["a censored newest value leaves the field empty; no older value replaces it",
   { observations: [obs("2085-9", qty(15, "mg/dL", { comparator: "<" }), "2026-11-01"), obs("2085-9", qty(0.5, "g/L"), "2026-06-01")] },
   { hdl: { text: "", reason: /valeur censurée \(< 15 mg\/dL/ } }],
  ["a stale measurement is filled and marked",
   { observations: [obs("8462-4", qty(85, "mm[Hg]"), "2025-06-30")] },
   { diastolic: { text: "85", stale: true } }],
  // Pressures from one reading
  ["both pressures from the newest panel",
   { observations: [panel("2026-09-01", mmHg(142), mmHg(88)), obs("8480-6", qty(150, "mm[Hg]"), "2026-01-01")] },
   { systolic: { text: "142" }, diastolic: { text: "88" } }],
  ["a panel without its diastolic: each its own newest, said to differ in date",
   { observations: [panel("2026-09-01", mmHg(142), absent), panel("2026-03-01", mmHg(160), mmHg(95))] },
   { systolic: { text: "142", notes: /dates différentes/ }, diastolic: { text: "95", notes: /dates différentes/ } }],
  ["pressure in another unit is left empty", { observations: [obs("8480-6", qty(20, "kPa"), "2026-10-01")] },
   { systolic: { text: "", reason: /unité non prise en charge : 20 kPa/ } }],
  // Codes and units
  ["a unit's display text is never trusted",
   { observations: [obs("2093-3", { value: 2.1, unit: "g/L" }, "2026-10-01")] },
   { total: { text: "", reason: /unité non prise en charge/ } }],
  ["cholesterol in g/l, as French labs write the litre", { observations: [obs("2093-3", qty(2.1, "g/l"), "2026-10-01"),
                                                                         obs("2085-9", qty(0.55, "g/l"), "2026-10-01")] },
   { unit: { index: 1 }, total: { text: "2.1" }, hdl: { text: "0.55" } }],
  ["mg/dl to g/L, exactly", { observations: [obs("2093-3", qty(230, "mg/dl"), "2026-10-01"),
                                              obs("2085-9", qty(49.5, "mg/dL"), "2026-10-01")] },
   { unit: { index: 1 }, total: { text: "2.3" }, hdl: { text: "0.495" } }],
  ["mmol/l, total under 35200-5", { observations: [obs("35200-5", qty(5.93, "mmol/l"), "2026-10-01"),
                                                    obs("14646-4", qty(1.29, "mmol/L"), "2026-10-01")] },
   { unit: { index: 0 }, total: { text: "5.93" }, hdl: { text: "1.29" } }],
  ["the unit decides, not the code: a moles code in mg/dL",
   { observations: [obs("14647-2", qty(200, "mg/dL"), "2026-10-01"), obs("2085-9", qty(0.5, "g/L"), "2026-10-01")] },
   { unit: { index: 1 }, total: { text: "2" } }],
  ["UCUM is case-sensitive but for the litre: MG/DL is refused",
   { observations: [obs("2093-3", qty(230, "MG/DL"), "2026-10-01")] }, { total: { text: "", reason: /unité non prise en charge/ } }],
  ["code systems in their OID forms",
   { observations: [{ ...obs("2093-3", { ...qty(2.2, "g/L"), system: "urn:oid:2.16.840.1.113883.6.8" }, "2026-10-01"),
                      code: { coding: [{ system: "urn:oid:2.16.840.1.113883.6.1", code: "2093-3" }] } }],
     conditions: [condition("urn:oid:2.16.840.1.113883.6.3", "E11.9"), condition("urn:oid:2.16.840.1.113883.6.96", "164873001")] },
   { total: { text: "2.2" }, diabetes: { checked: true }, lvh: { checked: true } }],
  ["mixed units: the mass one converted with the form's factor",
   { observations: [obs("14647-2", qty(5.2, "mmol/L"), "2026-10-01"), obs("2085-9", qty(50, "mg/dL"), "2026-10-01")] },
   { unit: { index: 0 }, total: { text: "5.2" }, hdl: { text: "1.29" } }],
  // Conditions
  ["diabetes from the value set: a SNOMED subtype, ICD-10-CM, CIM-10",
   { conditions: [condition(SCT, "313436004")] }, { diabetes: { checked: true, source: { code: "SNOMED 313436004" } } }],
  ["ICD-10-CM from the value set", { conditions: [condition("http://hl7.org/fhir/sid/icd-10-cm", "E11.65")] },
   { diabetes: { checked: true } }],
  ["recurrence and relapse are kinds of active",
   { conditions: [condition(SCT, "44054006", "recurrence"), condition(SCT, "164873001", "relapse")] },
   { diabetes: { checked: true }, lvh: { checked: true } }],
  ["refuted never counts, though still active",
   { conditions: [condition(SCT, "44054006", "active", "refuted"), condition(SCT, "164873001", "active", "entered-in-error")] },
   { diabetes: { checked: false, reason: /réfuté/ }, lvh: { checked: false, reason: /réfuté/ } }],
  ["unconfirmed, provisional, differential: to check",
   { conditions: [condition(SCT, "44054006", "active", "provisional"), condition(SCT, "164873001", "active", "differential")] },
   { diabetes: { checked: false, reason: /non confirmé : à vérifier/ }, lvh: { checked: false, reason: /à vérifier/ } }],
  ["no clinical status: unticked and said",
   { conditions: [condition(SCT, "44054006", null)] }, { diabetes: { checked: false, reason: /statut clinique absent/ } }],
  ["an abatement ends it", { conditions: [condition(SCT, "44054006", "active", "confirmed", { abatementDateTime: "2020-01-01" })] },
   { diabetes: { checked: false, reason: /résolu ou inactif/ } }],
  ["no verification status counts", { conditions: [condition(SCT, "44054006", "active", null)] },
   { diabetes: { checked: true } }],
  ["gestational diabetes and prediabetes never count; what was seen is said",
   { conditions: [condition(SCT, "11687002"), condition(SCT, "714628002"), condition("http://hl7.org/fhir/sid/icd-10", "O24.4")] },
   { diabetes: { checked: false, reason: /aucun code de diabète reconnu parmi 3 problèmes actifs/ } }],
  // Smoking
  ["smoking: a current smoker of the value set", { observations: [smoking(SCT, "428061000124105")] }, { smoker: { checked: true } }],
  ["smoking: a LOINC answer code", { observations: [smoking("http://loinc.org", "LA18977-1")] }, { smoker: { checked: true } }],
  ["an ex-smoker is not a smoker", { observations: [smoking(SCT, "8517006")] }, { smoker: { checked: false, source: { recorded: /ancien fumeur/ } } }],
  ["never smoked", { observations: [smoking("http://loinc.org", "LA18978-9")] }, { smoker: { checked: false } }],
  ["unknown smoking status: the box is left undecided", { observations: [smoking(SCT, "266927001")] },
   { smoker: { checked: false, undecided: "statut tabagique", reason: /inconnu/ } }],
  ["nothing in the record: empty fields, each with its reason; smoking undecided", {},
   { systolic: { text: "", reason: /aucune mesure/ }, total: { text: "", reason: /aucune mesure/ },
     smoker: { checked: false, undecided: "statut tabagique", reason: /absent du dossier : à cocher ou décocher/ },
     diabetes: { reason: /^aucun problème actif dans le dossier : case non cochée$/ } }],
  // The codes French hospitals use
  ["LOINC under the ANS URI: pressures and cholesterol read",
   { observations: [{ ...obs("8480-6", qty(146, "mm[Hg]"), "2026-10-01"), code: ansLoinc("8480-6") },
                    { ...obs("2093-3", qty(2.4, "g/L"), "2026-10-01"), code: ansLoinc("2093-3") }] },
   { systolic: { text: "146" }, total: { text: "2.4" } }],
  ["CIM-10 under the ANS URIs, written without the dot (PMSI)",
   { conditions: [condition(CIM10_ATIH, "E119"), condition("https://smt.esante.gouv.fr/terminologie-cim-10", "E10.9")] },
   { diabetes: { checked: true, source: { code: "CIM-10 E119" } } }],
  // Statuses from their HL7 code systems only
  ["a local status listed first does not hide the HL7 one",
   { conditions: [{ ...condition(SCT, "44054006"), clinicalStatus: { coding: [{ system: LOCAL, code: "inactive" },
                                                                                { system: CLINICAL, code: "active" }] } }] },
   { diabetes: { checked: true } }],
  ["a status in another system alone: to check",
   { conditions: [{ ...condition(SCT, "44054006"), clinicalStatus: { coding: [{ system: LOCAL, code: "active" }] } }] },
   { diabetes: { checked: false, reason: /statut clinique absent du dossier : à vérifier/ } }],
  ["a status without its system counts for nothing",
   { conditions: [{ ...condition(SCT, "44054006"), clinicalStatus: { coding: [{ code: "active" }] } }] },
   { diabetes: { checked: false, reason: /à vérifier/ } }],
  // LVH on the ECG
  ["LVH whatever the method leaves the box undecided",
   { conditions: [condition(SCT, "55827005")] },
   { lvh: { checked: false, undecided: "HVG à l'ECG ?", reason: /à l'ECG \? à cocher ou décocher/ } }],
  ["LVH on the ECG from an ECG observation's finding",
   { observations: [{ resourceType: "Observation", status: "final", code: loinc("8601-7"), effectiveDateTime: "2026-05-02",
                      valueCodeableConcept: { coding: [{ system: SCT, code: "164873001" }] } }] },
   { lvh: { checked: true } }],
  // A panel is read by its components, whatever its own codes
  ["a panel whose own code lists 8480-6 is read by its components",
   { observations: [{ ...panel("2026-09-01", mmHg(139), mmHg(84)),
                      code: { coding: [{ system: "http://loinc.org", code: "85354-9" }, { system: "http://loinc.org", code: "8480-6" }] } },
                    obs("8480-6", qty(170, "mm[Hg]"), "2026-01-01")] },
   { systolic: { text: "139" }, diastolic: { text: "84" } }],
];

function expectFields(fields, expected, where) {
  for (const [field, want] of Object.entries(expected)) {
    for (const [key, value] of Object.entries(want)) {
      let got = fields[field][key];
      if (key === "notes") got = (got ?? []).join(" ; ");
      if (value instanceof RegExp) assert.match(got ?? "", value, `${where}: ${field}.${key}`);
      else if (value && typeof value === "object") expectFields({ [key]: got ?? {} }, { [key]: value }, `${where}: ${field}`);
      else assert.equal(got, value, `${where}: ${field}.${key}`);
    }
  }
}

for (const [name, record, expected] of cases) {
  test(name, () => {
    const fields = readRecord({ patient: man, today: TODAY, timeZone: ZONE, valueSets, ...record });
    expectFields(fields, expected, name);
  });
}

test("identity, in French", () => {
  const identity = readIdentity({ gender: "female", birthDate: "1958-06-01",
    name: [{ use: "official", family: "Martin", given: ["Claire"] }] }, "https://dossier.example/fhir", ZONE);
  assert.deepEqual(identity, { name: "Claire MARTIN", birthDate: "01/06/1958", sex: "féminin",
                               server: "https://dossier.example/fhir" });
});

test("a known cardiovascular disease from the ASCVD value sets, active and confirmed only", () => {
  const mi = condition(SCT, "22298006");  // myocardial infarction
  assert.equal(knownCardiovascularDisease([mi], valueSets)?.label, "infarctus du myocarde");
  assert.equal(knownCardiovascularDisease([condition(SCT, "22298006", "resolved")], valueSets), null);
  assert.equal(knownCardiovascularDisease([condition(SCT, "44054006")], valueSets), null);
  // CIM-10 by category, the dot optional, under every URI; not a neighbouring category.
  for (const [system, code] of [[CIM10_ATIH, "I214"], ["http://hl7.org/fhir/sid/icd-10", "I25.1"],
                                ["urn:oid:2.16.840.1.113883.6.3", "I63.9"], [CIM10_ATIH, "Z955"],
                                [`${ANS}/TRE_R310-CIM10/FHIR/TRE-R310-CIM10`, "I702"]]) {
    assert.ok(knownCardiovascularDisease([condition(system, code)], valueSets), `${system} ${code}`);
  }
  for (const code of ["I26.0", "I70.0", "Z95.0", "I10"]) {
    assert.equal(knownCardiovascularDisease([condition(CIM10_ATIH, code)], valueSets), null, code);
  }
});

test("paging is bounded; the rest is said to be missing", () => {
  const bundle = (n, next) => ({ resourceType: "Bundle", entry: Array.from({ length: n }, () => ({ resource: {} })),
                                 ...(next && { link: [{ relation: "next", url: "x" }] }) });
  assert.deepEqual(collectEntries([bundle(3)]).partial, false);
  assert.equal(collectEntries([bundle(3, true)]).partial, true);
  const many = collectEntries(Array.from({ length: 3 }, () => bundle(900)));
  assert.deepEqual([many.resources.length, many.partial], [2000, true]);
  assert.throws(() => collectEntries([{ resourceType: "OperationOutcome" }]), /illisible/);
  // Whether the server sorted as asked, from its "self" link; cut and unsorted: said.
  const self = (url) => ({ resourceType: "Bundle", link: [{ relation: "self", url }, { relation: "next", url: "x" }] });
  const sorted = collectEntries([self("https://s/fhir/Observation?code=1&_sort=-date")], "-date");
  const ignored = collectEntries([self("https://s/fhir/Observation?code=1")], "-date");
  assert.deepEqual([sorted.sorted, ignored.sorted], [true, false]);
  assert.deepEqual(fieldsMaybeOutdated(sorted, { partial: false }), []);
  assert.match(fieldsMaybeOutdated(ignored, { partial: false }).join(", "), /^pressions, cholestérol total/);
});

test("a failed launch is named in French", () => {
  const rows = [[{ status: 404 }, "dossier introuvable"], [{ status: 403 }, "accès refusé par le serveur"],
                [new TypeError("Failed to fetch"), "serveur injoignable"], [{ status: 401 }, "session expirée"],
                [new SyntaxError("Unexpected end of JSON input"), "réponse illisible"],
                [new Error("access_denied: the user refused"), "autorisation refusée"],
                [new Error("No patient selected in the launch context"), "aucun patient choisi"],
                [new Error("403 Forbidden: https://s/fhir/Observation?patient=1"), "réponse illisible"]];
  for (const [error, said] of rows) assert.equal(launchFailure(error), said);
  // The detail keeps where it failed, never who: no patient id, launch or code.
  assert.equal(failureDetail(new Error("Could not fetch https://ehr.example/fhir/Patient/8472?_count=1 (launch=abc)")),
               "Could not fetch https://ehr.example/fhir/Patient/… (launch=…)");
});

test("only the servers the site lists, as their addresses compare", () => {
  const config = { servers: [{ iss: "https://Dossier.Hopital.fr/fhir/", clientId: "vessane" },
                             { iss: "https://autre.example/r4", clientId: "v2" }] };
  const rows = [["https://dossier.hopital.fr/fhir", "vessane"], ["https://DOSSIER.hopital.fr/fhir//", "vessane"],
                ["https://autre.example/r4", "v2"], ["https://dossier.hopital.fr/fhir/other", null],
                ["http://dossier.hopital.fr/fhir", null], ["https://dossier.hopital.fr:8443/fhir", null],
                ["https://dossier.hopital.fr.evil.example/fhir", null], ["pas une adresse", null], [undefined, null]];
  for (const [url, clientId] of rows) assert.equal(allowedServer(config, url)?.clientId ?? null, clientId, String(url));
  assert.equal(allowedServer({}, "https://dossier.hopital.fr/fhir"), null);
});
