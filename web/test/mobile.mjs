// The page without a keyboard, in Debian's chromium through puppeteer-core: on a phone's screen by
// touch alone, with a gamepad seen through the Gamepad API, and offline after one visit.
//   node mobile.mjs URL [--site DIR] [--offline-port N] [--shots DIR]
// URL serves the built site. The offline checks serve a copy of DIR (default build/web/site)
// themselves, on port N (default: any free one), so that they can stop the server and deploy
// another build. With --shots, the screens looked at are saved there.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {appendFileSync, cpSync, mkdirSync, mkdtempSync, readFileSync, rmSync, statSync}
    from 'node:fs';
import {createServer} from 'node:http';
import {tmpdir} from 'node:os';
import {dirname, extname, join, normalize} from 'node:path';
import {after, before, describe, it} from 'node:test';
import {fileURLToPath} from 'node:url';
import {field, fields, problemsOf, testBrowser, waitFor} from './common.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, '..', '..');
const args = process.argv.slice(2);
const option = (name, fallback) => (args.includes(name) ? args[args.indexOf(name) + 1] : fallback);
const url = args[0] ?? 'http://127.0.0.1:8064/';
const site = option('--site', join(root, 'build', 'web', 'site'));
const offlinePort = Number(option('--offline-port', '0'));
const shots = option('--shots', null);
if (shots !== null) mkdirSync(shots, {recursive: true});

const shared = testBrowser();

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A page on a device of that size; its console errors and failed loads are kept for the test.
async function openDevice({width, height, touch = true, at = url, setUp = null}) {
  const page = await shared.browser.newPage();
  await page.setViewport({width, height, isMobile: touch, hasTouch: touch, deviceScaleFactor: 3});
  const problems = problemsOf(page);
  page.on('dialog', (dialog) => dialog.accept());
  // Fast: the walks to the basket take a third of the time, the rules are the same.
  await page.evaluateOnNewDocument(() => localStorage.setItem('tandemhoop.speed', 'fast'));
  if (setUp !== null) await page.evaluateOnNewDocument(setUp);
  await page.goto(at);
  await page.waitForFunction(() => window.tandemhoop?.ready === true, {timeout: 15000});
  return {page, problems};
}

async function shot(page, name) {
  if (shots !== null) await page.screenshot({path: join(shots, `${name}.png`)});
}

// Holds the game's ticks the moment `name` passes `test`: the test's next input then lands on
// that tick, whatever the machine's load. `window.tandemhoop.release()` lets go.
const holdWhen = (page, name, test) => page.evaluate((index, source) => new Promise((resolve) => {
  const passes = new Function('value', `return (${source})(value);`);
  const check = setInterval(() => {
    const core = window.tandemhoop.core();
    if (!passes(new Int16Array(core.memory.buffer, core.game_state(), 64)[index])) return;
    window.tandemhoop.schedule.hold();
    clearInterval(check);
    resolve();
  }, 2);
}), fields[name], test.toString());
const release = (page) => page.evaluate(() => window.tandemhoop.release());

const box = (page, selector) => page.$eval(selector, (element) => {
  const {left, top, right, bottom, width, height} = element.getBoundingClientRect();
  return {left, top, right, bottom, width, height, x: left + width / 2, y: top + height / 2};
});
const overlaps = (a, b) =>
    a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
const tap = async (page, selector) => {
  const {x, y} = await box(page, selector);
  await page.touchscreen.tap(x, y);
};
const boxText = (page) => page.$eval(
    '#overlay', (layer) => (layer.hidden ? null : layer.querySelector('p').textContent));
const ticks = (page) => page.evaluate(() => window.tandemhoop.core().ticks());

const kControls = ['#touch-pad .left', '#touch-pad .up', '#touch-pad .right', '#touch-pad .down',
                   '#touch-action', '#touch-pause', '#touch-settings'];

// The controls stand clear of the court, big enough for a thumb, and say what they do; the court
// takes what they leave.
async function checkLayout(page) {
  const court = await box(page, '#court');
  const names = [];
  for (const control of kControls) {
    const place = await box(page, control);
    assert.ok(place.width >= 48 && place.height >= 48,
              `${control}: ${place.width} x ${place.height}`);
    assert.ok(!overlaps(place, court), `${control} stands on the court`);
    const node = await page.$(control);
    names.push((await page.accessibility.snapshot({root: node, interestingOnly: false}))?.name);
  }
  assert.deepEqual(names, ['Move left', 'Move up', 'Move right', 'Move down',
                           'Shoot, block or steal', 'Pause (asks whether to quit)', 'Settings']);
  assert.equal(await page.$eval('.help', (help) => help.checkVisibility()), false,
               'no keyboard help as if it were the only way');
  return court;
}

