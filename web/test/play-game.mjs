// Plays a whole game against the computer in headless chromium and keeps screenshots of the
// title, the selection screen, play, the first foul box, the win box and the end of the game.
//   node play-game.mjs URL OUT_FOLDER
// Not part of the tests: for looking at what the page shows.
import {mkdirSync} from 'node:fs';
import {join} from 'node:path';
import {launchChromium} from './chromium.mjs';

const [url = 'http://127.0.0.1:8064/', out = 'screenshots'] = process.argv.slice(2);
mkdirSync(out, {recursive: true});
const browser = await launchChromium();
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const page = await browser.newPage();
await page.setViewport({width: 780, height: 700});
page.on('console', (message) => console.log(`console ${message.type()}: ${message.text()}`));
page.on('pageerror', (error) => console.log(`page error: ${error.message}`));

const shot = async (name) => {
  await page.screenshot({path: join(out, `${name}.png`)});
  console.log(`${name}: saved`);
};

// The game's boxes stand over the court inside the page: each is taken as it shows, then
// answered with Enter. The first foul's and the win's are kept.
let fouls = 0;
let over = null;
const answerBoxes = async () => {
  const message = await page.$eval('#overlay', (layer) => (layer.hidden ? null : layer.querySelector('p').textContent));
  if (message === null) return;
  console.log(`box: ${JSON.stringify(message)}`);
  const name = /Wins$/.test(message) ? '5-win-box' : fouls++ === 0 ? '4-foul-box' : null;
  if (/Wins$/.test(message)) over = message;
  if (name !== null) await shot(name);
  await page.keyboard.press('Enter');
};

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
  await answerBoxes();
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
await answerBoxes();
await sleep(500);
const end = await state();
console.log(`end: ${over} ${end.p1Score} - ${end.p2Score} after ${((Date.now() - started) / 1000).toFixed(0)} s`);
await shot('6-game-over');
await browser.close();
