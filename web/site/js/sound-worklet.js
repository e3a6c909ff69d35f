// The game's sound on the audio thread: plays the samples the page renders from the core's mixer
// as they come, and asks for more while the page says more is coming. Silence costs nothing: with
// no sound going, nobody is woken.

// Below this many samples held (about 43 ms at 48 kHz) the page is asked for the next block.
const kLow = 2048;

class TandemhoopOutput extends AudioWorkletProcessor {
  constructor() {
    super();
    this.blocks = [];  // Float32Arrays, played in turn
    this.offset = 0;   // into the first
    this.held = 0;
    this.more = false;  // whether the page has more to come
    this.asked = false;
    this.port.onmessage = ({data}) => {
      this.blocks.push(data.samples);
      this.held += data.samples.length;
      this.more = data.more;
      this.asked = false;
    };
  }

  process(inputs, outputs) {
    const out = outputs[0][0];
    let at = 0;
    while (at < out.length && this.blocks.length > 0) {
      const block = this.blocks[0];
      const count = Math.min(out.length - at, block.length - this.offset);
      out.set(block.subarray(this.offset, this.offset + count), at);
      at += count;
      this.offset += count;
      this.held -= count;
      if (this.offset === block.length) {
        this.blocks.shift();
        this.offset = 0;
      }
    }
    if (this.more && !this.asked && this.held < kLow) {
      this.asked = true;
      this.port.postMessage(null);
    }
    return true;
  }
}

registerProcessor('tandemhoop-output', TandemhoopOutput);
