// The page opened from the patient's record (SMART App Launch): receives the launch with
// the fhirclient library, narrows the page's Content-Security-Policy to the record's own
// servers, reads the record, fills the form through the window's own controls and shows
// where every value came from. Patient data is neither stored nor written back; the
// launch's state lives in the tab's sessionStorage, as the library keeps it.
import { readRecord } from "./record_reader.mjs";

const FIELDS = [
  // [field, control, label]
  ["sex", 1004, "Sexe"], ["age", 101, "Âge"], ["systolic", 102, "Pression systolique"],
  ["diastolic", 103, "Pression diastolique"], ["unit", 1005, "Unité du cholestérol"],
  ["total", 105, "Cholestérol total"], ["hdl", 106, "Cholestérol HDL"],
  ["smoker", 1006, "Fumeur"], ["diabetes", 1007, "Diabète"], ["lvh", 1008, "HVG"],
];
const OBSERVATION_CODES = ["8480-6", "8462-4", "85354-9", "55284-4", "2093-3", "14647-2",
  "2085-9", "14646-4", "72166-2"].map((code) => "http://loinc.org|" + code).join(",");
const CITATION = "Anderson KM, Odell PM, Wilson PWF, Kannel WB. Cardiovascular disease risk " +
  "profiles. Am Heart J 1991;121:293-8.";

const panel = document.getElementById("provenance");
const status = document.getElementById("record-status");
const say = (text) => { status.textContent = text; };

// Only the record's servers may be reached from now on: a second policy can only narrow.
function allowOnly(origins) {
  const meta = document.createElement("meta");
  meta.httpEquiv = "Content-Security-Policy";
  meta.content = `connect-src 'self' ${[...new Set(origins)].join(" ")}`;
  document.head.append(meta);
}

// Every page of a search, as the library follows the "next" links.
async function search(client, query) {
  const pages = await client.request(query, { pageLimit: 0 });
  const list = Array.isArray(pages) ? pages : [pages];
  const resources = [];
  for (const bundle of list) {
    if (bundle?.resourceType !== "Bundle") throw new Error("réponse du serveur illisible");
    for (const entry of bundle.entry ?? []) if (entry.resource) resources.push(entry.resource);
  }
  return resources;
}

function describe(field) {
  if (field.reason) return field.reason;
  const s = field.source ?? {};
  return [s.code, s.date && `le ${s.date}`, s.recorded && `valeur du dossier : ${s.recorded}`,
          s.conversion && `conversion : ${s.conversion}`].filter(Boolean).join(" ; ");
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
    details.textContent = describe(field);
    if (field.stale) details.append(" ", Object.assign(document.createElement("strong"),
      { textContent: `ancienne (${field.source.date})` }));
    if (field.typed) details.textContent = "saisie";
    list.append(term, details);
  }
}

function summary(form, fields) {
  const lines = ["Vessane — risque coronarien (équations de Framingham, 1991)"];
  for (const [name, control, label] of FIELDS) {
    lines.push(`${label} : ${form.shown(control)}${fields[name]?.typed ? " (saisie)" : ""}`);
  }
  lines.push(`Horizon : ${form.shown(109)} ans`, `Résultat : ${form.shown(110)}`);
  const reason = document.getElementById("reason").textContent;
  if (reason) lines.push(`Raison : ${reason}`);
  lines.push(`Référence : ${CITATION}`, `Date : ${new Date().toISOString().slice(0, 10)}`);
  return lines.join("\n");
}

async function main() {
  const form = await window.vessaneForm;  // the window's controls, once the core is ready
  let client;
  try {
    client = await FHIR.oauth2.ready();
    allowOnly([new URL(client.state.serverUrl).origin,
               ...(client.state.tokenUri ? [new URL(client.state.tokenUri).origin] : [])]);
    say("Lecture du dossier…");
    const patient = await client.patient.read();
    if (patient?.resourceType !== "Patient") throw new Error("patient introuvable");
    const id = client.patient.id;
    const [observations, conditions] = await Promise.all([
      search(client, `Observation?patient=${id}&code=${OBSERVATION_CODES}&_count=50`),
      search(client, `Condition?patient=${id}&_count=50`),
    ]);
    const fields = readRecord({ patient, observations, conditions });
    form.fill(fields);
    render(fields);
    panel.hidden = false;
    say("Valeurs lues dans le dossier du patient : vérifiez-les, chacune reste modifiable.");
    // An edited value is the user's own from then on.
    for (const [name, control] of FIELDS) {
      form.onUserChange(control, () => {
        if (!fields[name]) return;
        fields[name].typed = true;
        render(fields);
      });
    }
    document.getElementById("copy-summary").addEventListener("click", async () => {
      await navigator.clipboard.writeText(summary(form, fields));
      say("Résumé copié.");
    });
  } catch (error) {
    say(`Le lancement depuis le dossier a échoué (${error?.message ?? error}) : ` +
        "le formulaire reste utilisable, à remplir à la main.");
    panel.hidden = true;
  }
}

main();
