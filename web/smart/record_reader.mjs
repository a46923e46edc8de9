// Reads the form's values from a patient's FHIR R4 record, and says for each one where it
// came from, how old it is and how it was converted, or why it is left empty. It never
// guesses: a value with no usable source stays empty, and the form then says ERREUR.
// Pure: the resources in, the fields out; the page fetches and shows. The code lists it
// matches are published value sets, shipped as data (value_sets.json) and passed in.
import { FORM } from "./form_tables.mjs";

// Each code system under every URI records use for it: HL7's, its OID, and the French
// ANS terminology server's (docs/smart.md lists them).
const ANS = "https://mos.esante.gouv.fr/NOS";
const SYSTEMS = {
  loinc: ["http://loinc.org", "urn:oid:2.16.840.1.113883.6.1", `${ANS}/TRE_A04-Loinc/FHIR/TRE-A04-Loinc`],
  snomed: ["http://snomed.info/sct", "urn:oid:2.16.840.1.113883.6.96"],
  icd10: ["http://hl7.org/fhir/sid/icd-10", "urn:oid:2.16.840.1.113883.6.3",
          "https://smt.esante.gouv.fr/terminologie-cim-10",
          `${ANS}/TRE_R310-CIM10ATIH/FHIR/TRE-R310-CIM10ATIH`, `${ANS}/TRE_R310-CIM10/FHIR/TRE-R310-CIM10`],
  icd10cm: ["http://hl7.org/fhir/sid/icd-10-cm", "urn:oid:2.16.840.1.113883.6.90"],
  ucum: ["http://unitsofmeasure.org", "urn:oid:2.16.840.1.113883.6.8"],
};
// Condition statuses count only in their HL7 code systems.
const CLINICAL_STATUS = "http://terminology.hl7.org/CodeSystem/condition-clinical";
const VERIFICATION_STATUS = "http://terminology.hl7.org/CodeSystem/condition-ver-status";
const SYSTEM_NAMES = { loinc: "LOINC", snomed: "SNOMED", icd10: "CIM-10", icd10cm: "CIM-10-CM" };
const systemOf = (uri) => Object.keys(SYSTEMS).find((name) => SYSTEMS[name].includes(uri));

const USABLE_STATUSES = new Set(["final", "amended", "corrected"]);
const STALE_MONTHS = 12;
const FUTURE_TOLERANCE_MS = 24 * 3600 * 1000;  // a clock a little ahead is no typo
const GRAMS_TO_MMOL = FORM.cholesterolFactor;  // the form's own factor
const FIELD_CHARACTERS = FORM.fieldCharacters;  // what the form reads of a field

// Observations by LOINC code, and the panels whose components hold the pressures.
export const LOINC_CODES = {
  systolic: ["8480-6"],
  diastolic: ["8462-4"],
  // Total and HDL cholesterol in serum or plasma: by mass, by moles, or either (the unit
  // of the value decides the conversion, never the code).
  total: ["2093-3", "14647-2", "35200-5"],
  hdl: ["2085-9", "14646-4"],
  smoking: ["72166-2"],
  pressurePanels: ["85354-9", "55284-4"],
};

// Smoking status answers: the shipped value set's SNOMED CT codes, sorted by what they
// mean from their displays ("Current…", "…smoker, current status unknown", "Former…",
// "Never…", "Unknown if ever…"), and the LOINC answer codes of 72166-2 (LA…), which that
// value set does not hold.
const LOINC_SMOKING_ANSWERS = {
  current: ["LA18976-3", "LA18977-1", "LA18980-5", "LA18981-3", "LA18982-1"],
  former: ["LA15920-4"], never: ["LA18978-9"], unknown: ["LA18979-7"],
};
function smokingKinds(valueSet) {
  const kinds = { current: [], former: [], never: [], unknown: [] };
  for (const [code, display] of Object.entries(valueSet?.display ?? {})) {
    const kind = /^unknown/i.test(display) ? "unknown" : /^former/i.test(display) ? "former"
      : /^never/i.test(display) ? "never" : /smoker/i.test(display) ? "current" : null;
    if (kind) kinds[kind].push(code);
  }
  for (const kind of Object.keys(kinds)) kinds[kind].push(...LOINC_SMOKING_ANSWERS[kind]);
  return kinds;
}
const SMOKING_WORDS = { current: "fumeur actuel", former: "ancien fumeur", never: "n'a jamais fumé",
                        unknown: "statut inconnu" };

