// The web edition's page, driven as a person would in headless Chromium, opened
// from disk: every task page filled and pressed against `rosgen run` with the
// same inputs; copy, save and the account log; the phone-width layout; no
// request leaving the page; and how fast it is ready and answers.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import {
  browserToday, cli, cliArgs, declaration, downloaded, downloads, drive, html, launch, load, openTab, settle,
} from './support.mjs';

let browser;
const tabs = [];

before(async () => {
  browser = await launch();
});
after(async () => {
  for (const tab of tabs) {
    assert.deepEqual(tab.blocked, [], 'requests left the page');
    assert.deepEqual(tab.errors, [], 'errors on the page');
  }
  await browser.close();
});

async function freshTab(options) {
  const tab = await openTab(browser, options);
  tabs.push(tab);
  return tab;
}

// Presses through the page and through the command line; the output box shows the
// command line's output (CR LF shown as line breaks), with the same boxes and addresses.
async function same(tab, slug, c) {
  await load(tab, slug);
  const web = await drive(tab, slug, c);
  const ref = cli(cliArgs(slug, c, await browserToday(tab)));
  const what = `${slug} ${c.button} ${JSON.stringify(c)}`;
  assert.equal(web.output, ref.stdout.toString('utf8').replace(/\r\n/g, '\n'), `${what}: output`);
  // The command line answers input boxes without showing them.
  const messages = web.boxes.filter((b) => !b.input).map((b) => b.line);
  assert.deepEqual(messages, ref.messages, `${what}: message boxes`);
  assert.deepEqual(web.opened, ref.opened, `${what}: addresses`);
  assert.equal(web.warnings ? Number.parseInt(web.warnings, 10) : 0, ref.warnings.length, `${what}: warnings`);
  return { web, ref };
}

const pppoe = {
  count: '编辑框_添加PPPOE帐号_每次生成',
  export: '选择框_添加PPPOE帐号_是否导出',
  bindMac: '选择框_添加PPPOE帐号_绑定MAC',
  mac: '编辑框_添加PPPOE帐号_MAC',
};

describe('every task page', () => {
  const slugs = cli(['list']).stdout.toString('utf8').trim().split('\n').map((l) => l.split('\t')[1]).slice(1);

  test('has its fields and buttons under their names, and its first button writes what the command line writes', async () => {
    const tab = await freshTab();
    for (const slug of slugs) {
      const decl = declaration(slug);
      await load(tab, slug);
      const names = await tab.$$eval(`section[data-page="${slug}"] [name]`, (es) => es.map((e) => e.getAttribute('name')));
      for (const f of decl.fields) assert.ok(names.includes(f.id), `${slug}: no element named ${f.id}`);
      assert.ok(names.includes(decl.output), `${slug}: no output box`);
      const buttons = await tab.$$eval(`section[data-page="${slug}"] [data-button]`, (es) => es.map((e) => e.dataset.button));
      assert.deepEqual(buttons, decl.buttons.map((b) => b.id), `${slug}: buttons`);
      // A page's own list rows and values would each be another case; the first button
      // with its defaults shows the page is wired to the engine.
      await same(tab, slug, { button: decl.buttons.find((b) => !/^(add|modify|delete)/.test(b.id)).id });
    }
  });
});

