// What the page costs the machine while nothing moves (the title) and while a game runs at the
// Classic speed against the computer, in headless chromium: the share of one core used by the
// browser's own process, by the page's renderer, and by the rest of chromium (GPU, utilities).
//   node measure-cpu.mjs URL [SECONDS]
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
