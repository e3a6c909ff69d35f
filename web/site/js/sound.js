// The game's sounds through Web Audio: the core's mixer renders them, 48 kHz mono, whenever the
// output asks for more, so the sound goes on (and ends) while the game is paused too.

// In the order of the core's Sound cues.
const kFiles = ['bounce', 'release', 'swish', 'rim', 'dunk', 'block', 'steal', 'whistle', 'win'];
const kBlock = 2048;  // samples per output callback: about 43 ms

export class SoundOutput {
  constructor(core) {
    this.core = core;
    this.context = null;
    this.on = true;
  }

  // Hands each WAV file to the core, which checks it; a missing or broken file stays silent.
  async load(base) {
    await Promise.all(kFiles.map(async (name, sound) => {
      const response = await fetch(`${base}${name}.wav`);
      if (!response.ok) return;
      const bytes = new Uint8Array(await response.arrayBuffer());
      // The storage may grow the module's memory: its buffer is taken after.
      const storage = this.core.sound_file_buffer(sound, bytes.length);
      new Uint8Array(this.core.memory.buffer, storage, bytes.length).set(bytes);
      if (this.core.sound_file_loaded(sound) !== 1) console.warn(`${name}.wav is not a game sound`);
    }));
  }

  // A page may make sound only once the player has done something on it: called on every key
  // and click.
  wake() {
    if (!this.on) return;
    if (this.context === null) {
      const Context = window.AudioContext ?? window.webkitAudioContext;
      if (!Context) return;
      this.context = new Context({sampleRate: 48000});
      // A ScriptProcessor runs here, beside the module: the mixer is pulled synchronously.
      const node = this.context.createScriptProcessor(kBlock, 0, 1);
      let samples = null;  // the module's mix buffer, seen again only when its memory grows
      node.onaudioprocess = (event) => {
        const out = event.outputBuffer.getChannelData(0);
        const core = this.core;
        const at = core.render_sound(out.length);
        if (samples === null || samples.buffer !== core.memory.buffer || samples.byteOffset !== at ||
            samples.length < out.length) {
          samples = new Int16Array(core.memory.buffer, at, out.length);
        }
        for (let i = 0; i < out.length; ++i) out[i] = samples[i] / 32768;
      };
      node.connect(this.context.destination);
      this.node = node;
    } else if (this.context.state === 'suspended') {
      this.context.resume();
    }
  }

  setOn(on) {
    this.on = on;
    this.core.set_volume(on ? 100 : 0);
    if (this.context === null) return;
    if (on) {
      this.context.resume();
    } else {
      this.context.suspend();
    }
  }
}
