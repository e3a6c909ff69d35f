// Runs a WASI program (the core's unit tests built for wasm32) under Node's own WASI.
//   node run-wasi.mjs program.wasm [arguments...]
import {readFile} from 'node:fs/promises';
import {argv, env, exit} from 'node:process';
import {WASI} from 'node:wasi';

const [program, ...args] = argv.slice(2);
const wasi = new WASI({version: 'preview1', args: [program, ...args], env, returnOnExit: true});
const module = await WebAssembly.compile(await readFile(program));
const instance = await WebAssembly.instantiate(module, {wasi_snapshot_preview1: wasi.wasiImport});
exit(wasi.start(instance));
