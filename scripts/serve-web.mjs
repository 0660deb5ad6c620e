// Serves a folder over HTTP on 127.0.0.1: the browser build (make play-web), and the
// pages of the browser test.
//
//   node scripts/serve-web.mjs [FOLDER] [PORT]   (build/web and 8000 unless given; 0: any free port)
import { existsSync, readFileSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const types = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.wasm': 'application/wasm', '.png': 'image/png', '.json': 'application/json',
};

// Starts serving `folder`; `extra` maps further paths ("/title.png") to files. Resolves
// to the server once it listens; its address() names the port.
export function serve(folder, port = 0, extra = {}) {
  const root = resolve(folder);
  const server = createServer((request, response) => {
    let path;
    try {
      path = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    const file = extra[path] || resolve(join(root, path === '/' ? 'index.html' : path));
    const inside = extra[path] || file.startsWith(root + sep);
    if (!inside || !existsSync(file) || !statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[extname(file)] || 'application/octet-stream' });
    response.end(readFileSync(file));
  });
  return new Promise((done, fail) => {
    server.once('error', fail);
    server.listen(port, '127.0.0.1', () => done(server));
  });
}

if (process.argv[1] && resolve(process.argv[1]) === fileURLToPath(import.meta.url)) {
  const folder = process.argv[2] || 'build/web';
  if (!existsSync(join(folder, 'index.html'))) {
    console.error(`no ${join(folder, 'index.html')}: make web builds it`);
    process.exit(1);
  }
  const server = await serve(folder, Number(process.argv[3] ?? 8000));
  console.log(`Greenvale in the browser: http://127.0.0.1:${server.address().port}/  (Ctrl+C stops)`);
}
