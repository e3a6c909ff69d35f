// Online play in the browser, through the room server serving the page itself (--site) on
// loopback: two pages play a whole game by their keys, one of them hidden and then reloaded in
// the middle of it; a link to no room; a phone joins by a link and plays by touch against a host
// with a gamepad; and a page plays the desktop game under Xvfb, each side hosting once.
//   node online.mjs --server BIN --site DIR [--desktop BIN] [--port N] [--shots DIR]
// BIN is tandemhoop-server, DIR the built site; with the desktop game (and Xvfb, xdotool) the
// page also plays it. Every wait is for a state: a phase, a score, a line printed.
import assert from 'node:assert/strict';
import {execFile, execFileSync, spawn} from 'node:child_process';
import {existsSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import {after, before, describe, it} from 'node:test';
import {promisify} from 'node:util';
import {launchChromium} from './chromium.mjs';
import {gameState, problemsOf} from './common.mjs';

const args = process.argv.slice(2);
const option = (name) => (args.includes(name) ? args[args.indexOf(name) + 1] : null);
const serverProgram = option('--server');
const site = option('--site');
const desktopProgram = option('--desktop');
const shots = option('--shots');
// The server's port: any free one unless given.
const port = option('--port') ?? '0';
if (shots !== null) mkdirSync(shots, {recursive: true});

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const run = promisify(execFile);

// The session's phases (web/site/js/online.js).
const Phase = {playing: 3, stoppage: 4, waiting: 5, ended: 6};

// Waits until `test` gives something true, polling; fails with `what` after `ms`.
async function until(what, test, ms = 20000, every = 50) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await test();
    if (value) return value;
    if (Date.now() > end) assert.fail(`waited ${ms} ms for ${what}`);
    await sleep(every);
  }
}

// A program of ours whose output is gathered as it comes.
class Program {
  constructor(command, programArgs, env = process.env) {
    this.output = '';
    this.process = spawn(command, programArgs, {env, stdio: ['ignore', 'pipe', 'pipe']});
    this.process.stdout.on('data', (chunk) => (this.output += chunk));
    this.process.stderr.on('data', (chunk) => (this.output += chunk));
    this.exited = new Promise((resolve) => this.process.on('exit', resolve));
  }

  line(pattern, ms = 20000) {
    return until(`a line like ${pattern} from ${this.process.spawnfile}`, () => this.output.match(pattern), ms);
  }

  async stop(signal = 'SIGTERM') {
    if (this.process.exitCode === null && this.process.signalCode === null) this.process.kill(signal);
    await this.exited;
  }
}

const folder = mkdtempSync(join(tmpdir(), 'tandemhoop-online-'));
let server;
let url;
let browser;

before(async () => {
  assert.ok(serverProgram && site, 'usage: node online.mjs --server BIN --site DIR [--desktop BIN]');
  server = new Program(serverProgram, ['--port', port, '--data', join(folder, 'server'), '--site', site]);
  const [, listening] = await server.line(/listening on ws:\/\/127\.0\.0\.1:(\d+)\/play/);
  url = `http://127.0.0.1:${listening}/`;
  browser = await launchChromium();
});

after(async () => {
  await browser?.close();
  await server?.stop();
  rmSync(folder, {recursive: true, force: true});
});

// A page in a browser window of its own (two tabs of one window: the one behind would get no
// input), with its own storage; its console errors and failed loads kept.
async function openPage(path = '', viewport = {width: 800, height: 720}, setUp = null) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(viewport);
  if (setUp !== null) await page.evaluateOnNewDocument(setUp);
  page.problems = problemsOf(page);
  // Leaving in the middle of an online game asks first; these tests mean it.
  page.on('dialog', (dialog) => dialog.accept());
  await page.goto(url + path);
  await page.waitForFunction(() => window.tandemhoop?.ready === true, {timeout: 20000});
  return page;
}

async function shot(page, name) {
  if (shots !== null) await page.screenshot({path: join(shots, `${name}.png`)});
}

// Where the page's online game stands: the session's status, the game's record, and the texts
// over and beside the court.
const look = (page) => Promise.all([
  page.evaluate(() => {
    const online = window.tandemhoop.online;
    const text = (id) => {
      const element = document.getElementById(id);
      return element.hidden ? null : element.textContent;
    };
    return {status: online.status(), note: text('online-note') === null ? null : text('online-note-text'),
            box: text('overlay'),
            line: text('online-line')};
  }),
  gameState(page),
]).then(([seen, state]) => ({...seen, state}));

