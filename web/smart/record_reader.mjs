// Reads the form's values from a patient's FHIR R4 record, and says for each one where it
// came from, how old it is and how it was converted, or why it is left empty. It never
// guesses: a value with no usable source stays empty, and the form then says ERREUR.
// Pure: the resources in, the fields out; the page fetches and shows.

const LOINC = "http://loinc.org";
const SNOMED = "http://snomed.info/sct";
const UCUM = "http://unitsofmeasure.org";
const USABLE_STATUSES = new Set(["final", "amended", "corrected"]);
const STALE_MONTHS = 12;
const GRAMS_TO_MMOL = 2.58; // the form's own factor
const FIELD_CHARACTERS = 6; // what the form reads of a field

// Observations by LOINC code, and the panels whose components hold the pressures.
const CODES = {
  systolic: ["8480-6"],
  diastolic: ["8462-4"],
  total: ["2093-3", "14647-2"],
  hdl: ["2085-9", "14646-4"],
  smoking: ["72166-2"],
};
const PRESSURE_PANELS = ["85354-9", "55284-4"];

// Smoking status (SNOMED CT): current smokers tick the box; former and never smokers
// leave it unticked; anything else is unknown.
const CURRENT_SMOKER = new Set(["449868002", "428041000124106", "77176002", "65568007",
  "428071000124103", "428061000124105"]);
const NOT_SMOKING = new Map([["8517006", "ancien fumeur"], ["266919005", "n'a jamais fumé"]]);

// Conditions: SNOMED CT codes, or ICD-10 (CIM-10) code prefixes.
const CONDITIONS = {
  diabetes: { snomed: ["73211009", "44054006", "46635009", "190330002", "11530004"],
              icd10: /^E1[0-4]/, label: "diabète" },
  lvh: { snomed: ["164873001", "55827005"], icd10: null, label: "HVG à l'ECG" },
};

const hasCode = (concept, system, codes) =>
  (concept?.coding ?? []).some((c) => c.system === system && codes.includes(c.code));

const effectiveDate = (observation) =>
  observation.effectiveDateTime ?? observation.effectivePeriod?.start ??
  observation.effectiveInstant ?? observation.issued ?? null;

const day = (date) => (date ? String(date).slice(0, 10) : "date inconnue");

function isStale(date, today) {
  if (!date) return true;
  const limit = new Date(today);
  limit.setUTCMonth(limit.getUTCMonth() - STALE_MONTHS);
  return new Date(date) < limit;
}

// The most recent usable observation of the codes, directly or as a panel's component:
// { quantity or concept, code, date } or null.
function latest(observations, codes, { components = false } = {}) {
  const found = [];
  for (const observation of observations) {
    if (!USABLE_STATUSES.has(observation.status)) continue;
    const date = effectiveDate(observation);
    if (hasCode(observation.code, LOINC, codes)) {
      found.push({ observation, value: observation, code: codes.find(
        (code) => hasCode(observation.code, LOINC, [code])), date });
    } else if (components && hasCode(observation.code, LOINC, PRESSURE_PANELS)) {
      for (const component of observation.component ?? []) {
        if (hasCode(component.code, LOINC, codes)) {
          found.push({ observation, value: component, code: codes[0], date, panel: true });
        }
      }
    }
  }
  found.sort((a, b) => String(b.date ?? "").localeCompare(String(a.date ?? "")));
  return found[0] ?? null;
}

// A decimal's text moved by a power of ten, exactly (no binary rounding): "230", -2 → "2.3".
function shiftDecimal(text, places) {
  const negative = text.startsWith("-");
  let [whole, fraction = ""] = (negative ? text.slice(1) : text).split(".");
  let digits = whole + fraction;
  let point = whole.length + places;
  while (point <= 0) { digits = "0" + digits; ++point; }
  while (point > digits.length) digits += "0";
  let result = digits.slice(0, point).replace(/^0+(?=\d)/, "") +
               (point < digits.length ? "." + digits.slice(point) : "");
  result = result.replace(/(\.\d*?)0+$/, "$1").replace(/\.$/, "");
  return (negative ? "-" : "") + result;
}

