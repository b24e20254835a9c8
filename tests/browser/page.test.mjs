// The remote page in Debian's Chromium against the real player host with the plug-in and null
// audio: it shows the track, every control reaches the server, changes made elsewhere show
// without a reload, search over 100,000 entries, filters and their history, the themes, the
// server going away and coming back, and a file name that is HTML staying text. Screenshots go
// to DRAVO_BUILD/page-shots. Environment: DRAVO_BUILD, the CMake build folder.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { launchChromium } from './lib/attacks.mjs';
import { bigPlaylist, kHostileName, makeMusic, openPage, serverState, trackOf, until } from './lib/page.mjs';
import { PlayerHost, get } from './lib/player.mjs';

const kHere = path.dirname(fileURLToPath(import.meta.url));
const kBuild = process.env.DRAVO_BUILD || path.join(kHere, '..', '..', 'build');
const kShots = path.join(kBuild, 'page-shots');

let host;
let browser;
let base;

before(async () => {
  const music = fs.mkdtempSync(path.join(os.tmpdir(), 'dravo-page-music-'));
  makeMusic(music);
  host = new PlayerHost(kBuild, music);
  await host.start();
  base = `http://127.0.0.1:${host.port}`;
  for (const target of ['/set_filter?filter=', '/volume?volume=50', '/playmode?shuffle=off&repeat=off'])
    await get(host.port, target);
  await get(host.port, `/play?track=${await trackOf(host.port, 'Blue Note Alpha')}`);
  browser = await launchChromium([]);
  fs.mkdirSync(kShots, { recursive: true });
});

after(async () => {
  await browser?.close();
  await host?.stop();
});

const title = (page) => page.locator('#title').textContent();

test('the page loads, shows the playing track and the playlist, and needs nothing else', async () => {
  const { context, page, problems } = await openPage(browser, base);
  await until(async () => (await title(page)) === 'Blue Note Alpha', 'the title');
  const number = await trackOf(host.port, 'Blue Note Alpha');
  assert.equal(await page.locator('#state').textContent(), `playing · ${number} of 5`);
  await until(async () => (await page.getByRole('option').count()) === 5, 'five rows');
  assert.equal(await page.getByRole('listbox', { name: 'Playlist' }).count(), 1);
  assert.equal(host.log().includes("cmd: '/"), false);
  assert.deepEqual(problems, []);
  await context.close();
});

test('every control changes the server\'s state', async () => {
  const { context, page, problems } = await openPage(browser, base);
  await until(async () => (await title(page)) === 'Blue Note Alpha', 'the title');
  const state = () => serverState(host.port);
  const press = async (name, check, what) => {
    await page.getByRole('button', { name, exact: true }).click();
    await until(async () => check(await state()), what);
  };
  const first = (await state()).index;
  await press('Next', (s) => s.index === (first + 1) % 5, 'next');
  await press('Previous', (s) => s.index === first, 'previous');
  await press('Forward 5 seconds', (s) => s.position_ms >= 5000, 'forward');
  await press('Back 5 seconds', (s) => s.position_ms < 5000, 'back');
  await press('Pause', (s) => s.state === 'paused', 'pause');
  await press('Play', (s) => s.state === 'playing', 'play again');
  await press('Stop', (s) => s.state === 'stopped', 'stop');
  await press('Play', (s) => s.state === 'playing', 'play');
  await press('Shuffle', (s) => s.shuffle, 'shuffle on');
  await press('Shuffle', (s) => !s.shuffle, 'shuffle off');
  await press('Repeat', (s) => s.repeat, 'repeat on');
  await press('Repeat', (s) => !s.repeat, 'repeat off');
  await press('Mute', (s) => s.muted && s.volume === 0, 'mute');
  await press('Unmute', (s) => !s.muted && s.volume === 50, 'unmute');
  await page.getByRole('slider', { name: 'Volume' }).fill('30');
  await until(async () => (await state()).volume === 30, 'volume 30');
  await page.getByRole('slider', { name: 'Seek' }).fill('120000');
  await until(async () => Math.abs((await state()).position_ms - 120000) < 3000, 'seek to 2:00');
  await page.getByRole('option', { name: /Loud Beta/ }).click();
  const loud = await trackOf(host.port, 'Loud Beta') - 1;
  await until(async () => (await state()).index === loud && (await state()).state === 'playing', 'the tapped entry plays');
  assert.deepEqual(problems, []);
  await context.close();
});

