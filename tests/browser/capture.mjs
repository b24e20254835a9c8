// Records the request heads Chromium sends for each way a foreign page can reach the server,
// for a typed URL and for a same-origin script with the page's proof, and writes them as the
// server tests' data (tests/server/browser_requests/chromium.txt). Run by hand after a Chromium
// update: node tests/browser/capture.mjs
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { kWays, launchChromium, startForeignSite, visitForeignPages } from './lib/attacks.mjs';

const kOut = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', 'server',
                       'browser_requests', 'chromium.txt');
const kProofPage = `<!DOCTYPE html><html><body><script>
  fetch('/status', { headers: { 'X-Dravo-Remote': '1' } });</script></body></html>`;

// Answers like the server, and a page whose script asks with the proof at "/page".
function startRecorder(heads) {
  const server = net.createServer((socket) => {
    let text = '';
    socket.on('data', (chunk) => {
      text += chunk.toString('latin1');
      const end = text.indexOf('\r\n\r\n');
      if (end < 0) return;
      const head = text.slice(0, end);
      heads.push(head);
      const page = head.startsWith('GET /page ') ? kProofPage : '';
      socket.end(`HTTP/1.0 200 OK\nConnection: close\nExpires: -1\nContent-type: text/html\n\n${page}`);
    });
    socket.on('error', () => {});
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

const heads = [];
const recorder = await startRecorder(heads);
const port = recorder.address().port;
const base = `http://dravo.lan:${port}`;
const site = await startForeignSite(base);
const browser = await launchChromium(['dravo.lan']);
await visitForeignPages(browser, site.origin);
const context = await browser.newContext();
const tab = await context.newPage();
await tab.goto(`${base}/volume?volume=33`);
await tab.goto(`${base}/page`);
await sleep(1000);
await browser.close();
site.server.close();
recorder.close();

const sitePort = new URL(site.origin).port;
const normal = (head) => head.replaceAll(`:${port}`, ':8081').replaceAll(`:${sitePort}`, ':8000');
const firstLine = (head) => head.split('\r\n')[0];
const blocks = [];
const add = (name, expect, head) => {
  if (!head) throw new Error(`Chromium sent nothing for ${name}`);
  blocks.push(`### ${name} ${expect}\n${normal(head).replaceAll('\r\n', '\n')}\n`);
};
for (const way of kWays) {
  const line = `${way.method || 'GET'} ${way.target} `;
  add(way.name, way.expect, heads.find((h) => firstLine(h).startsWith(line)));
}
add('typed-url', 'confirm', heads.find((h) => firstLine(h).startsWith('GET /volume?volume=33 ')));
add('same-origin-proof', 'run', heads.find((h) => firstLine(h).startsWith('GET /status ')));
const header = '# Request heads as Debian\'s Chromium sent them (tests/browser/capture.mjs), one block a way:\n' +
  '# "### <way> <verdict for a page of another site>", then the head; Host is dravo.lan:8081,\n' +
  '# the foreign site 127.0.0.1:8000.\n';
fs.mkdirSync(path.dirname(kOut), { recursive: true });
fs.writeFileSync(kOut, header + blocks.join('\n'));
console.log(`wrote ${blocks.length} heads to ${kOut}`);
