// The browser front end in a real browser: Debian's chromium, driven through puppeteer-core.
//   node browser.mjs URL [--frame-hashes TOOL]
// URL serves the built site; TOOL (tandemhoop_frame_hashes from the desktop build) gives the
// desktop's software frames for the parity check. Prints figures as it goes.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {mkdtempSync, readFileSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {dirname, join} from 'node:path';
import {after, before, describe, it} from 'node:test';
import {fileURLToPath} from 'node:url';
import puppeteer from 'puppeteer-core';

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, '..', '..');
const args = process.argv.slice(2);
const url = args[0] ?? 'http://127.0.0.1:8064/';
const toolAt = args.indexOf('--frame-hashes');
const frameTool = toolAt >= 0 ? args[toolAt + 1] : null;

// Where each field of the game's record lies, read from its declaration: an int32, then int16s.
const fields = (() => {
  const source = readFileSync(join(root, 'game', 'state.h'), 'utf8');
  const body = source.slice(source.indexOf('struct GameState {'));
  const names = [...body.slice(0, body.indexOf('};')).matchAll(/std::int16_t (\w+) = 0;/g)];
  return Object.fromEntries(names.map((match, i) => [match[1], i + 2]));
})();

let browser;
let profile;
before(async () => {
  profile = mkdtempSync(join(tmpdir(), 'tandemhoop-chromium-'));
  browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    userDataDir: profile,
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run',
           '--disable-renderer-backgrounding', '--disable-background-timer-throttling'],
  });
});
after(async () => {
  await browser?.close();
  rmSync(profile, {recursive: true, force: true});
});

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A fresh page; its console errors, failed loads and dialogs are kept for the test to look at.
async function openPage(path = '', {cache = true, scale = 1} = {}) {
  const page = await browser.newPage();
  await page.setCacheEnabled(cache);
  await page.setViewport({width: 800, height: 720, deviceScaleFactor: scale});
  const problems = [];
  const dialogs = [];
  page.on('console', (message) => {
    if (message.type() === 'error') problems.push(message.text());
  });
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('requestfailed', (request) => problems.push(`failed: ${request.url()}`));
  page.answer = async (dialog) => dialog.accept();
  page.on('dialog', async (dialog) => {
    dialogs.push({type: dialog.type(), message: dialog.message()});
    await page.answer(dialog);
  });
  await page.goto(url + path);
  await page.waitForFunction(() => window.tandemhoop?.ready === true, {timeout: 15000});
  return {page, problems, dialogs};
}

const field = (page, name) => page.evaluate((index) => {
  const core = window.tandemhoop.core();
  return new Int16Array(core.memory.buffer, core.game_state(), 64)[index];
}, fields[name]);

async function waitFor(page, name, test, timeout = 5000) {
  const end = Date.now() + timeout;
  for (;;) {
    const value = await field(page, name);
    if (test(value)) return value;
    if (Date.now() > end) assert.fail(`${name} stayed ${value}`);
    await sleep(50);
  }
}

const frameHashes = (page) => page.evaluate(() => [window.tandemhoop.frameHash(),
                                                   window.tandemhoop.coreFrameHash()]);

describe('the page', () => {
  it('loads with no console error and shows the title, bit for bit', async () => {
    // How soon the title shows on a first visit (nothing cached), once the browser itself has
    // started: it loads pages of its own at start-up, which are no part of ours.
    const settle = await browser.newPage();
    await settle.goto('about:blank');
    await sleep(1500);
    await settle.close();
    const times = [];
    for (let load = 0; load < 3; ++load) {
      const {page: visit} = await openPage('', {cache: false});
      times.push(await visit.evaluate(
          () => performance.getEntriesByName('tandemhoop-title')[0].startTime));
      await visit.close();
    }
    console.log(`  figure: title shown ${times.map((ms) => ms.toFixed(0)).join(', ')} ms after ` +
                `navigation (three first visits; median ${[...times].sort((a, b) => a - b)[1].toFixed(0)} ms)`);
    const {page, problems} = await openPage();
    const [canvas, core] = await frameHashes(page);
    assert.equal(canvas, core, 'the canvas holds exactly the core surface');
    // The title art sits at (80, 50) on the white window.
    const pixels = await page.evaluate(() => {
      const context = document.getElementById('surface').getContext('2d');
      return [...context.getImageData(10, 10, 1, 1).data, ...context.getImageData(400, 300, 1, 1).data];
    });
    assert.deepEqual(pixels.slice(0, 4), [255, 255, 255, 255]);
    assert.notDeepEqual(pixels.slice(4), [255, 255, 255, 255]);
    assert.equal(await page.title(), 'Tandemhoop');
    assert.ok(await page.$eval('link[rel=icon]', (link) => link.href.endsWith('icon.png')));
    assert.deepEqual(problems, []);
    await page.close();
  });
});

