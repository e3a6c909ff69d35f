// The page around the core: the court window, the selection screen, the message boxes, the
// keyboard and the timer, all handed to the same handlers the desktop calls.
import {decodePictures, loadPictures, readText, startCore} from './core.js';
import {HeldKeys} from './held-keys.js';
import {characterCode, shiftState, virtualKeyCode} from './keys.js';
import {keepOffline} from './offline.js';
import {Online} from './online.js';
import {CourtOverlay} from './overlay.js';
import {Gamepads} from './pads.js';
import {kPeriods, TickSchedule} from './schedule.js';
import {frameHashOfCanvas, Screen} from './screen.js';
import {SoundOutput} from './sound.js';
import {TouchControls} from './touch.js';

const $ = (id) => document.getElementById(id);
const court = $('court');
const screen = new Screen(court, $('surface'), $('screen'), $('text'));
const selection = $('selection');
const overlay = new CourtOverlay($('overlay'));
// What the online game borrows of the page; it runs its own session and clock.
const online = new Online({
  core: () => core,
  sound: () => sound,
  screen,
  overlay,
  present: () => present(),
  clearPage: () => resetPage(),
  backToTitle: () => newGame(null),
  holdLocal: () => schedule.hold(),
  releaseLocal: () => {
    schedule.release();
    pump();
  },
  localGameInProgress: () => gameInProgress(),
  ask: (question, onYes) => ask(question, onYes),
  speed: () => $('speed').value,
  placeMark: (mark) => placePaused(mark),
  download: (text, kind) => download(text, kind),
  focusCourt: () => court.focus({preventScroll: true}),
  help: () => document.querySelector('.help'),
  touch: () => touch.active,
});

let core = null;  // the module's exports
let sound = null;
let ended = false;
let playback = null;  // the name of the replay being played back, or null in a game
let finished = false;  // the replay played back has come to its end
let timerOn = false;   // the game's Timer1
let started = false;   // the timer has run in this game: stopped again, the game is paused
let box = null;        // the game's box that waits for its answer: {fromTick}
let nextPicks = null;  // the picks and mode a game started by "Play again" is to begin with
const text = (pointer, length) => readText(core.memory, pointer, length);

function tick() {
  screen.clearLines();
  core.Timer1_Timer();
  afterCall(true);
}
const schedule = new TickSchedule(() => performance.now(), tick);

function present() {
  if (core !== null) screen.present(core.memory.buffer, core.frame_rgba(), core.frame_changed());
}

// After every call into the game: a box it opened, the sounds it cued, what it drew, and where
// the game now stands.
function afterCall(fromTick) {
  if (box === null && core.box_open() === 1) openBox(fromTick);
  sound?.cued();
  present();
  if (fromTick && nextPicks !== null && !selection.hidden) startWithPicks();
  if (playback !== null && box === null && !finished) {
    // Watched at the speed it was played, changes included.
    schedule.setPeriod(core.replay_speed() === 2 ? kPeriods.fast : kPeriods.classic);
    if (ended || core.replay_tick_due() === 0) finishPlayback();
  }
  showPaused();
  if (!fromTick) showSave();  // play begins with a click
}

// A box stops the game as the desktop's does: no tick comes until it is answered, and the
// schedule starts again from that moment. The picture under it is the one as the box opened.
function openBox(fromTick) {
  box = {fromTick};
  schedule.hold();
  showBox();
}

function showBox() {
  const question = core.box_asks() === 1;
  const buttons = question ? [{label: 'Yes', value: true}, {label: 'No', value: false}] :
                             [{label: 'OK', value: true}];
  core.box_text();  // into the module's text, which may move: read after
  const message = coreText();
  hooks.boxes.push(message);
  // Esc answers OK, as a desktop box with one button; the quit question ignores it (a held Esc
  // would answer it at once).
  overlay.show({text: message, buttons, escape: question ? undefined : true, onAnswer: answerBox});
  // A replay's boxes close by themselves after a while, as the desktop's do.
  if (playback !== null) box.closing = setTimeout(() => overlay.chooseDefault(), 1000);
}