describe('pressing through the page', () => {
  const cases = [
    // Full-width digits and blanks are trimmed and read as the window reads them.
    ['wan-fixed', { button: 'gen-3x', values: { 编辑框_安装_外网ip: '　203.0.113.10 ', 编辑框_安装_子网掩码: '２４' } }],
    ['wan-fixed', { button: 'gen-2x', values: { 编辑框_安装_外网ip: '　', 编辑框_安装_子网掩码: '24　' } }],
    ['wan-fixed', { button: 'gen-3x', values: { 编辑框_安装_外网ip: '203.0.113.300' } }],  // written, with a warning
    ['router-users', { button: 'gen-3x' }],  // refused: no password
    ['router-users', { button: 'gen-3x', values: { 编辑框_系统_密码: 's3cret' }, select: { 组合框_系统_等级: 3 } }],
    ['multi-fixed-balance', {
      button: 'gen-2x',
      rows: [['203.0.113.2', '255.255.255.248', '203.0.113.1', 'ether2'], ['198.51.100.2', '255.255.255.0', '198.51.100.1', 'ether3']],
    }],
    // A duplicate row is refused; a click on a row and "delete" remove it.
    ['multi-fixed-balance', {
      button: 'delete',
      rows: [['203.0.113.2', '255.255.255.248', '203.0.113.1', 'ether2'], ['203.0.113.2', '255.255.255.248', '203.0.113.1', 'ether2'], ['198.51.100.2', '', '', 'ether3']],
      select: { 超级列表框_多线固定IP负载发装列表: 1 },
    }],
    ['system-tools', { button: 'restore-by-date', answer: '20240102' }],
    ['system-tools', { button: 'restore-by-date' }],  // the input box cancelled
    ['system-tools', { button: 'restore-by-date-7x', answer: '2024-01-02' }],
    ['pppoe-accounts', { button: 'single-3x', check: [pppoe.bindMac], values: { [pppoe.mac]: '00-11-22-33-44-55' } }],
    ['ddns', { button: 'signup' }],  // opens an address
  ];
  for (const [slug, c] of cases) {
    test(`${slug} ${c.button}`, async () => {
      const tab = await freshTab();
      await same(tab, slug, c);
    });
  }

  test('the account batch is offered as log.TXT: the bytes of every batch of this visit', async () => {
    const tab = await freshTab();
    const c = { button: 'batch-3x', values: { [pppoe.count]: '3' } };
    await load(tab, 'pppoe-accounts');
    const first = await drive(tab, 'pppoe-accounts', c);
    assert.equal(first.output.trim().split('\n').length, 3);
    // The same shape as the command line's batch (the accounts are random).
    const ref = cli(cliArgs('pppoe-accounts', { ...c, uncheck: [pppoe.export] }));
    const shape = (s) => s.replace(/\r\n/g, '\n').replace(/[0-9A-Za-z]/g, '#');
    assert.equal(shape(first.output), shape(ref.stdout.toString('utf8')));
    const firstBytes = await save(tab, 'pppoe-accounts');
    const second = await drive(tab, 'pppoe-accounts', c);
    assert.notEqual(second.output, first.output);
    const secondBytes = await save(tab, 'pppoe-accounts');
    await tab.click('section[data-page="pppoe-accounts"] [data-panel=log]');
    assert.deepEqual(await downloaded('log.TXT'), Buffer.concat([firstBytes, secondBytes]));
  });
});

async function save(tab, slug) {
  await tab.click(`section[data-page="${slug}"] [data-panel=save]`);
  return downloaded(`${slug}.rsc`);
}

describe('the output panel', () => {
  test('"保存脚本" saves the bytes the command line writes in GBK, edits included', async () => {
    const tab = await freshTab();
    const c = { button: 'qq-music-3x' };
    await load(tab, 'app-block');
    await drive(tab, 'app-block', c);
    const ref = cli([...cliArgs('app-block', c), '--encoding', 'gbk']).stdout;
    assert.ok(ref.some((b) => b >= 0x80), 'a script with Chinese text');
    assert.deepEqual(await save(tab, 'app-block'), ref);
    // An edited box is saved as typed, its line breaks as CR LF.
    await tab.$eval('section[data-page="app-block"] [data-output]', (e) => {
      e.value += '\n# 备注';
      e.dispatchEvent(new Event('input', { bubbles: true }));
    });
    assert.deepEqual(await save(tab, 'app-block'), Buffer.concat([ref, Buffer.from([0x0d, 0x0a, 0x23, 0x20, 0xb1, 0xb8, 0xd7, 0xa2])]));
  });

  test('"复制生成脚本" puts the output on the clipboard with CR LF line ends, and says so', async () => {
    const tab = await freshTab();
    const session = await tab.createCDPSession();
    await session.send('Browser.grantPermissions', { permissions: ['clipboardReadWrite', 'clipboardSanitizedWrite'] });
    await load(tab, 'wan-fixed');
    await drive(tab, 'wan-fixed', { button: 'gen-3x' });
    await tab.click('section[data-page="wan-fixed"] [data-panel=copy]');
    const boxes = await settle(tab);
    assert.equal(boxes.length, 1);
    assert.match(boxes[0].line, /^\[恭喜!\] 复制成功!\\n/);
    const clip = await tab.evaluate(() => navigator.clipboard.readText());
    assert.equal(clip, cli(['run', 'wan-fixed', 'gen-3x']).stdout.toString('utf8'));
    assert.match(clip, /\r\n/);
    assert.doesNotMatch(clip, /[^\r]\n/);
  });
});