describe('a game of two players', () => {
  let page;
  let problems;
  let dialogs;
  before(async () => ({page, problems, dialogs} = await openPage()));
  after(async () => page?.close());

  const text = (id) => page.$eval(`#${id}`, (input) => input.value);
  const shown = () => page.$eval('#selection', (screen) => !screen.hidden);

  it('Enter brings up the selection screen; picks by portrait and by name', async () => {
    assert.equal(await shown(), false);
    await page.keyboard.press('Enter');
    await page.waitForSelector('#selection:not([hidden])', {timeout: 3000});
    await page.click('#Picture26');
    assert.equal(await text('Text1'), 'OSKEL');
    await page.click('#Label3');
    assert.equal(await text('Text2'), 'TOBIN');
    await page.click('#Label6');  // taken: nothing changes
    assert.deepEqual([await text('Text1'), await text('Text2')], ['OSKEL', 'TOBIN']);
    await page.click('#Picture1');
    assert.equal(await text('Text1'), '');
  });

  it('"Sino ito?" for an empty box; "2 Players" starts play', async () => {
    await page.click('#Command4');
    assert.equal(await text('Text1'), 'Sino ito?');
    assert.equal(await shown(), true);
    await page.click('#Label4');
    assert.equal(await text('Text1'), 'PELL');
    await page.click('#Command4');
    assert.equal(await shown(), false);
    assert.equal(await field(page, 'twoPlayerMode'), -1);
    await waitFor(page, 'playClock', (clock) => clock > 12);
    // The score lines are printed over the court, on their own canvas.
    const inked = await page.evaluate(() => {
      const data = document.getElementById('text').getContext('2d').getImageData(0, 0, 300, 70).data;
      let count = 0;
      for (let i = 3; i < data.length; i += 4) count += data[i] > 128 ? 1 : 0;
      return count;
    });
    assert.ok(inked > 300, `${inked} pixels of printed text`);
  });

  it('held keys move each player; M shoots', async () => {
    const p1X = await field(page, 'p1X');
    await page.keyboard.down('ArrowLeft');
    await waitFor(page, 'p1X', (x) => x < p1X - 10);
    await page.keyboard.up('ArrowLeft');
    const p2Y = await field(page, 'p2Y');
    await page.keyboard.down('KeyV');
    await waitFor(page, 'p2Y', (y) => y > p2Y + 10);
    await page.keyboard.up('KeyV');
    // Held on the court, let go on the settings bar: the player stops all the same.
    await page.keyboard.down('KeyT');
    await waitFor(page, 'p2KeyUp', (flag) => flag === -1);
    await page.focus('#speed');
    await page.keyboard.up('KeyT');
    assert.equal(await field(page, 'p2KeyUp'), 0);
    await page.focus('#court');
    // The computer's level, changed in the bar, rules from the next tick and the replay says so.
    await page.select('#level', '1');
    await page.focus('#court');
    await sleep(200);
    const replay = await page.evaluate(() => {
      const core = window.tandemhoop.core();
      core.replay_text();
      return new TextDecoder('latin1').decode(
          new Uint8Array(core.memory.buffer, core.text_pointer(), core.text_length()));
    });
    assert.match(replay, /^\d+ level medium$/m);
    assert.equal(await field(page, 'p1HasBall'), -1);
    await page.keyboard.down('KeyM');
    await waitFor(page, 'p1Shooting', (flag) => flag === -1);
    // Let go before the sixth tick, a shot is called off: wait for the ticks, not for a time.
    await waitFor(page, 'p1ShotTicks', (ticks) => ticks >= 7);
    await page.keyboard.up('KeyM');
    await waitFor(page, 'p1HasBall', (flag) => flag === 0);
  });

  it('Esc asks; No freezes, a character key resumes, Yes ends', async () => {
    page.answer = (dialog) => dialog.dismiss();
    await page.keyboard.press('Escape');
    assert.deepEqual(dialogs.at(-1), {type: 'confirm', message: '     Ayawan Na?'});
    const frozen = await field(page, 'playClock');
    await sleep(400);
    assert.equal(await field(page, 'playClock'), frozen);
    await page.keyboard.press('KeyX');
    await waitFor(page, 'playClock', (clock) => clock > frozen + 2);
    page.answer = (dialog) => dialog.accept();
    await page.keyboard.press('Escape');
    await page.waitForSelector('#over:not([hidden])', {timeout: 3000});
    assert.equal(await page.evaluate(() => window.tandemhoop.core().Ended()), 1);
    const ended = await field(page, 'playClock');
    await sleep(300);
    assert.equal(await field(page, 'playClock'), ended);
    assert.deepEqual(problems, []);
  });
});