describe('on a phone (390 x 844, touch)', () => {
  let page;
  let problems;
  before(async () => ({page, problems} = await openDevice({width: 390, height: 844})));
  after(async () => page?.close());

  it('lays the pad and the button below a court as wide as the screen', async () => {
    const court = await checkLayout(page);
    assert.ok(court.width >= 389, `the court is ${court.width} wide`);
    const pad = await box(page, '#touch-pad');
    const action = await box(page, '#touch-action');
    assert.ok(pad.top >= court.bottom && action.top >= court.bottom && pad.right < action.left);
    await shot(page, 'phone-upright-title');
  });

  it('plays by touch alone from the title to a basket', async () => {
    // A tap on the court is the key that starts the game; the selection screen takes taps.
    await tap(page, '#court');
    await page.waitForSelector('#selection:not([hidden])', {timeout: 3000});
    assert.equal(await page.$eval('#Text1', (text) => text.readOnly), true);
    await shot(page, 'phone-selection');
    await tap(page, '#Picture26');
    await tap(page, '#Label3');
    assert.deepEqual(await page.evaluate(() => [Text1.value, Text2.value]), ['OSKEL', 'TOBIN']);
    await tap(page, '#Command4');
    await page.waitForSelector('#selection', {hidden: true});
    assert.equal(await field(page, 'twoPlayerMode'), -1);
    // Player 2 stands at (250, 300): Player 1 goes right of him, then up under the basket, well
    // ahead of him, and dunks, which cannot miss. The thumb slides from right to up; another
    // finger shoots while it still holds up.
    const pad = await box(page, '#touch-pad');
    const reach = pad.width * 0.35;
    const thumb = await page.touchscreen.touchStart(pad.x + reach, pad.y);
    await holdWhen(page, 'p1X', (x) => x >= 350);
    await thumb.move(pad.x, pad.y - reach);
    await release(page);
    await waitFor(page, 'p1Y', (y) => y <= 150);
    assert.equal(await field(page, 'p1KeyRight'), 0, 'right went up as the thumb slid off it');
    const action = await box(page, '#touch-action');
    const finger = await page.touchscreen.touchStart(action.x, action.y);
    // Let go within six ticks: held longer, any shot becomes a jump shot.
    await holdWhen(page, 'p1ShotTicks', (shotTicks) => shotTicks >= 2);
    await finger.end();
    await release(page);
    await thumb.end();
    await waitFor(page, 'p1Score', (score) => score === 1);
    await waitFor(page, 'p1KeyUp', (flag) => flag === 0);
    await shot(page, 'phone-upright-play');
    // Nothing moved or zoomed under the fingers.
    assert.deepEqual(await page.evaluate(() => [scrollX, scrollY, visualViewport.scale]),
                     [0, 0, 1]);
  });

  it('answers the quit question by touch; a tap on the court resumes', async () => {
    await tap(page, '#touch-pause');
    await page.waitForSelector('#overlay:not([hidden])');
    assert.equal(await boxText(page), '     Ayawan Na?');
    const no = await box(page, '#overlay button:last-child');
    assert.ok(no.height >= 48, `No is ${no.height} high`);
    await shot(page, 'phone-box');
    await tap(page, '#overlay button:last-child');
    await page.waitForSelector('#paused:not([hidden])');
    assert.equal(await page.$eval('#paused', (mark) => mark.textContent),
                 'paused — tap the court to resume');
    const frozen = await ticks(page);
    await sleep(200);
    assert.equal(await ticks(page), frozen);
    await tap(page, '#court');
    await page.waitForFunction((from) => window.tandemhoop.core().ticks() > from + 2, {}, frozen);
    assert.equal(await page.$eval('#paused', (mark) => mark.hidden), true);
    // The settings open over the court, which waits behind them, and close again.
    await tap(page, '#touch-settings');
    await page.waitForSelector('#touch-sheet:not([hidden]) #speed');
    const covered = await ticks(page);
    await sleep(200);
    assert.equal(await ticks(page), covered);
    await tap(page, '#touch-done');
    await page.waitForSelector('#touch-sheet', {hidden: true});
    await page.waitForFunction((from) => window.tandemhoop.core().ticks() > from + 2, {}, covered);
    assert.deepEqual(problems, []);
  });

  it('turned sideways, puts the pad left and the button right of a court as high as the screen',
     async () => {
    await page.setViewport({width: 844, height: 390, isMobile: true, hasTouch: true,
                            deviceScaleFactor: 3});
    await page.waitForFunction(() => document.body.classList.contains('touch-beside'));
    const court = await checkLayout(page);
    // Whole device pixels first: a little short of the height rather than blurred.
    assert.ok(court.height >= 390 * 0.9, `the court is ${court.height} high`);
    assert.ok((await box(page, '#touch-pad')).right <= court.left);
    assert.ok((await box(page, '#touch-action')).left >= court.right);
    await shot(page, 'phone-sideways-play');
  });
});

