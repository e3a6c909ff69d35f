// The browser front end in a real browser: Debian's chromium, driven through puppeteer-core.
//   node browser.mjs URL [--frame-hashes TOOL]
// URL serves the built site; TOOL (tandemhoop_frame_hashes from the desktop build) gives the
// desktop's software frames for the parity check. Prints figures as it goes.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import {readFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {after, before, describe, it} from 'node:test';
import {fileURLToPath} from 'node:url';
import {field, fields, problemsOf, testBrowser, waitFor} from './common.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, '..', '..');
const args = process.argv.slice(2);
const url = args[0] ?? 'http://127.0.0.1:8064/';
const toolAt = args.indexOf('--frame-hashes');
const frameTool = toolAt >= 0 ? args[toolAt + 1] : null;

const shared = testBrowser();

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// A fresh page; its console errors, failed loads and dialogs are kept for the test to look at.
async function openPage(path = '', {cache = true, scale = 1} = {}) {
  const page = await shared.browser.newPage();
  await page.setCacheEnabled(cache);
  // A first visit: nothing kept, by the browser's cache nor by the page's service worker.
  if (!cache) await page.setBypassServiceWorker(true);
  await page.setViewport({width: 800, height: 720, deviceScaleFactor: scale});
  const problems = problemsOf(page);
  const dialogs = [];
  page.answer = async (dialog) => dialog.accept();
  page.on('dialog', async (dialog) => {
    dialogs.push({type: dialog.type(), message: dialog.message()});
    await page.answer(dialog);
  });
  await page.goto(url + path);
  await page.waitForFunction(() => window.tandemhoop?.ready === true, {timeout: 15000});
  return {page, problems, dialogs};
}

const frameHashes = (page) => page.evaluate(() => [window.tandemhoop.frameHash(),
                                                   window.tandemhoop.coreFrameHash()]);

// How many pixels of printed text the score lines' canvas holds at the top left.
const inkedLines = (page) => page.evaluate(() => {
  const data = document.getElementById('text').getContext('2d').getImageData(0, 0, 300, 70).data;
  let count = 0;
  for (let i = 3; i < data.length; i += 4) count += data[i] > 128 ? 1 : 0;
  return count;
});

// The game so far as a replay file.
const replayText = (page) => page.evaluate(() => {
  const core = window.tandemhoop.core();
  core.replay_text();
  return new TextDecoder('latin1').decode(
      new Uint8Array(core.memory.buffer, core.text_pointer(), core.text_length()));
});

