// The game's record as the page's module holds it, for the tests: where each field lies, read
// from its declaration (an int32, then int16s), and all of them at once.
import {readFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');

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
