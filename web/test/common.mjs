// What the page's test files share: their browser, what they count as a page's problems, and the
// game's record as they read it, straight from the module's memory.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {after, before} from 'node:test';
import {fileURLToPath} from 'node:url';
import {launchChromium} from './chromium.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');

// Where each field of the game's record lies, read from its declaration: an int32, then int16s.
export const fields = (() => {
  const source = readFileSync(join(root, 'game', 'state.h'), 'utf8');
  const body = source.slice(source.indexOf('struct GameState {'));
  const names = [...body.slice(0, body.indexOf('};')).matchAll(/std::int16_t (\w+) = 0;/g)];
  return Object.fromEntries(names.map((match, i) => [match[1], i + 2]));
})();

// Every field by name, as the page's game has it now.
export const gameState = (page) => page.evaluate((fields) => {
  const core = window.tandemhoop.core();
  const raw = new Int16Array(core.memory.buffer, core.game_state(), 64);
  return Object.fromEntries(Object.entries(fields).map(([name, index]) => [name, raw[index]]));
}, fields);

export const field = (page, name) => page.evaluate((index) => {
  const core = window.tandemhoop.core();
  return new Int16Array(core.memory.buffer, core.game_state(), 64)[index];
}, fields[name]);

// Waits until the field passes `test`, and returns its value.
export async function waitFor(page, name, test, timeout = 8000) {
  const end = Date.now() + timeout;
  for (;;) {
    const value = await field(page, name);
    if (test(value)) return value;
    if (Date.now() > end) assert.fail(`${name} stayed ${value}`);
    await new Promise((resolve) => setTimeout(resolve, 20));
  }
}

// The test file's browser, there from before its first test to after its last. A page in the
// background keeps its timers and its drawing, as a player's page in front does.
export function testBrowser() {
  const shared = {browser: null};
  before(async () => {
    shared.browser = await launchChromium(['--disable-renderer-backgrounding',
                                           '--disable-background-timer-throttling']);
  });
  after(async () => shared.browser?.close());
  return shared;
}

// A page's console errors and warnings, uncaught errors and failed loads, as they come.
export function problemsOf(page) {
  const problems = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warn') problems.push(message.text());
  });
  page.on('pageerror', (error) => problems.push(error.message));
  page.on('requestfailed', (request) => problems.push(`failed: ${request.url()}`));
  return problems;
}