describe('"检查脚本"', () => {
  test('lists what the command line finds on the default configuration, in Chinese, and leaves the box alone', async () => {
    const tab = await freshTab();
    await load(tab, 'block-ping');
    const script = '/interface ethernet set bridge arp=reply-only\n/ip firewall filter add chain=output protocol=icmp action=drop\n/ip adress print\n';
    const file = path.join(downloads, 'check.rsc');
    for (const [text, cleanTree] of [[script, false], [script.split('\n').slice(0, 2).join('\n'), true]]) {
      await tab.$eval('section[data-page="block-ping"] [data-output]', (e, t) => {
        e.value = t;
        e.dispatchEvent(new Event('input', { bubbles: true }));
      }, text);
      await tab.click('section[data-page="block-ping"] [data-panel=check]');
      const boxes = await settle(tab);
      assert.equal(boxes.length, 1);
      assert.match(boxes[0].line, /^\[检查脚本\] 按 RouterOS 7 的命令树检查，并在默认配置的路由器上模拟运行：/);
      fs.writeFileSync(file, text);
      const ref = cli(['check', '--base', 'defconf', file]).stdout.toString('utf8').trim().split('\n');
      const places = ref.map((l) => l.split(':').slice(1, 3)).map(([l, c]) => `第${l}行第${c}列`);
      assert.deepEqual(boxes[0].line.match(/第\d+行第\d+列/g), places);
      // The command tree's errors stop the run; without them the run's findings are in Chinese.
      if (cleanTree) {
        assert.match(boxes[0].line, /没有这一项/);
        assert.match(boxes[0].line, /output 链丢弃 ICMP/);
      }
      assert.equal(await tab.$eval('section[data-page="block-ping"] [data-output]', (e) => e.value), text);
    }
  });
});

describe('layout', () => {
  test('at 360 px wide no page scrolls sideways', async () => {
    const tab = await freshTab({ width: 360, height: 740 });
    const slugs = ['start', 'multi-fixed-balance', 'system-tools', 'pppoe-accounts', 'scheduled-reboot', 'simple-queues', 'port-mapping'];
    for (const slug of slugs) {
      await load(tab, slug);
      const [scroll, width] = await tab.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.clientWidth]);
      assert.ok(scroll <= width, `${slug}: ${scroll} px wide in a ${width} px window`);
    }
  });
});

describe('speed', () => {
  test('ready (engine loaded, first page shown) within 500 ms, a press within 10 ms', async () => {
    const tab = await freshTab();
    const ready = [];
    for (let i = 0; i < 3; ++i) {
      await load(tab, 'wan-fixed');
      ready.push(await tab.evaluate(() => window.rosgenReady.rendered));
    }
    const presses = [];
    for (let i = 0; i < 5; ++i) {
      await tab.click('section[data-page="wan-fixed"] [data-button=gen-3x]');
      await settle(tab);
      presses.push(await tab.evaluate(() => window.rosgenLastPress));
    }
    const best = Math.min(...ready);
    presses.sort((a, b) => a - b);
    const press = presses[presses.length >> 1];
    const size = fs.statSync(html).size;
    console.log(`web edition: ready after ${ready.map((t) => t.toFixed(0)).join('/')} ms, press ${press.toFixed(2)} ms, ${(size / 1048576).toFixed(2)} MB`);
    assert.ok(best < 500, `ready after ${best} ms`);
    assert.ok(press < 10, `a press takes ${press} ms`);
    assert.ok(size <= 2 * 1048576, `rosgen.html is ${size} bytes`);
  });
});
