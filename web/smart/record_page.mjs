// The page opened from the patient's record (SMART App Launch): receives the launch with
// the fhirclient library, checks the record's server against the site's configuration,
// narrows the page's Content-Security-Policy to that server's own origins, reads the
// record, fills the form through the window's own controls and shows who the patient is
// and where every value came from. A launch that fails fills nothing. Patient data is
// neither stored nor written back; the launch's state lives in the tab's sessionStorage,
// as the library keeps it.
import { cardiovascularDiseaseToCheck, collectEntries, failureDetail, fieldsMaybeOutdated, frenchDate,
         knownCardiovascularDisease, launchFailure, LOINC_CODES, PAGE_LIMIT, readIdentity,
         readRecord } from "./record_reader.mjs";
import { allowedServer, loadConfiguration } from "./site_config.mjs";

import { FORM } from "./form_tables.mjs";

// [field, control, label, unit]: the form's own table, "unit" for the form's cholesterol unit.
const FIELDS = FORM.fields.filter(({ name }) => name !== "years").map(({ name, control, label, unit,
  cholesterolUnit }) => [name, control, label, cholesterolUnit ? "unit" : unit || undefined]);
// Codes without a system: records code LOINC under other URIs too (its OID, the French
// ANS server's), and the reader checks the system of each resource returned.
const OBSERVATION_CODES = [...LOINC_CODES.systolic, ...LOINC_CODES.diastolic, ...LOINC_CODES.pressurePanels,
  ...LOINC_CODES.total, ...LOINC_CODES.hdl, ...LOINC_CODES.smoking].join(",");
const CITATION = "Anderson KM, Odell PM, Wilson PWF, Kannel WB. Cardiovascular disease risk " +
  "profiles. Am Heart J 1991;121:293-8.";
// Record text goes in as text, never as a replacement pattern.
const secondaryPrevention = (what) => `Maladie cardiovasculaire connue dans le dossier (${what}) : ` +
  "ces équations estiment le risque de personnes sans maladie cardiovasculaire connue ; le " +
  "résultat ne s'applique pas à ce patient.";
// A form with nothing in it: what a failed launch leaves.
const EMPTY = { unit: { index: 1 }, sex: { index: -1 }, age: { text: "" }, systolic: { text: "" },
  diastolic: { text: "" }, total: { text: "" }, hdl: { text: "" }, smoker: { checked: false },
  diabetes: { checked: false }, lvh: { checked: false } };

const $ = (id) => document.getElementById(id);
const panel = $("provenance");
const say = (text) => { $("record-status").textContent = text; };

// Only the record's servers may be reached from now on: a second policy can only narrow.
function allowOnly(origins) {
  const meta = document.createElement("meta");
  meta.httpEquiv = "Content-Security-Policy";
  meta.content = `connect-src 'self' ${[...new Set(origins)].join(" ")}`;
  document.head.append(meta);
}

// Every page of a search, at most PAGE_LIMIT of them, as the library follows "next".
// Newest first where the server sorts (sort: the _sort asked for): when a search is cut
// short, what is left out is then the oldest.
async function search(client, query, sort) {
  const pages = await client.request(`${query}&_sort=${sort}`, { pageLimit: PAGE_LIMIT });
  return collectEntries(Array.isArray(pages) ? pages : [pages], sort);
}

// The patient as the summary and the printed sheet name them.
const patientLine = (identity) =>
  `Patient : ${identity.name}, né(e) le ${identity.birthDate}, sexe enregistré : ${identity.sex}`;
// "ancienne (date)" for a value from the record older than the stale limit, else null.
const staleMark = (field) =>
  (field.stale && !field.typed ? `ancienne (${field.source?.date ?? "date inconnue"})` : null);

function describe(field) {
  const s = field.source ?? {};
  const parts = field.reason ? [field.reason]
    : [s.code, s.date && `le ${s.date}`, s.dateNote, s.recorded && `valeur du dossier : ${s.recorded}`,
       s.conversion && `conversion : ${s.conversion}`];
  return [...parts, ...(field.notes ?? [])].filter(Boolean).join(" ; ");
}

function render(fields) {
  const list = panel.querySelector("dl");
  list.replaceChildren();
  for (const [name, , label] of FIELDS) {
    const field = fields[name];
    if (!field) continue;
    const term = document.createElement("dt");
    term.textContent = label;
    const details = document.createElement("dd");
    details.id = "provenance-" + name;
    details.textContent = field.typed ? "saisie" : describe(field);
    const stale = staleMark(field);
    if (stale) details.append(" ", Object.assign(document.createElement("strong"), { textContent: stale }));
    list.append(term, details);
  }
}

function showIdentity(identity) {
  const list = $("identity").querySelector("dl");
  list.replaceChildren();
  for (const [label, value] of [["Patient", identity.name], ["Né(e) le", identity.birthDate],
                                ["Sexe enregistré", identity.sex], ["Dossier", identity.server]]) {
    const pair = document.createElement("div");
    pair.append(Object.assign(document.createElement("dt"), { textContent: label }),
                Object.assign(document.createElement("dd"), { textContent: value }));
    list.append(pair);
  }
  $("identity").hidden = false;
}