// How a person plays to a quick win, for either side, from the game's record: with the ball,
// straight up to the basket and a dunk once the defender is well below (a dunk cannot miss);
// stuck with a picked-up dribble, or held too long, a jump shot. Without it, away to the
// bottom corner the ball is not in; a loose ball, the nearer player fetches.
// Gives the actions to hold: bit 0 left, 1 up, 2 right, 3 down, 4 the action key.
function decide(side, s, memory, now) {
  const mine = (name) => s[`p${side}${name}`];
  const theirs = (name) => s[`p${3 - side}${name}`];
  const me = {x: mine('X'), y: mine('Y'), ball: mine('HasBall') === -1};
  const other = {x: theirs('X'), y: theirs('Y'), ball: theirs('HasBall') === -1};
  // A shot under way: the action key stays down until it can go, then comes up.
  if (mine('Shooting') === -1) return mine('ShotTicks') >= 8 ? 0 : 16;
  let target;
  if (me.ball) {
    const shotAllowed = s.playClock > 10;
    const nearBasket = me.x > 250 && me.x < 430 && me.y < 150;
    if (shotAllowed && nearBasket && other.y > me.y + 45) return 16;
    memory.since ??= now;
    if (shotAllowed && (s.dribblePickedUp === -1 || now - memory.since > 4000)) return 16;
    target = {x: 340, y: 120};
  } else {
    memory.since = undefined;
    if (other.ball) {
      target = {x: other.x < 360 ? 650 : 20, y: 480};
    } else {
      const far = (p) => Math.abs(p.x + 12 - s.ballX) + Math.abs(p.y + 20 - s.ballY);
      if (far(me) > far(other) || (far(me) === far(other) && side === 2)) return 0;
      target = {x: s.ballX - 12, y: s.ballY - 20};
    }
  }
  let held = 0;
  if (me.x < target.x - 8) held |= 4; else if (me.x > target.x + 8) held |= 1;
  if (me.y < target.y - 8) held |= 8; else if (me.y > target.y + 8) held |= 2;
  return held;
}

// The keys for those actions: on the page, and in an X display for the desktop game.
const kPageKeys = [[1, 'ArrowLeft'], [2, 'ArrowUp'], [4, 'ArrowRight'], [8, 'ArrowDown'], [16, 'KeyM']];
const kXKeys = [[1, 'Left'], [2, 'Up'], [4, 'Right'], [8, 'Down'], [16, 'm']];

class PageHands {
  constructor(page) {
    this.page = page;
    this.held = 0;
  }

  async hold(held) {
    for (const [bit, key] of kPageKeys) {
      if ((held & bit) && !(this.held & bit)) await this.page.keyboard.down(key);
      if (!(held & bit) && (this.held & bit)) await this.page.keyboard.up(key);
    }
    this.held = held;
  }
}

class DesktopHands {
  constructor(desktop) {
    this.desktop = desktop;
    this.held = 0;
  }

  async hold(held) {
    const command = [];
    for (const [bit, key] of kXKeys) {
      if ((held & bit) && !(this.held & bit)) command.push('keydown', key);
      if (!(held & bit) && (this.held & bit)) command.push('keyup', key);
    }
    if (command.length > 0) await this.desktop.xdotool(...command);
    this.held = held;
  }
}

// Plays until both sides have seen the win. `sides`: {page: whose record decides, hands}, one
// for each player; `watch` is called with each look of the first side's page. Returns the
// stoppage messages seen.
async function playToTheEnd(sides, watch = async () => {}) {
  const memories = sides.map(() => ({}));
  const notes = new Set();
  const started = Date.now();
  for (;;) {
    assert.ok(Date.now() - started < 240000, 'the game was won within four minutes');
    let ended = 0;
    for (let i = 0; i < sides.length; ++i) {
      const {page, hands, side} = sides[i];
      const seen = await look(page);
      if (seen.note !== null) notes.add(seen.note);
      if (i === 0) await watch(seen);
      if (seen.status.phase === Phase.ended) {
        await hands.hold(0);
        ++ended;
        continue;
      }
      if (seen.status.phase < Phase.playing || seen.status.phase > Phase.waiting) continue;
      await hands.hold(decide(side(seen), seen.state, memories[i], Date.now()));
    }
    if (ended === sides.length) return notes;
  }
}

const replayOf = (page) => page.evaluate(() => window.tandemhoop.online.replayText());

function serverReplays() {
  const replays = join(folder, 'server', 'replays');
  return existsSync(replays) ? readdirSync(replays).map((name) => join(replays, name)) : [];
}

