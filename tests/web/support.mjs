// Shared by the web edition's browser tests: headless Chromium with every
// network request blocked and counted, the page driven as a person would, and
// the rosgen command line as the reference for the same inputs.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import puppeteer from 'puppeteer-core';

const root = path.resolve(import.meta.dirname, '../..');
export const html = path.resolve(process.env.ROSGEN_HTML ?? path.join(root, 'build/web/bin/rosgen.html'));
export const htmlUrl = pathToFileURL(html).href;

// A private copy of the command line, so the account log it writes beside itself stays out of the build.
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'rosgen-web-test-'));
const cliPath = path.join(scratch, 'rosgen');
fs.copyFileSync(path.resolve(process.env.ROSGEN_BIN ?? path.join(root, 'build/ci/bin/rosgen')), cliPath);
fs.chmodSync(cliPath, 0o755);
export const downloads = path.join(scratch, 'downloads');
fs.mkdirSync(downloads);
process.on('exit', () => fs.rmSync(scratch, { recursive: true, force: true }));

export function cli(args) {
  const r = spawnSync(cliPath, args, { maxBuffer: 64 << 20 });
  const lines = r.stderr.toString('utf8').split('\n').filter((l) => l);
  return {
    status: r.status,
    stdout: r.stdout,
    messages: lines.filter((l) => !l.startsWith('[open] ') && !l.startsWith('[warning] ')),
    opened: lines.filter((l) => l.startsWith('[open] ')).map((l) => l.slice(7)),
    warnings: lines.filter((l) => l.startsWith('[warning] ')),
  };
}

export function declaration(slug) {
  return JSON.parse(cli(['show', slug, '--json']).stdout.toString('utf8'));
}

// The command line's arguments for one press: the same inputs the page is given.
export function cliArgs(slug, c, today) {
  const args = ['run', slug, c.button];
  for (const [id, v] of Object.entries(c.values ?? {})) args.push(`${id}=${v}`);
  for (const row of c.rows ?? []) args.push('--row', row.join('|'));
  for (const [id, n] of Object.entries(c.select ?? {})) args.push('--select', `${id}=${n}`);
  for (const id of c.check ?? []) args.push('--check', id);
  for (const id of c.uncheck ?? []) args.push('--uncheck', id);
  if (c.answer !== undefined) args.push('--answer', c.answer);
  if (today) args.push('--today', today.map((n, i) => String(n).padStart(i ? 2 : 4, '0')).join('-'));
  return args;
}

// A message box as the command line writes it: "[caption] text", line breaks as "\n".
export const oneLine = (caption, text) => `[${caption}] ${text.replace(/\r\n|\r|\n/g, '\\n')}`;

export async function launch() {
  return puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-extensions'],
  });
}

// A tab on rosgen.html in which every request but the file itself is blocked and
// counted, window.open only records, and downloads land in `downloads`.
export async function openTab(browser, { width = 1280, height = 900 } = {}) {
  const tab = await browser.newPage();
  await tab.setViewport({ width, height });
  tab.blocked = [];
  tab.errors = [];
  tab.on('pageerror', (e) => tab.errors.push(e.message));
  await tab.setRequestInterception(true);
  tab.on('request', (req) => {
    const url = req.url();
    if (url.split('#')[0] === htmlUrl || url.startsWith('blob:') || url.startsWith('data:')) {
      req.continue();
    } else {
      tab.blocked.push(url);
      req.abort();
    }
  });
  await tab.evaluateOnNewDocument(() => {
    window.opened = [];
    window.open = (address) => {
      window.opened.push(address);
      return null;
    };
  });
  const session = await tab.createCDPSession();
  await session.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  return tab;
}

// Opens the file afresh (a new fragment alone would only switch pages).
export async function load(tab, slug) {
  await tab.goto('about:blank');
  await tab.goto(`${htmlUrl}#${slug}`);
  await tab.waitForSelector('body[data-ready]');
}