function summary(form, fields, identity, warnings) {
  const lines = ["Vessane — risque coronarien (équations de Framingham, 1991)",
    patientLine(identity), `Dossier : ${identity.server}`, ...warnings.map((w) => `Attention : ${w}`)];
  const unit = form.shown(FORM.controls.unit);
  for (const [name, control, label, unitOf] of FIELDS) {
    const field = fields[name] ?? {};
    const shown = form.shown(control);
    const withUnit = shown && unitOf ? `${shown} ${unitOf === "unit" ? unit : unitOf}` : shown || "(vide)";
    const marks = [field.typed && "saisie", staleMark(field), !field.typed && field.reason].filter(Boolean);
    lines.push(`${label} : ${withUnit}${marks.length ? ` (${marks.join(" ; ")})` : ""}`);
  }
  lines.push(`Horizon : ${form.shown(FORM.controls.years)} ans`, `Résultat : ${form.shown(FORM.controls.result)}`);
  const reason = $("reason").textContent;
  if (reason) lines.push(`Raison : ${reason}`);
  lines.push(`Référence : ${CITATION}`, `Date : ${frenchDate(new Date().toISOString())}`);
  return lines.join("\n");
}

function fail(form, error) {
  form.fill(EMPTY);
  form.setScore2Context({});
  panel.hidden = true;
  $("identity").hidden = true;
  $("record-footer").hidden = true;
  const banner = $("record-failure");
  banner.querySelector("p").textContent =
    `Le lancement depuis le dossier a échoué : ${launchFailure(error)}. Aucune valeur n'a été lue ; ` +
    "le formulaire est vide, à remplir à la main.";
  banner.querySelector("pre").textContent = failureDetail(error);
  banner.hidden = false;
  say("");
}

async function main() {
  const form = await window.vessaneForm;  // the window's controls, once the core is ready
  form.fill(EMPTY);  // nothing is shown that the record does not hold
  try {
    const [config, valueSets] = await Promise.all([
      loadConfiguration(), fetch("value_sets.json").then((r) => r.json())]);
    const client = await FHIR.oauth2.ready();
    const server = client.state.serverUrl;
    if (!allowedServer(config, server)) {
      throw Object.assign(new Error(`serveur non autorisé : ${server}`), { kind: "serveur non autorisé par la configuration du site" });
    }
    allowOnly([new URL(server).origin,
               ...(client.state.tokenUri ? [new URL(client.state.tokenUri).origin] : [])]);
    say("Lecture du dossier…");
    const patient = await client.patient.read();
    if (patient?.resourceType !== "Patient") throw Object.assign(new Error("patient introuvable"), { status: 404 });
    const id = client.patient.id;
    const [observations, conditions] = await Promise.all([
      search(client, `Observation?patient=${id}&code=${OBSERVATION_CODES}&_count=100`, "-date"),
      // An R4 Condition has no date parameter; every condition is read, and classified here
      // (a code search matches exactly: I21 would miss I21.4).
      search(client, `Condition?patient=${id}&_count=100`, "-recorded-date"),
    ]);
    const fields = readRecord({ patient, observations: observations.resources,
                                conditions: conditions.resources, valueSets });
    const identity = readIdentity(patient, server);
    const warnings = [];
    const disease = knownCardiovascularDisease(conditions.resources, valueSets);
    if (disease) {
      warnings.push(secondaryPrevention(`${disease.label} : ${disease.recorded}`));
      $("secondary-prevention").textContent = warnings[0];
      $("secondary-prevention").hidden = false;
    }
    const outdated = fieldsMaybeOutdated(observations, conditions);
    if (outdated.length) {
      warnings.push("dossier lu en partie et non trié par date par le serveur : valeurs plus " +
                    `récentes peut-être absentes pour : ${outdated.join(", ")}`);
    } else if (observations.partial || conditions.partial) {
      warnings.push("dossier lu en partie (les plus récents d'abord) : il contient plus de " +
                    "résultats que la page n'en lit");
    }
    form.fill(fields);
    // SCORE2 is for people without cardiovascular disease: none with one, and to complete
    // while a condition that would exclude it is to check.
    form.setScore2Context({ disease: Boolean(disease), pending: [
      ...(fields.diabetes.verify ? ["diabète à vérifier"] : []),
      ...(cardiovascularDiseaseToCheck(conditions.resources, valueSets) ? ["maladie cardiovasculaire à vérifier"] : [])] });
    showIdentity(identity);
    render(fields);
    // The printed sheet: who, with what warnings, and where every value came from.
    form.setPrintExtras(() => ({
      before: [patientLine(identity), `Dossier : ${identity.server}`, ...warnings.map((w) => `Attention : ${w}`)],
      after: ["Provenance des valeurs :", ...FIELDS.filter(([name]) => fields[name]).map(([name, , label]) =>
        `${label} : ${fields[name].typed ? "saisie" : describe(fields[name])}` +
        (staleMark(fields[name]) ? ` ; ${staleMark(fields[name])}` : ""))],
    }));
    panel.hidden = false;
    $("record-footer").hidden = false;
    say(["Valeurs lues dans le dossier du patient : vérifiez-les, chacune reste modifiable.",
         ...warnings.slice(disease ? 1 : 0).map((w) => `Attention : ${w}.`)].join(" "));
    // An edited value is the user's own from then on.
    for (const [name, control] of FIELDS) {
      form.onUserChange(control, () => {
        if (!fields[name]) return;
        fields[name].typed = true;
        render(fields);
      });
    }
    $("copy-summary").addEventListener("click", async () => {
      try {
        await navigator.clipboard.writeText(summary(form, fields, identity, warnings));
        say("Résumé copié.");
      } catch {
        // In an EHR's frame that does not allow clipboard-write, or a browser that refuses.
        say("Copie refusée par le navigateur : le dossier qui affiche cette page n'autorise pas le presse-papiers.");
      }
    });
  } catch (error) {
    fail(form, error);
  }
}

main();