// The same bytes on the page, on the other side and on the server; and --verify passes.
async function expectOneReplay(pageReplay, otherReplay, before) {
  assert.ok(pageReplay.startsWith('tandemhoop-replay 1\n'));
  assert.equal(otherReplay, pageReplay, 'both sides keep the same replay');
  const kept = await until('the server\'s replay', () => {
    const fresh = serverReplays().filter((path) => !before.includes(path));
    return fresh.length > 0 && fresh;
  });
  assert.equal(kept.length, 1);
  assert.equal(readFileSync(kept[0], 'utf8'), pageReplay, 'the server keeps the same replay');
  if (desktopProgram !== null) {
    const {stdout} = await run(desktopProgram, ['--replay', kept[0], '--verify']);
    console.log(`  --verify: ${stdout.trim().split('\n').at(-1)}`);
  }
  return kept[0];
}

const stats = (page) => page.evaluate(() => window.tandemhoop.online.stats());

function figures(name, s) {
  const depths = s.rollbackDepths.map((count, depth) => [depth, count]).filter(([, count]) => count > 0)
                     .map(([depth, count]) => `${depth}: ${count}`).join(', ');
  console.log(`  figure: ${name}: round trip ${s.roundTripMs.toFixed(1)} ms, input delay ` +
              `${s.inputDelayTicks} ticks, ${s.ticks} ticks, ${s.rollbacks} rollbacks ` +
              `(deepest ${s.maxRollbackDepth}; depths ${depths || 'none'}), ${s.waits} waits`);
}

