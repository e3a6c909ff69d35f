// Plays a whole game against the computer in headless chromium and keeps screenshots of the
// title, the selection screen, play, the first foul box, the win and the end of the game.
//   node play-game.mjs URL OUT_FOLDER
// Not part of the tests: for looking at what the page shows.
import {mkdirSync, mkdtempSync, rmSync} from 'node:fs';
import {tmpdir} from 'node:os';
import {join} from 'node:path';
import puppeteer from 'puppeteer-core';

const [url = 'http://127.0.0.1:8064/', out = 'screenshots'] = process.argv.slice(2);
mkdirSync(out, {recursive: true});
const profile = mkdtempSync(join(tmpdir(), 'tandemhoop-chromium-'));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
  userDataDir: profile,
  args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
         '--disable-component-update', '--disable-sync', '--no-first-run'],
});
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const page = await browser.newPage();
await page.setViewport({width: 780, height: 700});
page.on('console', (message) => console.log(`console ${message.type()}: ${message.text()}`));
page.on('pageerror', (error) => console.log(`page error: ${error.message}`));

const shot = async (name) => {
  // A page behind an open box may not draw a frame: give up on the picture rather than wait.
  const taken = await Promise.race([
    page.screenshot({path: join(out, `${name}.png`)}).then(() => true, () => false),
    sleep(4000).then(() => false),
  ]);
  console.log(`${name}: ${taken ? 'saved' : 'not taken'}`);
};

// A page does not draw while its box is open, so the picture is taken as the box closes, with
// the timer held (the next tick would come one tick after the close): what stood behind the box.
let fouls = 0;
let over = null;
page.on('dialog', async (dialog) => {
  const message = dialog.message();
  console.log(`box: ${JSON.stringify(message)}`);
  const name = /Wins$/.test(message) ? '5-win-box' : fouls++ === 0 ? '4-foul-box' : null;
  if (/Wins$/.test(message)) over = message;
  await dialog.accept();
  if (name === null) return;
  const held = await page.evaluate(() => {
    const {schedule} = window.tandemhoop;
    const ticks = window.tandemhoop.core().ticks();
    schedule.hold();
    return ticks;
  });
  await shot(name);
  console.log(`  (held at tick ${held})`);
  await page.evaluate(() => {
    window.tandemhoop.schedule.release();
  });
});

await page.goto(url);
await page.waitForFunction(() => window.tandemhoop?.ready === true);
await shot('1-title');
await page.keyboard.press('Enter');
await page.waitForSelector('#selection:not([hidden])');
await page.click('#Picture26');
await page.click('#Label4');
await shot('2-selection');
await page.click('#Command3');

const state = () => page.evaluate(() => {
  const core = window.tandemhoop.core();
  const s = new Int16Array(core.memory.buffer, core.game_state(), 64);
  // p1X, p1Y, p2X, p2Y, ballX, ballY, p1Score, p2Score, p1HasBall (see game/state.h)
  return {p1X: s[2], p1Y: s[3], p2X: s[8], p2Y: s[9], ballX: s[10], ballY: s[11],
          p1Score: s[12], p2Score: s[13], p1HasBall: s[27], ended: core.Ended()};
});
const hold = async (key, ms) => {
  await page.keyboard.down(key);
  await sleep(ms);
  await page.keyboard.up(key);
};

// Player 1 wanders about, reaching and shooting often: enough for a game to be decided.
let playShot = false;
let lastLog = 0;
const started = Date.now();
const arrows = ['ArrowLeft', 'ArrowUp', 'ArrowRight', 'ArrowDown'];
while (over === null && Date.now() - started < 600000) {
  const s = await state();
  if (s.ended) break;
  if (!playShot && Date.now() - started > 5000) {
    playShot = true;
    await shot('3-play');
  }
  if (Date.now() - lastLog > 15000) {
    lastLog = Date.now();
    console.log(`score ${s.p1Score} - ${s.p2Score}`);
  }
  const towardsBasket = s.p1HasBall === -1 && s.p1Y > 200;
  await hold(towardsBasket && Math.random() < 0.6 ? 'ArrowUp' : arrows[Math.floor(Math.random() * 4)],
             150 + Math.random() * 250);
  if (Math.random() < 0.5) await hold('KeyM', 100 + Math.random() * 300);
}
await sleep(500);
const end = await state();
console.log(`end: ${over} ${end.p1Score} - ${end.p2Score} after ${((Date.now() - started) / 1000).toFixed(0)} s`);
await shot('6-game-over');
await browser.close();
rmSync(profile, {recursive: true, force: true});
