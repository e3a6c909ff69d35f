// The game's sounds through Web Audio: the core's mixer renders them, 48 kHz mono, in blocks the
// audio thread asks for (sound-worklet.js) while a sound is going, so the sound goes on (and
// ends) while the game is paused too. With nothing sounding nothing runs.

// In the order of the core's Sound cues.
const kFiles = ['bounce', 'release', 'swish', 'rim', 'dunk', 'block', 'steal', 'whistle', 'win'];
const kBlock = 1024;  // samples a message: about 21 ms

export class SoundOutput {
  constructor(core) {
    this.core = core;
    this.context = null;
    this.node = null;
    this.flowing = false;  // whether the audio thread is being fed
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
      // The audio thread's part needs a secure page (https, or this machine).
      if (!Context || !window.isSecureContext) return;
      this.context = new Context({sampleRate: 48000});
      this.context.audioWorklet.addModule('js/sound-worklet.js').then(() => {
        this.node = new AudioWorkletNode(this.context, 'tandemhoop-output',
                                         {numberOfInputs: 0, outputChannelCount: [1]});
        this.node.port.onmessage = () => this.feed();
        this.node.connect(this.context.destination);
        this.cued();
      }, (error) => console.info(`No sound: ${error.message}`));
    } else if (this.context.state === 'suspended') {
      this.context.resume();
    }
  }

  // Called after whatever may have cued a sound: starts feeding the audio thread if one sounds.
  cued() {
    if (this.node !== null && !this.flowing && this.core.sound_voices() > 0) this.feed();
  }

  feed() {
    const at = this.core.render_sound(kBlock);
    const samples = new Float32Array(kBlock);
    const rendered = new Int16Array(this.core.memory.buffer, at, kBlock);
    for (let i = 0; i < kBlock; ++i) samples[i] = rendered[i] / 32768;
    this.flowing = this.core.sound_voices() > 0;
    this.node.port.postMessage({samples, more: this.flowing}, [samples.buffer]);
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