function answerBox(yes) {
  if (box === null) return;
  clearTimeout(box.closing);
  // The call runs again from its start; a tick draws and prints everything again.
  if (box.fromTick) screen.clearLines();
  core.answer_box(yes ? 1 : 0);
  if (core.box_open() === 1) {
    present();
    showBox();
    return;
  }
  const fromTick = box.fromTick;
  box = null;
  schedule.release();
  if (gameOn()) court.focus({preventScroll: true});
  afterCall(fromTick);
  pump();
}

// The page's own question, in the same kind of box, holding the game the same way.
function ask(question, onYes) {
  schedule.hold();
  overlay.show({text: question, buttons: [{label: 'Yes', value: true}, {label: 'No', value: false}],
                onAnswer: (yes) => {
                  schedule.release();
                  if (gameOn()) court.focus({preventScroll: true});
                  if (yes) onYes();
                  pump();
                  showPaused();
                }});
}

const platform = {
  print: (x, y, pointer, length) => {
    online.printing();
    return screen.print(x, y, text(pointer, length));
  },
  set_timer_enabled: (enabled) => {
    timerOn = enabled !== 0;
    if (timerOn) started = true;
    // A replay ticks as long as it has ticks, whatever the game it plays back does with its timer.
    if (playback === null) schedule.setEnabled(timerOn && !ended);
    // Not served from here: this runs inside a call into the game, which no tick may enter.
    rearm();
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
  end_program: () => {
    ended = true;
    schedule.setEnabled(false);
    selection.hidden = true;
    if (playback === null) showGameOver();
  },
  seconds_since_midnight: () => {
    const now = new Date();
    return now.getHours() * 3600 + now.getMinutes() * 60 + now.getSeconds();
  },
};

// The timer: a timeout at the next deadline, and nothing at all while no tick can come.
let timeout = 0;
function pump() {
  schedule.service();
  rearm();
}
function rearm() {
  clearTimeout(timeout);
  const wait = schedule.timeToNextTick();
  if (wait !== null) timeout = setTimeout(pump, wait);
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

// A game is on from the title to its end; the keys are then the game's.
const gameOn = () => core !== null && !ended && playback === null && !online.active;

// Whether a key belongs to the court: during a game, anywhere but on the selection screen, the
// game-over panel and a box. A control under the court keeps no key of the game: once used it
// hands the keyboard back.
function forCourt(event) {
  if (!gameOn()) return false;
  const target = event.target;
  return !(target instanceof Element && target.closest('#selection, #over, #overlay, #online-dialog'));
}

// Sound may start with the first thing the player does on the page.
document.addEventListener('keydown', () => sound?.wake(), true);
document.addEventListener('pointerdown', () => sound?.wake(), true);

// Keys the court has sent down and not yet up. One let go on a control of the page (the
// selection screen takes the keyboard when it appears) or inside a box still goes up for the
// game; one held while the page loses the keyboard is let go then.
const held = new Set();

// A held key's repeats never press a button of the selection screen: the key that brought the
// screen up (Enter on the title) is still down when the screen takes the keyboard.
const kPressingKeys = new Set(['Enter', 'NumpadEnter', 'Space']);

document.addEventListener('keydown', (event) => {
  if (event.code === 'F11') {
    event.preventDefault();
    if (!event.repeat) toggleFullScreen();
    return;
  }
  if (overlay.open) {
    if (overlay.key(event)) event.preventDefault();
    return;
  }
  if (online.key(event, true)) return;
  if (event.target instanceof Element && event.target.closest('#selection')) {
    if (event.repeat && kPressingKeys.has(event.code)) event.preventDefault();
    return;
  }
  if (!forCourt(event) || event.metaKey) return;
  const keyCode = virtualKeyCode(event.code);
  const character = characterCode(event);
  if (keyCode === 0 && character === 0) return;
  // Nothing scrolls, types or works a control: the key is the game's. A held key repeats both,
  // as on the desktop.
  event.preventDefault();
  if (event.target !== court) court.focus({preventScroll: true});
  if (keyCode !== 0) {
    held.add(event.code);
    core.Form_KeyDown(keyCode, shiftState(event));
    afterCall(false);
  }
  if (character !== 0 && box === null && core.Ended() === 0) {
    core.Form_KeyPress(character);
    afterCall(false);
  }
}, true);

document.addEventListener('keyup', (event) => {
  if (online.key(event, false)) return;
  const keyCode = virtualKeyCode(event.code);
  const wasHeld = held.delete(event.code);
  if (keyCode === 0 || !gameOn()) return;
  if (!wasHeld && (overlay.open || !forCourt(event))) return;
  // Not a click for the button it is let go on, either.
  event.preventDefault();
  core.Form_KeyUp(keyCode, shiftState(event));
  afterCall(false);
}, true);

window.addEventListener('blur', () => {
  online.releaseKeys();
  if (!gameOn()) return;
  for (const code of held) core.Form_KeyUp(virtualKeyCode(code), 0);
  held.clear();
  afterCall(false);
});

// The on-screen controls and the gamepads are keys like the keyboard's: a press reaches the game
// only while the court has the keys, a release whenever its press went down. Online, they are
// the online game's.
const gameKeys = {
  down(keyCode, character) {
    if (online.inGame) return !overlay.open && selection.hidden && online.virtualKey(keyCode, true);
    if (!gameOn() || overlay.open || !selection.hidden) return false;
    core.Form_KeyDown(keyCode, 0);
    afterCall(false);
    if (character !== 0 && box === null && core.Ended() === 0) {
      core.Form_KeyPress(character);
      afterCall(false);
    }
    return true;
  },
  up(keyCode) {
    if (online.virtualKey(keyCode, false) || !gameOn()) return;
    core.Form_KeyUp(keyCode, 0);
    afterCall(false);
  },
};
const heldKeys = new HeldKeys(gameKeys);
// Enter or Esc pressed and let go: the start, resume and pause of the pads and the touch screen.
function stroke(keyCode) {
  if (gameKeys.down(keyCode, keyCode)) gameKeys.up(keyCode);
}
const touch = new TouchControls({
  stage: $('stage'), frame: $('frame'), court, selection, bar: $('bar'),
  help: document.querySelector('.help'), paused: $('paused'), keys: heldKeys, stroke,
  waiting: () => gameOn() && !timerOn && !overlay.open && selection.hidden,
  hold: (held) => {
    if (held) {
      schedule.hold();
    } else {
      schedule.release();
      pump();
    }
  },
});
touch.onChange = () => layout();
const gamepads = new Gamepads({
  keys: heldKeys, stroke, overlay, selection, over: $('over'),
  route: () => {
    if (overlay.open) return 'box';
    if (!gameOn() && !online.inGame) return $('over').hidden ? 'none' : 'over';
    return selection.hidden ? 'game' : 'selection';
  },
  againstComputer: () => core.play_started() === 1 && core.two_players() === 0,
});

// The pause mark: beside the court while the game waits after Esc and No.
function showPaused() {
  const paused = gameOn() && started && !timerOn && !overlay.open;
  const mark = $('paused');
  touch.showHint(gameOn() && !started && !overlay.open);
  if (mark.hidden !== paused) return;
  mark.hidden = !paused;
  if (paused) placePaused();
}

// A replay can be saved once it shows some play.
function showSave() {
  const playing = core !== null && playback === null && core.play_started() === 1;
  if ($('save').disabled !== playing) return;
  $('save').disabled = !playing;
  $('save-over').hidden = !playing;
}

// The selection screen: each control calls its own rule.
const kClicks = ['Label6', 'Picture26', 'Label3', 'Picture34', 'Label4', 'Picture42', 'Label5',
                 'Picture50', 'Picture1', 'Picture2', 'Command3', 'Command4'];
function click(name) {
  core[`${name}_Click`]();
  afterCall(false);
}

function wireSelection(pictures) {
  for (const name of kClicks) {
    $(name).addEventListener('click', (event) => {
      event.preventDefault();
      if (!online.click(name)) click(name);
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

// Once used, a control gives the keyboard back to the game.
function backToCourt() {
  if (gameOn()) court.focus({preventScroll: true});
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
    backToCourt();
  });
  // A change rules from the next tick, as the desktop's menu does; the replay notes it there.
  const level = $('level');
  level.value = setting('level', '0', ['0', '1', '2', '3']);
  level.addEventListener('change', () => {
    keep('level', level.value);
    if (playback === null) core.set_computer_level(Number(level.value));
    backToCourt();
  });
  const scaling = $('scaling');
  scaling.value = setting('scaling', 'sharp', ['sharp', 'smooth']);
  screen.sharp = scaling.value === 'sharp';
  scaling.addEventListener('change', () => {
    keep('scaling', scaling.value);
    screen.sharp = scaling.value === 'sharp';
    layout();
    backToCourt();
  });
  $('fullscreen').addEventListener('click', () => {
    toggleFullScreen();
    backToCourt();
  });
  const soundOn = $('sound');
  soundOn.checked = setting('sound', 'on', ['on', 'off']) === 'on';
  sound.setOn(soundOn.checked);
  soundOn.addEventListener('change', () => {
    keep('sound', soundOn.checked ? 'on' : 'off');
    sound.setOn(soundOn.checked);
    backToCourt();
  });
  $('again').addEventListener('click', () => newGame(playback === null ? lastPicks() : null));
  $('save').addEventListener('click', () => {
    saveReplay();
    backToCourt();
  });
  $('save-over').addEventListener('click', saveReplay);
  const open = $('open');
  open.addEventListener('change', () => {
    const file = open.files[0];
    open.value = '';
    backToCourt();
    if (file) openReplay(file);
  });
  open.addEventListener('cancel', backToCourt);
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
  // Leaving the page in the middle of a game throws it away: the browser asks first.
  window.addEventListener('beforeunload', (event) => {
    if (!gameInProgress()) return;
    event.preventDefault();
    event.returnValue = '';
  });
}

const gameInProgress = () => gameOn() && core.play_started() === 1;

// Replays. Every game is recorded as it is played and can be downloaded once play has begun; a
// replay file opened or dropped on the page is played back in place of the game.
function coreText() {
  return readText(core.memory, core.text_pointer(), core.text_length());
}

function saveReplay() {
  if (online.active) {
    online.saveReplay();
    return;
  }
  if (core === null || playback !== null || core.play_started() !== 1 ||
      core.replay_text() === 0) {
    return;
  }
  download(coreText());
}

// A replay file to the browser's downloads, named after the moment (and `kind` of game).
function download(text, kind = '') {
  const blob = new Blob([text], {type: 'text/plain'});
  const link = document.createElement('a');
  const stamp = new Date().toISOString().slice(0, 19).replace(/[T:]/g, '-');
  link.href = URL.createObjectURL(blob);
  link.download = `tandemhoop-${kind === '' ? '' : `${kind}-`}${stamp}.txt`;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 1000);
}

async function openReplay(file) {
  if (overlay.open) return;  // answer the box first
  if (file.size > 8 * 1024 * 1024) {
    showNote(`${file.name} is too large to be a replay.`);
    return;
  }
  const replay = await file.text();
  const play = () => startReplayText(file.name, replay);
  if (online.inGame) {
    ask(`Play back ${file.name}? You leave the online game.`, play);
  } else if (gameInProgress()) {
    ask(`Play back ${file.name}? This game ends without being kept.`, play);
  } else {
    play();
  }
}

// Plays a replay back in place of whatever ran; false when the text is not one (what ran goes on).
function startReplayText(name, replay) {
  const bytes = new TextEncoder().encode(replay);
  // The buffer may grow the module's memory: its buffer is taken after.
  const storage = core.text_buffer(bytes.length);
  new Uint8Array(core.memory.buffer, storage, bytes.length).set(bytes);
  if (core.start_replay() === 0) {
    showNote(`${name} is not a replay this game can play: ${coreText()}`);
    return false;
  }
  resetPage();
  playback = name;
  showNote(`Playing back ${name}.`);
  core.Form_Load();
  afterCall(false);
  if (!finished) schedule.setEnabled(true);
  pump();
  return true;
}

// The end of a replay, whole, saved in the middle of a game, or gone another way than recorded:
// its last picture stays, score lines and all, and nothing ticks any more.
function finishPlayback() {
  finished = true;
  schedule.setEnabled(false);
  const matches = core.replay_matches() === 1;
  const outcome = matches ? 'It ended exactly as it was recorded.' :
                            `It did not play back as recorded: ${coreText()}`;
  showNote(`The replay of ${playback} is over. ${outcome}`);
  $('over-text').textContent = 'The replay is over.';
  $('again').textContent = 'Play a game';
  $('save-over').hidden = true;
  $('over').hidden = false;
  document.title = 'Tandemhoop: replay over';
  hooks.replayResult = {matches, ticks: core.ticks(), stateHash: hex(core.state_hash())};
}

function showGameOver() {
  const [p1, p2] = [core.p1_score(), core.p2_score()];
  const twoPlayers = core.two_players() === 1;
  let said = `The game was left at ${p1} to ${p2}.`;
  if (p1 >= 4) said = `Player 1 won, ${p1} to ${p2}.`;
  if (p1 < 4 && p2 >= 4) said = `${twoPlayers ? 'Player 2' : 'The computer'} won, ${p2} to ${p1}.`;
  $('over-text').textContent = said;
  $('again').textContent = 'Play again';
  $('over').hidden = false;
  $('again').focus({preventScroll: true});
  document.title = 'Tandemhoop: game over';
  showSave();
  // Beaten by the computer: the easier level is one click away.
  const easier = core.offered_level();
  $('offer').hidden = easier < 0;
  if (easier >= 0) {
    const level = $('level');
    $('easier-level').textContent = level.options[easier].textContent;
    $('easier').onclick = () => {
      level.value = String(easier);
      keep('level', level.value);
      newGame(lastPicks());
    };
    $('easier').focus({preventScroll: true});
  }
}

// The picks and the mode of the game just played: pick number n is the name label of its player.
const kPickLabels = [null, 'Label6', 'Label3', 'Label4', 'Label5'];
function lastPicks() {
  const [p1, p2] = [core.p1_pick(), core.p2_pick()];
  if (p1 < 1 || p1 > 4 || p2 < 1 || p2 > 4) return null;
  return {clicks: [kPickLabels[p1], kPickLabels[p2], core.two_players() === 1 ? 'Command4' : 'Command3']};
}

// Everything of the page back as it stands before a game: for another game or a replay.
function resetPage() {
  online.stop();
  overlay.close();
  box = null;
  ended = false;
  finished = false;
  playback = null;
  timerOn = false;
  started = false;
  held.clear();
  schedule.setEnabled(false);
  selection.hidden = true;
  $('Text1').value = '';
  $('Text2').value = '';
  $('over').hidden = true;
  $('replay-note').hidden = true;
  document.title = 'Tandemhoop';
  screen.clearLines();
}

// A new game on this page. With `picks`, it goes straight into play with them: the start key and
// the clicks are the game's inputs, so its replay shows them like any other.
function newGame(picks) {
  resetPage();
  core.start_game($('speed').value === 'fast' ? 1 : 0, Number($('level').value));
  core.Form_Load();
  afterCall(false);
  court.focus({preventScroll: true});
  nextPicks = picks;
  if (picks !== null) {
    core.Form_KeyPress(13);
    afterCall(false);
  }
  showSave();
}

// The first tick has shown the selection screen: the picks, then the mode, in the same moment.
function startWithPicks() {
  const {clicks} = nextPicks;
  nextPicks = null;
  for (const name of clicks) click(name);
}

function showNote(note) {
  const element = $('replay-note');
  element.textContent = note;
  element.hidden = false;
}

const hex = (value) => BigInt.asUintN(64, value).toString(16).padStart(16, '0');

function toggleFullScreen() {
  if (document.fullscreenElement) {
    document.exitFullscreen();
  } else if (document.fullscreenEnabled) {
    $('stage').requestFullscreen().then(() => {
      // Esc stays the game's key (the quit question), as in the desktop's full screen; where the
      // browser can, it then leaves full screen when held instead of when pressed.
      navigator.keyboard?.lock?.(['Escape']).catch(() => {});
      backToCourt();
    }, () => {});
  }
}

// The court takes all the room there is, in a window as in full screen: whole pixels first where
// it is sharp (screen.js). Below it in a window stand the settings and the help line.
function layout() {
  const full = document.fullscreenElement !== null;
  let room = full ? [window.innerWidth, window.innerHeight] :
                    [document.documentElement.clientWidth - 16, window.innerHeight - 156];
  // On a touch screen the controls take their room first (touch.js).
  if (touch.active) room = touch.room();
  const scale = screen.fit(room[0], room[1]);
  if (touch.active) touch.place(scale);
  // A box is never smaller than the page's own text, nor huge on a large screen.
  $('stage').style.setProperty('--box-zoom', String(Math.min(Math.max(scale, 1), 2)));
  placePaused();
  online.layout();
}
window.addEventListener('resize', layout);
document.addEventListener('fullscreenchange', layout);

// Outside the picture: above the court's right edge in a window; in full screen beside the
// court where the screen leaves room at its sides, above it where it leaves room there, and
// over the court's corner only where it leaves none. The pause mark, or the online game's
// connection line (the two never show at once).
function placePaused(mark = $('paused')) {
  if (mark.hidden) return;
  const stage = $('stage').getBoundingClientRect();
  const picture = court.getBoundingClientRect();
  const right = stage.right - picture.right;
  mark.style.maxWidth = '';
  mark.style.right = `${right}px`;
  const height = mark.offsetHeight;
  const edgeToEdge = document.fullscreenElement !== null || touch.sideways;
  if (!edgeToEdge || picture.top - stage.top >= height + 8) {
    mark.style.top = `${picture.top - stage.top - height - 6}px`;
  } else if (right >= 120) {
    mark.style.right = '12px';
    mark.style.maxWidth = `${right - 24}px`;
    mark.style.top = `${picture.top - stage.top + 12}px`;
  } else {
    mark.style.right = `${right + 8}px`;
    mark.style.top = `${picture.top - stage.top + 8}px`;
  }
}

// What the browser tests look at.
const hooks = {
  ready: false,
  frameHash: () => frameHashOfCanvas($('surface')),
  coreFrameHash: () => hex(core.frame_hash()),
  core: () => core,
  schedule,
  tick,
  // Lets go of a schedule.hold() of the test's own: the ticks come again from now.
  release: () => {
    schedule.release();
    pump();
  },
  // Plays a replay here and now: the same ticks the schedule would run.
  startReplay: (name, replay) => startReplayText(name, replay),
  // Answers the box that waits, as a click on its first button (OK, Yes) or on No.
  answer: (yes) => (yes ? overlay.chooseDefault() : overlay.choose(false)),
  boxes: [],  // the text of every box shown
  replayResult: null,
  online,
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
    if (TouchControls.wanted()) touch.activate();
    gamepads.start();
    layout();
    // ?replay leaves the start to the caller (the tests), which hands in a replay's text.
    if (new URLSearchParams(location.search).has('replay')) {
      hooks.soundLoaded = sound.load('sounds/');
      hooks.ready = true;
      return;
    }
    // A link to a room joins it at once; a reload in the middle of an online game goes back in.
    if (!online.startFromAddress()) newGame(null);
    hooks.ready = true;
    performance.mark('tandemhoop-title');
    // The sounds are not needed for the title: they come after it.
    // Kept for offline play once everything is here: a new build may then take over this page.
    sound.load('sounds/')
        .catch((error) => console.warn(`No sound: ${error.message}`))
        .then(() => keepOffline(() => !gameInProgress() && playback === null && !online.active));
  } catch (error) {
    const failure = $('failure');
    failure.textContent = `The game could not start: ${error.message}`;
    failure.hidden = false;
    throw error;
  }
}
start();
