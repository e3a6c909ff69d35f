// Runs a WASI program (the core's unit tests built for wasm32) under Node's own WASI.
//   node run-wasi.mjs program.wasm [arguments...]
import {readFile} from 'node:fs/promises';
import {argv, env, exit} from 'node:process';
import {fileURLToPath} from 'node:url';
import {WASI} from 'node:wasi';

const [program, ...args] = argv.slice(2);
// The repository, read-only in spirit, as /source: the tests read the replay corpus from it.
const source = fileURLToPath(new URL('../..', import.meta.url));
const wasi = new WASI({
  version: 'preview1',
  args: [program, ...args],
  env,
  preopens: {'/source': source},
  returnOnExit: true,
});
const module = await WebAssembly.compile(await readFile(program));
const instance = await WebAssembly.instantiate(module, {wasi_snapshot_preview1: wasi.wasiImport});
exit(wasi.start(instance));
