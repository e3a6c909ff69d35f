// The page on a touch screen, where there is no keyboard: a direction pad and the action button
// for Player 1 beside the court (sideways) or below it (upright), a pause button and the
// settings; a tap on the court starts the game and resumes it. The controls are the keyboard's
// keys: the pad holds the arrows, the action button M, the pause button strokes Esc and a tap
// on the court Enter, so the game hears nothing a keyboard could not have said.
import {kHeight, kWidth} from './screen.js';

const kLeft = 37;
const kUp = 38;
const kRight = 39;
const kDown = 40;
const kKeyM = 77;
const kEnter = 13;
const kEsc = 27;

// Room kept above the court when it stands at the top: the pause mark goes there.
const kTopRoom = 32;
// The selection screen's own size (its window, border included).
const kSelectionWidth = 316;
const kSelectionHeight = 289;
const kMargin = 12;

// Drawn here: the page's fonts have no such signs.
const kIcons = {
  pause: '<svg viewBox="0 0 24 24" aria-hidden="true"><rect x="6" y="5" width="4" height="14" ' +
         'rx="1"/><rect x="14" y="5" width="4" height="14" rx="1"/></svg>',
  settings: '<svg viewBox="0 0 24 24" aria-hidden="true"><path d="M19.4 13a7.5 7.5 0 0 0 0-2' +
            'l2.1-1.6-2-3.5-2.5 1a7.4 7.4 0 0 0-1.7-1L15 3h-4l-.3 2.9a7.4 7.4 0 0 0-1.7 1' +
            'l-2.5-1-2 3.5L6.6 11a7.5 7.5 0 0 0 0 2l-2.1 1.6 2 3.5 2.5-1a7.4 7.4 0 0 0 1.7 1' +
            'L11 21h4l.3-2.9a7.4 7.4 0 0 0 1.7-1l2.5 1 2-3.5zM13 15.5a3.5 3.5 0 1 1 0-7 ' +
            '3.5 3.5 0 0 1 0 7z"/></svg>',
};

const clamp = (value, low, high) => Math.min(Math.max(value, low), high);

function element(tag, attributes = {}, html = '') {
  const made = document.createElement(tag);
  for (const [name, value] of Object.entries(attributes)) made.setAttribute(name, value);
  made.innerHTML = html;
  return made;
}

export class TouchControls {
  // `keys`: the held keys (held-keys.js); `stroke(keyCode)`: a key pressed and let go at once;
  // `waiting()`: whether the game waits for a key to start or resume; `hold(held)` stops the
  // game's clock while the settings cover the court, and starts it again.
  constructor({stage, frame, court, selection, bar, help, paused, keys, stroke, waiting, hold}) {
    Object.assign(this,
                  {stage, frame, court, selection, bar, help, paused, keys, stroke, waiting, hold});
    this.hint = null;
    this.active = false;
    this.sideways = false;
    this.padPointer = null;
    this.actionPointer = null;
    this.directions = new Set();
    this.onChange = () => {};
    // A touch on the court before the controls show (a screen that is touch and mouse alike)
    // brings them, and counts.
    document.addEventListener('pointerdown', (event) => {
      if (event.pointerType === 'touch' && !this.active) this.activate();
    }, true);
    document.addEventListener('visibilitychange', () => {
      if (document.hidden) this.releaseAll();
    });
    court.addEventListener('pointerdown', (event) => {
      if (!this.active || event.pointerType === 'mouse' || !event.isPrimary) return;
      if (this.waiting()) this.stroke(kEnter);
    });
  }

  // Whether the screen is for fingers: then the controls show from the start.
  static wanted() {
    return window.matchMedia('(pointer: coarse)').matches;
  }

  activate() {
    if (this.active) return;
    this.active = true;
    document.body.classList.add('touch');
    this.build();
    // Over the court but sized for fingers: the selection screen leaves the court's scale.
    this.frame.append(this.selection);
    for (const box of this.selection.querySelectorAll('input')) {
      // A tap on a name box would bring up the phone's keyboard, which has nothing to type.
      box.readOnly = true;
      box.tabIndex = -1;
    }
    this.help.textContent = 'Tap the court to start, and to resume after a pause. The pad moves ' +
                            'Player 1; Shoot also blocks and steals; the pause button asks ' +
                            'whether to quit. A gamepad or a keyboard plays too.';
    this.paused.textContent = 'paused — tap the court to resume';
    this.onChange();
  }

