// The headers a host sends with the pages, from the site's smart-config.json: a
// Content-Security-Policy that lets the pages reach the listed record servers and their
// authorisation servers and nothing else, and lets only the listed EHRs frame them; with
// an nginx and an Apache example. Prints the Markdown that docs/smart.md carries; with
// --docs, writes it there for docs/smart-config.example.json.
//   node scripts/host-headers.mjs [smart-config.json]
//   node scripts/host-headers.mjs --docs
import { readFileSync, writeFileSync } from "node:fs";
import { pathToFileURL } from "node:url";

const origin = (url) => new URL(url).origin;

// The policy, one directive a line for reading.
export function hostPolicy(config) {
  const servers = config?.servers ?? [];
  const reached = [...new Set(servers.flatMap((s) => [s.iss, ...(s.authorization ? [s.authorization] : [])])
    .map(origin))];
  const framers = [...new Set((config?.ehrOrigins ?? []).map(origin))];
  return [
    "default-src 'self'",
    "script-src 'self' 'wasm-unsafe-eval'",
    // The pages' style sheet is inlined, so that the first result waits for fewer requests.
    "style-src 'self' 'unsafe-inline'",
    "img-src 'self'",
    `connect-src 'self'${reached.map((o) => ` ${o}`).join("")}`,
    `frame-ancestors ${framers.length ? framers.join(" ") : "'none'"}`,
  ];
}

export function hostHeadersMarkdown(config) {
  const policy = hostPolicy(config).join("; ");
  return [
    "```",
    `Content-Security-Policy: ${policy}`,
    "```",
    "",
    "nginx, in the site's `server` block (the log format keeps the path, not the launch's",
    "parameters):",
    "",
    "```nginx",
    `add_header Content-Security-Policy "${policy}" always;`,
    "log_format vessane '$remote_addr [$time_local] \"$request_method $uri\" $status';",
    "access_log /var/log/nginx/vessane.log vessane;",
    "```",
    "",
    "Apache (mod_headers), in the site's `VirtualHost`:",
    "",
    "```apache",
    `Header always set Content-Security-Policy "${policy}"`,
    "LogFormat \"%h %t \\\"%m %U\\\" %>s\" vessane",
    "CustomLog ${APACHE_LOG_DIR}/vessane.log vessane",
    "```",
  ].join("\n");
}

const BEGIN = "<!-- host-headers:begin -->\n", END = "<!-- host-headers:end -->";
export const EXAMPLE = new URL("../docs/smart-config.example.json", import.meta.url);
export const DOCS = new URL("../docs/smart.md", import.meta.url);

// The docs' text with the section between its markers made anew.
export function withHostHeaders(docs, config) {
  const begin = docs.indexOf(BEGIN), end = docs.indexOf(END);
  if (begin < 0 || end < begin) throw new Error("docs/smart.md: no host-headers markers");
  return docs.slice(0, begin + BEGIN.length) + hostHeadersMarkdown(config) + "\n" + docs.slice(end);
}

if (import.meta.url === pathToFileURL(process.argv[1] ?? "").href) {
  const readJson = (path) => JSON.parse(readFileSync(path, "utf8"));
  if (process.argv[2] === "--docs") {
    writeFileSync(DOCS, withHostHeaders(readFileSync(DOCS, "utf8"), readJson(EXAMPLE)));
  } else {
    process.stdout.write(hostHeadersMarkdown(readJson(process.argv[2] ?? "web/site/smart-config.json")) + "\n");
  }
}
