// The page around the core: the court window, the selection screen, the message boxes, the
// keyboard and the timer, all handed to the same handlers the desktop calls.
import {decodePictures, loadPictures, readText, startCore} from './core.js';
import {characterCode, shiftState, virtualKeyCode} from './keys.js';
import {kPeriods, TickSchedule} from './schedule.js';
import {frameHashOfCanvas, Screen} from './screen.js';
import {SoundOutput} from './sound.js';

const $ = (id) => document.getElementById(id);
const court = $('court');
const screen = new Screen(court, $('surface'), $('screen'), $('text'));
const selection = $('selection');

let core = null;  // the module's exports
let sound = null;
let ended = false;
let playback = null;  // the name of the replay being played back, or null in a game
const text = (pointer, length) => readText(core.memory, pointer, length);

function tick() {
  screen.clearLines();
  core.Timer1_Timer();
  sound?.cued();
  present();
  if (playback !== null && !ended && core.replay_tick_due() === 0) finishPlayback();
}
const schedule = new TickSchedule(() => performance.now(), tick);

function present() {
  if (core !== null) screen.present(core.memory.buffer, core.frame_rgba(), core.frame_changed());
}

// A message box blocks everything, the tick included; when it closes the schedule starts again.
function modal(show) {
  present();
  schedule.hold();
  const opened = performance.now();
  try {
    return show();
  } finally {
    hooks.boxMs += performance.now() - opened;
    schedule.release();
    pump();
  }
}

const platform = {
  print: (x, y, pointer, length) => screen.print(x, y, text(pointer, length)),
  set_timer_enabled: (enabled) => {
    schedule.setEnabled(enabled !== 0 && !ended);
    pump();
  },
  show_selection_screen: () => {
    if (!selection.hidden) return;
    selection.hidden = false;
    $('Command3').focus();
  },
  hide_selection_screen: () => {
    selection.hidden = true;
    // Play starts with the next tick: the keys must reach the court without a click on it.
    court.focus();
  },
  set_text: (box, pointer, length) => {
    $(box === 1 ? 'Text1' : 'Text2').value = text(pointer, length);
  },
  show_message: (pointer, length) => modal(() => window.alert(text(pointer, length))),
  ask_yes_no: (pointer, length) => (modal(() => window.confirm(text(pointer, length))) ? 1 : 0),
  end_program: () => {
    ended = true;
    schedule.setEnabled(false);
    selection.hidden = true;
    present();
    if (playback !== null) {
      finishPlayback();
      return;
    }
    $('over').hidden = false;
    $('again').focus();
    document.title = 'Tandemhoop: game over';
  },
  seconds_since_midnight: () => {
    const now = new Date();
    return now.getHours() * 3600 + now.getMinutes() * 60 + now.getSeconds();
  },
};

// The timer: the schedule is served from every animation frame and from a timeout at the next
// deadline, whichever comes first (the display's rate may be below the Fast speed).
let timeout = 0;
function pump() {
  schedule.service();
  clearTimeout(timeout);
  const wait = schedule.timeToNextTick();
  if (wait !== null) timeout = setTimeout(pump, wait);
}
function animate() {
  schedule.service();
  requestAnimationFrame(animate);
}

// A hidden page pauses, as a covered window would not: a player who looks away loses nothing.
document.addEventListener('visibilitychange', () => {
  if (document.hidden) {
    schedule.hold();
  } else {
    schedule.release();
    pump();
  }
});

// The keyboard belongs to the court unless a control of the page has it.
function forCourt(event) {
  if (core === null || ended || playback !== null) return false;
  const target = event.target;
  if (target instanceof Element && target.closest('#selection, #bar, #over')) return false;
  return true;
}

// Sound may start with the first thing the player does on the page.
document.addEventListener('keydown', () => sound?.wake(), true);
document.addEventListener('pointerdown', () => sound?.wake(), true);

// Keys the court has sent down and not yet up. One let go on a control of the page (the
// selection screen takes the keyboard when it appears) still goes up for the game; one held
// while the page loses the keyboard is let go then.
const held = new Set();

document.addEventListener('keydown', (event) => {
  if (event.code === 'F11') {
    event.preventDefault();
    toggleFullScreen();
    return;
  }
  if (!forCourt(event) || event.metaKey) return;
  const keyCode = virtualKeyCode(event.code);
  const character = characterCode(event);
  if (keyCode === 0 && character === 0) return;
  // Nothing scrolls or types: the key is the game's. A held key repeats both, as on the desktop.
  event.preventDefault();
  if (keyCode !== 0) {
    held.add(event.code);
    core.Form_KeyDown(keyCode, shiftState(event));
  }
  if (character !== 0 && !core.Ended()) core.Form_KeyPress(character);
});

document.addEventListener('keyup', (event) => {
  const keyCode = virtualKeyCode(event.code);
  const wasHeld = held.delete(event.code);
  if (keyCode === 0 || core === null || ended || playback !== null) return;
  if (forCourt(event)) {
    event.preventDefault();
  } else if (!wasHeld) {
    return;
  }
  core.Form_KeyUp(keyCode, shiftState(event));
});

