// SMART App Launch from the patient's record: the EHR launch (iss and launch), the
// standalone launch (iss) and the open-server convention (fhirServiceUrl, patientId).
// Only a server that the site's smart-config.json lists is contacted, with the client id
// registered there; the page asks for read access to the patient and their observations
// and conditions (no user identity: the page shows none), then the library redirects to
// record.html, which reads the record.
import { launchFailure } from "./record_reader.mjs";
import { allowedServer, loadConfiguration } from "./site_config.mjs";

const status = document.getElementById("launch-status");
const params = new URLSearchParams(location.search);
const server = params.get("iss") || params.get("fhirServiceUrl");

function refuse(text, detail) {
  status.textContent = `Le dossier du patient n'a pas pu être ouvert : ${text}.`;
  if (detail) document.getElementById("launch-detail").textContent = detail;
}

async function launch() {
  if (!server) return refuse("aucun serveur de dossier indiqué (iss)");
  const config = await loadConfiguration();
  const entry = allowedServer(config, server);
  if (!entry) {
    return refuse("ce serveur de dossier n'est pas autorisé par la configuration du site", server);
  }
  // Only the record's own server may be reached from this page.
  const meta = document.createElement("meta");
  meta.httpEquiv = "Content-Security-Policy";
  meta.content = `connect-src 'self' ${new URL(server).origin}`;
  document.head.append(meta);
  await FHIR.oauth2.authorize({
    clientId: entry.clientId,
    // A standalone launch asks the record to choose the patient.
    scope: "launch patient/Patient.read patient/Observation.read patient/Condition.read" +
           (params.get("launch") ? "" : " launch/patient"),
    redirectUri: "record.html",
    pkceMode: "required",
  });
}

launch().catch((error) => refuse(error?.kind ?? launchFailure(error), String(error?.message ?? error)));