// Answers every box the press raises (input boxes with `answer`, or cancelled)
// until the press is over; returns the boxes, each as the command line writes a message box.
export async function settle(tab, answer) {
  const boxes = [];
  for (;;) {
    await tab.waitForFunction(() => document.querySelector('dialog[open]') || !document.querySelector('[data-busy]'));
    const box = await tab.evaluate(() => {
      const d = document.querySelector('dialog[open]');
      return d && { caption: d.dataset.caption, text: d.querySelector('.text').textContent, input: !!d.querySelector('input') };
    });
    if (!box) return boxes;
    boxes.push({ line: oneLine(box.caption, box.text), input: box.input });
    await tab.evaluate((input, answer) => {
      const d = document.querySelector('dialog[open]');
      if (input && answer !== undefined) d.querySelector('input').value = answer;
      d.querySelector(input && answer === undefined ? '[data-answer=cancel]' : '[data-answer=ok]').click();
    }, box.input, answer);
  }
}

// Types (or pastes) a whole value into a named box of the page, as one input event.
export function typeInto(tab, slug, name, value) {
  return tab.$eval(`section[data-page="${slug}"] [name="${name}"]`, (e, v) => {
    e.value = v;
    e.dispatchEvent(new Event('input', { bubbles: true }));
  }, value);
}

// Fills the page and presses the button in the command line's order: rows,
// selections, values, check boxes; returns what the page then shows.
export async function drive(tab, slug, c) {
  const sel = (s) => `section[data-page="${slug}"] ${s}`;
  const boxes = [];
  const type = (id, value) => typeInto(tab, slug, id, value);
  if (c.rows?.length) {
    const list = declaration(slug).list;
    for (const row of c.rows) {
      for (let i = 0; i < list.columns.length; ++i) await type(list.columns[i].field, row[i] ?? '');
      await tab.click(sel(`[data-button="${list.add}"]`));
      boxes.push(...(await settle(tab, c.answer)));
    }
  }
  for (const [id, n] of Object.entries(c.select ?? {})) {
    const isList = await tab.$(sel(`[data-list="${id}"]`));
    if (isList) {
      await tab.click(sel(`[data-list="${id}"] tbody tr:nth-child(${n})`));
    } else {
      await tab.$eval(sel(`[name="${id}"]`), (e, n) => {
        e.selectedIndex = n;
        e.dispatchEvent(new Event('change', { bubbles: true }));
      }, n);
    }
  }
  for (const [id, v] of Object.entries(c.values ?? {})) await type(id, v);
  for (const [ids, on] of [[c.check ?? [], true], [c.uncheck ?? [], false]]) {
    for (const id of ids) {
      const box = sel(`input[name="${id}"]`);
      if ((await tab.$eval(box, (e) => e.checked)) !== on || (on && (await tab.$eval(box, (e) => e.type)) === 'radio')) {
        await tab.click(box);
      }
    }
  }
  const started = Date.now();
  await tab.click(sel(`[data-button="${c.button}"]`));
  boxes.push(...(await settle(tab, c.answer)));
  const shown = await tab.evaluate((s) => {
    const section = document.querySelector(s);
    const w = section.querySelector('[data-warnings]');
    return { output: section.querySelector('[data-output]').value, warnings: w ? w.textContent : '', opened: window.opened };
  }, `section[data-page="${slug}"]`);
  return { ...shown, boxes, ms: Date.now() - started };
}

export async function browserToday(tab) {
  return tab.evaluate(() => {
    const d = new Date();
    return [d.getFullYear(), d.getMonth() + 1, d.getDate()];
  });
}

// Waits for a download to finish and returns its bytes; `name` is the file's name or a pattern
// it matches.
export async function downloaded(name) {
  const matches = (f) => (typeof name === 'string' ? f === name : name.test(f));
  for (let i = 0; i < 100; ++i) {
    const found = fs.readdirSync(downloads).find(matches);
    if (found) {
      const file = path.join(downloads, found);
      const bytes = fs.readFileSync(file);
      fs.rmSync(file);
      return bytes;
    }
    await new Promise((r) => setTimeout(r, 50));
  }
  throw new Error(`no download ${name}`);
}