// A number as the form's field takes it: at most six characters. Returns { text, note }.
function fieldText(text) {
  if (text.length <= FIELD_CHARACTERS) return { text, note: null };
  const value = Number(text);
  for (let decimals = 4; decimals >= 0; --decimals) {
    const rounded = value.toFixed(decimals);
    if (rounded.length <= FIELD_CHARACTERS) return { text: rounded, note: `arrondi à ${rounded}` };
  }
  return { text: null, note: null };
}

const recorded = (quantity) =>
  `${quantity.value} ${quantity.unit ?? quantity.code ?? "(sans unité)"}`;

// A quantity's UCUM unit, or null when it is not coded in UCUM (display texts are never
// trusted).
const ucum = (quantity) => (quantity?.system === UCUM ? quantity.code : null);

function source(found, extra = {}) {
  return { code: `LOINC ${found.code}${found.panel ? " (composant d'un bilan tensionnel)" : ""}`,
           date: day(found.date), ...extra };
}

function pressure(observations, field, today) {
  const found = latest(observations, CODES[field], { components: true });
  if (!found) return { text: "", reason: "aucune mesure utilisable dans le dossier" };
  const quantity = found.value.valueQuantity;
  if (ucum(quantity) !== "mm[Hg]" || typeof quantity.value !== "number") {
    return { text: "", reason: `unité non prise en charge : ${quantity ? recorded(quantity) : "aucune valeur"} (${source(found).code}, ${day(found.date)})` };
  }
  const { text, note } = fieldText(String(quantity.value));
  return { text: text ?? "", stale: isStale(found.date, today),
           source: source(found, { recorded: recorded(quantity), conversion: note }),
           reason: text ? null : "valeur trop longue pour le champ" };
}

// A cholesterol measurement in g/L or mmol/L: { grams: bool, text, conversion } or a reason.
function cholesterol(observations, field) {
  const found = latest(observations, CODES[field]);
  if (!found) return { reason: "aucune mesure utilisable dans le dossier" };
  const quantity = found.value.valueQuantity;
  const unit = ucum(quantity);
  if (typeof quantity?.value !== "number" || !["g/L", "mg/dL", "mmol/L"].includes(unit)) {
    return { reason: `unité non prise en charge : ${quantity ? recorded(quantity) : "aucune valeur"} (LOINC ${found.code}, ${day(found.date)})` };
  }
  const typed = String(quantity.value);
  const value = unit === "mg/dL"
    ? { grams: true, text: shiftDecimal(typed, -2), conversion: "mg/dL ÷ 100 → g/L" }
    : { grams: unit === "g/L", text: typed, conversion: null };
  return { ...value, found, quantity };
}

