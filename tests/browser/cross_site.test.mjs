// A foreign site visited in Debian's Chromium tries every way to drive the real player host
// with the server plug-in; nothing changes and every try is logged. A DNS-rebound page is
// refused as well, a typed command URL runs only after a press on the server's own page, and
// programs that are not browsers (curl, Python, wget, our client) work as before.
// Environment: DRAVO_BUILD, the CMake build folder.
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { kWays, launchChromium, startForeignSite, visitForeignPages } from './lib/attacks.mjs';
import { PlayerHost, get, kHeader, rawRequest } from './lib/player.mjs';

const kHere = path.dirname(fileURLToPath(import.meta.url));
const kSource = path.join(kHere, '..', '..');
const kBuild = process.env.DRAVO_BUILD || path.join(kSource, 'build');
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

let host;
let browser;
let base;

before(async () => {
  const music = fs.mkdtempSync('/tmp/dravo-music-');
  execFileSync(path.join(kSource, 'scripts', 'make_sample_music.sh'), [music], { stdio: 'ignore' });
  // The test's name for the server is allowed, so that the browser rule is what refuses.
  host = new PlayerHost(kBuild, music, 'allowed_hosts=dravo.lan\r\n');
  await host.start();
  base = `http://dravo.lan:${host.port}`;
  // A known state: a playlist, stopped, volume 50, shuffle and repeat off.
  for (const target of ['/set_filter?filter=', '/stop', '/volume?volume=50', '/playmode?shuffle=off&repeat=off'])
    await get(host.port, target);
  browser = await launchChromium(['dravo.lan', 'evil.example']);
});

after(async () => {
  await browser?.close();
  await host?.stop();
});

function logLinesSince(offset) {
  return host.log().slice(offset).split('\r\n').filter((l) => l);
}

test('a page of another site drives nothing, whatever it tries, and each try is logged', async () => {
  const before = await host.state();
  const offset = host.log().length;
  const site = await startForeignSite(base);
  try {
    await visitForeignPages(browser, site.origin);
  } finally {
    site.server.close();
  }
  assert.deepEqual(await host.state(), before);
  const lines = logLinesSince(offset);
  for (const way of kWays) {
    const pathname = way.method === 'POST' ? '' : way.target.split('?')[0];
    const word = way.expect === 'confirm' ? `Asked to confirm ${pathname} (` : `Refused cross-site request for ${pathname} (`;
    assert.ok(lines.some((l) => l.includes(word)), `${way.name}: no "${word}" in\n${lines.join('\n')}`);
  }
});

test('a DNS-rebound page is refused: its Host is not a name of this machine', async () => {
  const before = await host.state();
  const offset = host.log().length;
  // The browser itself, sent to the server under the attacker's name.
  const tab = await browser.newPage();
  await tab.goto(`http://evil.example:${host.port}/volume?volume=9`).catch(() => {});
  await tab.close();
  // What a rebound page's own script sends: Chromium's heads as captured, with the proof a
  // same-origin script may add, under the attacker's name and without Origin.
  const captured = fs.readFileSync(path.join(kSource, 'tests', 'server', 'browser_requests', 'chromium.txt'), 'utf8');
  const heads = captured.split('### ').slice(1).map((b) => b.split('\n').slice(1).filter((l) => l).join('\r\n'));
  for (const head of heads) {
    const rebound = head.replace(/^Host: .*$/m, `Host: evil.example:${host.port}`)
      .replace(/^Origin: .*\r\n/m, '').replace(/^GET \/status /, 'GET /next ');
    const answer = await rawRequest(host.port, `${rebound}\r\nX-Dravo-Remote: 1\r\n\r\n`);
    if (answer) assert.equal(answer, kHeader);
  }
  assert.deepEqual(await host.state(), before);
  const refused = logLinesSince(offset).filter((l) => l.includes(`evil.example:${host.port} does not name this machine`));
  assert.ok(refused.length >= heads.length, `only ${refused.length} refusals logged`);
});

test('a typed command URL runs only after a press on the server\'s own page', async () => {
  const tab = await browser.newPage();
  await tab.goto(`${base}/volume?volume=33`);
  assert.equal(await tab.textContent('#command'), '/volume?volume=33');
  await sleep(300);
  assert.equal(await get(host.port, '/get_volume'), '50', 'ran before the press');
  await tab.getByRole('button', { name: 'Run' }).click();
  await tab.waitForFunction(() => document.getElementById('answer').textContent !== '');
  if (process.env.DRAVO_SHOTS) await tab.screenshot({ path: path.join(process.env.DRAVO_SHOTS, 'confirm.png') });
  assert.equal(await get(host.port, '/get_volume'), '33');
  // The same page in a frame of another site shows nothing: framing is forbidden.
  const framed = await browser.newPage();
  await framed.setContent(`<iframe src="${base}/volume?volume=34"></iframe>`);
  await sleep(500);
  assert.equal(await framed.frames()[1]?.$('#run').catch(() => null) ?? null, null);
  await framed.close();
  await tab.close();
  await get(host.port, '/volume?volume=50');
});

function run(command, args) {
  return execFileSync(command, args, { encoding: 'latin1', timeout: 20000 });
}

test('programs that are not browsers work as before, byte for byte', async () => {
  const url = `http://127.0.0.1:${host.port}`;
  const byCurl = run('curl', ['-s', '-i', '--http1.0', `${url}/volume?volume=44`]);
  assert.equal(byCurl, kHeader);
  assert.equal(await get(host.port, '/get_volume'), '44');
  run('python3', ['-c', `import urllib.request; urllib.request.urlopen('${url}/volume?volume=45').read()`]);
  assert.equal(await get(host.port, '/get_volume'), '45');
  assert.equal(run('wget', ['-q', '-O', '-', `${url}/get_volume`]), '45');
  // Under a LAN name the program is still not asked for one of this machine's names.
  assert.equal(run('curl', ['-s', '--resolve', `music-box:${host.port}:127.0.0.1`,
                            `http://music-box:${host.port}/get_volume`]), '45');
});

// A build of only the threaded tests (the thread sanitizer's) has no client.
const kClient = path.join(kBuild, 'bin', 'dravo');
test('our client works against the same server', { skip: !fs.existsSync(kClient) && 'no client in this build' }, async () => {
  const dir = fs.mkdtempSync('/tmp/dravo-client-');
  const ini = path.join(dir, 'dravo.ini');
  fs.writeFileSync(ini, `[Settings]\nServer1=http://127.0.0.1:${host.port}/\nUpdateOnStartup=false\n`);
  const offset = host.log().length;
  await get(host.port, '/play?track=1');
  const titleBefore = await get(host.port, '/title');
  // The client on a bus of its own: the desktop's media-player call reaches the server.
  const session = spawn('dbus-run-session', ['--', 'sh', '-c',
    `"${kClient}" /i "${ini}" & client=$!
     for i in $(seq 50); do gdbus call --session --dest org.mpris.MediaPlayer2.dravo \
       --object-path /org/mpris/MediaPlayer2 --method org.mpris.MediaPlayer2.Player.Next \
       >/dev/null 2>&1 && break; sleep 0.2; done
     sleep 1; kill $client; wait $client`],
  { env: { ...process.env, QT_QPA_PLATFORM: 'offscreen' }, stdio: 'ignore' });
  await new Promise((resolve) => session.on('exit', resolve));
  assert.notEqual(await get(host.port, '/title'), titleBefore);
  assert.deepEqual(logLinesSince(offset).filter((l) => l.includes('Refused')), []);
  await get(host.port, '/stop');
});
