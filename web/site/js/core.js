// The game's core as WebAssembly: loading it, its pictures, and the bridge for its strings.

const latin1 = new TextDecoder('latin1');

// Reads a Latin-1 string the module passes as a pointer and a length.
export function readText(memory, pointer, length) {
  return latin1.decode(new Uint8Array(memory.buffer, pointer, length));
}

// Compiles and starts the module with the page's side of the platform (`imports`, functions
// taking the module's memory as a getter where they read strings).
export async function startCore(url, imports, started = fetch(url)) {
  let instance;
  try {
    ({instance} = await WebAssembly.instantiateStreaming(started, {tandemhoop: imports}));
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

// Fetches the pictures' PNG files, packed end to end in one file with an index beside it (or
// takes the two fetches already started), and starts decoding every one of them bit for bit: no
// colour conversion, no premultiplying. The decoding needs nothing of the module, so it runs
// while the module is still being compiled. Returns the pictures to come, by path, each as
// {width, height, bytes, blueFirst}: four bytes a pixel, R, G, B, A (or B, G, R, A or X when
// blueFirst; the module puts them in its own order).
export async function decodePictures(base, started = {}) {
  const [index, pack] = await Promise.all([
    (started.index ?? fetch(`${base}pack.json`)).then((response) => {
      if (!response.ok) throw new Error(`pack.json: ${response.status}`);
      return response.json();
    }),
    (started.pack ?? fetch(`${base}pack.bin`)).then((response) => {
      if (!response.ok) throw new Error(`pack.bin: ${response.status}`);
      return response.arrayBuffer();
    }),
  ]);
  const reader = new PictureReader();
  const pictures = new Map();
  for (const [path, [offset, length]] of Object.entries(index)) {
    const png = new Uint8Array(pack, offset, length);
    const picture = reader.decode(png);
    picture.catch(() => {});  // a failure is reported where the picture is asked for
    pictures.set(path, picture);
  }
  return pictures;
}

// Where the browser has an image decoder that hands over the decoded pixels as they are, that
// is several times quicker than a bitmap per picture read back through a canvas; elsewhere, or
// for a pixel layout it does not expect, the bitmap is taken.
class PictureReader {
  constructor() {
    this.canvas = null;
    this.context = null;
  }

  async decode(png) {
    if (typeof ImageDecoder === 'function') {
      const picture = await this.decodeFrame(png).catch(() => null);
      if (picture !== null) return picture;
    }
    return this.decodeBitmap(png);
  }

  async decodeFrame(png) {
    const decoder = new ImageDecoder({
      data: png,
      type: 'image/png',
      colorSpaceConversion: 'none',
      premultiplyAlpha: 'none',
    });
    try {
      const {image} = await decoder.decode();
      try {
        const blueFirst = {RGBA: false, RGBX: false, BGRA: true, BGRX: true}[image.format];
        if (blueFirst === undefined) return null;
        const width = image.visibleRect.width;
        const height = image.visibleRect.height;
        const bytes = new Uint8Array(width * height * 4);
        await image.copyTo(bytes, {layout: [{offset: 0, stride: width * 4}]});
        return {width, height, bytes, blueFirst};
      } finally {
        image.close();
      }
    } finally {
      decoder.close();
    }
  }

  async decodeBitmap(png) {
    const bitmap = await createImageBitmap(new Blob([png], {type: 'image/png'}), {
      colorSpaceConversion: 'none',
      premultiplyAlpha: 'none',
    });
    // One canvas reads them all, one at a time as each is decoded.
    if (this.canvas === null) {
      this.canvas = new OffscreenCanvas(1, 1);
      this.context = this.canvas.getContext('2d', {willReadFrequently: true});
    }
    const {width, height} = bitmap;
    this.canvas.width = width;
    this.canvas.height = height;
    this.context.drawImage(bitmap, 0, 0);
    bitmap.close();
    const bytes = new Uint8Array(this.context.getImageData(0, 0, width, height).data.buffer);
    return {width, height, bytes, blueFirst: false};
  }
}

// Puts every picture of the catalogue into the module's storage. Returns the pictures by path,
// for the selection screen.
export async function loadPictures(exports, decoding) {
  const count = exports.picture_count();
  const loaded = new Map();
  const jobs = [];
  for (let i = 0; i < count; ++i) {
    const path = `form${exports.picture_holder(i)}/Picture${exports.picture_number(i)}.png`;
    if (!decoding.has(path)) throw new Error(`${path} is not among the pictures`);
    jobs.push((async () => {
      const picture = await decoding.get(path);
      const width = exports.picture_width(i);
      const height = exports.picture_height(i);
      if (picture.width !== width || picture.height !== height) {
        throw new Error(`${path} is ${picture.width} x ${picture.height}, not ${width} x ${height}`);
      }
      new Uint8Array(exports.memory.buffer, exports.picture_pixels(i), picture.bytes.length)
          .set(picture.bytes);
      exports.picture_decoded(i, picture.blueFirst ? 1 : 0);
      loaded.set(path, picture);
    })());
  }
  await Promise.all(jobs);
  return loaded;
}
