// Keys held on the page's own controls and on gamepads, handed to the game the way a held key of
// the keyboard is: down once, then, after the desktop's repeat delay, down again at its repeat
// rate for as long as it is held, and up once. The rules need the repeats: a shot starts only on
// a press after the play clock has passed 10, and a direction held through a foul counts again
// only when it comes down again.

// The keyboard repeat of most desktops, as the desktop's gamepads use it.
export const kRepeatDelay = 500;
export const kRepeatInterval = 1000 / 30;

export class HeldKeys {
  // `game.down(keyCode, character)` returns whether the game took the press (it takes none while
  // a box waits or the selection screen is up); `game.up(keyCode)` comes only for a key whose
  // press it took, as a key let go goes up for the game wherever it went down.
  constructor(game, now = () => performance.now()) {
    this.game = game;
    this.now = now;
    // By key code: who holds it (a key two controls hold goes up when both let go), the
    // character it types, whether the game has it down, and when it repeats.
    this.keys = new Map();
    this.timer = 0;
  }

  // `holder` names what holds the key (the on-screen pad, a gamepad).
  press(holder, keyCode, character = 0) {
    let key = this.keys.get(keyCode);
    if (key === undefined) {
      key = {holders: new Set(), character, delivered: false, next: 0};
      this.keys.set(keyCode, key);
    }
    if (key.holders.has(holder)) return;
    key.holders.add(holder);
    if (key.holders.size > 1) return;
    key.next = this.now() + kRepeatDelay;
    if (this.game.down(keyCode, character)) key.delivered = true;
    this.arm();
  }

  release(holder, keyCode) {
    const key = this.keys.get(keyCode);
    if (key === undefined || !key.holders.delete(holder) || key.holders.size > 0) return;
    this.keys.delete(keyCode);
    if (key.delivered) this.game.up(keyCode);
    this.arm();
  }

  releaseAll(holder) {
    for (const [keyCode, key] of [...this.keys]) {
      if (key.holders.has(holder)) this.release(holder, keyCode);
    }
  }

  holds(holder, keyCode) {
    return this.keys.get(keyCode)?.holders.has(holder) ?? false;
  }

  // One repeat for all that came due, as a late timer gives; the next stays on the same grid.
  repeat() {
    this.timer = 0;
    const now = this.now();
    for (const [keyCode, key] of [...this.keys]) {
      if (key.next > now || !this.keys.has(keyCode)) continue;
      while (key.next <= now) key.next += kRepeatInterval;
      // A press the game did not take (a box was open) is taken by a repeat once it can be.
      if (this.game.down(keyCode, key.character)) key.delivered = true;
    }
    this.arm();
  }

  // A timer only while something is held: the page idles otherwise.
  arm() {
    clearTimeout(this.timer);
    this.timer = 0;
    let next = Infinity;
    for (const key of this.keys.values()) next = Math.min(next, key.next);
    if (next === Infinity) return;
    this.timer = setTimeout(() => this.repeat(), Math.max(0, next - this.now()));
  }
}