describe('on a tablet', () => {
  for (const [width, height] of [[1024, 768], [820, 1180]]) {
    it(`(${width} x ${height}) keeps the controls off a court as wide or high as it can be`,
       async () => {
      const {page, problems} = await openDevice({width, height});
      const court = await checkLayout(page);
      assert.ok(court.width >= width * 0.6 && court.height >= height * 0.45,
                `the court is ${court.width} x ${court.height}`);
      await tap(page, '#court');
      await page.waitForSelector('#selection:not([hidden])');
      await shot(page, `tablet-${width}x${height}`);
      assert.deepEqual(problems, []);
      await page.close();
    });
  }
});

describe('a gamepad', () => {
  it('plays Player 1 through the Gamepad API, from the title through the selection screen',
     async () => {
    // A pad the browser would report: the standard mapping, pressed by the test.
    const setUp = () => {
      const buttons = Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}));
      const pad = {id: 'Test pad (STANDARD GAMEPAD)', index: 0, connected: true,
                   mapping: 'standard', timestamp: 0, axes: [0, 0, 0, 0], buttons,
                   vibrationActuator: null};
      let plugged = false;
      navigator.getGamepads = () => [plugged ? pad : null, null, null, null];
      window.testPad = {
        plug() {
          plugged = true;
          window.dispatchEvent(new Event('gamepadconnected'));
        },
        set(button, pressed) {
          Object.assign(pad.buttons[button], {pressed, value: pressed ? 1 : 0});
        },
        stick(x, y) {
          pad.axes[0] = x;
          pad.axes[1] = y;
        },
      };
    };
    const {page, problems} = await openDevice({width: 800, height: 720, touch: false, setUp});
    const set = (button, pressed) =>
        page.evaluate((b, p) => window.testPad.set(b, p), button, pressed);
    const focused = () => page.evaluate(() => document.activeElement.id);
    // A press, held until what it does has been seen.
    const press = async (button, seen) => {
      await set(button, true);
      await page.waitForFunction(seen);
      await set(button, false);
    };
    const [kA, kStart, kUp, kDown] = [0, 9, 12, 13];
    await page.evaluate(() => window.testPad.plug());
    await press(kStart, () => !document.getElementById('selection').hidden);
    // The d-pad walks the focus from "vs Computer" up to the portrait above it, and A picks.
    assert.equal(await focused(), 'Command3');
    await press(kUp, () => document.activeElement.id === 'Picture50');
    await press(kA, () => document.getElementById('Text1').value === 'REKO');
    await press(kUp, () => document.activeElement.id === 'Picture26');
    await press(kA, () => document.getElementById('Text2').value === 'OSKEL');
    await press(kDown, () => document.activeElement.id === 'Picture50');
    await press(kDown, () => document.activeElement.id === 'Command3');
    await press(kDown, () => document.activeElement.id === 'Command4');
    await press(kA, () => document.getElementById('selection').hidden);
    // The first pad is Player 1: the stick walks him (away from Player 2, who stands still with
    // nobody at his keys), A shoots.
    await waitFor(page, 'playClock', (clock) => clock > 12);
    const p1X = await field(page, 'p1X');
    await page.evaluate(() => window.testPad.stick(1, 0));
    await waitFor(page, 'p1X', (x) => x > p1X + 20);
    await page.evaluate(() => window.testPad.stick(0, 0));
    await waitFor(page, 'p1KeyRight', (flag) => flag === 0);
    await set(kA, true);
    await waitFor(page, 'p1Shooting', (flag) => flag === -1);
    await set(kA, false);
    assert.deepEqual(problems, []);
    await page.close();
  });
});

