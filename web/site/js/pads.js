// Gamepads through the browser's Gamepad API, mapped as the desktop maps its pads: the d-pad or
// the left stick moves, A (the bottom face button) shoots, blocks and steals, Start starts and
// resumes like Enter, Back pauses like Esc. On the selection screen the d-pad moves the focus
// and A or Start clicks; over a box A or Start answers OK or Yes and B or Back No. The first pad
// connected plays Player 1 and the second Player 2, each keeping its side until it goes; against
// the computer the first pad plays Player 1.
//
// The browser tells a page of its pads only when asked, so they are read once a frame, and only
// while one is connected: with none, the page does nothing here at all.
import {kRepeatDelay, kRepeatInterval} from './held-keys.js';

// How far the left stick must lean before it counts as a direction: the desktop's 8000 of 32767.
const kDeadZone = 8000 / 32767;
// The standard mapping's buttons.
const kButtonA = 0;
const kButtonB = 1;
const kButtonBack = 8;
const kButtonStart = 9;
const kDpad = [14, 12, 15, 13];  // left, up, right, down
// A pad's controls: the five a side plays with, then the ones that are no key of a side.
const kLeft = 0;
const kDown = 3;
const kAction = 4;
const kStart = 5;
const kBack = 6;
const kCancel = 7;
const kControlCount = 8;
const kPlayed = kAction + 1;
// Each side's keys, in the order of the played controls.
const kSideCodes = [[37, 38, 39, 40, 77], [70, 84, 72, 86, 65]];
// Steps of the focus on the selection screen, by direction.
const kSteps = [[-1, 0], [0, -1], [1, 0], [0, 1]];

// The character a side's key types: its letter, as the keyboard's does (the arrows type none).
const characterOf = (code) => (code >= 65 && code <= 90 ? code + 32 : 0);

export class Gamepads {
  // `route()`: where presses go now — 'game', 'selection', 'box', 'over' (the game-over panel)
  // or 'none'. `keys`: the held keys; `stroke(code)` presses and lets go of Enter or Esc.
  constructor({keys, stroke, route, againstComputer, overlay, selection, over}) {
    Object.assign(this, {keys, stroke, route, againstComputer, overlay, selection, over});
    this.pads = new Map();  // by the browser's index
    this.order = 0;
    this.frame = 0;
  }

  start() {
    if (typeof navigator.getGamepads !== 'function') return;
    // A pad shows itself to the page with its first press, which then counts.
    window.addEventListener('gamepadconnected', () => this.wake());
    window.addEventListener('gamepaddisconnected', () => this.wake());
    document.addEventListener('visibilitychange', () => {
      // A hidden page is told nothing of the pads: what they held goes up, and comes down again
      // on return if still held.
      if (document.hidden) {
        for (const pad of this.pads.values()) this.letGo(pad);
      } else {
        this.wake();
      }
    });
    this.wake();
  }

  wake() {
    if (this.frame === 0 && !document.hidden) this.poll();
  }

  poll() {
    this.frame = 0;
    const now = performance.now();
    const seen = new Set();
    for (const gamepad of navigator.getGamepads()) {
      if (gamepad === null || gamepad.connected === false) continue;
      seen.add(gamepad.index);
      const pad = this.pads.get(gamepad.index) ?? this.added(gamepad.index);
      const wanted = this.read(gamepad);
      for (let control = 0; control < kControlCount; ++control) {
        if (wanted[control] !== pad.down[control]) this.set(pad, control, wanted[control], now);
      }
    }
    for (const [index, pad] of [...this.pads]) {
      if (!seen.has(index)) this.removed(index, pad);
    }
    const route = this.route();
    for (const pad of this.pads.values()) {
      this.reconcile(pad, route);
      if (route === 'selection') this.repeat(pad, now);
    }
    if (this.pads.size === 0 || document.hidden) return;
    this.frame = requestAnimationFrame(() => this.poll());
  }

  read(gamepad) {
    const button = (index) => gamepad.buttons[index]?.pressed === true;
    const [x = 0, y = 0] = gamepad.axes;
    return [
      button(kDpad[0]) || x < -kDeadZone, button(kDpad[1]) || y < -kDeadZone,
      button(kDpad[2]) || x > kDeadZone, button(kDpad[3]) || y > kDeadZone,
      button(kButtonA), button(kButtonStart), button(kButtonBack), button(kButtonB),
    ];
  }

  added(index) {
    const taken = new Set([...this.pads.values()].map((pad) => pad.slot));
    const slot = !taken.has(0) ? 0 : !taken.has(1) ? 1 : -1;
    const pad = {
      index, slot, order: ++this.order,
      down: new Array(kControlCount).fill(false),
      nextRepeat: new Array(kControlCount).fill(0),
      delivered: new Array(kPlayed).fill(0),  // the key the game holds down for each control
    };
    this.pads.set(index, pad);
    return pad;
  }