// Left ventricular hypertrophy (SNOMED CT): the ECG finding the equations mean, and the
// disorder whatever the method (echocardiography, MRI), which leaves the box to decide.
const LVH_ON_ECG = "164873001";
const LVH_ANY_METHOD = "55827005";

const GENDERS = { male: "masculin", female: "féminin", other: "autre", unknown: "inconnu" };

const codings = (concept) => concept?.coding ?? [];
const hasCode = (concept, system, codes) =>
  codings(concept).some((c) => SYSTEMS[system].includes(c.system) && codes.includes(c.code));

// ---------------------------------------------------------------- times and French texts

// A FHIR date, dateTime or instant as milliseconds since the epoch, or null. A date
// without a time (or a time without a zone, which FHIR forbids) is read as UTC midnight.
function instant(text) {
  if (typeof text !== "string") return null;
  const match = /^(\d{4})(?:-(\d{2})(?:-(\d{2}))?)?(T[\d:.]+)?(Z|[+-]\d{2}:\d{2})?$/.exec(text);
  if (!match) return null;
  const [, y, m = "01", d = "01", time = "T00:00:00", zone = "Z"] = match;
  const ms = Date.parse(`${y}-${m}-${d}${time}${zone}`);
  return Number.isNaN(ms) ? null : ms;
}

// The local calendar date "YYYY-MM-DD" of an instant, in timeZone (the device's if absent).
function localDate(ms, timeZone) {
  const parts = new Intl.DateTimeFormat("en-CA", { timeZone, year: "numeric", month: "2-digit",
                                                    day: "2-digit" }).formatToParts(new Date(ms));
  const part = (type) => parts.find((p) => p.type === type).value;
  return `${part("year")}-${part("month")}-${part("day")}`;
}

// A FHIR date or dateTime as a French reader writes it: "07/12/2026", "12/2026", "2026".
export function frenchDate(text, timeZone) {
  if (typeof text !== "string") return "date inconnue";
  let date = text;
  if (/T/.test(text)) {
    const ms = instant(text);
    if (ms === null) return text;
    date = localDate(ms, timeZone);
  }
  return date.split("-").reverse().join("/");
}

// A number as French text: a decimal comma.
const frenchNumber = (value) => String(value).replace(".", ",");

// ---------------------------------------------------------------- units

// A UCUM unit in a canonical spelling for comparison. UCUM is case-sensitive, but the
// litre has two symbols, "l" and "L": any prefixed litre is spelled with "L".
const PREFIXES = ["", "d", "c", "m", "u", "n", "p", "f", "da", "h", "k"];
function canonicalUcum(unit) {
  if (typeof unit !== "string") return null;
  return unit.split("/").map((term) => {
    const prefix = term.slice(0, -1);
    return term.endsWith("l") && PREFIXES.includes(prefix) ? prefix + "L" : term;
  }).join("/");
}

// A quantity's UCUM unit in canonical spelling, or null when it is not coded in UCUM
// (display texts are never trusted).
const ucum = (quantity) =>
  SYSTEMS.ucum.includes(quantity?.system) ? canonicalUcum(quantity.code) : null;

const recorded = (quantity) =>
  `${frenchNumber(quantity.value)} ${quantity.unit ?? quantity.code ?? "(sans unité)"}`;

// ---------------------------------------------------------------- which observation counts

// When an observation was made: its effective time, else when it was issued (said so),
// else unknown.
function timing(observation) {
  const effective = observation.effectiveDateTime ?? observation.effectiveInstant ??
    observation.effectivePeriod?.end ?? observation.effectivePeriod?.start;
  if (effective !== undefined) return { date: effective, at: instant(effective) };
  if (observation.issued !== undefined) {
    return { date: observation.issued, at: instant(observation.issued), fromIssued: true };
  }
  return { date: null, at: null };
}