describe('the page', () => {
  it('loads with no console error and shows the title, bit for bit', async () => {
    // How soon the title shows on a first visit (nothing cached), once the browser itself has
    // started: it loads pages of its own at start-up, which are no part of ours.
    const settle = await shared.browser.newPage();
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
    // In a large window the court grows to fit, as in full screen.
    await page.setViewport({width: 1920, height: 990});
    await page.waitForFunction(() => Number(document.getElementById('court').style.zoom) > 1.4);
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
  const shown = (id) => page.$eval(`#${id}`, (element) => !element.hidden);
  const boxText = () => page.$eval('#overlay', (layer) => (layer.hidden ? null : layer.querySelector('p').textContent));
  const fullScreen = () => page.evaluate(() => document.fullscreenElement !== null);
  const ticks = () => page.evaluate(() => window.tandemhoop.core().ticks());
  // Waits until the game has run `count` more ticks: what a key did has had its tick.
  const afterTicks = async (count) => {
    const from = await ticks();
    const end = Date.now() + 5000;
    while (await ticks() < from + count) {
      if (Date.now() > end) assert.fail(`the game stopped at tick ${await ticks()}`);
      await sleep(20);
    }
  };

  it('Enter held on the title brings up the selection screen and presses nothing on it', async () => {
    assert.equal(await shown('selection'), false);
    await page.keyboard.down('Enter');
    await page.waitForSelector('#selection:not([hidden])', {timeout: 3000});
    for (let repeat = 0; repeat < 3; ++repeat) await page.keyboard.down('Enter');
    await page.keyboard.up('Enter');
    assert.deepEqual([await text('Text1'), await text('Text2')], ['', '']);
    assert.equal(await shown('selection'), true);
    assert.equal(await page.$eval('#save', (button) => button.disabled), true, 'nothing to save yet');
  });

  it('picks by portrait and by name; "Sino ito?" for an empty box; "2 Players" starts play', async () => {
    await page.click('#Picture26');
    assert.equal(await text('Text1'), 'OSKEL');
    await page.click('#Label3');
    assert.equal(await text('Text2'), 'TOBIN');
    await page.click('#Label6');  // taken: nothing changes
    assert.deepEqual([await text('Text1'), await text('Text2')], ['OSKEL', 'TOBIN']);
    await page.click('#Picture1');
    assert.equal(await text('Text1'), '');
    await page.click('#Command4');
    assert.equal(await text('Text1'), 'Sino ito?');
    assert.equal(await shown('selection'), true);
    await page.click('#Label4');
    assert.equal(await text('Text1'), 'PELL');
    await page.click('#Command4');
    assert.equal(await shown('selection'), false);
    assert.equal(await field(page, 'twoPlayerMode'), -1);
    await waitFor(page, 'playClock', (clock) => clock > 12);
    // The score lines are printed over the court, on their own canvas.
    assert.ok(await inkedLines(page) > 300);
    assert.equal(await page.$eval('#save', (button) => button.disabled), false);
  });

  it('every control under the court gives the keys back to the game once used', async () => {
    for (const control of ['#speed', '#level', '#scaling', '#sound', '#sound', '#save', '#fullscreen',
                           'label.open']) {
      if (control === 'label.open') {
        const [chooser] = await Promise.all([page.waitForFileChooser(), page.click(control)]);
        await chooser.cancel();
      } else {
        await page.click(control);
        // A list opens on the click: the second closes it without a change.
        if (await page.$eval(control, (element) => element.tagName === 'SELECT')) await page.click(control);
        if (control === '#fullscreen') await page.waitForFunction(() => document.fullscreenElement !== null);
      }
      // An arrow on a list would choose another entry; here it walks Player 1.
      const p1Y = await field(page, 'p1Y');
      const arrow = p1Y > 420 ? 'ArrowUp' : 'ArrowDown';
      await page.keyboard.down(arrow);
      await waitFor(page, 'p1Y', (y) => y !== p1Y);
      await page.keyboard.up(arrow);
      // Space on a button would press it again, or tick the box.
      await page.keyboard.press('Space');
      if (control === '#fullscreen') {
        // The settings are not on the screen then: F11 goes back.
        await page.keyboard.press('F11');
        await page.waitForFunction(() => document.fullscreenElement === null);
      }
    }
    assert.deepEqual(await page.evaluate(() => ['speed', 'level', 'scaling'].map(
                         (id) => document.getElementById(id).value)), ['classic', '0', 'sharp']);
    assert.equal(await page.$eval('#sound', (box) => box.checked), true);

  });

  it('M shoots; held keys move each player', async () => {
    // Player 1 still has the ball, well away from Player 2.
    assert.equal(await field(page, 'p1HasBall'), -1);
    await page.keyboard.down('KeyM');
    await waitFor(page, 'p1Shooting', (flag) => flag === -1);
    // Let go before the sixth tick, a shot is called off: wait for the ticks, not for a time.
    await waitFor(page, 'p1ShotTicks', (ticks) => ticks >= 7);
    await page.keyboard.up('KeyM');
    await waitFor(page, 'p1HasBall', (flag) => flag === 0);
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
    // The computer's level and the speed, changed in the bar, rule from the next tick and the
    // replay says so (the rest of this game runs at Fast).
    await page.select('#level', '1');
    await page.select('#speed', 'fast');
    await afterTicks(2);
    assert.match(await replayText(page), /^\d+ level medium\n\d+ speed fast$/m);
  });

  it('Esc asks (Esc again is no answer); No pauses with a mark, a letter resumes', async () => {
    await page.keyboard.press('Escape');
    assert.equal(await boxText(), '     Ayawan Na?');
    await page.keyboard.press('Escape');
    assert.equal(await boxText(), '     Ayawan Na?');
    assert.equal(await shown('paused'), false);
    await page.click('#overlay button:last-child');  // No
    assert.equal(await boxText(), null);
    assert.equal(await shown('paused'), true);
    assert.equal(await page.$eval('#paused', (mark) => mark.textContent), 'paused — any letter key resumes');
    // Beside the picture, not on it.
    const [mark, picture] = await page.evaluate(() => ['paused', 'court'].map((id) => {
      const {top, bottom, left, right} = document.getElementById(id).getBoundingClientRect();
      return {top, bottom, left, right};
    }));
    assert.ok(mark.bottom <= picture.top || mark.left >= picture.right, JSON.stringify({mark, picture}));
    const frozen = await ticks();
    await sleep(300);
    assert.equal(await ticks(), frozen);
    await page.keyboard.press('KeyX');
    await afterTicks(2);
    assert.equal(await shown('paused'), false);
  });

  it('leaving or opening a replay in the middle of the game asks first', async () => {
    page.answer = (dialog) => dialog.dismiss();
    await page.evaluate(() => location.reload());
    await sleep(300);
    assert.equal(dialogs.at(-1)?.type, 'beforeunload');
    await afterTicks(2);  // still the same game
    const [chooser] = await Promise.all([page.waitForFileChooser(), page.click('label.open')]);
    await chooser.accept([join(here, 'fixtures', 'vs-computer.txt')]);
    await page.waitForSelector('#overlay:not([hidden])');
    assert.match(await boxText(), /^Play back vs-computer\.txt\?/);
    const held = await ticks();
    await sleep(200);
    assert.equal(await ticks(), held, 'the question holds the game');
    await page.keyboard.press('KeyN');
    await afterTicks(2);
    assert.equal(await page.evaluate(() => window.tandemhoop.core().replay_tick_due()), 0);
  });

  it('Yes ends the game; the panel says so and plays again with the same picks', async () => {
    // The replay so far, for the replay test below.
    midGameReplay = await replayText(page);
    await page.keyboard.press('Escape');
    await page.keyboard.press('Enter');  // Yes, the default
    await page.waitForSelector('#over:not([hidden])', {timeout: 3000});
    assert.equal(await page.evaluate(() => window.tandemhoop.core().Ended()), 1);
    assert.match(await page.$eval('#over-text', (element) => element.textContent),
                 /^The game was left at \d to \d\.$/);
    const ended = await ticks();
    await sleep(300);
    assert.equal(await ticks(), ended);
    await page.click('#again');
    await waitFor(page, 'playClock', (clock) => clock > 2);
    assert.deepEqual([await field(page, 'p1Pick'), await field(page, 'p2Pick'),
                      await field(page, 'twoPlayerMode')], [3, 2, -1]);
    assert.equal(await shown('over'), false);
    assert.match(await replayText(page), /^0 press 13\n1 click Label4\n1 click Label3\n1 click Command4$/m);
    assert.deepEqual(problems, []);
  });
});

describe('a foul in full screen', () => {
  it('shows its box over the court, keeps full screen, and Enter answers it', async () => {
    const {page, problems, dialogs} = await openPage();
    const boxText = () => page.$eval('#overlay', (layer) => (layer.hidden ? null : layer.querySelector('p').textContent));
    const fullScreen = () => page.evaluate(() => document.fullscreenElement !== null);
    await page.select('#speed', 'classic');  // the keys are held for a few ticks at a time
    await page.keyboard.press('Enter');
    await page.waitForSelector('#selection:not([hidden])', {timeout: 3000});
    for (const control of ['#Picture26', '#Label3', '#Command4']) await page.click(control);
    await page.click('#fullscreen');
    await page.waitForFunction(() => document.fullscreenElement !== null);
    // Player 1 goes left of Player 2 and runs up into him with the ball: a charge (or, where the
    // rules' dice say so as he comes close, a steal and his foul, or Player 2's foul).
    await page.keyboard.down('ArrowLeft');
    await waitFor(page, 'p1X', (x) => x <= 280);
    await page.keyboard.up('ArrowLeft');
    await page.keyboard.down('ArrowUp');
    await page.waitForSelector('#overlay:not([hidden])', {timeout: 5000});
    const foul = await boxText();
    assert.match(foul, /^(Player 1 - Offensive Foul|FOUL: Player [12])$/);
    assert.equal(await fullScreen(), true);
    // The box holds the game; the arrow let go inside it reaches the game as on the desktop, and
    // the replay has it inside the box.
    const held = await page.evaluate(() => window.tandemhoop.core().ticks());
    await page.keyboard.up('ArrowUp');
    await sleep(300);
    assert.equal(await page.evaluate(() => window.tandemhoop.core().ticks()), held);
    await page.keyboard.press('Enter');
    assert.equal(await boxText(), null);
    assert.equal(await fullScreen(), true);
    // Restarted: the side charged stands at (550, 350), the other has the ball at (670, 450).
    assert.deepEqual([await field(page, 'p1X'), await field(page, 'p1Y')],
                     foul.endsWith('Player 2') ? [670, 450] : [550, 350]);
    assert.match(await replayText(page), new RegExp(`^${held + 1} box 1 up 38 0$`, 'm'));
    await page.keyboard.press('F11');
    await page.waitForFunction(() => document.fullscreenElement === null);
    assert.deepEqual(problems, []);
    assert.deepEqual(dialogs, []);
    await page.close();
  });
});

let midGameReplay = null;

describe('replays played back on the page', () => {
  it('one saved in the middle of a game, or one that ends otherwise than it says, stops on its last picture', async () => {
    assert.ok(midGameReplay, 'the game above kept its replay');
    const changed = midGameReplay.replace(/hash [0-9a-f]+\n$/, 'hash 0123456789abcdef\n');
    const claimed = midGameReplay.replace(/score \d+ \d+/, 'score 4 0');
    // Played side by side, each at the speed it was played.
    await Promise.all([
      ['mid-game.txt', midGameReplay, /ended exactly as it was recorded/],
      ['changed.txt', changed, /did not play back as recorded: the state at tick \d+ is not the recorded one/],
      ['claimed.txt', claimed, /did not play back as recorded: the game ended with the score \d+ \d+, the recording says 4 0/],
    ].map(async ([name, replay, outcome]) => {
      const {page, problems} = await openPage('?replay');
      await page.evaluate((name, replay) => window.tandemhoop.startReplay(name, replay), name, replay);
      await page.waitForFunction(() => window.tandemhoop.replayResult !== null, {timeout: 120000});
      const last = await frameHashes(page);
      assert.ok(await inkedLines(page) > 300, `${name}: the score lines stay`);
      await sleep(300);
      assert.deepEqual(await frameHashes(page), last);
      assert.equal(await page.evaluate(() => window.tandemhoop.schedule.enabled), false);
      assert.match(await page.$eval('#replay-note', (note) => note.textContent), outcome);
      // Recorded at Classic and switched to Fast: it was shown at Fast from that tick.
      assert.equal(await page.evaluate(() => window.tandemhoop.schedule.period), 1000 / 64);
      assert.deepEqual(problems, []);
      await page.close();
    }));
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
    await page.waitForSelector('#overlay:not([hidden])', {timeout: 3000});
    assert.equal(await page.$eval('#overlay p', (text) => text.textContent), 'Computer Wins');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#over:not([hidden])', {timeout: 3000});
    assert.equal(await page.$eval('#offer', (offer) => offer.hidden), false);
    assert.equal(await page.$eval('#easier', (button) => button.textContent), 'Play again at Medium');
    await page.click('#easier');
    // Straight back into play with the same picks, against the easier computer, kept for later.
    await page.waitForSelector('#over', {hidden: true, timeout: 3000});
    assert.equal(await page.$eval('#level', (level) => level.value), '1');
    assert.equal(await page.evaluate(() => localStorage.getItem('tandemhoop.level')), '1');
    assert.deepEqual(problems, []);
    assert.deepEqual(dialogs, []);
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
    const frames = [];
    // Enlarged, every pixel of the software frame must stand as a whole block on the screen.
    const blocksOff = () => {
      const surface = document.getElementById('surface');
      const screen = document.getElementById('screen');
      const whole = screen.width / surface.width;
      if (whole < 2) return 0;
      const small = surface.getContext('2d').getImageData(0, 0, surface.width, surface.height).data;
      // Read through a copy: the page's own canvas is not made for reading back.
      const copy = new OffscreenCanvas(screen.width, screen.height);
      const reader = copy.getContext('2d', {willReadFrequently: true});
      reader.drawImage(screen, 0, 0);
      const large = reader.getImageData(0, 0, screen.width, screen.height).data;
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
    // The ticks are timed together (the clock is coarse), the hashes taken between them apart.
    // A box is answered at once, as a click on its first button. The page's own timer waits.
    hooks.schedule.hold();
    let ms = 0;
    let count = 0;
    let sounding = 0;
    let started = performance.now();
    while (core.replay_tick_due() === 1 && core.Ended() === 0) {
      hooks.tick();
      while (core.box_open() === 1) hooks.answer(true);
      ++count;
      if (core.sound_voices() > 0) ++sounding;
      if (ticks.includes(core.ticks())) {
        ms += performance.now() - started;
        take();
        started = performance.now();
      }
    }
    ms += performance.now() - started;
    return {frames, result: hooks.replayResult, ms, count, sounding, boxes: hooks.boxes,
            stopped: !hooks.schedule.enabled};
  }, file, replay, chosen);
  assert.ok(browserSide, 'the page took the replay');
  assert.ok(browserSide.result?.matches, await page.$eval('#replay-note', (note) => note.textContent));
  for (const frame of browserSide.frames) {
    assert.equal(frame.canvas, frame.surface, `tick ${frame.tick}`);
    assert.equal(frame.blocksOff, 0, `tick ${frame.tick}: pixels of the enlarged screen off`);
  }
  assert.deepEqual(browserSide.frames.map((frame) => frame.tick), chosen);
  const recordedEnd = replay.trim().split('\n').at(-1).split(' ');
  assert.equal(browserSide.result.stateHash, recordedEnd.at(-1));
  assert.ok(browserSide.boxes.includes(box), `the box "${box}" was shown`);
  assert.ok(browserSide.stopped, 'the timer stopped at the end');
  assert.ok(await inkedLines(page) > 300, 'the score lines stay at the end');
  assert.deepEqual(dialogs, [], 'no box of the browser\'s own');
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
