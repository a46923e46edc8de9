// A tiny static file server for the tests, on 127.0.0.1 and a port of the system's
// choosing. It serves the built folder as any static server would: no server code.
import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { extname, join, normalize } from "node:path";

const TYPES = {
  ".html": "text/html; charset=utf-8",
  ".js": "text/javascript; charset=utf-8",
  ".mjs": "text/javascript; charset=utf-8",
  ".css": "text/css; charset=utf-8",
  ".wasm": "application/wasm",
  ".webmanifest": "application/manifest+json",
  ".json": "application/json",
  ".png": "image/png",
  ".svg": "image/svg+xml",
};

// files: { "/path": text } served instead of the folder's (a test's own configuration);
// headers: sent with every file (a host's policy), read at each request.
export async function startServer(root, files = {}, headers = {}) {
  const requests = [];
  const server = createServer(async (request, response) => {
    requests.push(request.url);
    let path = decodeURIComponent(new URL(request.url, "http://x").pathname);
    if (path.endsWith("/")) path += "index.html";
    const file = join(root, normalize(path).replace(/^(\.\.[/\\])+/, ""));
    try {
      const body = files[path] ?? await readFile(file);
      response.writeHead(200, {
        "Content-Type": TYPES[extname(file)] || "application/octet-stream",
        "Cache-Control": "no-cache",
        ...headers,
      });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
  const url = `http://127.0.0.1:${server.address().port}/`;
  const stop = () => new Promise((resolve) => {
    server.closeAllConnections();
    server.close(resolve);
  });
  return { url, requests, stop };
}