// Newest first: the effective instant, then the later issued, then a correction before
// what it corrects. Unknown times come last.
function newerFirst(a, b) {
  const key = (x) => [x.at ?? -Infinity, instant(x.observation.issued) ?? -Infinity,
                      x.observation.status === "final" ? 0 : 1];
  const [ka, kb] = [key(a), key(b)];
  for (let i = 0; i < ka.length; ++i) if (ka[i] !== kb[i]) return kb[i] - ka[i];
  return 0;
}

// Every candidate value of the codes, directly or as a pressure panel's component, with
// a final, amended or corrected status, newest first. Candidates more than a day in the
// future are set aside (returned as `future`).
function candidates(observations, codes, now, { panels = false } = {}) {
  const found = [];
  const future = [];
  for (const observation of observations) {
    if (!USABLE_STATUSES.has(observation.status)) continue;
    const when = timing(observation);
    const add = (value, code, panel) => {
      const candidate = { observation, value, code, panel, ...when };
      (when.at !== null && when.at > now + FUTURE_TOLERANCE_MS ? future : found).push(candidate);
    };
    // A reading with components is read by them, whatever its own codes (a panel may list
    // 8480-6 among them); otherwise by its own code.
    const parts = panels ? (observation.component ?? []).map((component) =>
      ({ component, code: codes.find((c) => hasCode(component.code, "loinc", [c])) }))
      .filter((part) => part.code) : [];
    if (parts.length) {
      for (const { component, code } of parts) add(component, code, true);
    } else {
      const direct = codes.find((code) => hasCode(observation.code, "loinc", [code]));
      if (direct) add(observation, direct, false);
    }
  }
  found.sort(newerFirst);
  return { found, future };
}

// The newest candidate that holds a value: a dataAbsentReason or a missing value is no
// measurement, and the next one counts. A value with a comparator ("< 15") is censored:
// it is returned as such, and no older value replaces it.
function newestValue(list, kind = "valueQuantity") {
  for (const candidate of list) {
    const value = candidate.value[kind];
    if (kind === "valueQuantity" && typeof value?.value !== "number") continue;
    if (kind !== "valueQuantity" && !value) continue;
    return candidate;
  }
  return null;
}

function isStale(at, now) {
  if (at === null) return true;
  const limit = new Date(now);
  limit.setUTCMonth(limit.getUTCMonth() - STALE_MONTHS);
  return at < limit.getTime();
}

function describeSource(found, timeZone, extra = {}) {
  return {
    code: `LOINC ${found.code}${found.panel ? " (composant d'un bilan tensionnel)" : ""}`,
    date: found.date ? frenchDate(found.date, timeZone) : "date inconnue",
    dateNote: found.fromIssued ? "date de l'examen absente : date de publication du résultat" : null,
    ...extra,
  };
}

const futureNote = (future, timeZone) => future.length
  ? `${future.length === 1 ? "une valeur datée" : `${future.length} valeurs datées`} du futur ignorée${future.length === 1 ? "" : "s"} (${frenchDate(future[0].date, timeZone)})`
  : null;

// A number as the form's field takes it: at most six characters. Returns { text, note }.
function fieldText(text) {
  if (text.length <= FIELD_CHARACTERS) return { text, note: null };
  const value = Number(text);
  for (let decimals = 4; decimals >= 0; --decimals) {
    const rounded = value.toFixed(decimals);
    if (rounded.length <= FIELD_CHARACTERS) {
      return { text: rounded, note: `arrondi à ${frenchNumber(rounded)}` };
    }
  }
  return { text: null, note: null };
}

// A decimal's text moved by a power of ten, exactly (no binary rounding): "230", -2 → "2.3".
function shiftDecimal(text, places) {
  const negative = text.startsWith("-");
  const [whole, fraction = ""] = (negative ? text.slice(1) : text).split(".");
  let digits = whole + fraction;
  let point = whole.length + places;
  while (point <= 0) { digits = "0" + digits; ++point; }
  while (point > digits.length) digits += "0";
  let result = digits.slice(0, point).replace(/^0+(?=\d)/, "") +
               (point < digits.length ? "." + digits.slice(point) : "");
  result = result.replace(/(\.\d*?)0+$/, "$1").replace(/\.$/, "");
  return (negative ? "-" : "") + result;
}

