// The game's record as the page's tests read it, straight from the module's memory.
import {readFileSync} from 'node:fs';
import {dirname, join} from 'node:path';
import {fileURLToPath} from 'node:url';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');

// Where each field of the game's record lies, read from its declaration: an int32, then int16s.
export const fields = (() => {
  const source = readFileSync(join(root, 'game', 'state.h'), 'utf8');
  const body = source.slice(source.indexOf('struct GameState {'));
  const names = [...body.slice(0, body.indexOf('};')).matchAll(/std::int16_t (\w+) = 0;/g)];
  return Object.fromEntries(names.map((match, i) => [match[1], i + 2]));
})();

export const field = (page, name) => page.evaluate((index) => {
  const core = window.tandemhoop.core();
  return new Int16Array(core.memory.buffer, core.game_state(), 64)[index];
}, fields[name]);
