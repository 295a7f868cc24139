// browser.mjs -- what the browser checks share: Debian's chromium driven by
// playwright-core, a static server on 127.0.0.1 for the edition's folder,
// the end-to-end cases the page is held to, and small page helpers.
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { createRequire } from 'node:module';
import { chromium } from 'playwright-core';

const ROOT = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
// The built edition: the very folder a user opens.
export const WEB_DIR = path.resolve(ROOT, process.env.DSD_WEB_DIR || 'build/web');
export const SHOTS = path.join(WEB_DIR, 'shots');
const TYPES = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript; charset=utf-8',
                '.css': 'text/css; charset=utf-8', '.png': 'image/png' };

// launch(): a headless Debian chromium. The flags keep it from reaching
// for the network, which this machine does not have.
export function launch() {
  return chromium.launch({
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// serve(dir): a static server for dir on 127.0.0.1; returns {url, close()}.
export async function serve(dir) {
  const server = http.createServer((req, res) => {
    const rel = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(dir, path.normalize(rel === '/' ? '/index.html' : rel));
    if (!file.startsWith(dir) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}`, close: () => new Promise((r) => server.close(r)) };
}

// linkInput(flag, input): the in= value of a link to an input, a text (as
// UTF-8) or bytes (the page's own encoding, web/page/link.js: a checksum,
// the flag, the bytes).
const DsdLink = createRequire(import.meta.url)('../../web/page/link.js');
export function linkInput(flag, input) {
  return DsdLink.encodeInput(flag, typeof input === 'string' ? new TextEncoder().encode(input) : new Uint8Array(input));
}

// fileOrigin(): the base URL of the built edition opened from file://
// (serve() gives the other way, from a static server).
export function fileOrigin() {
  return pathToFileURL(WEB_DIR).href;
}

// cases(...selectors): the end-to-end cases (tests/web/cases.py), bytes as
// Buffers: {selector: {path, args, stdin, files, expect, stdout, stderr, status}}.
export function cases(...selectors) {
  const raw = JSON.parse(execFileSync('python3', [path.join(ROOT, 'tests/web/cases.py'), ...selectors]));
  const bytes = (b64) => Buffer.from(b64, 'base64');
  const map = (o) => Object.fromEntries(Object.entries(o).map(([k, v]) => [k, bytes(v)]));
  for (const c of Object.values(raw)) {
    Object.assign(c, { stdin: bytes(c.stdin), stdout: bytes(c.stdout), stderr: bytes(c.stderr),
                       files: map(c.files), expect: map(c.expect) });
  }
  return raw;
}

// gbk(bytes): the text the page shows for GBK bytes.
export function gbk(bytes) {
  return new TextDecoder('gbk').decode(bytes);
}

// openTab(page, base, program): opens the page at program's tab and waits
// for the run of its main example; returns the tab's locator.
export async function openTab(page, base, program) {
  await page.goto(`${base}/index.html#${program}`);
  const tab = page.locator(`#tab-${program}`);
  await tab.locator('.output[data-runs]').waitFor();
  return tab;
}

// runAndWait(tab, action): does action (clicking Run, pressing Enter) and
// waits until the tab shows the run it started: one more run shown, and
// none in flight (a run asked for while an earlier one was still being
// drawn starts once that one is shown).
export async function runAndWait(tab, action) {
  const output = tab.locator('.output');
  const before = Number(await output.getAttribute('data-runs') || 0);
  await action();
  await tab.page().waitForFunction(([el, section, n]) => Number(el.getAttribute('data-runs') || 0) > n &&
                                     section.getAttribute('data-pending') === '0',
                                   [await output.elementHandle(), await tab.elementHandle(), before]);
}

// shown(tab): what the tab shows of its latest run: {status, stdout, stderr,
// files: {name: text}} (stdout and stderr '' when the page says there is none).
export async function shown(tab) {
  return tab.locator('.output').evaluate((out) => {
    const text = (sel) => { const n = out.querySelector(sel); return n ? n.textContent : ''; };
    const files = {};
    out.querySelectorAll('section.file').forEach((f) => { files[f.dataset.name] = f.querySelector('pre').textContent; });
    return { status: Number(text('.status-value')), stdout: text('.stdout-text'), stderr: text('.stderr-text'), files };
  });
}

// download(tab, name): the exact bytes that the download link of output
// file name saves.
export async function download(tab, name) {
  const [saved] = await Promise.all([
    tab.page().waitForEvent('download'),
    tab.locator(`section.file[data-name="${name}"] a.download`).click(),
  ]);
  return fs.readFileSync(await saved.path());
}

// shot(page, name): saves a screenshot for people to look at (never compared).
export async function shot(page, name) {
  fs.mkdirSync(SHOTS, { recursive: true });
  await page.screenshot({ path: path.join(SHOTS, name + '.png'), fullPage: true });
}

// freshPicture(browser, url, program): what a new page opened at url (a
// link with the case and the step) draws for program's picture: {step, svg
// (the picture's markup), marked (the text marked beside it)}. A step drawn
// after visiting others must look the same: a stale state cannot.
export async function freshPicture(browser, url, program) {
  const page = await browser.newPage({ viewport: { width: 1200, height: 900 } });
  try {
    await page.goto(url);
    const box = page.locator(`#tab-${program} .picture`);
    await page.waitForFunction((b) => b.hasAttribute('data-draws') && b.dataset.count !== '0', await box.elementHandle());
    return await box.evaluate((b) => ({
      step: Number(b.dataset.step), svg: b.querySelector('svg').outerHTML,
      marked: [...b.querySelectorAll('.picture-text .current')].map((n) => n.textContent) }));
  } finally {
    await page.close();
  }
}