window.addEventListener('blur', () => {
  if (core === null || ended || playback !== null) return;
  for (const code of held) core.Form_KeyUp(virtualKeyCode(code), 0);
  held.clear();
});

// The selection screen: each control calls its own rule.
function wireSelection(pictures) {
  const clicks = ['Label6', 'Picture26', 'Label3', 'Picture34', 'Label4', 'Picture42', 'Label5',
                  'Picture50', 'Picture1', 'Picture2', 'Command3', 'Command4'];
  for (const name of clicks) {
    $(name).addEventListener('click', (event) => {
      event.preventDefault();
      core[`${name}_Click`]();
    });
  }
  const names = {Label6: 'Oskel Varrin', Label3: 'Tobin Hask', Label4: 'Pell Ormand', Label5: 'Reko Fairlane'};
  for (const [id, caption] of Object.entries(names)) $(id).textContent = caption;
  const art = {Picture1: 'form4/Picture1.png', Picture2: 'form4/Picture2.png',
               Picture26: 'form2/Picture26.png', Picture34: 'form2/Picture34.png',
               Picture42: 'form2/Picture42.png', Picture50: 'form2/Picture50.png'};
  for (const [id, path] of Object.entries(art)) {
    const {width, height, bytes, blueFirst} = pictures.get(path);
    const rgba = new Uint8ClampedArray(bytes);
    for (let i = 0; i < rgba.length; i += 4) {
      if (blueFirst) [rgba[i], rgba[i + 2]] = [bytes[i + 2], bytes[i]];
      rgba[i + 3] = 255;  // opaque pictures; a decoder's X byte may be anything
    }
    const canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    canvas.getContext('2d').putImageData(new ImageData(rgba, width, height), 0, 0);
    const box = $(id);
    box.style.width = `${width + 2}px`;
    box.style.height = `${height + 2}px`;
    box.append(canvas);
  }
}

// Settings of the page, kept in the browser.
function setting(key, fallback, allowed) {
  try {
    const value = localStorage.getItem(`tandemhoop.${key}`);
    return allowed.includes(value) ? value : fallback;
  } catch {
    return fallback;
  }
}
function keep(key, value) {
  try {
    localStorage.setItem(`tandemhoop.${key}`, value);
  } catch {
    // A browser that keeps nothing still plays, with the defaults.
  }
}

function wireBar() {
  const speed = $('speed');
  speed.value = setting('speed', 'classic', ['classic', 'fast']);
  schedule.setPeriod(kPeriods[speed.value]);
  speed.addEventListener('change', () => {
    keep('speed', speed.value);
    if (playback === null) {
      schedule.setPeriod(kPeriods[speed.value]);
      core.set_speed(speed.value === 'fast' ? 1 : 0);
    }
    pump();
    court.focus();
  });
  // A change rules from the next tick, as the desktop's menu does; the replay notes it there.
  const level = $('level');
  level.value = setting('level', '0', ['0', '1', '2']);
  level.addEventListener('change', () => {
    keep('level', level.value);
    if (playback === null) core.set_computer_level(Number(level.value));
    court.focus();
  });
  const scaling = $('scaling');
  scaling.value = setting('scaling', 'sharp', ['sharp', 'smooth']);
  screen.sharp = scaling.value === 'sharp';
  scaling.addEventListener('change', () => {
    keep('scaling', scaling.value);
    screen.sharp = scaling.value === 'sharp';
    layout();
    court.focus();
  });
  $('fullscreen').addEventListener('click', toggleFullScreen);
  const soundOn = $('sound');
  soundOn.checked = setting('sound', 'on', ['on', 'off']) === 'on';
  sound.setOn(soundOn.checked);
  soundOn.addEventListener('change', () => {
    keep('sound', soundOn.checked ? 'on' : 'off');
    sound.setOn(soundOn.checked);
    court.focus();
  });
  $('again').addEventListener('click', () => location.reload());
  $('save').addEventListener('click', saveReplay);
  $('save-over').addEventListener('click', saveReplay);
  $('open').addEventListener('change', () => {
    const file = $('open').files[0];
    if (file) openReplay(file);
  });
  document.addEventListener('dragover', (event) => {
    event.preventDefault();
    document.body.classList.add('dragging');
  });
  document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
  document.addEventListener('drop', (event) => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    const file = event.dataTransfer.files[0];
    if (file) openReplay(file);
  });
}

// Replays. Every game is recorded as it is played and can be downloaded at any moment; a
// replay file opened or dropped on the page starts a fresh page that plays it back.
function coreText() {
  return readText(core.memory, core.text_pointer(), core.text_length());
}

