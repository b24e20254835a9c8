// A foreign site's pages, each trying one way to make a browser send a command to the server,
// and the Chromium that visits them. Every way names a path of its own, so a request tells
// which way sent it.
import http from 'node:http';
import { chromium } from 'playwright-core';

// expect: what the server does with it when the page is foreign ('refuse', or 'confirm' for a
// navigation that carries no trace of the foreign page).
export const kWays = [
  { name: 'img', target: '/volume?volume=7', expect: 'refuse' },
  { name: 'script', target: '/playmode?repeat=on', expect: 'refuse' },
  { name: 'stylesheet', target: '/mute', expect: 'refuse' },
  { name: 'iframe', target: '/ffwd', expect: 'refuse' },
  { name: 'prefetch', target: '/play?track=2', expect: 'refuse' },
  { name: 'fetch-no-cors', target: '/playmode?shuffle=on', expect: 'refuse' },
  { name: 'beacon', target: '/rewind', expect: 'refuse', method: 'POST' },
  { name: 'link-click', target: '/stop', expect: 'refuse' },
  { name: 'link-click-noreferrer', target: '/next', expect: 'confirm' },
  { name: 'form-get', target: '/pause?x=1', expect: 'refuse' },
  { name: 'form-post', target: '/set_filter', expect: 'refuse', method: 'POST' },
  { name: 'navigation', target: '/prev', expect: 'refuse' },
];

function page(body) {
  return `<!DOCTYPE html><html><head><meta charset="utf-8"><title>foreign</title></head><body>${body}</body></html>`;
}

// The pages; base is the server's address as the browser knows it ("http://dravo.lan:PORT").
function pages(base) {
  const t = (name) => base + kWays.find((w) => w.name === name).target;
  return {
    '/loads': page(`
      <img src="${t('img')}">
      <script src="${t('script')}"></script>
      <link rel="stylesheet" href="${t('stylesheet')}">
      <iframe src="${t('iframe')}"></iframe>
      <link rel="prefetch" href="${t('prefetch')}">
      <script>
        fetch(${JSON.stringify(t('fetch-no-cors'))}, { mode: 'no-cors' }).catch(() => {});
        navigator.sendBeacon(${JSON.stringify(t('beacon'))}, 'x');
      </script>`),
    '/link': page(`<a id="go" href="${t('link-click')}">win a prize</a>`),
    '/link-noreferrer': page(`<a id="go" rel="noreferrer" href="${t('link-click-noreferrer')}">win</a>`),
    '/form-get': page(`<form id="f" method="get" action="${base}/pause"><input name="x" value="1"></form>
      <script>document.getElementById('f').submit();</script>`),
    '/form-post': page(`<form id="f" method="post" action="${t('form-post')}"><input name="filter" value="zzz"></form>
      <script>document.getElementById('f').submit();</script>`),
    '/navigation': page(`<script>location.href = ${JSON.stringify(t('navigation'))};</script>`),
  };
}

// Serves the foreign pages on 127.0.0.1 at a port of its own.
export async function startForeignSite(base) {
  const all = pages(base);
  const server = http.createServer((req, res) => {
    const body = all[req.url];
    res.writeHead(body ? 200 : 404, { 'Content-Type': 'text/html; charset=utf-8' });
    res.end(body || '');
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { server, origin: `http://127.0.0.1:${server.address().port}` };
}

export const kChromiumArgs = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic',
  '--no-first-run', '--disable-background-networking', '--disable-component-update',
  '--disable-sync'];

// Chromium with a fresh profile; names maps host names to 127.0.0.1.
export async function launchChromium(names) {
  const rules = names.map((n) => `MAP ${n} 127.0.0.1`).join(', ');
  return chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: [...kChromiumArgs, `--host-resolver-rules=${rules}`],
  });
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Visits every foreign page once; settle gives the page's own loads time to go out.
export async function visitForeignPages(browser, origin, settle = 1500) {
  const context = await browser.newContext();
  const tab = await context.newPage();
  const visit = async (pathname, click) => {
    await tab.goto(origin + pathname, { waitUntil: 'commit' }).catch(() => {});
    if (click) await tab.click('#go', { timeout: 5000, noWaitAfter: true }).catch(() => {});
    await sleep(settle);
  };
  await visit('/loads');
  await visit('/link', true);
  await visit('/link-noreferrer', true);
  for (const pathname of ['/form-get', '/form-post', '/navigation']) await visit(pathname);
  await context.close();
}