// The one quantity a field takes, or why it takes none: { found, quantity } or { reason }.
function measurement(list, future, timeZone) {
  const found = newestValue(list);
  if (!found) {
    const absent = list.length ? " (valeur absente dans le dossier)" : "";
    return { reason: `aucune mesure utilisable dans le dossier${absent}`, future };
  }
  const quantity = found.value.valueQuantity;
  if (quantity.comparator) {
    return { reason: `valeur censurée (${quantity.comparator} ${recorded(quantity)}, ${describeSource(found, timeZone).date}) : champ laissé vide`, future };
  }
  return { found, quantity, future };
}

function pressureField(result, now, timeZone, note) {
  if (result.reason) return { text: "", reason: result.reason, notes: [futureNote(result.future, timeZone)] };
  const { found, quantity } = result;
  if (ucum(quantity) !== "mm[Hg]") {
    return { text: "", reason: `unité non prise en charge : ${recorded(quantity)} (${describeSource(found, timeZone).code}, ${describeSource(found, timeZone).date})` };
  }
  const { text, note: rounding } = fieldText(String(quantity.value));
  return { text: text ?? "", stale: isStale(found.at, now),
           source: describeSource(found, timeZone, { recorded: recorded(quantity), conversion: rounding }),
           reason: text ? null : "valeur trop longue pour le champ",
           notes: [futureNote(result.future, timeZone), note] };
}

// Systolic and diastolic from one reading when the newest reading holds both; otherwise
// each its own newest value, and the panel says when their dates differ.
function pressures(observations, now, timeZone) {
  const sys = candidates(observations, LOINC_CODES.systolic, now, { panels: true });
  const dia = candidates(observations, LOINC_CODES.diastolic, now, { panels: true });
  const newestSys = newestValue(sys.found);
  const newestDia = newestValue(dia.found);
  const apart = newestSys && newestDia && newestSys.observation !== newestDia.observation &&
    newestSys.at !== newestDia.at;
  const note = apart ? "pressions systolique et diastolique de dates différentes" : null;
  return { systolic: pressureField(measurement(sys.found, sys.future, timeZone), now, timeZone, note),
           diastolic: pressureField(measurement(dia.found, dia.future, timeZone), now, timeZone, note) };
}

// A cholesterol measurement in g/L or mmol/L: { grams, text, conversion, ... } or a reason.
function cholesterol(observations, field, now, timeZone) {
  const { found: list, future } = candidates(observations, LOINC_CODES[field], now);
  const result = measurement(list, future, timeZone);
  if (result.reason) return result;
  const { found, quantity } = result;
  const unit = ucum(quantity);
  if (!["g/L", "mg/dL", "mmol/L"].includes(unit)) {
    return { reason: `unité non prise en charge : ${recorded(quantity)} (LOINC ${found.code}, ${describeSource(found, timeZone).date})`, future };
  }
  const typed = String(quantity.value);
  const value = unit === "mg/dL"
    ? { grams: true, text: shiftDecimal(typed, -2), conversion: "mg/dL ÷ 100 → g/L" }
    : { grams: unit === "g/L", text: typed, conversion: null };
  return { ...value, found, quantity, future };
}

// ---------------------------------------------------------------- conditions

// A status from its HL7 code system only; "other" when only another system codes it.
const statusIn = (concept, system) => {
  const all = codings(concept);
  return all.find((c) => c.system === system && c.code)?.code ?? (all.length ? "other" : undefined);
};
const clinicalStatus = (condition) => statusIn(condition.clinicalStatus, CLINICAL_STATUS);
const verificationStatus = (condition) => statusIn(condition.verificationStatus, VERIFICATION_STATUS);
const ACTIVE = new Set(["active", "recurrence", "relapse"]);
const UNCONFIRMED = new Set(["unconfirmed", "provisional", "differential"]);
const hasAbatement = (condition) => Object.keys(condition).some((key) => key.startsWith("abatement"));

