// The host's headers in docs/smart.md are the script's for the example configuration, and
// the policy admits exactly what the configuration lists. Node's test runner:
//   node --test web/test/host_headers.test.mjs
import { test } from "node:test";
import assert from "node:assert/strict";
import { readFileSync } from "node:fs";
import { DOCS, EXAMPLE, hostPolicy, withHostHeaders } from "../../scripts/host-headers.mjs";

test("docs/smart.md carries the headers made from its example (node scripts/host-headers.mjs --docs)", () => {
  const docs = readFileSync(DOCS, "utf8");
  assert.equal(docs, withHostHeaders(docs, JSON.parse(readFileSync(EXAMPLE, "utf8"))));
});

test("connect-src and frame-ancestors from the configuration", () => {
  const directive = (config, name) => hostPolicy(config).find((d) => d.startsWith(name + " "));
  const cases = [
    [{ servers: [] }, "connect-src 'self'", "frame-ancestors 'none'"],
    [{ ehrOrigins: ["https://dpi.example/portail/"], servers: [
      { iss: "https://fhir.example/r4/", clientId: "a" },
      { iss: "https://fhir.example/open", clientId: "b", authorization: "https://auth.example:8443/oauth" }] },
     "connect-src 'self' https://fhir.example https://auth.example:8443", "frame-ancestors https://dpi.example"],
  ];
  for (const [config, connect, frame] of cases) {
    assert.equal(directive(config, "connect-src"), connect);
    assert.equal(directive(config, "frame-ancestors"), frame);
  }
});