function saveReplay() {
  if (core === null || playback !== null || core.replay_text() === 0) return;
  const blob = new Blob([coreText()], {type: 'text/plain'});
  const link = document.createElement('a');
  const stamp = new Date().toISOString().slice(0, 19).replace(/[T:]/g, '-');
  link.href = URL.createObjectURL(blob);
  link.download = `tandemhoop-${stamp}.txt`;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

const kReplayKey = 'tandemhoop.replay';
async function openReplay(file) {
  if (file.size > 8 * 1024 * 1024) {
    window.alert(`${file.name} is too large to be a replay.`);
    return;
  }
  try {
    sessionStorage.setItem(kReplayKey, JSON.stringify({name: file.name, text: await file.text()}));
  } catch {
    window.alert('This browser keeps no session storage, so the replay cannot be opened.');
    return;
  }
  location.reload();
}

// Starts the pending replay instead of a game; false when there is none or it is not one.
function startPendingReplay() {
  let pending = null;
  try {
    pending = JSON.parse(sessionStorage.getItem(kReplayKey) || 'null');
    sessionStorage.removeItem(kReplayKey);
  } catch {
    return false;
  }
  if (pending === null || typeof pending.text !== 'string') return false;
  return startReplayText(pending.name, pending.text);
}

function startReplayText(name, text) {
  const bytes = new TextEncoder().encode(text);
  // The buffer may grow the module's memory: its buffer is taken after.
  const storage = core.text_buffer(bytes.length);
  new Uint8Array(core.memory.buffer, storage, bytes.length).set(bytes);
  const speed = core.start_replay();
  if (speed === 0) {
    showNote(`${name} is not a replay this game can play: ${coreText()}`);
    return false;
  }
  playback = name;
  schedule.setPeriod(speed === 2 ? kPeriods.fast : kPeriods.classic);
  showNote(`Playing back ${name}.`);
  return true;
}

function finishPlayback() {
  if (playback === null || $('over').hidden === false) return;
  const matches = core.replay_matches() === 1;
  const outcome = matches ? 'It ended exactly as it was recorded.' :
                            `It did not play back as recorded: ${coreText()}`;
  showNote(`The replay of ${playback} is over. ${outcome}`);
  $('over-text').textContent = 'The replay is over.';
  $('save-over').hidden = true;
  $('over').hidden = false;
  document.title = 'Tandemhoop: replay over';
  hooks.replayResult = {matches, ticks: core.ticks(), stateHash: hex(core.state_hash())};
}

function showNote(text) {
  const note = $('replay-note');
  note.textContent = text;
  note.hidden = false;
}

const hex = (value) => BigInt.asUintN(64, value).toString(16).padStart(16, '0');

function toggleFullScreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen();
  } else if (document.fullscreenEnabled) {
    $('stage').requestFullscreen().then(() => court.focus(), () => {});
  }
}

function layout() {
  const full = document.fullscreenElement !== null;
  const room = full ? [window.innerWidth, window.innerHeight] :
                      [document.documentElement.clientWidth - 16, window.innerHeight - 140];
  screen.fit(room[0], room[1], full);
}
window.addEventListener('resize', layout);
document.addEventListener('fullscreenchange', layout);

// What the browser tests look at.
const hooks = {
  ready: false,
  frameHash: () => frameHashOfCanvas($('surface')),
  coreFrameHash: () => hex(core.frame_hash()),
  core: () => core,
  schedule,
  tick,
  // Plays a replay here and now: the same ticks the schedule would run.
  startReplay: (name, text) => startReplayText(name, text),
  replayResult: null,
  boxMs: 0,  // time spent with a message box open, for taking off timings
};
window.tandemhoop = hooks;

async function start() {
  try {
    // Everything is fetched at once; the title waits for all of it.
    const early = window.tandemhoopFetches ?? {};
    const coreReady = startCore('tandemhoop.wasm', platform, early.core);
    const decoding = decodePictures('pictures/', early);
    const fontsReady = Promise.all([document.fonts.load('700 16px "TeX Gyre Bonum"'),
                                    document.fonts.load('400 11px "TeX Gyre Heros"'),
                                    document.fonts.load('700 11px "TeX Gyre Heros"')]);
    core = await coreReady;
    const pictures = await loadPictures(core, await decoding);
    await fontsReady;
    screen.textMetrics();
    sound = new SoundOutput(core);
    wireSelection(pictures);
    wireBar();
    layout();
    // ?replay leaves the start to the caller (the tests), which hands in a replay's text.
    if (new URLSearchParams(location.search).has('replay')) {
      hooks.soundLoaded = sound.load('sounds/');
      hooks.load = () => {
        core.Form_Load();
        present();
      };
      hooks.ready = true;
      return;
    }
    if (!startPendingReplay()) {
      core.start_game($('speed').value === 'fast' ? 1 : 0, Number($('level').value));
    }
    core.Form_Load();
    present();
    court.focus();
    requestAnimationFrame(animate);
    hooks.ready = true;
    performance.mark('tandemhoop-title');
    // The sounds are not needed for the title: they come after it.
    sound.load('sounds/').catch((error) => console.warn(`No sound: ${error.message}`));
  } catch (error) {
    const failure = $('failure');
    failure.textContent = `The game could not start: ${error.message}`;
    failure.hidden = false;
    throw error;
  }
}
start();
