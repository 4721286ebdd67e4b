// Every button of every page, pressed through the web edition's engine in the
// browser from the page's start state, against `rosgen run` with the same date:
// the same output bytes (GBK), message boxes, addresses and field warnings.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import { cli, declaration, launch, load, oneLine, openTab } from './support.mjs';

const today = [2024, 5, 6];
let browser;
let tab;

before(async () => {
  browser = await launch();
  tab = await openTab(browser);
  await load(tab, 'start');
});
after(async () => {
  assert.deepEqual(tab.blocked, [], 'requests left the page');
  assert.deepEqual(tab.errors, []);
  await browser.close();
});

// Presses as the page does: an input box is cancelled (the command line's default), and
// the press runs again with the answer. The box's bytes are those a saved file holds.
function pressInBrowser(slug, button, today) {
  const call = window.rosgenCall;
  call({ op: 'describe', page: slug });  // a fresh form in its start-up state
  const request = { op: 'press', page: slug, button, today, answers: [], random: [] };
  const started = performance.now();
  for (;;) {
    const reply = call(request);
    if (reply.outcome !== 'input') {
      const ms = performance.now() - started;
      return { ...reply, ms, bytes: call({ op: 'bytes', page: slug }).bytes };
    }
    request.answers.push(null);
    request.random = reply.random;
  }
}

// Random parts (generated accounts) are compared by their shape.
const shape = (bytes) => bytes.toString('latin1').replace(/[0-9A-Za-z]/g, '#');

test('every button writes the same bytes and raises the same boxes as the command line', async () => {
  const slugs = cli(['list']).stdout.toString('utf8').trim().split('\n').map((l) => l.split('\t')[1]).slice(1);
  assert.equal(slugs.length, 26);
  const times = [];
  let presses = 0;
  for (const slug of slugs) {
    for (const b of declaration(slug).buttons) {
      const web = await tab.evaluate(pressInBrowser, slug, b.id, today);
      const ref = cli(['run', slug, b.id, '--today', '2024-05-06', '--encoding', 'gbk']);
      const what = `${slug} ${b.id}`;
      const bytes = Buffer.from(web.bytes, 'latin1');
      if (!bytes.equals(ref.stdout)) {
        // Only a button whose own output differs between two runs may differ, and only in its random parts.
        const again = cli(['run', slug, b.id, '--today', '2024-05-06', '--encoding', 'gbk']).stdout;
        assert.ok(!again.equals(ref.stdout), `${what}: output differs from the command line's`);
        assert.equal(shape(bytes), shape(ref.stdout), `${what}: random output of another shape`);
      }
      // The command line shows message boxes; its input boxes are answered silently.
      const boxes = web.events.filter((e) => e.kind === 'message').map((e) => oneLine(e.caption, e.text));
      assert.deepEqual(boxes, ref.messages, `${what}: message boxes`);
      assert.deepEqual(web.events.filter((e) => e.kind === 'open').map((e) => e.address), ref.opened, `${what}: addresses`);
      assert.deepEqual(web.warnings.map((w) => `[warning] ${w.id} (${w.label}): ${w.reason}`), ref.warnings, `${what}: warnings`);
      assert.equal(web.outcome === 'refused' ? 1 : 0, ref.status, `${what}: outcome`);
      times.push(web.ms);
      ++presses;
    }
  }
  times.sort((a, b) => a - b);
  const median = times[times.length >> 1];
  console.log(`engine: ${presses} presses, median ${median.toFixed(2)} ms, slowest ${times.at(-1).toFixed(2)} ms`);
  assert.ok(presses >= 25 * 3, 'too few buttons pressed');
  assert.ok(median < 10, `a press takes ${median} ms`);
});