// Whether a condition counts: "counts", or why not ("unconfirmed", "no-status", "inactive",
// "refuted").
function standing(condition) {
  const verification = verificationStatus(condition);
  if (verification === "refuted" || verification === "entered-in-error") return "refuted";
  const clinical = clinicalStatus(condition);
  if (!clinical || clinical === "other") return "no-status";
  if (!ACTIVE.has(clinical) || hasAbatement(condition)) return "inactive";
  if (UNCONFIRMED.has(verification)) return "unconfirmed";
  return verification === undefined || verification === "confirmed" ? "counts" : "unconfirmed";
}

// An ICD-10 code without its dot, in capitals: PMSI exports write I214 for I21.4.
const undotted = (code) => String(code ?? "").replace(".", "").toUpperCase();

// The coding of a concept found in a value set's codes: { system, code, display } or null.
// A CIM-10 (WHO ICD-10) list names categories: I21 holds I21.4 and I214.
function inValueSet(concept, valueSet) {
  for (const coding of codings(concept)) {
    const system = systemOf(coding.system);
    const list = Object.entries(valueSet.codes).find(([uri]) => systemOf(uri) === system)?.[1];
    const matches = system === "icd10"
      ? list?.some((code) => undotted(coding.code).startsWith(undotted(code)))
      : list?.includes(coding.code);
    if (system && matches) return { ...coding, name: SYSTEM_NAMES[system] };
  }
  return null;
}

// CIM-10 (WHO ICD-10) diabetes: E10 to E14.
function cim10Diabetes(concept) {
  const coding = codings(concept).find((c) => systemOf(c.system) === "icd10" && /^E1[0-4]/.test(undotted(c.code)));
  return coding ? { ...coding, name: SYSTEM_NAMES.icd10 } : null;
}

const WHY_NOT = {
  unconfirmed: "diagnostic non confirmé : à vérifier",
  "no-status": "statut clinique absent du dossier : à vérifier",
  inactive: "problème résolu ou inactif",
  refuted: "diagnostic réfuté ou saisi par erreur",
};

// A check box from the conditions that match: ticked only by one that counts.
function conditionField(conditions, match, label, timeZone) {
  const matched = conditions.map((condition) => ({ condition, coding: match(condition.code) }))
    .filter((m) => m.coding);
  const counting = matched.find((m) => standing(m.condition) === "counts");
  if (counting) {
    const { condition, coding } = counting;
    const onset = condition.onsetDateTime ?? condition.recordedDate;
    return { checked: true, source: { code: `${coding.name} ${coding.code}`,
      date: onset ? frenchDate(onset, timeZone) : null,
      recorded: condition.code.text ?? coding.display ?? coding.code } };
  }
  if (matched.length) {
    // What was seen, the most telling first.
    const order = ["unconfirmed", "no-status", "inactive", "refuted"];
    const seen = matched.map((m) => ({ ...m, why: standing(m.condition) }))
      .sort((a, b) => order.indexOf(a.why) - order.indexOf(b.why))[0];
    return { checked: false, reason: `${label} : ${WHY_NOT[seen.why]} (${seen.coding.name} ${seen.coding.code}) : case non cochée`,
             verify: seen.why === "unconfirmed" || seen.why === "no-status" };
  }
  const active = conditions.filter((c) => standing(c) === "counts").length;
  const among = active === 0 ? "aucun problème actif dans le dossier"
    : `aucun code de ${label} reconnu parmi ${active} problème${active > 1 ? "s" : ""} actif${active > 1 ? "s" : ""}`;
  return { checked: false, reason: `${among} : case non cochée` };
}

// A known cardiovascular disease (the ASCVD value sets): { label, code } or null.
export function knownCardiovascularDisease(conditions, valueSets) {
  for (const condition of conditions) {
    if (standing(condition) !== "counts") continue;
    for (const set of valueSets.ascvd) {
      const coding = inValueSet(condition.code, set);
      if (coding) return { label: set.purpose, code: `${coding.name} ${coding.code}`,
                           recorded: condition.code.text ?? coding.display ?? coding.code };
    }
  }
  return null;
}

