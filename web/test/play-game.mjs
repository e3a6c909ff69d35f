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

let fouls = 0;
let over = null;
page.on('dialog', async (dialog) => {
  const message = dialog.message();
  console.log(`box: ${JSON.stringify(message)}`);
  if (/Wins$/.test(message)) {
    over = message;
    await shot('5-win-box');
  } else if (fouls++ === 0) {
    await shot('4-foul-box');
  }
  await dialog.accept();
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

// Player 1: with the ball, walk up towards the basket and shoot; without it, go after the ball
// and reach for it.
let playShot = false;
const started = Date.now();
while (over === null && Date.now() - started < 600000) {
  const s = await state();
  if (s.ended) break;
  if (!playShot && Date.now() - started > 6000) {
    playShot = true;
    await shot('3-play');
  }
  if (s.p1HasBall === -1) {
    if (s.p1Y > 190) await hold('ArrowUp', 300);
    if (Math.abs(s.p1X - 400) > 40) await hold(s.p1X > 400 ? 'ArrowLeft' : 'ArrowRight', 200);
    else await hold('KeyM', 250);
  } else {
    const dx = s.ballX - s.p1X;
    const dy = s.ballY - s.p1Y;
    if (Math.abs(dx) > 30) await hold(dx < 0 ? 'ArrowLeft' : 'ArrowRight', 150);
    if (Math.abs(dy) > 30) await hold(dy < 0 ? 'ArrowUp' : 'ArrowDown', 150);
    await hold('KeyM', 120);
  }
}
await sleep(500);
const end = await state();
console.log(`end: ${over} ${end.p1Score} - ${end.p2Score} after ${((Date.now() - started) / 1000).toFixed(0)} s`);
await shot('6-game-over');
await browser.close();
rmSync(profile, {recursive: true, force: true});