test('a change made with another program shows without a reload', async () => {
  const { context, page } = await openPage(browser, base);
  await until(async () => (await page.getByRole('slider', { name: 'Volume' }).inputValue()) !== '0', 'the first state');
  await get(host.port, '/volume?volume=23');
  await until(async () => (await page.getByRole('slider', { name: 'Volume' }).inputValue()) === '23', 'volume 23 shown');
  await get(host.port, `/play?track=${await trackOf(host.port, 'Hej Värld')}`);
  await until(async () => (await title(page)) === 'Hej Värld', 'the new title shown');
  await get(host.port, '/playmode?repeat=on');
  await until(async () => (await page.getByRole('button', { name: 'Repeat' }).getAttribute('aria-pressed')) === 'true', 'repeat shown');
  await get(host.port, '/playmode?repeat=off');
  await context.close();
});

test('a file name that is HTML shows as text and runs nothing', async () => {
  await get(host.port, `/play?track=${await trackOf(host.port, 'onerror')}`);
  const { context, page, problems } = await openPage(browser, base);
  const row = page.getByRole('option', { name: new RegExp(kHostileName.replace(/[()<>=]/g, '.')) });
  await until(async () => (await row.count()) === 1, 'the row of the hostile name');
  assert.equal(await page.locator('img').count(), 0);
  assert.match(await title(page), /img src=x onerror=alert\(1\)|<img/);
  await page.waitForTimeout(300);
  assert.deepEqual(problems, []);
  await context.close();
});

test('a filter with alternatives and quotes applies, shows, and is offered again after a reload', async () => {
  const { context, page } = await openPage(browser, base);
  const filter = page.getByRole('combobox', { name: 'Filter' });
  await filter.fill('"blue note" sånger');
  await filter.press('Enter');
  await until(async () => (await serverState(host.port)).filter === '"blue note" sånger', 'the filter on the server');
  await until(async () => (await page.locator('#server-filter').textContent()) === '"blue note" sånger', 'the filter shown');
  await until(async () => (await page.getByRole('option').count()) === 2, 'two entries');
  const names = await page.getByRole('option').allTextContents();
  assert.ok(names.some((n) => n.includes('Blue Note Alpha')) && names.some((n) => n.includes('Hej Värld')), names.join());
  await filter.fill('rock');
  await filter.press('Enter');
  await until(async () => (await serverState(host.port)).count === 1, 'the second filter');
  await page.reload();
  await filter.click();
  await filter.fill('');
  await filter.pressSequentially('"b');
  assert.equal(await filter.inputValue(), '"blue note" sånger');
  const selected = await filter.evaluate((e) => e.value.slice(e.selectionStart, e.selectionEnd));
  assert.equal(selected, 'lue note" sånger');
  await filter.fill('');
  await filter.press('Enter');
  await until(async () => (await serverState(host.port)).count === 5, 'every track again');
  await context.close();
});