// A cardiovascular disease of the ASCVD value sets whose status is unknown (unconfirmed,
// no clinical status): what SCORE2 must wait for, as it is for people without one.
export function cardiovascularDiseaseToCheck(conditions, valueSets) {
  return conditions.some((condition) => ["unconfirmed", "no-status"].includes(standing(condition)) &&
    valueSets.ascvd.some((set) => inValueSet(condition.code, set)));
}

// ---------------------------------------------------------------- the patient

function personName(patient) {
  const names = patient?.name ?? [];
  const name = names.find((n) => n.use === "official") ?? names[0];
  if (!name) return null;
  const parts = [...(name.given ?? []), (name.family ?? "").toUpperCase()].join(" ").trim();
  return name.text ?? (parts || null);
}

// Who the record is about, as the page's header shows it.
export function readIdentity(patient, server, timeZone) {
  return {
    name: personName(patient) ?? "(nom absent du dossier)",
    birthDate: patient?.birthDate ? frenchDate(patient.birthDate, timeZone) : "(absente)",
    sex: GENDERS[patient?.gender] ?? "(non renseigné)",
    server: server ?? null,
  };
}

function ageField(patient, now, timeZone) {
  const death = patient?.deceasedDateTime;
  if (death || patient?.deceasedBoolean === true) {
    return { text: "", reason: death ? `patient décédé le ${frenchDate(death, timeZone)}` : "patient décédé" };
  }
  const birth = patient?.birthDate;
  if (!(typeof birth === "string" && /^\d{4}-\d{2}-\d{2}$/.test(birth))) {
    return { text: "", reason: `date de naissance manquante ou incomplète (${birth ? frenchDate(birth) : "absente"})` };
  }
  const [y, m, d] = birth.split("-").map(Number);
  const [ty, tm, td] = localDate(now, timeZone).split("-").map(Number);
  let age = ty - y;
  if (tm < m || (tm === m && td < d)) --age;
  return { text: String(age), source: { recorded: `né(e) le ${frenchDate(birth)}` } };
}

function sexField(patient) {
  const gender = patient?.gender;
  if (gender === "male") return { index: 1, source: { recorded: GENDERS.male } };
  if (gender === "female") return { index: 0, source: { recorded: GENDERS.female } };
  return { index: -1, reason: `sexe enregistré : ${GENDERS[gender] ?? "absent"} : à choisir` };
}

// ---------------------------------------------------------------- smoking

// The record holds no decision for the box: it stays undecided, and the result waits.
const UNDECIDED_SMOKING = "statut tabagique";

function smokingField(observations, now, timeZone, valueSet) {
  const { found: list, future } = candidates(observations, LOINC_CODES.smoking, now);
  const found = newestValue(list, "valueCodeableConcept");
  const notes = [futureNote(future, timeZone)];
  const undecided = (why) => ({ checked: false, undecided: UNDECIDED_SMOKING, reason: `${why} : à cocher ou décocher`, notes });
  if (!found) return undecided("statut tabagique absent du dossier");
  const concept = found.value.valueCodeableConcept;
  const answers = codings(concept).filter((c) => ["snomed", "loinc"].includes(systemOf(c.system)));
  const kinds = smokingKinds(valueSet);
  for (const kind of ["current", "former", "never", "unknown"]) {
    const coding = answers.find((c) => kinds[kind].includes(c.code));
    if (!coding) continue;
    const recordedAs = `${SYSTEM_NAMES[systemOf(coding.system)]} ${coding.code} (${SMOKING_WORDS[kind]})`;
    if (kind === "unknown") return undecided(`statut tabagique inconnu dans le dossier (${recordedAs})`);
    return { checked: kind === "current", stale: isStale(found.at, now), notes,
             source: describeSource(found, timeZone, { recorded: recordedAs }) };
  }
  const shown = answers[0] ? `${SYSTEM_NAMES[systemOf(answers[0].system)]} ${answers[0].code}` : concept.text ?? "non codé";
  return undecided(`statut tabagique non reconnu (${shown})`);
}