// A web server of the test's own, serving `folder`, that the test can stop and start again.
function serve(folder, port) {
  const types = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                 '.wasm': 'application/wasm', '.json': 'application/json', '.png': 'image/png',
                 '.webmanifest': 'application/manifest+json'};
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(folder, path.endsWith('/') ? `${path}index.html` : path);
    try {
      if (!file.startsWith(folder) || !statSync(file).isFile()) throw new Error('not found');
      response.writeHead(200, {'Content-Type': types[extname(file)] ?? 'application/octet-stream',
                               'Cache-Control': 'no-cache'});
      response.end(readFileSync(file));
    } catch {
      response.writeHead(404);
      response.end();
    }
  });
  return new Promise((resolve) => server.listen(port, '127.0.0.1', () => resolve(server)));
}
const stop = (server) => new Promise((resolve) => {
  server.closeAllConnections();
  server.close(resolve);
});

describe('offline', () => {
  let folder;
  before(() => {
    folder = mkdtempSync(join(tmpdir(), 'tandemhoop-site-'));
    cpSync(site, folder, {recursive: true});
  });
  after(() => rmSync(folder, {recursive: true, force: true}));

  it('after one visit, plays with the server gone; a reload after a new build gets the new set',
     async () => {
    let server = await serve(folder, offlinePort);
    const at = `http://127.0.0.1:${server.address().port}/`;
    const {page, problems} = await openDevice({width: 390, height: 844, at});
    // The set is kept once the worker is active: it is installed only whole.
    await page.waitForFunction(
        async () => (await navigator.serviceWorker.ready).active.state === 'activated');
    const session = await page.createCDPSession();
    assert.deepEqual((await session.send('Page.getInstallabilityErrors')).installabilityErrors, []);
    const versionOf = () =>
        readFileSync(join(folder, 'sw.js'), 'utf8').match(/kVersion = '(\w+)'/)[1];
    const version = versionOf();
    assert.deepEqual(await page.evaluate(() => caches.keys()), [`tandemhoop-${version}`]);
    await stop(server);

    await page.reload();
    await page.waitForFunction(() => window.tandemhoop?.ready === true, {timeout: 15000});
    assert.equal(await page.evaluate(() => navigator.serviceWorker.controller !== null), true);
    await tap(page, '#court');
    await page.waitForSelector('#selection:not([hidden])');
    for (const control of ['#Picture26', '#Label3', '#Command4']) await tap(page, control);
    await waitFor(page, 'playClock', (clock) => clock > 20);
    // What comes after the title is kept too.
    assert.equal(await page.evaluate(async () => (await fetch('sounds/swish.wav')).ok), true);
    assert.deepEqual(problems, []);

    // The next build: one file changed, the set stamped again, the server back.
    appendFileSync(join(folder, 'style.css'), '\n/* the next build */\n');
    execFileSync('python3', [join(root, 'web', 'stamp-site.py'), folder]);
    const next = versionOf();
    assert.notEqual(next, version);
    server = await serve(folder, Number(new URL(at).port));
    try {
      // The reload finds the new set and, at the title, takes it: the page reloads itself once.
      let loads = 0;
      page.on('load', () => ++loads);
      await page.reload();
      const end = Date.now() + 15000;
      let seen = null;
      while (Date.now() < end) {
        seen = loads < 2 ? null : await page.evaluate(async () => ({
          caches: await caches.keys(),
          style: await (await fetch('style.css')).text(),
          controlled: navigator.serviceWorker.controller !== null,
          ready: window.tandemhoop?.ready === true,
        })).catch(() => null);  // the page between two loads
        if (seen?.ready && seen.controlled && seen.caches.length === 1) break;
        await sleep(100);
      }
      assert.equal(loads, 2, 'the page took the new set with one reload of its own');
      assert.deepEqual(seen?.caches, [`tandemhoop-${next}`]);
      assert.ok(seen.style.includes('the next build'), 'the new set serves the new style sheet');
    } finally {
      await stop(server);
    }
    await page.close();
  });
});
