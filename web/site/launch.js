// SMART App Launch from the patient's record: the EHR launch (iss and launch), the
// standalone launch (iss) and the open-server convention (fhirServiceUrl, patientId).
// Only a server that the site's smart-config.json lists is contacted, with the client id
// registered there; the page asks for read access to the patient and their observations
// and conditions (no user identity: the page shows none), then the library redirects to
// record.html, which reads the record.
import { failureDetail, launchFailure } from "./record_reader.mjs";
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
  // The client id is the one the site registered with this server: a clientId in the
  // launch's address, which the SMART library would otherwise take, is removed first.
  const url = new URL(location.href);
  if (url.searchParams.has("clientId")) {
    url.searchParams.delete("clientId");
    history.replaceState(null, "", url);
  }
  // Only the record's own server may be reached from this page.
  const meta = document.createElement("meta");
  meta.httpEquiv = "Content-Security-Policy";
  meta.content = `connect-src 'self' ${new URL(server).origin}`;
  document.head.append(meta);
  await FHIR.oauth2.authorize({
    clientId: entry.clientId,
    // An EHR launch asks for its launch context; a standalone one asks the record to
    // choose the patient.
    scope: (params.get("launch") ? "launch" : "launch/patient") +
           " patient/Patient.read patient/Observation.read patient/Condition.read",
    redirectUri: "record.html",
    pkceMode: "required",
  });
}

launch().catch((error) => refuse(error?.kind ?? launchFailure(error), failureDetail(error)));