describe('two pages online', () => {
  it('play a game to its win through the server, one reloaded in the middle, and keep one replay', async () => {
    const host = await openPage();
    await host.click('#online-open');
    await host.waitForSelector('#online-dialog:not([hidden])');
    await host.select('#online-speed', 'fast');
    await host.click('#online-host');
    await host.waitForSelector('#online-room-row:not([hidden])');
    const link = await host.$eval('#online-link', (input) => input.value);
    const code = await host.$eval('#online-room', (room) => room.textContent);
    assert.match(code, /^[CFHJKMNPRTWXY3479]{6}$/);
    assert.equal(link, `${url}?room=${code}`);
    assert.equal(await host.$eval('.online-waiting', (line) => line.textContent), 'waiting for the other player');
    await shot(host, '1-host-link');
    await host.click('#online-copy');
    await until('the link copied', async () =>
      await host.$eval('#online-copy', (button) => button.textContent) === 'Copied');

    // The link joins at once, and both come to the selection screen.
    const guest = await openPage(link.slice(url.length));
    for (const page of [host, guest]) await page.waitForSelector('#selection.online:not([hidden])');
    assert.equal(await guest.evaluate(() => location.search), '', 'the link is used once');
    const text = (page, id) => page.$eval(`#${id}`, (element) => element.value ?? element.textContent);
    assert.match(await text(host, 'online-side'), /^Online: you are Player 1\. Pick your player\.$/);
    assert.match(await text(guest, 'online-side'), /^Online: you are Player 2\. Pick your player\.$/);
    // Each picks for its own side only, and sees the other's pick, which it cannot take.
    await host.click('#Label6');
    await until('the guest sees the host\'s pick', async () => await text(guest, 'Text1') === 'OSKEL');
    await guest.click('#Picture26');
    await guest.click('#Label3');
    await until('the host sees the guest\'s pick', async () => await text(host, 'Text2') === 'TOBIN');
    assert.equal(await text(guest, 'Text1'), 'OSKEL');
    assert.equal(await guest.$eval('#Label6', (label) => label.getAttribute('aria-disabled')), 'true');
    await host.click('#Command3');  // Ready
    await until('the guest hears the host is ready', async () =>
      /Player 1 is ready/.test(await text(guest, 'online-side')));
    await shot(host, '2-host-selection');
    await shot(guest, '2-guest-selection');
    await guest.click('#Command3');
    for (const page of [host, guest]) {
      await until('play', async () => (await look(page)).status.phase >= Phase.playing);
      assert.equal(await page.$eval('#selection', (screen) => screen.hidden), true);
    }

    // The guest's tab behind another one: its game goes on, and so the host's does.
    const behind = await guest.browserContext().newPage();
    await behind.bringToFront();
    assert.equal(await guest.evaluate(() => document.visibilityState), 'hidden');
    const from = (await stats(host)).ticks;
    await until('two seconds of play with the guest hidden', async () =>
      (await stats(host)).ticks >= from + 128 && (await stats(guest)).ticks >= from + 128);
    await behind.close();
    await guest.bringToFront();

    const before = serverReplays();

    // The guest's page is reloaded after the first basket: it comes back into the room and the
    // game goes on from where it stood.
    let reloaded = false;
    let shotTaken = false;
    let playShot = false;
    const sides = [
      {page: host, hands: new PageHands(host), side: (seen) => seen.status.side},
      {page: guest, hands: new PageHands(guest), side: (seen) => seen.status.side},
    ];
    const notes = await playToTheEnd(sides, async (seen) => {
      if (!shotTaken && seen.status.phase === Phase.stoppage) {
        shotTaken = true;
        await shot(host, '4-host-stoppage');
      }
      // Play: one of them on his way to the basket with the ball.
      const {state} = seen;
      if (!playShot && seen.status.phase === Phase.playing &&
          ((state.p1HasBall === -1 && state.p1Y < 300) || (state.p2HasBall === -1 && state.p2Y < 300))) {
        playShot = true;
        await shot(host, '3-host-play');
      }
      if (reloaded || seen.state.p1Score + seen.state.p2Score === 0) return;
      reloaded = true;
      const score = [seen.state.p1Score, seen.state.p2Score];
      const ticks = (await stats(host)).ticks;
      await sides[1].hands.hold(0);
      await guest.reload();
      await guest.waitForFunction(() => window.tandemhoop?.ready === true, {timeout: 20000});
      sides[1].hands = new PageHands(guest);
      // Back once it has run again what was played before the reload.
      const back = await until('the reloaded page back in the game', async () => {
        const now = await look(guest);
        return now.status.phase >= Phase.playing && (await stats(guest)).ticks >= ticks && now;
      });
      assert.ok(back.state.p1Score >= score[0] && back.state.p2Score >= score[1], 'the score stays');
    });
    assert.ok(reloaded, 'the guest was reloaded in the middle of the game');

    const [hostEnd, guestEnd] = [await look(host), await look(guest)];
    assert.equal(hostEnd.status.winner, guestEnd.status.winner);
    const winner = hostEnd.status.winner;
    const scores = [hostEnd.state.p1Score, hostEnd.state.p2Score];
    assert.equal(Math.max(...scores), 4);
    assert.ok(notes.has(`Player${winner} Wins`), `the win was said over the court: ${[...notes]}`);
    const endBox = (seen) => seen.box?.replace(/\s+/g, ' ').trim();
    const [winnerEnd, loserEnd] = winner === 1 ? [hostEnd, guestEnd] : [guestEnd, hostEnd];
    assert.match(endBox(winnerEnd), /You win! Rematch or leave\?/);
    assert.match(endBox(loserEnd), new RegExp(`Player ${winner} wins\\. Rematch or leave\\?`));
    await shot(host, '5-host-end');
    await shot(guest, '5-guest-end');
    await expectOneReplay(await replayOf(host), await replayOf(guest), before);
    figures('two pages, host', await stats(host));

    // A rematch: the sides swap.
    for (const page of [host, guest]) await page.click('#overlay button:first-child');
    for (const page of [host, guest]) await page.waitForSelector('#selection.online:not([hidden])');
    assert.match(await text(host, 'online-side'), /you are Player 2/);
    assert.match(await text(guest, 'online-side'), /you are Player 1/);

    // Leaving: Esc asks; Yes goes back to the title, and the other page is told.
    await host.focus('#court');
    await host.keyboard.press('Escape');
    await until('the question', async () => (await look(host)).box?.includes('Leave the game?'));
    await host.keyboard.press('Enter');
    await until('the title', () => host.evaluate(() => !document.body.classList.contains('online')));
    await until('the other page told', async () =>
      (await look(guest)).box?.includes('The other player left the game.'));
    await guest.keyboard.press('Escape');  // the OK, once it is over for good
    await until('the title', () => guest.evaluate(() => !document.body.classList.contains('online')));
    for (const page of [host, guest]) {
      assert.deepEqual(page.problems, []);
      await page.browserContext().close();
    }
  });
});

describe('a link to no room', () => {
  it('leaves the page at its title and says so', async () => {
    const page = await openPage('?room=QQ');
    assert.match((await look(page)).box, /This link names no room a game can join\./);
    assert.equal(await page.evaluate(() => document.body.classList.contains('online')), false);
    await page.keyboard.press('Enter');
    await until('the box gone', async () => (await look(page)).box === null);
    assert.deepEqual(page.problems, []);
    await page.browserContext().close();
  });
});