// Sex, age, pressures, cholesterol (with the unit selector), smoker, diabetes and LVH from
// the record. Each field: { text | index | checked, source?, stale?, reason? }.
export function readRecord({ patient, observations = [], conditions = [], today = new Date() }) {
  const fields = {};

  const gender = patient?.gender;
  fields.sex = gender === "male" ? { index: 1, source: { code: "Patient.gender", recorded: gender } }
    : gender === "female" ? { index: 0, source: { code: "Patient.gender", recorded: gender } }
    : { index: -1, reason: `sexe non renseigné dans le dossier (${gender ?? "absent"})` };

  const birth = patient?.birthDate;
  if (birth && /^\d{4}-\d{2}-\d{2}$/.test(birth)) {
    const [y, m, d] = birth.split("-").map(Number);
    const now = new Date(today);
    let age = now.getUTCFullYear() - y;
    if (now.getUTCMonth() + 1 < m || (now.getUTCMonth() + 1 === m && now.getUTCDate() < d)) --age;
    fields.age = { text: String(age), source: { code: "Patient.birthDate", recorded: birth } };
  } else {
    fields.age = { text: "", reason: `date de naissance absente ou incomplète (${birth ?? "absente"})` };
  }

  fields.systolic = pressure(observations, "systolic", today);
  fields.diastolic = pressure(observations, "diastolic", today);

  const total = cholesterol(observations, "total");
  const hdl = cholesterol(observations, "hdl");
  // Both in the same unit: the mass one goes to mmol/L when they differ.
  let grams = (total.text ?? hdl.text) !== undefined ? (total.grams ?? hdl.grams) : true;
  if (total.text !== undefined && hdl.text !== undefined && total.grams !== hdl.grams) {
    grams = false;
    for (const c of [total, hdl]) {
      if (!c.grams) continue;
      const converted = (Number(c.text) * GRAMS_TO_MMOL).toFixed(2);
      c.conversion = `${c.conversion ? c.conversion + ", puis " : ""}g/L × ${GRAMS_TO_MMOL} → ${converted} mmol/L (l'autre valeur est en mmol/L)`;
      c.text = converted;
      c.grams = false;
    }
  }
  fields.unit = { index: grams ? 1 : 0, source: { recorded: grams
    ? "g/L, celle des mesures du dossier" : "mmol/L, celle des mesures du dossier" } };
  for (const [name, c] of [["total", total], ["hdl", hdl]]) {
    if (c.reason) {
      fields[name] = { text: "", reason: c.reason };
      continue;
    }
    const { text, note } = fieldText(c.text);
    const conversion = [c.conversion, note].filter(Boolean).join(", ") || null;
    fields[name] = { text: text ?? "", stale: isStale(c.found.date, today),
                     source: source(c.found, { recorded: recorded(c.quantity), conversion }),
                     reason: text ? null : "valeur trop longue pour le champ" };
  }

  const smoking = latest(observations, CODES.smoking);
  const status = smoking?.value.valueCodeableConcept;
  const statusCode = (status?.coding ?? []).find((c) => c.system === SNOMED)?.code;
  if (!smoking) {
    fields.smoker = { checked: false, reason: "statut tabagique absent du dossier : case non cochée" };
  } else if (CURRENT_SMOKER.has(statusCode)) {
    fields.smoker = { checked: true, stale: isStale(smoking.date, today),
                      source: source(smoking, { recorded: `SNOMED ${statusCode} (fumeur actuel)` }) };
  } else if (NOT_SMOKING.has(statusCode)) {
    fields.smoker = { checked: false, stale: isStale(smoking.date, today),
                      source: source(smoking, { recorded: `SNOMED ${statusCode} (${NOT_SMOKING.get(statusCode)})` }) };
  } else {
    fields.smoker = { checked: false, reason: `statut tabagique inconnu (${statusCode ? "SNOMED " + statusCode : status?.text ?? "non codé"}) : case non cochée` };
  }

  for (const [name, rule] of Object.entries(CONDITIONS)) {
    const found = conditions.find((condition) =>
      (condition.clinicalStatus?.coding ?? []).some((c) => c.code === "active") &&
      !(condition.verificationStatus?.coding ?? []).some((c) => c.code === "entered-in-error") &&
      (hasCode(condition.code, SNOMED, rule.snomed) ||
       (rule.icd10 && (condition.code?.coding ?? []).some((c) =>
         /icd-?10|cim-?10/i.test(c.system ?? "") && rule.icd10.test(c.code ?? "")))));
    if (found) {
      const coding = found.code.coding.find((c) => c.code);
      fields[name] = { checked: true, source: { code: `${/snomed/.test(coding.system) ? "SNOMED" : "CIM-10"} ${coding.code}`,
        date: day(found.onsetDateTime ?? found.recordedDate), recorded: found.code.text ?? coding.display ?? coding.code } };
    } else {
      fields[name] = { checked: false, reason: `aucun ${rule.label} actif dans le dossier : case non cochée` };
    }
  }
  return fields;
}