test('dark and light themes follow the system and the switch; screenshots', async () => {
  const background = (page) => page.evaluate(() => getComputedStyle(document.body).backgroundColor);
  await get(host.port, `/play?track=${await trackOf(host.port, 'Blue Note Alpha')}`);
  await get(host.port, '/volume?volume=70');
  const dark = await openPage(browser, base, { colorScheme: 'dark' });
  await until(async () => (await dark.page.getByRole('option').count()) === 5, 'rows');
  assert.equal(await background(dark.page), 'rgb(15, 17, 21)');
  await dark.page.screenshot({ path: path.join(kShots, 'phone-dark.png') });
  await dark.page.getByRole('button', { name: /^Theme/ }).click();  // system -> dark
  await dark.page.getByRole('button', { name: /^Theme/ }).click();  // dark -> light
  assert.equal(await background(dark.page), 'rgb(246, 247, 249)');
  await dark.context.close();
  const light = await openPage(browser, base, { colorScheme: 'light' });
  await until(async () => (await light.page.getByRole('option').count()) === 5, 'rows');
  await light.page.evaluate(() => localStorage.removeItem('dravo.theme'));
  await light.page.screenshot({ path: path.join(kShots, 'phone-light.png') });
  await light.context.close();
  const desktop = await openPage(browser, base, { width: 1280, height: 800, colorScheme: 'dark' });
  await until(async () => (await desktop.page.getByRole('option').count()) === 5, 'rows');
  await desktop.page.screenshot({ path: path.join(kShots, 'desktop-dark.png') });
  await desktop.context.close();
});

test('phone controls are large enough to touch and none lies outside the screen', async () => {
  const { context, page } = await openPage(browser, base, { width: 360, height: 740 });
  await until(async () => (await page.getByRole('option').count()) === 5, 'rows');
  for (const control of await page.locator('button, input').all()) {
    const box = await control.boundingBox();
    const name = await control.getAttribute('aria-label') || await control.textContent();
    assert.ok(box.height >= 44 && box.width >= 44, `${name}: ${box.width}x${box.height}`);
    assert.ok(box.x >= 0 && box.x + box.width <= 360 && box.y + box.height <= 740, `${name} lies outside`);
  }
  await context.close();
});

test('the page says when the server is away and recovers by itself', async () => {
  const { context, page } = await openPage(browser, base);
  await until(async () => (await page.getByRole('option').count()) === 5, 'rows');
  await host.stop();
  await until(async () => page.getByRole('alert').isVisible(), 'the away notice');
  assert.match(await page.getByRole('alert').textContent(), /not answering/);
  await host.start();
  assert.equal(`http://127.0.0.1:${host.port}`, base, 'the host came back on its port');
  await until(async () => !(await page.getByRole('alert').isVisible()), 'the notice gone', 15000);
  await get(host.port, '/volume?volume=61');
  await until(async () => (await page.getByRole('slider', { name: 'Volume' }).inputValue()) === '61', 'live again');
  await context.close();
});

test('search over a 100,000-entry playlist finds on the server and draws only what is seen', async () => {
  const big = path.join(host.dir, 'big.m3u');
  bigPlaylist(big, 100000);
  const large = new PlayerHost(kBuild, host.music, '', ['--clear', '--add', big]);
  await large.start();
  try {
    const { context, page } = await openPage(browser, `http://127.0.0.1:${large.port}`);
    await until(async () => (await page.locator('#count').textContent()) === '100000 entries', 'the count', 15000);
    assert.ok((await page.getByRole('option').count()) < 60, 'only rows in view are drawn');
    await page.getByRole('searchbox', { name: 'Search' }).fill('number 77777');
    await until(async () => (await page.locator('#count').textContent()) === '1 of 100000 entries match', 'one match');
    assert.match(await page.getByRole('option').first().textContent(), /Track 77 number 77777\.mp3/);
    await page.getByRole('searchbox', { name: 'Search' }).fill('ARTIST 42/');
    await until(async () => /^1000 of 100000 entries match$/.test(await page.locator('#count').textContent()), 'a thousand matches');
    await page.locator('#playlist').evaluate((e) => { e.scrollTop = 52 * 990; });
    await until(async () => /number 4299\d/.test(await page.getByRole('option').last().textContent()), 'rows far down');
    await context.close();
  } finally {
    await large.stop();
  }
});