describe('a game lost to the computer', () => {
  it('ends with an easier computer one click away, kept for the next game', async () => {
    const {page, problems, dialogs} = await openPage();
    await page.select('#level', '0');
    await page.focus('#court');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#selection:not([hidden])', {timeout: 3000});
    await page.click('#Label6');
    await page.click('#Label3');
    await page.click('#Command3');
    assert.equal(await page.$eval('#offer', (offer) => offer.hidden), true);
    // The computer's fourth basket against two: the next tick ends the game.
    await page.evaluate((p1Score, p2Score) => {
      const core = window.tandemhoop.core();
      const state = new Int16Array(core.memory.buffer, core.game_state(), 64);
      state[p1Score] = 2;
      state[p2Score] = 4;
      window.tandemhoop.tick();
    }, fields.p1Score, fields.p2Score);
    await page.waitForSelector('#over:not([hidden])', {timeout: 3000});
    assert.deepEqual(dialogs.at(-1), {type: 'alert', message: 'Computer Wins'});
    assert.equal(await page.$eval('#offer', (offer) => offer.hidden), false);
    assert.equal(await page.$eval('#easier', (button) => button.textContent), 'Play again at Medium');
    await Promise.all([page.waitForNavigation(), page.click('#easier')]);
    await page.waitForFunction(() => window.tandemhoop?.ready === true, {timeout: 15000});
    assert.equal(await page.$eval('#level', (level) => level.value), '1');
    assert.deepEqual(problems, []);
    await page.close();
  });
});

// Two games: one played in the desktop window and kept by it (two players, at the classic
// speed, recorded with web/test/record-desktop-game), and one against the computer to its win,
// scripted through the same recorder by the frame tool.
const fixtures = [
  {file: 'desktop-two-players.tandemhoop-replay', ticks: [0, 1, 9, 10, 300, 1200, 2500, 3836, 4000, 4372],
   box: '     Ayawan Na?', timed: true},
  // Played on a screen of two device pixels to the page's one: the court is shown enlarged.
  {file: 'vs-computer.txt', ticks: [0, 1, 2, 40, 150, 299, 300, 425, 426], box: 'Computer Wins',
   scale: 2},
];

describe('parity with the desktop', () => {
  for (const fixture of fixtures) {
    it(`${fixture.file} ends with the same state, with the same frames on the way`, async () => {
      await playFixture(fixture);
    });
  }
});

