// The game's core as WebAssembly: loading it, its pictures, and the bridge for its strings.

const latin1 = new TextDecoder('latin1');

// Reads a Latin-1 string the module passes as a pointer and a length.
export function readText(memory, pointer, length) {
  return latin1.decode(new Uint8Array(memory.buffer, pointer, length));
}

// Compiles and starts the module with the page's side of the platform (`imports`, functions
// taking the module's memory as a getter where they read strings).
export async function startCore(url, imports) {
  let instance;
  try {
    ({instance} = await WebAssembly.instantiateStreaming(fetch(url), {tandemhoop: imports}));
  } catch {
    // A host that does not serve .wasm as application/wasm: compile from the bytes instead.
    const response = await fetch(url);
    if (!response.ok) throw new Error(`${url}: ${response.status}`);
    ({instance} = await WebAssembly.instantiate(await response.arrayBuffer(), {tandemhoop: imports}));
  }
  // A reactor: its constructors run here, before any handler.
  instance.exports._initialize();
  return instance.exports;
}

// Fetches the pictures' PNG files, packed end to end in one file with an index beside it.
export async function fetchPictures(base) {
  const [index, pack] = await Promise.all([
    fetch(`${base}pack.json`).then((response) => {
      if (!response.ok) throw new Error(`pack.json: ${response.status}`);
      return response.json();
    }),
    fetch(`${base}pack.bin`).then((response) => {
      if (!response.ok) throw new Error(`pack.bin: ${response.status}`);
      return response.blob();
    }),
  ]);
  return (path) => {
    const place = index[path];
    if (!place) throw new Error(`${path} is not among the pictures`);
    return pack.slice(place[0], place[0] + place[1], 'image/png');
  };
}

// Decodes every picture of the catalogue into the module's storage, bit for bit: no colour
// conversion, no premultiplying. Returns the decoded bitmaps by path, for the selection screen.
export async function loadPictures(exports, pictures) {
  const count = exports.picture_count();
  const bitmaps = new Map();
  const jobs = [];
  for (let i = 0; i < count; ++i) {
    const path = `form${exports.picture_holder(i)}/Picture${exports.picture_number(i)}.png`;
    jobs.push((async () => {
      const bitmap = await createImageBitmap(pictures(path), {
        colorSpaceConversion: 'none',
        premultiplyAlpha: 'none',
      });
      const width = exports.picture_width(i);
      const height = exports.picture_height(i);
      if (bitmap.width !== width || bitmap.height !== height) {
        throw new Error(`${path} is ${bitmap.width} x ${bitmap.height}, not ${width} x ${height}`);
      }
      const canvas = new OffscreenCanvas(width, height);
      const context = canvas.getContext('2d', {willReadFrequently: true});
      context.drawImage(bitmap, 0, 0);
      const rgba = context.getImageData(0, 0, width, height).data;
      new Uint8Array(exports.memory.buffer, exports.picture_pixels(i), rgba.length).set(rgba);
      exports.picture_decoded(i);
      bitmaps.set(path, bitmap);
    })());
  }
  await Promise.all(jobs);
  return bitmaps;
}