// LVH on the ECG: an ECG finding (a condition, or an observation's coded value) ticks the
// box; LVH whatever the method leaves it undecided, as the equations mean the ECG.
function lvhField(conditions, observations, timeZone) {
  const sctCoding = (concept, code) => {
    const coding = codings(concept).find((c) => systemOf(c.system) === "snomed" && c.code === code);
    return coding ? { ...coding, name: SYSTEM_NAMES.snomed } : null;
  };
  const onEcg = conditionField(conditions, (concept) => sctCoding(concept, LVH_ON_ECG), "HVG à l'ECG", timeZone);
  if (onEcg.checked) return onEcg;
  const finding = observations.find((o) => USABLE_STATUSES.has(o.status) &&
    sctCoding(o.valueCodeableConcept, LVH_ON_ECG));
  if (finding) {
    return { checked: true, source: { code: `SNOMED ${LVH_ON_ECG}`, date: timing(finding).date
      ? frenchDate(timing(finding).date, timeZone) : null, recorded: "HVG à l'ECG (observation)" } };
  }
  const anyMethod = conditionField(conditions, (concept) => sctCoding(concept, LVH_ANY_METHOD), "HVG", timeZone);
  if (anyMethod.checked) {
    return { checked: false, undecided: "HVG à l'ECG ?",
             reason: `HVG sans méthode précisée (SNOMED ${LVH_ANY_METHOD}) : à l'ECG ? à cocher ou décocher` };
  }
  return onEcg;
}

// ---------------------------------------------------------------- the record

// Sex, age, pressures, cholesterol (with the unit selector), smoker, diabetes and LVH from
// the record. Each field: { text | index | checked, source?, stale?, reason?, notes? }.
//   today: the moment the page reads the record; timeZone: the reader's (the device's
//   when absent): ages count whole years on the local calendar date.
export function readRecord({ patient, observations = [], conditions = [], today = new Date(),
                             timeZone, valueSets }) {
  const now = new Date(today).getTime();
  const fields = {};
  fields.sex = sexField(patient);
  fields.age = ageField(patient, now, timeZone);
  Object.assign(fields, pressures(observations, now, timeZone));

  const total = cholesterol(observations, "total", now, timeZone);
  const hdl = cholesterol(observations, "hdl", now, timeZone);
  // Both in the same unit: the mass one goes to mmol/L when they differ.
  let grams = (total.text ?? hdl.text) !== undefined ? (total.grams ?? hdl.grams) : true;
  if (total.text !== undefined && hdl.text !== undefined && total.grams !== hdl.grams) {
    grams = false;
    for (const c of [total, hdl]) {
      if (!c.grams) continue;
      const converted = (Number(c.text) * GRAMS_TO_MMOL).toFixed(2);
      c.conversion = `${c.conversion ? c.conversion + ", puis " : ""}g/L × ${frenchNumber(GRAMS_TO_MMOL)} → ${frenchNumber(converted)} mmol/L (l'autre valeur est en mmol/L)`;
      c.text = converted;
      c.grams = false;
    }
  }
  fields.unit = { index: grams ? 1 : 0, source: { recorded: grams
    ? "g/L, celle des mesures du dossier" : "mmol/L, celle des mesures du dossier" } };
  for (const [name, c] of [["total", total], ["hdl", hdl]]) {
    const notes = [futureNote(c.future ?? [], timeZone)];
    if (c.reason) {
      fields[name] = { text: "", reason: c.reason, notes };
      continue;
    }
    const { text, note } = fieldText(c.text);
    const conversion = [c.conversion, note].filter(Boolean).join(", ") || null;
    fields[name] = { text: text ?? "", stale: isStale(c.found.at, now), notes,
                     source: describeSource(c.found, timeZone, { recorded: recorded(c.quantity), conversion }),
                     reason: text ? null : "valeur trop longue pour le champ" };
  }

  fields.smoker = smokingField(observations, now, timeZone, valueSets.smokingStatus);
  fields.diabetes = conditionField(conditions,
    (concept) => inValueSet(concept, valueSets.diabetes) ?? cim10Diabetes(concept), "diabète", timeZone);
  fields.lvh = lvhField(conditions, observations, timeZone);
  for (const field of Object.values(fields)) {
    field.notes = (field.notes ?? []).filter(Boolean);
    if (!field.notes.length) delete field.notes;
  }
  return fields;
}

