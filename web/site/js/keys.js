// The keyboard as the court window sees it. Keys are told apart by where they are
// (KeyboardEvent.code), so the game's letters sit in the same places on every layout.

const kNamed = {
  ArrowLeft: 37,
  ArrowUp: 38,
  ArrowRight: 39,
  ArrowDown: 40,
  Escape: 27,
  Enter: 13,
  NumpadEnter: 13,
  Space: 32,
};

// The virtual-key code of a key, or 0 for one the game has no code for.
export function virtualKeyCode(code) {
  if (code in kNamed) return kNamed[code];
  if (/^Key[A-Z]$/.test(code)) return code.charCodeAt(3);
  if (/^Digit[0-9]$/.test(code)) return code.charCodeAt(5);
  return 0;
}

// The shift argument of the key handlers: 1 Shift, 2 Ctrl, 4 Alt.
export function shiftState(event) {
  return (event.shiftKey ? 1 : 0) | (event.ctrlKey ? 2 : 0) | (event.altKey ? 4 : 0);
}

const kControlCharacters = {Enter: 13, NumpadEnter: 13, Escape: 27, Backspace: 8, Tab: 9};

// The character a key press types, as Form_KeyPress wants it, or 0 for a key that types none.
export function characterCode(event) {
  if (event.ctrlKey || event.metaKey) return 0;
  if (event.code in kControlCharacters) return kControlCharacters[event.code];
  const key = event.key;
  if (key.length === 1) return key.charCodeAt(0);
  // A character outside the basic plane is still a character typed.
  if (key.length === 2 && key.codePointAt(0) > 0xffff) return key.charCodeAt(0);
  return 0;
}