// A gamepad as the browser reports one, its stick moved by the test.
function fakePad() {
  const buttons = Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}));
  const pad = {id: 'Test pad (STANDARD GAMEPAD)', index: 0, connected: true, mapping: 'standard',
               timestamp: 0, axes: [0, 0, 0, 0], buttons, vibrationActuator: null};
  navigator.getGamepads = () => [pad, null, null, null];
  window.testStick = (x, y) => (pad.axes = [x, y, 0, 0]);
}

describe('a phone and a gamepad online', () => {
  it('the phone joins by the link; its on-screen controls and the host\'s pad play', async () => {
    const host = await openPage('', {width: 800, height: 720}, fakePad);
    await host.click('#online-open');
    await host.waitForSelector('#online-dialog:not([hidden])');
    await host.click('#online-host');
    await host.waitForSelector('#online-room-row:not([hidden])');
    const link = await host.$eval('#online-link', (input) => input.value);
    const phone = await openPage(link.slice(url.length),
                                 {width: 390, height: 844, isMobile: true, hasTouch: true});
    const box = (selector) => phone.$eval(selector, (element) => {
      const {left, top, width, height} = element.getBoundingClientRect();
      return {x: left + width / 2, y: top + height / 2, width};
    });
    const tap = async (selector) => {
      const {x, y} = await box(selector);
      await phone.touchscreen.tap(x, y);
    };
    for (const page of [host, phone]) await page.waitForSelector('#selection.online:not([hidden])');
    await host.click('#Label6');
    await host.click('#Command3');
    await tap('#Label3');
    await until('the pick taken', async () => (await look(phone)).status.picks[2] === 2);
    await shot(phone, '8-phone-selection');
    await tap('#Command3');
    await until('play', async () => (await look(phone)).status.phase >= Phase.playing);
    await shot(phone, '8-phone-play');
    // Player 2 walks up while the thumb holds the pad's up arm.
    const from = (await look(phone)).state.p2Y;
    const pad = await box('#touch-pad');
    const thumb = await phone.touchscreen.touchStart(pad.x, pad.y - pad.width * 0.35);
    await until('Player 2 up the court on both sides', async () =>
      (await look(phone)).state.p2Y <= from - 30 && (await look(host)).state.p2Y <= from - 30);
    await thumb.end();
    // The host's pad walks Player 1.
    const p1X = (await look(host)).state.p1X;
    const right = p1X < 360 ? 1 : -1;
    await host.evaluate((x) => window.testStick(x, 0), right);
    const moved = (seen) => (seen.state.p1X - p1X) * right >= 30;
    await until('Player 1 across the court on both sides', async () =>
      moved(await look(host)) && moved(await look(phone)));
    await host.evaluate(() => window.testStick(0, 0));
    await tap('#touch-pause');
    await until('the question', async () => (await look(phone)).box?.includes('Leave the game?'));
    await tap('#overlay button:last-child');  // No: play goes on
    await until('the question answered', async () => (await look(phone)).box === null);
    assert.equal((await look(phone)).status.phase >= Phase.playing, true);
    for (const page of [host, phone]) {
      assert.deepEqual(page.problems, []);
      await page.browserContext().close();
    }
  });
});

// The desktop game under an X server of its own, with settings and data of its own.
class Desktop {
  constructor(name) {
    this.home = join(folder, name);
    mkdirSync(join(this.home, 'config'), {recursive: true});
    mkdirSync(join(this.home, 'data'), {recursive: true});
  }

  async startX() {
    const first = Number(process.env.TANDEMHOOP_E2E_DISPLAY ?? 99);
    for (let number = first; number < first + 20; ++number) {
      if (existsSync(`/tmp/.X${number}-lock`)) continue;
      const x = new Program('Xvfb', [`:${number}`, '-screen', '0', '1024x768x24', '-nolisten', 'tcp',
                                     '-noreset']);
      this.display = `:${number}`;
      this.env = {...process.env, DISPLAY: this.display, XDG_CONFIG_HOME: join(this.home, 'config'),
                  XDG_DATA_HOME: join(this.home, 'data'), TANDEMHOOP_SPEED: 'fast'};
      const up = await until('Xvfb', async () => {
        if (x.process.exitCode !== null) return 'gone';
        try {
          await run('xdpyinfo', [], {env: this.env});
          return 'up';
        } catch {
          return false;
        }
      }, 10000);
      if (up === 'up') {
        this.x = x;
        return;
      }
    }
    assert.fail('no free X display');
  }