// ---------------------------------------------------------------- reading and failing

export const PAGE_LIMIT = 20;
export const RESOURCE_LIMIT = 2000;

// The resources of a search's bundles, at most RESOURCE_LIMIT; partial when the search
// had more (a "next" link left, or more entries than the limit); sorted when the first
// bundle's "self" link shows the server applied the sort asked for (sort: "-date"), as
// many servers ignore it. Throws on what is not a Bundle.
export function collectEntries(bundles, sort = null) {
  const resources = [];
  let partial = false;
  for (const bundle of bundles) {
    if (bundle?.resourceType !== "Bundle") throw new Error("réponse illisible");
    for (const entry of bundle.entry ?? []) {
      if (!entry.resource) continue;
      if (resources.length === RESOURCE_LIMIT) { partial = true; break; }
      resources.push(entry.resource);
    }
  }
  const last = bundles[bundles.length - 1];
  if ((last?.link ?? []).some((link) => link.relation === "next")) partial = true;
  const self = (bundles[0]?.link ?? []).find((link) => link.relation === "self")?.url ?? "";
  let sorted = false;
  try {
    sorted = sort !== null && new URL(self, "https://x.invalid/").searchParams.get("_sort") === sort;
  } catch { /* an unreadable link: not shown to be sorted */ }
  return { resources, partial, sorted };
}

// The fields that may miss a newer value: those read from a search cut short that the
// server did not sort newest first.
export function fieldsMaybeOutdated(observations, conditions) {
  const fields = [];
  if (observations.partial && !observations.sorted) {
    fields.push("pressions", "cholestérol total", "cholestérol HDL", "statut tabagique", "HVG");
  }
  if (conditions.partial && !conditions.sorted) fields.push("diabète", "HVG", "maladie cardiovasculaire connue");
  return [...new Set(fields)];
}

// What failed in a launch, in French, from the error the library or the page threw.
export function launchFailure(error) {
  const status = error?.status ?? error?.statusCode;
  const message = String(error?.message ?? error ?? "");
  if (error?.kind) return error.kind;
  if (status === 404 || /introuvable/i.test(message)) return "dossier introuvable";
  if (status === 401) return "session expirée";
  if (status === 403) return "accès refusé par le serveur";
  if (status >= 500 || /Failed to fetch|NetworkError|network error/i.test(message)) return "serveur injoignable";
  if (/\b(access_denied|invalid_grant|unauthorized_client)\b/.test(message)) return "autorisation refusée";
  if (/\bno patient\b|\bpatient id (is )?(missing|not (found|selected))|\bmissing patient\b/i.test(message)) {
    return "aucun patient choisi";
  }
  // The library's own words when the tab's launch state is gone or the token expired.
  if (/expired|\bstate\b.*(not found|missing)|no 'state'|session/i.test(message)) return "session expirée";
  return "réponse illisible";
}

// A failure's technical detail without what identifies a patient or a session: every
// address is cut to its origin and path, its query (patient, launch, code) left out, and
// the path's last segment too when it follows a resource type (Patient/123).
export function failureDetail(error) {
  return String(error?.message ?? error ?? "")
    .replace(/https?:\/\/[^\s"'<>)]+/g, (url) => {
      try {
        const parsed = new URL(url);
        return parsed.origin + parsed.pathname.replace(/\/(Patient|Observation|Condition|Encounter)\/[^/]+/g, "/$1/…");
      } catch {
        return "(adresse)";
      }
    })
    .replace(/\b(patient(Id)?|launch|code|state)=[^&\s)"']+/gi, "$1=…");
}