  // Whatever it held goes up; a pad that found both sides taken takes the one freed.
  removed(index, pad) {
    this.letGo(pad);
    this.pads.delete(index);
    if (pad.slot < 0) return;
    let waiting = null;
    for (const other of this.pads.values()) {
      if (other.slot < 0 && (waiting === null || other.order < waiting.order)) waiting = other;
    }
    if (waiting !== null) waiting.slot = pad.slot;
  }

  letGo(pad) {
    for (let control = 0; control < kPlayed; ++control) {
      if (pad.delivered[control] !== 0) this.keys.release(this.holder(pad), pad.delivered[control]);
      pad.delivered[control] = 0;
    }
  }

  holder(pad) {
    return `pad ${pad.index}`;
  }

  side(pad) {
    if (pad.slot < 0) return -1;
    if (!this.againstComputer()) return pad.slot;
    for (const other of this.pads.values()) {
      if (other.slot >= 0 && other.order < pad.order) return -1;
    }
    return 0;
  }

  set(pad, control, down, now) {
    pad.down[control] = down;
    if (down) pad.nextRepeat[control] = now + kRepeatDelay;
    if (!down) return;  // a release is the reconciling's
    switch (this.route()) {
      case 'game':
        if (control === kStart) this.stroke(13);
        if (control === kBack) this.stroke(27);
        break;
      case 'selection':
        if (control <= kDown) this.moveFocus(...kSteps[control - kLeft]);
        if (control === kAction || control === kStart) this.activate();
        break;
      case 'box':
        if (control === kAction || control === kStart) this.overlay.chooseDefault();
        if (control === kBack || control === kCancel) this.overlay.choose(false);
        break;
      case 'over': {
        if (control !== kAction && control !== kStart) break;
        const focused = document.activeElement;
        const button = focused instanceof HTMLButtonElement && this.over.contains(focused) ?
            focused : this.over.querySelector('button:not([hidden])');
        button?.click();
        break;
      }
      default:
        break;
    }
  }

  // The side's keys held as the pad holds them. A new press goes to the game only while it
  // plays; a release goes whenever, as a key let go does.
  reconcile(pad, route) {
    const side = this.side(pad);
    for (let control = 0; control < kPlayed; ++control) {
      let wanted = pad.down[control] && side >= 0 ? kSideCodes[side][control] : 0;
      if (route !== 'game' && wanted !== 0) wanted = pad.delivered[control];
      const held = pad.delivered[control];
      if (held === wanted) continue;
      pad.delivered[control] = wanted;
      if (held !== 0) this.keys.release(this.holder(pad), held);
      if (wanted !== 0) this.keys.press(this.holder(pad), wanted, characterOf(wanted));
    }
  }

  // A direction held on the selection screen walks on, as a held arrow key does.
  repeat(pad, now) {
    for (let control = kLeft; control <= kDown; ++control) {
      if (!pad.down[control] || now < pad.nextRepeat[control]) continue;
      while (pad.nextRepeat[control] <= now) pad.nextRepeat[control] += kRepeatInterval;
      this.moveFocus(...kSteps[control - kLeft]);
    }
  }

  // The selection screen's buttons, the first portrait first.
  controls() {
    const buttons = [...this.selection.querySelectorAll('button')];
    const first = this.selection.querySelector('#Picture34');
    return [first, ...buttons.filter((button) => button !== first)];
  }

  // The nearest button whose middle lies that way; being off to the side counts double, so Down
  // goes to the button below rather than to a nearer one beside it.
  moveFocus(dx, dy) {
    const controls = this.controls();
    const from = document.activeElement;
    if (!controls.includes(from)) {
      controls[0].focus({preventScroll: true});
      return;
    }
    const middle = (element) => {
      const box = element.getBoundingClientRect();
      return [box.left + box.width / 2, box.top + box.height / 2];
    };
    const [x, y] = middle(from);
    let best = null;
    let bestScore = Infinity;
    for (const control of controls) {
      if (control === from || control.disabled) continue;
      const [cx, cy] = middle(control);
      const along = dx !== 0 ? (cx - x) * dx : (cy - y) * dy;
      const across = dx !== 0 ? Math.abs(cy - y) : Math.abs(cx - x);
      if (along <= 0) continue;
      if (along + 2 * across < bestScore) {
        bestScore = along + 2 * across;
        best = control;
      }
    }
    best?.focus({preventScroll: true});
  }

  activate() {
    const controls = this.controls();
    const from = document.activeElement;
    if (controls.includes(from)) {
      from.click();
    } else {
      controls[0].focus({preventScroll: true});
    }
  }
}