  start(...programArgs) {
    this.game = new Program(desktopProgram, programArgs, this.env);
  }

  xdotool(...command) {
    return run('xdotool', command, {env: this.env});
  }

  async window(name) {
    return until(`the window ${name}`, async () => {
      try {
        const {stdout} = await this.xdotool('search', '--onlyvisible', '--name', name);
        return stdout.trim().split('\n')[0];
      } catch {
        return false;
      }
    });
  }

  async click(window, [x, y]) {
    await this.xdotool('mousemove', '--window', window, String(x), String(y));
    await this.xdotool('click', '1');
  }

  // Keys reach the court window once it has the keyboard.
  async focusCourt() {
    const court = await this.window('^Tandemhoop$');
    await until('the court window to have the keyboard', async () => {
      await this.xdotool('windowfocus', court).catch(() => {});
      const {stdout} = await this.xdotool('getwindowfocus');
      return stdout.trim() === court;
    }, 5000);
  }

  shot(name) {
    if (shots !== null) execFileSync('import', ['-window', 'root', join(shots, `${name}.png`)], {env: this.env});
  }

  replays() {
    const replays = join(this.home, 'data', 'Tandemhoop', 'replays');
    return existsSync(replays) ? readdirSync(replays).map((name) => join(replays, name)) : [];
  }

  async stop() {
    await this.game?.stop('SIGKILL');
    await this.x?.stop();
  }
}

// On the desktop's selection screen: Oskel Varrin's name, and Ready.
const kOskel = [244, 140];
const kReady = [164, 216];

async function playAgainstDesktop(pageHosts) {
  const desktop = new Desktop(pageHosts ? 'joins' : 'hosts');
  let page;
  try {
    await desktop.startX();
    const play = `${url.replace('http:', 'ws:')}play`;
    if (pageHosts) {
      page = await openPage();
      await page.click('#online-open');
      await page.waitForSelector('#online-dialog:not([hidden])');
      await page.select('#online-speed', 'fast');
      await page.click('#online-host');
      await page.waitForSelector('#online-room-row:not([hidden])');
      desktop.start('--server', play, '--join', await page.$eval('#online-room', (room) => room.textContent));
    } else {
      desktop.start('--server', play, '--host');
      const [, code] = await desktop.game.line(/^room ([A-Z0-9]{6})$/m);
      page = await openPage(`?room=${code}`);
    }
    await page.waitForSelector('#selection.online:not([hidden])');
    const selection = await desktop.window('^ +Tandemhoop$');
    await desktop.click(selection, kOskel);
    await until('the page sees the desktop\'s pick', async () =>
      await page.$eval(`#Text${pageHosts ? 2 : 1}`, (box) => box.value) === 'OSKEL');
    await page.click('#Label3');
    await page.click('#Command3');
    await desktop.click(selection, kReady);
    await until('play', async () => (await look(page)).status.phase >= Phase.playing);
    await desktop.focusCourt();
    if (!pageHosts) desktop.shot('6-desktop-host-play');
    const before = serverReplays();
    const pageSide = (seen) => seen.status.side;
    await playToTheEnd([
      {page, hands: new PageHands(page), side: pageSide},
      {page, hands: new DesktopHands(desktop), side: (seen) => 3 - seen.status.side},
    ]);
    if (!pageHosts) {
      desktop.shot('7-desktop-end');
      await shot(page, '7-page-end-against-desktop');
    }
    const [desktopReplay] = await until('the desktop\'s replay', () => desktop.replays().length > 0 && desktop.replays());
    await expectOneReplay(await replayOf(page), readFileSync(desktopReplay, 'utf8'), before);
    figures(`the page against the desktop (${pageHosts ? 'the page hosts' : 'the desktop hosts'})`,
            await stats(page));
    const desktopFigures = desktop.game.output.match(/online: (.*)/);
    if (desktopFigures) console.log(`  figure: the desktop's side: ${desktopFigures[1]}`);
    assert.deepEqual(page.problems, []);
  } finally {
    await page?.browserContext().close();
    await desktop.stop();
  }
}

describe('the page and the desktop game online', {skip: desktopProgram === null && 'no desktop game given'}, () => {
  it('a desktop host and a page guest play a game to its win and keep one replay', async () => {
    await playAgainstDesktop(false);
  });
  it('a page host and a desktop guest do the same', async () => {
    await playAgainstDesktop(true);
  });
});