  build() {
    const controls = element('div', {id: 'touch-controls'});
    const pad = element('div', {id: 'touch-pad', role: 'group', 'aria-label': 'Move Player 1'});
    this.arms = {};
    for (const [name, code] of [['left', kLeft], ['up', kUp], ['right', kRight], ['down', kDown]]) {
      const arm = element('button', {type: 'button', class: `arm ${name}`, tabindex: '-1',
                                     'aria-label': `Move ${name}`});
      arm.addEventListener('click', (event) => this.tapped(event, code));
      this.arms[code] = arm;
      pad.append(arm);
    }
    pad.append(element('span', {class: 'hub', 'aria-hidden': 'true'}));
    const action = element('button', {type: 'button', id: 'touch-action', tabindex: '-1',
                                      'aria-label': 'Shoot, block or steal'}, 'Shoot');
    action.addEventListener('click', (event) => this.tapped(event, kKeyM));
    const pause = element('button', {type: 'button', id: 'touch-pause',
                                     'aria-label': 'Pause (asks whether to quit)'}, kIcons.pause);
    pause.addEventListener('click', () => this.stroke(kEsc));
    const settings = element('button', {type: 'button', id: 'touch-settings',
                                        'aria-label': 'Settings', 'aria-expanded': 'false',
                                        'aria-controls': 'touch-sheet'},
                             kIcons.settings);
    settings.addEventListener('click', () => this.showSettings(true));
    controls.append(pad, action, pause, settings);

    // The settings stand in a sheet over the page, in the stage so that full screen shows it too.
    const sheet = element('div', {id: 'touch-sheet', role: 'dialog', 'aria-label': 'Settings',
                                  hidden: ''});
    const done = element('button', {type: 'button', id: 'touch-done'}, 'Done');
    done.addEventListener('click', () => this.showSettings(false));
    sheet.append(this.bar, this.help, done);
    // The title says to press Enter; a phone has none.
    const hint = element('p', {id: 'touch-hint', role: 'status', hidden: ''},
                         'Tap the court to start');
    this.stage.append(controls, sheet, hint);
    Object.assign(this, {controls, pad, action, pause, settings, sheet, hint});

    // Fingers hold the pad and the button: no scrolling, zooming, selecting or clicking
    // follows from them, nor from a tap on the court.
    for (const target of [pad, action, this.court]) {
      target.addEventListener('touchstart', (event) => event.preventDefault(), {passive: false});
      target.addEventListener('contextmenu', (event) => event.preventDefault());
    }
    pad.addEventListener('pointerdown', (event) => {
      if (this.padPointer !== null) return;
      this.padPointer = event.pointerId;
      pad.setPointerCapture(event.pointerId);
      this.steer(event);
    });
    pad.addEventListener('pointermove', (event) => {
      if (event.pointerId === this.padPointer) this.steer(event);
    });
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) {
      pad.addEventListener(type, (event) => {
        if (event.pointerId !== this.padPointer) return;
        this.padPointer = null;
        this.setDirections([]);
      });
      action.addEventListener(type, (event) => {
        if (event.pointerId !== this.actionPointer) return;
        this.actionPointer = null;
        action.classList.remove('held');
        this.keys.release('touch', kKeyM);
      });
    }
    action.addEventListener('pointerdown', (event) => {
      if (this.actionPointer !== null) return;
      this.actionPointer = event.pointerId;
      action.setPointerCapture(event.pointerId);
      action.classList.add('held');
      // M types a letter: on the title and in a pause it starts the game, as the key does.
      this.keys.press('touch', kKeyM, 'm'.charCodeAt(0));
    });
  }

  // The finger's angle from the pad's middle: eight ways, each an eighth of the circle, so a
  // thumb rolls from one to the next without lifting. Near the middle it holds nothing.
  steer(event) {
    const box = this.pad.getBoundingClientRect();
    const dx = event.clientX - (box.left + box.width / 2);
    const dy = event.clientY - (box.top + box.height / 2);
    if (Math.hypot(dx, dy) < box.width * 0.12) {
      this.setDirections([]);
      return;
    }
    const sector = (Math.round(Math.atan2(dy, dx) / (Math.PI / 4)) + 8) % 8;
    const ways = [[kRight], [kRight, kDown], [kDown], [kDown, kLeft], [kLeft], [kLeft, kUp], [kUp],
                  [kUp, kRight]];
    this.setDirections(ways[sector]);
  }

  setDirections(wanted) {
    for (const code of [...this.directions]) {
      if (wanted.includes(code)) continue;
      this.directions.delete(code);
      this.arms[code].classList.remove('held');
      this.keys.release('touch', code);
    }
    for (const code of wanted) {
      if (this.directions.has(code)) continue;
      this.directions.add(code);
      this.arms[code].classList.add('held');
      this.keys.press('touch', code);
    }
  }

  // Worked without a pointer (a screen reader, a switch): a short press of the key.
  tapped(event, code) {
    if (event.detail !== 0) return;
    this.keys.press('tap', code, code === kKeyM ? 'm'.charCodeAt(0) : 0);
    setTimeout(() => this.keys.release('tap', code), 150);
  }

  // A page put away lets go of everything held on it.
  releaseAll() {
    this.padPointer = null;
    this.actionPointer = null;
    this.action?.classList.remove('held');
    if (this.active) this.setDirections([]);
    this.keys.releaseAll('touch');
  }

  // Whether the title waits for its first tap.
  showHint(shown) {
    if (this.hint !== null && this.hint.hidden === shown) this.hint.hidden = !shown;
  }

  // The sheet covers the court: the game waits behind it rather than play on unseen.
  showSettings(shown) {
    if (this.sheet.hidden !== shown) return;
    if (shown && document.fullscreenElement) document.exitFullscreen().catch(() => {});
    this.sheet.hidden = !shown;
    if (shown) this.releaseAll();
    this.hold(shown);
    this.settings.setAttribute('aria-expanded', String(shown));
    if (shown) this.sheet.querySelector('select, button')?.focus({preventScroll: true});
  }

  // The room the court may take. Sideways the pad and the button stand in columns at its sides;
  // upright in a band below it. Whichever gives the larger court wins; a thumb's room is the
  // same on a phone and a tablet, so the controls barely grow with the screen.
  room() {
    const width = window.innerWidth;
    const height = window.innerHeight;
    const column = clamp(Math.min(width, height) * 0.34, 120, 180);
    const beside = Math.min((width - 2 * column) / kWidth, height / kHeight);
    this.padSize = clamp(Math.min(width * 0.42, height * 0.3), 120, 200);
    this.band = this.padSize + 2 * kMargin;
    const below = Math.min(width / kWidth, (height - kTopRoom - this.band) / kHeight);
    this.sideways = beside >= below;
    document.body.classList.toggle('touch-beside', this.sideways);
    document.body.classList.toggle('touch-below', !this.sideways);
    return this.sideways ? [width - 2 * column, height] : [width, height - kTopRoom - this.band];
  }

  // Puts the court, the controls and the selection screen around the court's scale.
  place(scale) {
    const width = window.innerWidth;
    const height = window.innerHeight;
    const courtWidth = kWidth * scale;
    const courtHeight = kHeight * scale;
    // Upright, in the middle of what the band leaves, but never without room for the pause mark.
    const top = this.sideways ? Math.max(0, (height - courtHeight) / 2) :
                                Math.max(kTopRoom, (height - this.band - courtHeight) / 2);
    const style = document.body.style;
    style.setProperty('--court-top', `${top}px`);
    style.setProperty('--court-middle', `${top + courtHeight / 2}px`);
    style.setProperty('--court-bottom', `${top + courtHeight}px`);
    const put = (node, x, y, size) => {
      Object.assign(node.style,
                    {left: `${x}px`, top: `${y}px`, width: `${size}px`, height: `${size}px`});
    };
    const small = 48;
    if (this.sideways) {
      const column = (width - courtWidth) / 2;
      const pad = Math.min(column - 2 * kMargin, height * 0.5, 200);
      const action = clamp(Math.min(column - 2 * kMargin, pad * 0.8), 72, 120);
      // The thumbs rest a little below the middle; the small buttons keep to the top corner.
      const padTop = Math.max(small + 2 * kMargin, height * 0.58 - pad / 2);
      put(this.pad, (column - pad) / 2, padTop, pad);
      put(this.action, width - column + (column - action) / 2, height * 0.58 - action / 2, action);
      put(this.pause, kMargin, kMargin, small);
      put(this.settings, kMargin + small + kMargin, kMargin, small);
      Object.assign(this.hint.style, {left: `${width - column + kMargin}px`, top: `${kMargin}px`,
                                      width: `${column - 2 * kMargin}px`});
    } else {
      const pad = this.padSize;
      const action = clamp(pad * 0.68, 72, 128);
      const y = height - kMargin - pad;
      put(this.pad, kMargin, y, pad);
      put(this.action, width - kMargin - action, y + (pad - action) / 2, action);
      const middle = (kMargin + pad + width - kMargin - action) / 2;
      put(this.pause, middle - small / 2, y, small);
      put(this.settings, middle - small / 2, y + pad - small, small);
      Object.assign(this.hint.style, {left: `${kMargin}px`, top: `${top + courtHeight + kMargin}px`,
                                      width: `${width - 2 * kMargin}px`});
    }
    // The selection screen as large as fits, over the court's middle, inside the screen.
    const zoom = Math.min((width - 2 * kMargin) / kSelectionWidth,
                          (height - 2 * kMargin) / kSelectionHeight, 2);
    const left = (width - kSelectionWidth * zoom) / 2;
    const selectionTop = clamp(top + courtHeight / 2 - (kSelectionHeight * zoom) / 2, kMargin,
                               height - kMargin - kSelectionHeight * zoom);
    this.selection.style.setProperty('--touch-zoom', String(zoom));
    this.selection.style.setProperty('--touch-left', `${left}px`);
    this.selection.style.setProperty('--touch-top', `${selectionTop}px`);
  }
}
