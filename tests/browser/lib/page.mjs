// What the page's browser tests share: a music folder of long silent-free tones, the state
// the server reports, waiting for a condition, and a tab of the page at a given size and theme.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { get, rawRequest } from './player.mjs';

export const kHostileName = '<img src=x onerror=alert(1)>.mp3';

// Tracks long enough that nothing ends during a test; one of them with a name that is HTML.
export function makeMusic(dir) {
  const tone = path.join(dir, 'tone.wav');
  fs.mkdirSync(dir, { recursive: true });
  execFileSync('sox', ['-n', '-b', '16', '-r', '8000', '-c', '1', tone, 'synth', '300', 'sine', '440']);
  const names = ['Jazz/Blue Note Alpha.wav', 'Jazz/live/Quiet Blues.wav', 'Rock/Loud Beta.wav',
                 'Sånger/Hej Värld.wav', `Misc/${kHostileName}`];
  for (const name of names) {
    fs.mkdirSync(path.join(dir, path.dirname(name)), { recursive: true });
    fs.copyFileSync(tone, path.join(dir, name));
  }
  fs.rmSync(tone);
  return names.map((n) => path.join(dir, n));
}

// A playlist file of count entries (they need not exist to be listed).
export function bigPlaylist(file, count) {
  const lines = [];
  for (let i = 0; i < count; ++i) lines.push(`/srv/music/Artist ${Math.floor(i / 1000)}/Album ${Math.floor(i / 100) % 10}/Track ${i % 100} number ${i}.mp3`);
  fs.writeFileSync(file, `${lines.join('\n')}\n`);
}

// The server's state as the page's API gives it (a program's request: no proof needed).
export async function serverState(port) {
  const answer = Buffer.from(await rawRequest(port, 'GET /api/state HTTP/1.0\r\n\r\n'), 'latin1').toString('utf8');
  return JSON.parse(answer.slice(answer.indexOf('\r\n\r\n') + 4));
}

// The 1-based track number of the entry whose file name holds name, from "/list".
export async function trackOf(port, name) {
  const lines = Buffer.from(await get(port, '/list'), 'latin1').toString('utf8').split('\n');
  const at = lines.findIndex((line) => line.includes(name));
  if (at < 0) throw new Error(`${name} is not in the playlist`);
  return at + 1;
}

export async function until(check, what, timeoutMs = 5000) {
  const end = Date.now() + timeoutMs;
  for (;;) {
    const value = await check();
    if (value) return value;
    if (Date.now() > end) throw new Error(`timed out waiting for ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 25));
  }
}

export async function openPage(browser, base, { width = 390, height = 844, colorScheme = 'dark' } = {}) {
  const context = await browser.newContext({ viewport: { width, height }, colorScheme, hasTouch: width < 500 });
  const page = await context.newPage();
  const problems = [];
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('dialog', (dialog) => { problems.push(`dialog: ${dialog.message()}`); dialog.dismiss(); });
  page.on('console', (message) => { if (/Content Security Policy/.test(message.text())) problems.push(message.text()); });
  await page.goto(`${base}/`);
  return { context, page, problems };
}