async function playFixture({file, ticks: chosen, box, timed, scale = 1}) {
  const replayPath = join(here, 'fixtures', file);
  const replay = readFileSync(replayPath, 'utf8');
  const {page, problems, dialogs} = await openPage('?replay', {scale});
  const browserSide = await page.evaluate(async (name, text, ticks) => {
    const hooks = window.tandemhoop;
    await hooks.soundLoaded;
    const core = hooks.core();
    if (!hooks.startReplay(name, text)) return null;
    hooks.load();
    const frames = [];
    // Enlarged, every pixel of the software frame must stand as a whole block on the screen.
    const blocksOff = () => {
      const surface = document.getElementById('surface');
      const screen = document.getElementById('screen');
      const whole = screen.width / surface.width;
      if (whole < 2) return 0;
      const small = surface.getContext('2d').getImageData(0, 0, surface.width, surface.height).data;
      const large = screen.getContext('2d').getImageData(0, 0, screen.width, screen.height).data;
      let off = 0;
      for (let y = 0; y < screen.height; ++y) {
        for (let x = 0; x < screen.width; ++x) {
          const from = (Math.floor(y / whole) * surface.width + Math.floor(x / whole)) * 4;
          const to = (y * screen.width + x) * 4;
          if (large[to] !== small[from] || large[to + 1] !== small[from + 1] ||
              large[to + 2] !== small[from + 2]) ++off;
        }
      }
      return off;
    };
    const take = () => {
      const [canvas, surface] = [hooks.frameHash(), hooks.coreFrameHash()];
      frames.push({tick: core.ticks(), canvas, surface, blocksOff: blocksOff()});
    };
    if (ticks.includes(0)) take();
    // The ticks are timed together (the clock is coarse), the hashes taken between them apart;
    // so is the time a message box stood open.
    let ms = 0;
    let count = 0;
    let sounding = 0;
    let boxMs = hooks.boxMs;
    let started = performance.now();
    const stop = () => {
      ms += performance.now() - started - (hooks.boxMs - boxMs);
    };
    while (core.replay_tick_due() === 1 && core.Ended() === 0) {
      hooks.tick();
      ++count;
      if (core.sound_voices() > 0) ++sounding;
      if (ticks.includes(core.ticks())) {
        stop();
        take();
        boxMs = hooks.boxMs;
        started = performance.now();
      }
    }
    stop();
    return {frames, result: hooks.replayResult, ms, count, sounding};
  }, file, replay, chosen);
  assert.ok(browserSide, 'the page took the replay');
  assert.ok(browserSide.result?.matches, 'the replay played back as recorded');
  for (const frame of browserSide.frames) {
    assert.equal(frame.canvas, frame.surface, `tick ${frame.tick}`);
    assert.equal(frame.blocksOff, 0, `tick ${frame.tick}: pixels of the enlarged screen off`);
  }
  assert.deepEqual(browserSide.frames.map((frame) => frame.tick), chosen);
  const recordedEnd = replay.trim().split('\n').at(-1).split(' ');
  assert.equal(browserSide.result.stateHash, recordedEnd.at(-1));
  assert.ok(dialogs.some((dialog) => dialog.message === box), `the box "${box}" was shown`);
  assert.ok(browserSide.sounding > 0, 'the game\'s sound cues reach the mixer');
  const browserTick = (browserSide.ms * 1000) / browserSide.count;
  if (frameTool !== null) {
    const output = execFileSync(frameTool, [join(root, 'assets'), 'play', replayPath, ...chosen.map(String)],
                                {encoding: 'utf8'});
    const desktop = Object.fromEntries([...output.matchAll(/^tick (\d+) frame (\w+)$/gm)]
                                           .map((match) => [Number(match[1]), match[2]]));
    assert.equal(Object.keys(desktop).length, browserSide.frames.length);
    for (const frame of browserSide.frames) assert.equal(frame.canvas, desktop[frame.tick], `tick ${frame.tick}`);
    assert.match(output, new RegExp(`^end ${browserSide.result.ticks} state ${browserSide.result.stateHash} matches 1$`, 'm'));
    if (timed) {
      const nativeTick = Number(output.match(/^time (\d+) ns/m)[1]) / 1000 / browserSide.count;
      console.log(`  figure: a tick with drawing over ${browserSide.count} ticks: the browser ` +
                  `${browserTick.toFixed(0)} us, natively ${nativeTick.toFixed(0)} us, ` +
                  `${(browserTick / nativeTick).toFixed(2)} times`);
    }
  } else {
    console.log('  (no desktop frame tool given: the browser is checked against its own core only)');
  }
  assert.deepEqual(problems, []);
  await page.close();
}
