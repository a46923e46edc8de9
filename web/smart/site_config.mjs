// The site's SMART configuration (smart-config.json, beside the pages): the record
// servers a hospital allows, each with the client id it registered there; for the host's
// headers only (scripts/host-headers.mjs), the EHRs that frame the page and a server's
// authorisation origin when it is another.
//   { "ehrOrigins": ["https://dpi.example.org"],
//     "servers": [ { "iss": "https://dossier.example.org/fhir", "clientId": "vessane",
//                    "authorization": "https://auth.example.org" } ] }

// A server's base URL as compared: scheme and host in lower case, no trailing slash.
export function normalServer(url) {
  try {
    const parsed = new URL(url);
    return `${parsed.protocol}//${parsed.host}${parsed.pathname.replace(/\/+$/, "")}`;
  } catch {
    return null;
  }
}

// The configuration's entry for a server, or null when the site does not allow it.
export function allowedServer(config, url) {
  const wanted = normalServer(url);
  if (!wanted) return null;
  return (config?.servers ?? []).find((entry) => normalServer(entry.iss) === wanted) ?? null;
}

export async function loadConfiguration() {
  const response = await fetch("smart-config.json", { cache: "no-cache" });
  if (!response.ok) throw Object.assign(new Error("smart-config.json absent"), { kind: "configuration du site absente" });
  return response.json();
}
