// The WireGuard page of the web edition, pressed as a person would in headless Chromium:
// its keys come from the browser's WebCrypto, and the tools of others judge what it shows.
// `wg pubkey` agrees with every key pair, `wg-quick strip` reads every client file, `zbarimg`
// reads each QR code drawn on the page back to its file, `rosgen check` passes the router's
// script, and the downloaded file is the one shown.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { cli, downloaded, launch, load, openTab, settle } from './support.mjs';

let browser;
let tab;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'rosgen-web-wg-'));

before(async () => {
  browser = await launch();
  tab = await openTab(browser);
});
after(async () => {
  assert.deepEqual(tab.blocked, [], 'requests left the page');
  assert.deepEqual(tab.errors, [], 'errors on the page');
  await browser.close();
  fs.rmSync(scratch, { recursive: true, force: true });
});

const pubkey = (secret) => execFileSync('wg', ['pubkey'], { input: secret }).toString().trim();
const valueOf = (text, key) =>
  (text.match(new RegExp(`(?:^|\\n)${key} = ([^\\n]*)`)) ?? text.match(new RegExp(` ${key}="?([^" \\n]*)`)))?.[1] ?? '';

test('clients get files and QR codes that the tools of others accept, with the keys the router knows', async () => {
  const sel = (s) => `section[data-page="wireguard"] ${s}`;
  await load(tab, 'wireguard');
  for (const name of ['phone', 'laptop']) {
    await tab.$eval(sel('[name="编辑框_WG_客户端名称"]'), (e, v) => {
      e.value = v;
      e.dispatchEvent(new Event('input', { bubbles: true }));
    }, name);
    await tab.click(sel('[data-button="add"]'));
    await settle(tab);
  }
  await tab.click(sel('[data-button="gen-7x"]'));
  assert.deepEqual(await settle(tab), [], 'no message box');
  const script = await tab.$eval(sel('[data-output]'), (e) => e.value);
  const files = await tab.$$eval(sel('[data-files] figure'), (figures) =>
    figures.map((f) => ({
      name: f.dataset.file,
      text: f.querySelector('[data-file-text]').textContent,
      png: f.querySelector('canvas').toDataURL('image/png').split(',')[1],
    })));
  assert.deepEqual(files.map((f) => f.name), ['phone.conf', 'laptop.conf']);

  const rsc = path.join(scratch, 'router.rsc');
  fs.writeFileSync(rsc, script);
  const check = cli(['check', '--base', 'defconf', rsc]);
  assert.equal(check.status, 0);
  assert.equal(check.stdout.toString(), '', script);

  const routerPublic = pubkey(valueOf(script, 'private-key'));
  const secrets = new Set();
  for (const f of files) {
    const name = f.name.replace(/\.conf$/, '');
    const peer = script.split('\n').find((l) => l.startsWith('/interface wireguard peers add') && valueOf(l, 'comment') === name);
    assert.ok(peer, `${name}: no peer`);
    assert.equal(pubkey(valueOf(f.text, 'PrivateKey')), valueOf(peer, 'public-key'), `${name}: key pair`);
    assert.equal(valueOf(f.text, 'PublicKey'), routerPublic, `${name}: the router's key`);
    assert.equal(valueOf(f.text, 'PresharedKey'), valueOf(peer, 'preshared-key'), `${name}: preshared key`);
    secrets.add(valueOf(f.text, 'PrivateKey'));

    const conf = path.join(scratch, f.name);
    fs.writeFileSync(conf, f.text, { mode: 0o600 });
    const stripped = execFileSync('wg-quick', ['strip', `./${f.name}`], { cwd: scratch, stdio: ['ignore', 'pipe', 'ignore'] });
    assert.match(stripped.toString(), /\[Peer\]\nPublicKey = /);
    const png = path.join(scratch, `${name}.png`);
    fs.writeFileSync(png, Buffer.from(f.png, 'base64'));
    const decoded = execFileSync('zbarimg', ['--quiet', '--raw', '-Sdisable', '-Sqrcode.enable', '-Sbinary', png], { stdio: ['ignore', 'pipe', 'ignore'] });
    assert.equal(decoded.toString('utf8'), f.text, `${name}: QR code`);
  }
  assert.equal(secrets.size, 2);

  await tab.click(sel('[data-save-file="laptop.conf"]'));
  assert.equal((await downloaded('laptop.conf')).toString('utf8'), files[1].text);
  await tab.click(sel('[data-save-qr="laptop.conf"]'));
  assert.ok((await downloaded('laptop.png')).subarray(1, 4).equals(Buffer.from('PNG')));

  // A press that refuses leaves the files of the last one as they were.
  await tab.click(sel('[data-button="delete"]'));
  assert.equal((await settle(tab)).length, 1);
  assert.equal(await tab.$$eval(sel('[data-files] figure'), (f) => f.length), 2);
});
