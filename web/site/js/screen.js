// The court on the page. The core's surface goes, exactly as it is, into a canvas of its own
// size (#surface, the software frame: what parity checks read, and what the player sees at
// scale 1). Enlarged, the player sees #screen instead: that frame enlarged by a whole number,
// pixel for pixel. The printed lines lie over either on a transparent canvas of their own (#text),
// redrawn only when they change. The browser then fits the whole to the room there is, smoothly
// for the remainder.

export const kWidth = 727;
export const kHeight = 542;

// The printed lines: the desktop's face, size and colour, no background.
const kTextFont = '700 16px "TeX Gyre Bonum"';

export class Screen {
  constructor(court, surfaceCanvas, screenCanvas, textCanvas) {
    this.court = court;
    this.surfaceCanvas = surfaceCanvas;
    this.screenCanvas = screenCanvas;
    this.textCanvas = textCanvas;
    this.surfaceContext = surfaceCanvas.getContext('2d', {alpha: false, willReadFrequently: true});
    this.screenContext = screenCanvas.getContext('2d', {alpha: false});
    this.textContext = textCanvas.getContext('2d');
    this.frame = null;  // the module's RGBA frame, seen as an ImageData without a copy
    this.areas = null;  // what changed in it: a count, then x, y, width, height of each
    // The printed lines of this tick, and whether they differ from those on the text canvas.
    this.lines = [];
    this.count = 0;
    this.linesChanged = true;
    this.sharp = true;
    this.whole = 1;
    this.textMetrics();
  }

  textMetrics() {
    const context = this.textContext;
    context.font = kTextFont;
    const metrics = context.measureText('Hg');
    // The desktop moves down by the face's line spacing; its ascent puts the baseline.
    this.ascent = Math.ceil(metrics.fontBoundingBoxAscent);
    this.lineSpacing = this.ascent + Math.ceil(metrics.fontBoundingBoxDescent);
  }

  // A Timer1 tick starts from the court, which covers every line printed before it.
  clearLines() {
    this.count = 0;
  }

  // Platform.Print: returns how far the print position moves down. The line is kept in the
  // slot of its place among the tick's lines, so the same lines as last time change nothing.
  print(x, y, text) {
    const line = this.lines[this.count];
    if (line === undefined) {
      this.lines.push({x, y, text});
      this.linesChanged = true;
    } else if (line.x !== x || line.y !== y || line.text !== text) {
      line.x = x;
      line.y = y;
      line.text = text;
      this.linesChanged = true;
    }
    ++this.count;
    return this.lineSpacing;
  }

  // Shows the surface (RGBA bytes at `offset` in the module's memory) with the printed lines
  // over it. `changed` points at the areas that changed since the last frame: a count, then
  // x, y, width and height of each. Only those are handed to the canvas: a tick of play changes
  // a few sprites' worth, and the upload is most of what showing a frame costs.
  present(memory, offset, changed) {
    if (this.frame === null || this.frame.data.buffer !== memory ||
        this.frame.data.byteOffset !== offset || this.areas.byteOffset !== changed) {
      // Made again only when the module's memory grows: the old views are then detached.
      this.frame = new ImageData(new Uint8ClampedArray(memory, offset, kWidth * kHeight * 4),
                                 kWidth, kHeight);
      this.areas = new Int32Array(memory, changed, 1 + 4 * 4);
    }
    const areas = this.areas;
    const count = Math.min(areas[0], 4);
    for (let i = 1; i < 1 + 4 * count; i += 4) {
      this.surfaceContext.putImageData(this.frame, 0, 0, areas[i], areas[i + 1], areas[i + 2],
                                       areas[i + 3]);
      if (this.whole > 1) this.enlarge(areas[i], areas[i + 1], areas[i + 2], areas[i + 3]);
    }
    this.drawLines(false);
  }

