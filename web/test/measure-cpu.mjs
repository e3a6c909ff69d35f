// What the page costs the machine while nothing moves (the title) and while a game runs at the
// Classic speed against the computer, in headless chromium: the share of one core used by the
// browser's own process, by the page's renderer, and by the rest of chromium (GPU, utilities).
//   node measure-cpu.mjs URL [SECONDS]
// With --online (the page served by tandemhoop-server --site), the renderer's CPU per tick
// instead: in a local game, then hosting an online one.
//   node measure-cpu.mjs URL SECONDS --online
// A measurement, not a test: it prints figures and checks nothing.
import {readdirSync, readFileSync} from 'node:fs';
import {launchChromium} from './chromium.mjs';

const [url = 'http://127.0.0.1:8064/', secondsArgument = '20'] = process.argv.slice(2);
const seconds = Number(secondsArgument);
const clockTicks = 100;  // USER_HZ on Linux

// Every process below `root`, by its command line's --type (browser for the root).
function processes(root) {
  const children = new Map();
  for (const entry of readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) continue;
    try {
      const stat = readFileSync(`/proc/${entry}/stat`, 'utf8');
      const parent = Number(stat.slice(stat.lastIndexOf(')') + 2).split(' ')[1]);
      if (!children.has(parent)) children.set(parent, []);
      children.get(parent).push(Number(entry));
    } catch {
      // gone meanwhile
    }
  }
  const found = [];
  const visit = (pid) => {
    let type = 'browser';
    try {
      // Forked processes rewrite their command line as one string: look for the flag in it.
      const flag = readFileSync(`/proc/${pid}/cmdline`, 'utf8').match(/--type=([\w-]+)/);
      if (flag) type = flag[1];
    } catch {
      return;
    }
    found.push({pid, type});
    for (const child of children.get(pid) ?? []) visit(child);
  };
  visit(root);
  return found;
}

function cpuTicks(pid) {
  try {
    const stat = readFileSync(`/proc/${pid}/stat`, 'utf8');
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    return Number(fields[11]) + Number(fields[12]);  // utime + stime
  } catch {
    return 0;
  }
}

async function measure(root, label) {
  const before = processes(root).map((p) => ({...p, ticks: cpuTicks(p.pid)}));
  const started = Date.now();
  await new Promise((resolve) => setTimeout(resolve, seconds * 1000));
  const elapsed = (Date.now() - started) / 1000;
  const share = {browser: 0, renderer: 0, other: 0};
  for (const p of before) {
    const used = (cpuTicks(p.pid) - p.ticks) / clockTicks;
    const kind = p.type === 'browser' || p.type === 'renderer' ? p.type : 'other';
    share[kind] += (100 * used) / elapsed;
  }
  console.log(`${label}: browser ${share.browser.toFixed(1)} %, renderer ${share.renderer.toFixed(1)} %, ` +
              `other ${share.other.toFixed(1)} % of a core over ${elapsed.toFixed(0)} s`);
}

// The renderers' CPU per tick the page ran, over `seconds` of a game at Fast: what a tick costs
// the page, drawing and all. `ticks` reads the page's count; `tend` keeps the game going.
async function perTick(root, page, label, ticks, tend = async () => {}) {
  const renderers = () => processes(root).filter((p) => p.type === 'renderer');
  const before = renderers().map((p) => ({...p, ticks: cpuTicks(p.pid)}));
  const ticksBefore = await page.evaluate(ticks);
  const end = Date.now() + seconds * 1000;
  while (Date.now() < end) {
    await tend();
    await new Promise((resolve) => setTimeout(resolve, 250));
  }
  const ran = (await page.evaluate(ticks)) - ticksBefore;
  const used = before.reduce((sum, p) => sum + (cpuTicks(p.pid) - p.ticks) / clockTicks, 0);
  console.log(`${label}: ${((1e6 * used) / ran).toFixed(0)} us of the renderer per tick ` +
              `(${ran} ticks, ${used.toFixed(2)} s of CPU)`);
  return (1e6 * used) / ran;
}

async function openPage(browser, path = '') {
  const page = await browser.newPage();
  await page.setViewport({width: 800, height: 720});
  await page.goto(url + path);
  await page.waitForFunction(() => window.tandemhoop?.ready === true);
  return page;
}

// A local game against the computer, its boxes answered as they come; then the same page hosting
// an online game at Fast that a page in another browser joins, nobody touching a key (the
// stoppages pass by themselves), with the session's ticks counted.
async function measureOnline() {
  const browsers = [await launchChromium(), await launchChromium()];
  try {
    const [hostBrowser, guestBrowser] = browsers;
    const root = hostBrowser.process().pid;
    const page = await openPage(hostBrowser);
    await page.select('#speed', 'fast');
    await page.keyboard.press('Enter');
    await page.waitForSelector('#selection:not([hidden])');
    await page.click('#Picture26');
    await page.click('#Label4');
    await page.click('#Command3');
    const local = await perTick(root, page, 'local, against the computer at Fast',
                                () => window.tandemhoop.core().ticks(),
                                () => page.evaluate(() => window.tandemhoop.answer(true)));
    await page.click('#online-open');
    const leave = await page.$('#overlay:not([hidden]) button');
    if (leave !== null) await leave.click();  // "Leave this game and play online?"
    await page.waitForSelector('#online-dialog:not([hidden]) #online-choose:not([hidden])');
    await page.select('#online-speed', 'fast');
    await page.click('#online-host');
    await page.waitForSelector('#online-room-row:not([hidden])');
    const link = await page.$eval('#online-link', (input) => input.value);
    const guest = await openPage(guestBrowser, link.slice(url.length));
    for (const side of [page, guest]) await side.waitForSelector('#selection.online:not([hidden])');
    await page.click('#Label6');
    await guest.click('#Label3');
    for (const side of [page, guest]) await side.click('#Command3');
    await page.waitForFunction(() => window.tandemhoop.online.status().phase >= 3);
    const online = await perTick(root, page, 'online, the host at Fast',
                                 () => window.tandemhoop.online.stats().ticks);
    console.log(`online adds ${(online - local).toFixed(0)} us a tick`);
  } finally {
    for (const browser of browsers) await browser.close();
  }
}

if (process.argv.includes('--online')) {
  await measureOnline();
  process.exit(0);
}

const browser = await launchChromium();
try {
  const page = await browser.newPage();
  await page.setViewport({width: 800, height: 720});
  await page.goto(url);
  await page.waitForFunction(() => window.tandemhoop?.ready === true);
  // The browser's own start-up work is done before anything is counted.
  await new Promise((resolve) => setTimeout(resolve, 3000));
  const root = browser.process().pid;
  await measure(root, 'title');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#selection:not([hidden])');
  await page.click('#Picture26');
  await page.click('#Label4');
  await page.click('#Command4');
  await measure(root, 'playing at Classic');
} finally {
  await browser.close();
}
