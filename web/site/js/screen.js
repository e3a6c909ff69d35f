// The court on the page. The core's surface goes, exactly as it is, into a canvas of its own
// size (#surface, the software frame: what parity checks read). What the player sees is #screen:
// that frame enlarged by a whole number, pixel for pixel, with the printed lines drawn over it at
// that size; the browser then fits the whole to the room there is, smoothly for the remainder.

export const kWidth = 727;
export const kHeight = 542;

// The printed lines: the desktop's face, size and colour, no background.
const kTextFont = '700 16px "TeX Gyre Bonum"';

export class Screen {
  constructor(court, surfaceCanvas, screenCanvas) {
    this.court = court;
    this.surfaceCanvas = surfaceCanvas;
    this.screenCanvas = screenCanvas;
    this.surfaceContext = surfaceCanvas.getContext('2d', {alpha: false, willReadFrequently: true});
    this.screenContext = screenCanvas.getContext('2d', {alpha: false});
    this.lines = [];
    this.sharp = true;
    this.whole = 1;
    this.textMetrics();
  }

  textMetrics() {
    const context = this.screenContext;
    context.font = kTextFont;
    const metrics = context.measureText('Hg');
    // The desktop moves down by the face's line spacing; its ascent puts the baseline.
    this.ascent = Math.ceil(metrics.fontBoundingBoxAscent);
    this.lineSpacing = this.ascent + Math.ceil(metrics.fontBoundingBoxDescent);
  }

  // A Timer1 tick starts from the court, which covers every line printed before it.
  clearLines() {
    this.lines.length = 0;
  }

  // Platform.Print: returns how far the print position moves down.
  print(x, y, text) {
    this.lines.push({x, y, text});
    return this.lineSpacing;
  }

  // Shows the surface (RGBA bytes at `offset` in the module's memory) with the printed lines
  // over it.
  present(memory, offset) {
    const frame =
        new ImageData(new Uint8ClampedArray(memory, offset, kWidth * kHeight * 4), kWidth, kHeight);
    this.surfaceContext.putImageData(frame, 0, 0);
    const context = this.screenContext;
    const whole = this.whole;
    if (whole === 1) {
      // Straight from the module too: a software canvas drawn from another copies that one the
      // next time it changes, which costs more than the rest of the tick.
      context.putImageData(frame, 0, 0);
    } else {
      context.imageSmoothingEnabled = false;
      context.drawImage(this.surfaceCanvas, 0, 0, kWidth * whole, kHeight * whole);
    }
    if (this.lines.length > 0) {
      context.save();
      context.scale(whole, whole);
      context.font = kTextFont;
      context.fillStyle = '#000';
      context.textBaseline = 'alphabetic';
      for (const line of this.lines) context.fillText(line.text, line.x, line.y + this.ascent);
      context.restore();
    }
  }

  // Fits the court into `room` (CSS pixels): scale 1 in a window with room to spare, the
  // largest fit in full screen. Sharp: enlarged by whole pixels first, the rest smoothly.
  fit(roomWidth, roomHeight, fill) {
    let scale = Math.min(roomWidth / kWidth, roomHeight / kHeight);
    if (!fill) scale = Math.min(scale, 1);
    scale = Math.max(scale, 0.25);
    const devicePixels = scale * (window.devicePixelRatio || 1);
    const whole = this.sharp ? Math.max(1, Math.floor(devicePixels + 1e-6)) : 1;
    this.court.style.zoom = String(scale);
    this.court.classList.toggle('sharp', this.sharp && Math.abs(devicePixels - whole) < 1e-6);
    if (whole !== this.whole) {
      this.whole = whole;
      this.screenCanvas.width = kWidth * whole;
      this.screenCanvas.height = kHeight * whole;
      return true;  // the canvas was cleared: it needs presenting again
    }
    return false;
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