  enlarge(x, y, width, height) {
    const whole = this.whole;
    this.screenContext.imageSmoothingEnabled = false;
    this.screenContext.drawImage(this.surfaceCanvas, x, y, width, height, x * whole, y * whole,
                                 width * whole, height * whole);
  }

  drawLines(always) {
    if (this.count !== this.lines.length) {
      this.lines.length = this.count;  // fewer lines than the tick before
      this.linesChanged = true;
    }
    if (!always && !this.linesChanged) return;
    this.linesChanged = false;
    const context = this.textContext;
    context.setTransform(1, 0, 0, 1, 0, 0);
    context.clearRect(0, 0, this.textCanvas.width, this.textCanvas.height);
    if (this.lines.length === 0) return;
    context.setTransform(this.whole, 0, 0, this.whole, 0, 0);
    context.font = kTextFont;
    context.fillStyle = '#000';
    context.textBaseline = 'alphabetic';
    for (const line of this.lines) context.fillText(line.text, line.x, line.y + this.ascent);
  }

  // Fits the court into `room` (CSS pixels), as large as it goes. Sharp: enlarged by whole
  // pixels first, the rest smoothly; where the rest would be under a tenth, it stays at the
  // whole pixels, a little short of the room but crisp. Returns the scale.
  fit(roomWidth, roomHeight) {
    const ratio = window.devicePixelRatio || 1;
    let scale = Math.max(Math.min(roomWidth / kWidth, roomHeight / kHeight), 0.25);
    let devicePixels = scale * ratio;
    const whole = this.sharp ? Math.max(1, Math.floor(devicePixels + 1e-6)) : 1;
    if (this.sharp && devicePixels > whole && devicePixels < whole * 1.1) {
      devicePixels = whole;
      scale = whole / ratio;
    }
    this.court.style.zoom = String(scale);
    this.court.classList.toggle('sharp', this.sharp && Math.abs(devicePixels - whole) < 1e-6);
    if (whole === this.whole) return scale;
    this.whole = whole;
    this.court.classList.toggle('enlarged', whole > 1);
    this.screenCanvas.width = whole > 1 ? kWidth * whole : 1;
    this.screenCanvas.height = whole > 1 ? kHeight * whole : 1;
    this.textCanvas.width = kWidth * whole;
    this.textCanvas.height = kHeight * whole;
    // Resizing cleared both: everything is drawn again at the new size.
    if (whole > 1) this.enlarge(0, 0, kWidth, kHeight);
    this.drawLines(true);
    return scale;
  }
}

// FNV-1a, 64 bits, over the pixels row by row, each as its four bytes 0x00RRGGBB little-endian:
// the same identity the core gives its surface. Returned as 16 hex digits.
export function frameHashOfCanvas(canvas) {
  const data = canvas.getContext('2d', {willReadFrequently: true})
                   .getImageData(0, 0, canvas.width, canvas.height).data;
  // The 64-bit state in four 16-bit limbs; the prime is 2^40 + 0x1b3.
  let h0 = 0x2325, h1 = 0x8422, h2 = 0x9ce4, h3 = 0xcbf2;
  const step = (byte) => {
    h0 ^= byte;
    let t0 = h0 * 0x1b3;
    let t1 = h1 * 0x1b3 + (t0 >>> 16);
    let t2 = h2 * 0x1b3 + h0 * 0x100 + (t1 >>> 16);
    let t3 = h3 * 0x1b3 + h1 * 0x100 + (t2 >>> 16);
    h0 = t0 & 0xffff;
    h1 = t1 & 0xffff;
    h2 = t2 & 0xffff;
    h3 = t3 & 0xffff;
  };
  for (let i = 0; i < data.length; i += 4) {
    step(data[i + 2]);
    step(data[i + 1]);
    step(data[i]);
    step(0);
  }
  const hex = (limb) => limb.toString(16).padStart(4, '0');
  return hex(h3) + hex(h2) + hex(h1) + hex(h0);
}
