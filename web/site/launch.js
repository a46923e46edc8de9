// SMART App Launch from the patient's record: the EHR launch (iss and launch), the
// standalone launch (iss) and the open-server convention (fhirServiceUrl, patientId).
// Asks for read access to the patient and their observations and conditions, then the
// library redirects to record.html, which reads the record.
"use strict";

(function () {
  const status = document.getElementById("launch-status");
  const params = new URLSearchParams(location.search);
  const server = params.get("iss") || params.get("fhirServiceUrl");
  try {
    if (!server) throw new Error("aucun serveur de dossier indiqué (iss)");
    // Only the record's own server may be reached from this page.
    const meta = document.createElement("meta");
    meta.httpEquiv = "Content-Security-Policy";
    meta.content = `connect-src 'self' ${new URL(server).origin}`;
    document.head.append(meta);
  } catch (error) {
    status.textContent = `Ouverture impossible : ${error.message}.`;
    return;
  }
  FHIR.oauth2.authorize({
    clientId: "vessane",
    // A standalone launch asks the record to choose the patient.
    scope: "launch openid fhirUser patient/Patient.read patient/Observation.read " +
           "patient/Condition.read" + (params.get("launch") ? "" : " launch/patient"),
    redirectUri: "record.html",
    pkceMode: "required",
  }).catch((error) => {
    status.textContent = `Le dossier du patient n'a pas pu être ouvert (${error.message}).`;
  });
})();
