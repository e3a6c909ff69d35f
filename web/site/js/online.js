// Online play on the page: the same session as the desktop's, compiled into the module, talking
// to a room server through the browser's WebSocket. The session runs the game; the page moves
// its messages, hands it the local player's keys and the time, and shows what it says in the
// desktop's own words: the selection screen where each side picks its own player, the court,
// the stoppages over it, the connection beside it, and the end.
import {readText} from './core.js';

// The session's phases, in the module's order.
export const kPhase = {
  connecting: 0,
  agreeing: 1,
  picking: 2,
  playing: 3,
  stoppage: 4,
  waiting: 5,
  ended: 6,
  peerDropped: 7,
  peerLeft: 8,
  desync: 9,
  refused: 10,
  disconnected: 11,
  left: 12,
};
// Over for good: the game cannot go on.
const over = (phase) => phase === kPhase.refused || phase === kPhase.peerLeft ||
                        phase === kPhase.desync || phase === kPhase.left;
const inPlay = (phase) => phase === kPhase.playing || phase === kPhase.stoppage ||
                          phase === kPhase.waiting;

// The local player's actions. Whichever player this side plays, both the arrows and M and
// F T H V and A work him: a player who plays Player 2 may well reach for Player 2's keys.
const kActions = {
  ArrowLeft: 1, ArrowUp: 2, ArrowRight: 4, ArrowDown: 8, KeyM: 16,
  KeyF: 1, KeyT: 2, KeyH: 4, KeyV: 8, KeyA: 16,
};
// The same by virtual key code, as the on-screen controls and gamepads give them.
const kVirtualActions = new Map([[37, 1], [38, 2], [39, 4], [40, 8], [77, 16],
                                 [70, 1], [84, 2], [72, 4], [86, 8], [65, 16]]);
const kVirtualEscape = 27;

// The selection screen's controls for each pick (its portrait and its name), and its text.
const kPickControls = [null, ['Picture26', 'Label6'], ['Picture34', 'Label3'],
                       ['Picture42', 'Label4'], ['Picture50', 'Label5']];
const kPickText = ['', 'OSKEL', 'TOBIN', 'PELL', 'REKO'];

const kRoomFull = 3;         // the server's refusal when the room has its two players
// The module's room for a message that arrives: the largest allowed, and one byte over it.
const kMessageRoom = 1024 + 1;
const kHostTries = 5;        // codes drawn when the one drawn is taken
const kRejoinMs = 30000;     // how long the server keeps a lost player's place
const kRetryMs = 1000;       // between two tries to come back
const kWaitShownMs = 1000;   // a hold for the other side's keys this long is said over the court
const kRefreshMs = 250;      // the connection line and the seconds counted down
const kDefaultPort = 8064;
const kStorageKey = 'tandemhoop.online';

const utf8 = new TextDecoder();
const hex = (bytes) => [...bytes].map((byte) => byte.toString(16).padStart(2, '0')).join('');

// Reads a server address as a player types or pastes it, as the desktop does: "example.org",
// "example.org:9000", "ws://example.org:9000/play", the page's own "https://example.org/".
// Gives the address players connect to, ws:// or wss:// ending in /play, or null. An empty text
// is the server that served this page (ws:// or wss:// after the page's own scheme).
export function playAddress(typed, page = location) {
  let text = typed.trim();
  const secure = page.protocol === 'https:';
  if (text === '') return `${secure ? 'wss' : 'ws'}://${page.host}/play`;
  const schemeGiven = text.includes('://');
  if (!schemeGiven) text = `ws://${text}`;
  let url;
  try {
    url = new URL(text);
  } catch {
    return null;
  }
  const scheme = {'ws:': 'ws', 'wss:': 'wss', 'http:': 'ws', 'https:': 'wss'}[url.protocol];
  if (scheme === undefined || url.hostname === '' || url.username !== '' || url.password !== '') {
    return null;
  }
  const port = url.port !== '' ? `:${url.port}` : (schemeGiven ? '' : `:${kDefaultPort}`);
  // A room's own address is the server's with the code after it.
  let path = url.pathname.replace(/\/+$/, '').replace(/\/play\/[A-Za-z0-9-]{6,7}$/, '/play');
  if (!path.endsWith('/play')) path += '/play';
  return `${scheme}://${url.hostname}${port}${path}`;
}

export class Online {
  // `page`: what the rest of the page lends the online game (see main.js).
  constructor(page) {
    this.page = page;
    this.active = false;   // a session exists: from the dialog's Host or Join to the end
    this.inGame = false;   // the other player came: the court is the online game's
    this.ws = null;
    this.worker = null;
    this.wakeAt = null;    // when service() is called next (performance.now), or null
    this.wakeHidden = false;  // by the worker (the page was hidden), or by the page's timer
    this.timer = 0;
    this.host = true;
    this.speed = 0;
    this.server = '';      // ws://HOST:PORT/play
    this.code = '';
    this.hostTries = 0;
    this.rejoin = false;   // this connection comes back into a room
    this.reached = false;  // the connection opened
    this.fromDialog = false;  // a failure goes back to the dialog rather than to the title
    this.failed = false;   // the room could not be made or joined: the dialog says why
    this.holding = false;  // the dialog holds the local game
    this.lostAt = -1;      // our connection went (performance.now)
    this.peerLostAt = -1;  // the other player's went
    this.waitingSince = -1;
    this.retry = 0;
    this.askedRematch = false;
    this.asking = false;   // "Leave the game?" is open
    this.panel = null;     // what the box over the court shows: its text and buttons
    this.shown = null;     // the status the page shows, as of shownAt
    this.shownAt = 0;
    this.savedAt = 0;
    this.statsShown = 0;
    this.localHelp = null;  // the help line of local play, while online's stands there
    this.keys = new Map();  // what holds an action (a key's code, a control) → the action
    this.latched = 0;      // actions pressed since the last tick: a quick tap is not lost
    this.lastTicks = 0;
    this.freshTick = false;
    this.$ = (id) => document.getElementById(id);
    this.wire();
  }

  core() {
    return this.page.core();
  }

  // ---- the dialog: host, join, and the server ----

  wire() {
    const $ = this.$;
    $('online-open').addEventListener('click', () => this.openDialog());
    $('online-host').addEventListener('click', () => this.hostFromDialog());
    $('online-join').addEventListener('click', () => this.joinFromDialog());
    $('online-code').addEventListener('keydown', (event) => {
      if (event.code === 'Enter' || event.code === 'NumpadEnter') this.joinFromDialog();
    });
    $('online-cancel').addEventListener('click', () => this.closeDialog());
    $('online-wait-cancel').addEventListener('click', () => this.cancel());
    $('online-copy').addEventListener('click', () => this.copyLink());
    $('online-share').hidden = typeof navigator.share !== 'function';
    $('online-share').addEventListener('click', () => {
      navigator.share({title: 'Tandemhoop', text: 'Play Tandemhoop with me', url: $('online-link').value})
          .catch(() => {});
    });
    $('online-dialog').addEventListener('keydown', (event) => {
      if (event.code !== 'Escape') return;
      event.preventDefault();
      if ($('online-choose').hidden) this.cancel(); else this.closeDialog();
    });
    $('online-server').value = this.remembered('server');
    window.addEventListener('beforeunload', (event) => {
      // Back within half a minute the game goes on, but a page closed for good ends it.
      if (!this.inGame || over(this.shown?.phase)) return;
      this.keepForReturn(true);
      event.preventDefault();
      event.returnValue = '';
    });
    window.addEventListener('pagehide', () => {
      if (this.inGame && !over(this.shown?.phase)) this.keepForReturn(true);
    });
    document.addEventListener('visibilitychange', () => {
      if (document.hidden) this.releaseKeys();
      // The wake-up asked for, from the other clock.
      if (this.wakeAt !== null) this.wake(Math.max(0, this.wakeAt - performance.now()));
    });
  }

  remembered(key) {
    try {
      return localStorage.getItem(`tandemhoop.${key}`) ?? '';
    } catch {
      return '';
    }
  }

  remember(key, value) {
    try {
      localStorage.setItem(`tandemhoop.${key}`, value);
    } catch {
      // A browser that keeps nothing asks again next time.
    }
  }

  openDialog() {
    if (this.active) return;
    const open = () => {
      if (!this.holding) this.page.holdLocal();
      this.holding = true;
      this.showDialog('choose');
      this.$('online-speed').value = this.page.speed();
      this.$('online-code').focus({preventScroll: true});
    };
    if (this.page.localGameInProgress()) {
      this.page.ask('Leave this game and play online?', open);
    } else {
      open();
    }
  }

  showDialog(view, text = '') {
    const $ = this.$;
    $('online-dialog').hidden = false;
    $('online-choose').hidden = view !== 'choose';
    $('online-wait').hidden = view === 'choose';
    $('online-error').hidden = true;
    if (view === 'choose') return;
    $('online-wait-text').textContent = text;
    $('online-room-row').hidden = view !== 'room';
    $('online-wait-cancel').textContent = view === 'failed' ? 'OK' : 'Cancel';
    (view === 'room' ? $('online-copy') : $('online-wait-cancel')).focus({preventScroll: true});
  }

  closeDialog() {
    this.$('online-dialog').hidden = true;
    if (!this.active) {
      this.releaseLocal();
      this.page.focusCourt();
    }
  }

  // The local game the dialog held goes on (or, once online, is gone).
  releaseLocal() {
    if (!this.holding) return;
    this.holding = false;
    this.page.releaseLocal();
  }

  dialogError(text) {
    const error = this.$('online-error');
    error.textContent = text;
    error.hidden = false;
  }

  // The server typed in the dialog, remembered; null (and said) when it is no address.
  dialogServer() {
    const typed = this.$('online-server').value;
    const play = playAddress(typed);
    if (play === null) {
      this.dialogError(`Not a server address: ${typed.trim()}`);
      return null;
    }
    if (location.protocol === 'https:' && play.startsWith('ws://')) {
      this.dialogError('This page came over https: its server must be a wss:// one.');
      return null;
    }
    this.remember('server', typed.trim());
    return play;
  }

  hostFromDialog() {
    const server = this.dialogServer();
    if (server === null) return;
    this.fromDialog = true;
    this.start({host: true, server, speed: this.$('online-speed').value === 'fast' ? 1 : 0});
  }

  joinFromDialog() {
    const server = this.dialogServer();
    if (server === null) return;
    const code = this.parseCode(this.$('online-code').value);
    if (code === null) {
      this.dialogError('A room code is six letters and digits, such as 7HK-P3C.');
      return;
    }
    this.fromDialog = true;
    this.start({host: false, server, code});
  }

  // What a player typed, as a room's code, or null.
  parseCode(typed) {
    const core = this.core();
    const bytes = new TextEncoder().encode(String(typed).slice(0, 64));
    const storage = core.text_buffer(bytes.length);
    new Uint8Array(core.memory.buffer, storage, bytes.length).set(bytes);
    return core.online_parse_code() === 1 ? this.roomCode() : null;
  }

  roomCode() {
    const core = this.core();
    return readText(core.memory, core.online_code(), 6);
  }

  // The link a friend opens to join: this page with the room, and the server when it is not
  // the page's own.
  link() {
    const url = new URL(location.pathname, location.origin);
    url.searchParams.set('room', this.code);
    if (this.server !== playAddress('')) url.searchParams.set('server', this.server);
    return url.href;
  }

  async copyLink() {
    const link = this.$('online-link');
    const button = this.$('online-copy');
    try {
      await navigator.clipboard.writeText(link.value);
    } catch {
      // No clipboard for this page (not a secure one): the selected text copies the old way.
      link.select();
      if (!document.execCommand('copy')) return;
    }
    button.textContent = 'Copied';
    setTimeout(() => (button.textContent = 'Copy'), 1500);
  }

  // ---- the session and its connection ----

  // {host, server, speed, code, token (hex), rejoin}
  start(request) {
    if (!this.active) this.page.clearPage();
    this.releaseLocal();
    this.active = true;
    this.inGame = false;
    this.host = request.host;
    this.speed = request.speed ?? 0;
    this.server = request.server;
    this.code = request.code ?? '';
    this.hostTries = 0;
    this.lostAt = this.peerLostAt = this.waitingSince = -1;
    this.askedRematch = this.asking = this.failed = false;
    this.panel = this.shown = null;
    this.statsShown = 0;
    document.body.classList.add('online');
    const help = this.page.help();
    this.localHelp ??= help.textContent;
    help.textContent = this.page.touch() ?
        'Online: the pad moves your player, Shoot shoots, blocks and steals; the pause button ' +
            'asks whether to leave the game.' :
        'Online: the arrow keys (or F T H V) move your player, M (or A) shoots. Esc asks ' +
            'whether to leave the game.';
    // The host's speed rules an online game, and there is no computer player in it.
    for (const id of ['online-open', 'speed', 'level']) this.$(id).disabled = true;
    if (request.token !== undefined) {
      const core = this.core();
      new Uint8Array(core.memory.buffer, core.online_token(), 16)
          .set(request.token.match(/../g).map((pair) => parseInt(pair, 16)));
    }
    this.connect(request.rejoin === true);
    if (request.rejoin) {
      this.showDialog('wait', `Coming back into room ${this.code}…`);
    } else {
      this.showDialog('wait', this.host ? 'Reaching the server…' : `Joining room ${this.code}…`);
    }
  }

  // A new session on a new connection: a host's first draws its room's code, and draws again
  // when the server has that code already; one that comes back brings the room's token.
  connect(rejoin) {
    const core = this.core();
    this.closeConnection();
    this.rejoin = rejoin;
    this.reached = false;
    if (this.host && !rejoin) {
      const bits = crypto.getRandomValues(new Uint32Array(2));
      core.online_make_code(bits[0], bits[1]);
      this.code = this.roomCode();
    } else {
      new Uint8Array(core.memory.buffer, core.online_code(), 6).set(new TextEncoder().encode(this.code));
    }
    crypto.getRandomValues(new Uint8Array(core.memory.buffer, core.online_secret(), 32));
    core.online_start(this.host ? 0 : 1, this.speed, rejoin ? 1 : 0);
    this.lastTicks = core.ticks();
    this.page.screen.clearLines();
    this.page.present();
    const ws = new WebSocket(`${this.server}/${this.code}`);
    ws.binaryType = 'arraybuffer';
    this.ws = ws;
    ws.addEventListener('open', () => {
      if (this.ws !== ws) return;
      this.reached = true;
      this.core().online_open(performance.now());
      this.service();
    });
    ws.addEventListener('message', (event) => {
      if (this.ws !== ws || !(event.data instanceof ArrayBuffer)) return;
      this.freshTick = true;
      const bytes = new Uint8Array(event.data);
      // A longer message reaches the session as one over the limit, and is refused as such.
      const kept = Math.min(bytes.length, kMessageRoom);
      new Uint8Array(core.memory.buffer, core.online_message_buffer(), kept).set(bytes.subarray(0, kept));
      core.online_receive(bytes.length, performance.now());
      this.service();
    });
    ws.addEventListener('close', () => {
      if (this.ws !== ws) return;
      this.ws = null;
      this.lost();
    });
    this.wake(null);
  }

  closeConnection() {
    const ws = this.ws;
    this.ws = null;
    if (ws !== null) ws.close();
  }

  // Our connection went. In the middle of a game a new one comes back into the room: at once
  // the first time, then once a second for as long as the room keeps our place.
  lost() {
    const core = this.core();
    if (over(this.status()?.phase)) {
      this.service();
      return;
    }
    core.online_connection_lost();
    if (this.inGame) {
      const first = this.lostAt < 0;
      if (first) this.lostAt = performance.now();
      clearTimeout(this.retry);
      this.retry = setTimeout(() => this.comeBack(), first ? 0 : kRetryMs);
    }
    this.service();
  }

  comeBack() {
    if (!this.active || !this.inGame) return;
    if (performance.now() - this.lostAt >= kRejoinMs) {
      this.refresh();  // it says the game could not be had again
      return;
    }
    this.connect(true);
  }

  // Runs what is due with the keys held now, sends what the session has to send, shows where
  // it stands, and asks the clock for the next call.
  service() {
    if (!this.active) return;
    const core = this.core();
    this.freshTick = true;
    const next = core.online_update(performance.now(), this.heldBits());
    this.flush();
    const ticks = core.ticks();
    if (ticks !== this.lastTicks) {
      this.lastTicks = ticks;
      this.latched = 0;
    }
    this.page.present();
    this.page.sound()?.cued();
    this.refresh();
    if (this.active) this.wake(this.ws === null ? null : Math.max(0, next - performance.now()));
  }

  flush() {
    const core = this.core();
    const ws = this.ws;
    const open = ws !== null && ws.readyState === WebSocket.OPEN;
    for (let length = core.online_next_outgoing(); length >= 0; length = core.online_next_outgoing()) {
      if (open) ws.send(new Uint8Array(core.memory.buffer, core.online_outgoing_pointer(), length).slice());
    }
  }

  // Asks for a call to service() in `delay` ms (null: none): from the page's own timer while the
  // page is seen, from a worker's while it is hidden. A hidden page's own timers are slowed to
  // once a second or less, and the other player would wait for this side's inputs; a worker's
  // are not, but each costs a message both ways. One already asked for that comes no later is
  // kept, and a call that comes early only asks again.
  wake(delay) {
    const hidden = document.hidden;
    const at = delay === null ? null : performance.now() + delay;
    if (at !== null && this.wakeAt !== null && this.wakeAt <= at + 0.5 && this.wakeHidden === hidden) {
      return;
    }
    this.stopWake();
    if (at === null) return;
    this.wakeAt = at;
    this.wakeHidden = hidden;
    if (!hidden) {
      this.timer = setTimeout(() => this.woken(false), delay);
      return;
    }
    if (this.worker === null) {
      this.worker = new Worker('js/online-timer.js');
      this.worker.onmessage = () => this.woken(true);
    }
    this.worker.postMessage(delay);
  }

  stopWake() {
    if (this.wakeAt === null) return;
    if (this.wakeHidden) {
      this.worker.postMessage(null);
    } else {
      clearTimeout(this.timer);
    }
    this.wakeAt = null;
  }

  woken(byWorker) {
    // The worker's answer to a wake-up since taken back.
    if (byWorker !== this.wakeHidden) return;
    this.wakeAt = null;
    this.service();
  }

  heldBits() {
    let bits = this.latched;
    for (const action of this.keys.values()) bits |= action;
    return bits;
  }

  // The line printed first in a call starts that tick's lines: the session draws a tick only
  // now and then (never one run again), and the lines stay as they are in between.
  printing() {
    if (!this.active || !this.freshTick) return;
    this.freshTick = false;
    this.page.screen.clearLines();
  }

  // ---- what the session says ----

  status() {
    const core = this.core();
    const n = new Int32Array(core.memory.buffer, core.online_status(), 16);
    if (n[0] < 0) return null;
    return {
      phase: n[0], match: n[1], side: n[2], speed: n[3], picks: [0, n[4], n[5]],
      ready: [false, n[6] === 1, n[7] === 1], winner: n[8], desyncTick: n[9], refusal: n[10],
      leaveReason: n[11], peerWantsRematch: n[12] === 1,
      stoppage: n[13] > 0 ? readText(core.memory, core.text_pointer(), n[13]) : '',
      token: new Uint8Array(core.memory.buffer, core.online_token(), 16).some((byte) => byte !== 0),
    };
  }

  stats() {
    const core = this.core();
    const n = new Float64Array(core.memory.buffer, core.online_stats(), 16 + 65);
    return {
      roundTripMs: n[0], inputDelayTicks: n[1], predictionTicks: n[2], ticks: n[3], rerunTicks: n[4],
      rollbacks: n[5], lastRollbackDepth: n[6], maxRollbackDepth: n[7], waits: n[8],
      ticksWaited: n[9], slowdown: n[10], bytesSent: n[11], bytesReceived: n[12],
      messagesSent: n[13], messagesReceived: n[14], rollbackDepths: [...n.subarray(16)],
    };
  }

  // A text of the module's (UTF-8): `length` bytes of its text.
  text(length) {
    const core = this.core();
    return utf8.decode(new Uint8Array(core.memory.buffer, core.text_pointer(), length));
  }

  phaseText(phase = -1, secondsLeft = 0) {
    return this.text(this.core().online_phase_text(phase, secondsLeft, this.askedRematch ? 1 : 0));
  }

  replayText() {
    const core = this.core();
    if (core.online_replay_text() !== 1) return '';
    return readText(core.memory, core.text_pointer(), core.text_length());
  }

  secondsLeft(since) {
    return Math.max(0, Math.ceil((kRejoinMs - (performance.now() - since)) / 1000));
  }

  refresh() {
    const status = this.status();
    if (status === null) return;
    if (status.token) {
      this.code = this.roomCode();
      if (this.inGame && !over(status.phase)) this.keepForReturn(false);
    }
    if (status.phase !== kPhase.connecting && status.phase !== kPhase.disconnected) this.lostAt = -1;
    if (status.phase === kPhase.refused && this.host && !this.rejoin && !this.inGame && !status.token &&
        status.refusal === kRoomFull && ++this.hostTries < kHostTries) {
      // Another room has the code this host drew: draw again.
      this.connect(false);
      return;
    }
    if (!this.inGame && status.phase !== kPhase.connecting && status.phase !== kPhase.disconnected &&
        !over(status.phase)) {
      this.takeCourt();
    }
    if (over(status.phase)) this.forgetReturn();
    if (!this.inGame) {
      this.showWaiting(status);
      return;
    }
    this.showFigures(status);
    if (this.differs(status) || performance.now() - this.shownAt >= kRefreshMs) this.showState(status);
  }

  // Before the other player came: the dialog says where things stand, or what went wrong.
  showWaiting(status) {
    const failed = over(status.phase) || status.phase === kPhase.disconnected;
    const key = `${status.phase}|${status.token}|${this.reached}`;
    if (this.shown?.waiting === key) return;
    this.shown = {waiting: key};
    if (failed) {
      let text = this.phaseText();
      if (status.phase === kPhase.disconnected) {
        text = this.reached ? 'The server closed the connection.' :
                              `The server could not be reached: no answer from ${this.server}`;
      }
      this.failed = true;
      this.stopSession();
      this.showDialog('failed', text);
      return;
    }
    if (this.rejoin) return;
    if (this.host && status.token) {
      this.showDialog('room', 'Give your friend this link, or the room code:');
      this.$('online-room').textContent = this.code;
      this.$('online-link').value = this.link();
    } else {
      this.showDialog('wait', this.phaseText());
    }
  }

  // The other player is here: the court, the selection screen and the keys are the online
  // game's until it ends.
  takeCourt() {
    this.inGame = true;
    this.$('online-dialog').hidden = true;
    this.keys.clear();
    this.latched = 0;
    this.page.focusCourt();
  }

  differs(status) {
    const shown = this.shown;
    return shown === null || shown.phase !== status.phase || shown.match !== status.match ||
           shown.stoppage !== status.stoppage || `${shown.picks}` !== `${status.picks}` ||
           `${shown.ready}` !== `${status.ready}` || shown.winner !== status.winner ||
           shown.peerWantsRematch !== status.peerWantsRematch;
  }

  showState(status) {
    const $ = this.$;
    const core = this.core();
    const entering = this.shown?.phase !== status.phase || this.shown?.match !== status.match;
    this.shown = status;
    this.shownAt = performance.now();
    const line = $('online-line');
    line.textContent = this.text(core.online_connection_line());
    line.classList.toggle('poor', core.online_poor() === 1);
    if (line.hidden) {
      line.hidden = false;
      this.page.placeMark(line);
    }
    if (status.phase === kPhase.picking) {
      // A rematch comes back here from the last frame of the match before.
      if (entering) {
        this.page.screen.clearLines();
        core.online_backdrop();
        this.page.present();
      }
      this.showPicking(status);
    } else if ($('selection').classList.contains('online')) {
      this.hidePicking();
    }
    if (status.phase !== kPhase.ended) this.askedRematch = false;
    if (status.phase === kPhase.peerDropped) {
      if (this.peerLostAt < 0) this.peerLostAt = performance.now();
    } else {
      this.peerLostAt = -1;
    }
    if (status.phase === kPhase.waiting) {
      if (this.waitingSince < 0) this.waitingSince = performance.now();
    } else {
      this.waitingSince = -1;
    }
    const saving = status.phase >= kPhase.playing && status.phase !== kPhase.refused &&
                   status.phase !== kPhase.disconnected;
    $('save').disabled = !saving;

    const leave = [{label: 'Leave', value: 'leave'}];
    switch (status.phase) {
      case kPhase.connecting:
      case kPhase.disconnected: {
        const left = this.lostAt < 0 ? kRejoinMs / 1000 : this.secondsLeft(this.lostAt);
        this.showPanel(this.phaseText(kPhase.disconnected, left), leave);
        break;
      }
      case kPhase.agreeing:
      case kPhase.picking:
        this.showPanel(null);
        this.note(null);
        break;
      case kPhase.playing:
      case kPhase.stoppage:
      case kPhase.waiting:
        if (!this.asking) this.showPanel(null);
        if (status.stoppage !== '') {
          // The game's own words, as its message box had them.
          this.note(status.stoppage);
        } else if (this.waitingSince >= 0 && performance.now() - this.waitingSince >= kWaitShownMs) {
          this.note(this.phaseText());
        } else {
          this.note(null);
        }
        break;
      case kPhase.peerDropped:
        this.showPanel(this.phaseText(-1, this.secondsLeft(this.peerLostAt)), leave);
        break;
      case kPhase.ended:
        this.showPanel(this.phaseText(), this.askedRematch ? leave :
                                        [{label: 'Rematch', value: 'rematch'}, ...leave]);
        break;
      default:
        this.showPanel(this.phaseText(), [{label: 'OK', value: 'leave'}], true);
    }
  }

  // The box over the court that the player answers: a lost connection, the other player gone,
  // the end. Shown again only when it changes; "Leave the game?" gives way to it.
  showPanel(text, buttons = [], final = false) {
    const overlay = this.page.overlay;
    if (text === null) {
      if (this.panel !== null && overlay.open && !this.asking) overlay.close();
      this.panel = null;
      return;
    }
    const key = `${text}|${buttons.map((button) => button.label)}`;
    if (this.panel === key && overlay.open) return;
    this.panel = key;
    this.asking = false;
    this.note(null);
    // Esc is the OK once the game is over for good; before, it asks, as it does during play.
    overlay.show({text, buttons, escape: final ? 'leave' : 'ask', onAnswer: (value) => this.answer(value)});
  }

  answer(value) {
    this.panel = null;
    if (value === 'leave') {
      this.leave();
    } else if (value === 'rematch') {
      this.askedRematch = true;
      this.core().online_rematch();
      this.shownAt = 0;  // says so at once
      this.service();
    } else if (value === 'ask') {
      this.askLeave();
    }
  }

  // A text over the court that asks nothing: a stoppage's message, or the game holding.
  note(text) {
    const note = this.$('online-note');
    if (text === null) {
      note.hidden = true;
      return;
    }
    this.$('online-note-text').textContent = text;
    note.hidden = false;
  }

  // The selection screen online: each side picks only its own player and sees the other's,
  // says when it is Ready, and may Leave.
  showPicking(status) {
    const $ = this.$;
    const selection = $('selection');
    const own = status.picks[status.side];
    const other = status.picks[3 - status.side];
    if (!selection.classList.contains('online')) {
      selection.classList.add('online');
      $('Command3').textContent = 'Ready';
      $('Command4').textContent = 'Leave';
      for (const side of [1, 2]) $(`Text${side}`).readOnly = true;
    }
    for (const side of [1, 2]) $(`Text${side}`).value = kPickText[status.picks[side]] ?? '';
    for (let pick = 1; pick <= 4; ++pick) {
      for (const id of kPickControls[pick]) {
        $(id).classList.toggle('taken', pick === other);
        $(id).setAttribute('aria-disabled', String(pick === other));
      }
    }
    $('Picture1').disabled = status.side !== 1;
    $('Picture2').disabled = status.side !== 2;
    $('Command3').disabled = own === 0;
    $('Command3').setAttribute('aria-pressed', String(status.ready[status.side]));
    $('online-side').textContent = this.text(this.core().online_picking_text());
    if (selection.hidden) {
      selection.hidden = false;
      $(kPickControls[1][0]).focus({preventScroll: true});
    }
  }

  hidePicking() {
    const $ = this.$;
    const selection = $('selection');
    selection.hidden = true;
    selection.classList.remove('online');
    $('Command3').textContent = 'vs Computer';
    $('Command4').textContent = '2 Players';
    for (const id of ['Picture1', 'Picture2', 'Command3']) $(id).disabled = false;
    $('Command3').removeAttribute('aria-pressed');
    for (let pick = 1; pick <= 4; ++pick) {
      for (const id of kPickControls[pick]) {
        $(id).classList.remove('taken');
        $(id).removeAttribute('aria-disabled');
      }
    }
    for (const side of [1, 2]) {
      $(`Text${side}`).readOnly = false;
      $(`Text${side}`).value = '';
    }
    if (this.inGame) this.page.focusCourt();
  }

  // A click on the selection screen: true when the online game took it.
  click(name) {
    if (!this.active) return false;
    const status = this.status();
    if (status?.phase !== kPhase.picking) return true;
    const core = this.core();
    const pick = kPickControls.findIndex((controls) => controls?.includes(name));
    if (pick > 0) {
      core.online_pick(pick);
    } else if (name === `Picture${status.side}`) {
      // A badge clears its own side's pick only.
      core.online_pick(0);
    } else if (name === 'Command3') {
      core.online_ready(status.ready[status.side] ? 0 : 1);
    } else if (name === 'Command4') {
      this.leave();
      return true;
    }
    this.service();
    return true;
  }

  // Each match's figures once, as the desktop writes them to standard error.
  showFigures(status) {
    if (status.phase !== kPhase.ended && !over(status.phase)) return;
    const stats = this.stats();
    if (stats.ticks <= this.statsShown) return;
    this.statsShown = stats.ticks;
    console.info(`tandemhoop: ${this.text(this.core().online_stats_line())}`);
  }

  // ---- keys ----

  // A key on the page while online: true when the online game took it.
  key(event, down) {
    if (!this.active) return false;
    const target = event.target;
    if (target instanceof Element && target.closest('#online-dialog, #bar')) return false;
    if (event.code === 'Escape') {
      if (!this.inGame) return false;
      event.preventDefault();
      // Play goes on meanwhile: there is no pause online.
      if (down && !event.repeat && !over(this.shown?.phase)) this.askLeave();
      return true;
    }
    if (!(event.code in kActions) || (target instanceof Element && target.closest('#selection'))) {
      return false;
    }
    event.preventDefault();
    this.hold(event.code, kActions[event.code], down);
    return true;
  }

  // A key of the on-screen controls or a gamepad, by its virtual key code, as they hand it to the
  // game (their repeats included): true when the online game took it.
  virtualKey(keyCode, down) {
    if (!this.inGame) return false;
    if (keyCode === kVirtualEscape) {
      if (down && !over(this.shown?.phase)) this.askLeave();
      return true;
    }
    // Enter and the like start or resume nothing online.
    const action = kVirtualActions.get(keyCode);
    if (action !== undefined) this.hold(`virtual ${keyCode}`, action, down);
    return true;
  }

  hold(holder, action, down) {
    if (!down) {
      this.keys.delete(holder);
    } else if (!this.keys.has(holder)) {
      this.latched |= action;
      this.keys.set(holder, action);
    }
  }

  releaseKeys() {
    this.keys.clear();
  }

  askLeave() {
    this.releaseKeys();
    this.asking = true;
    this.panel = null;
    const question = this.text(this.core().online_leave_question());
    const buttons = [{label: 'Yes', value: true}, {label: 'No', value: false}];
    this.page.overlay.show({text: question, buttons, escape: false, onAnswer: (yes) => {
      this.asking = false;
      if (yes) {
        this.leave();
        return;
      }
      this.shownAt = 0;  // a box it stood in front of comes back
      this.refresh();
      if (!this.page.overlay.open) this.page.focusCourt();
    }});
  }

  // ---- the end ----

  // Leaves: the other side is told, and the page goes back to its title.
  leave() {
    this.stop();
    this.page.backToTitle();
  }

  // The dialog's Cancel while waiting, or its OK after a failure.
  cancel() {
    const back = this.failed && this.fromDialog;
    this.stop();
    if (back) {
      this.page.backToTitle();
      this.openDialog();
      return;
    }
    this.page.backToTitle();
  }

  stopSession() {
    const core = this.core();
    core.online_leave();
    this.flush();
    this.closeConnection();
    this.forgetReturn();
    clearTimeout(this.retry);
    this.wake(null);
  }

  // Ends the online game, telling the other side; the page is left as it stands.
  stop() {
    if (!this.active) return;
    this.stopSession();
    this.active = false;
    this.inGame = false;
    this.failed = false;
    const $ = this.$;
    for (const id of ['online-dialog', 'online-note', 'online-line']) $(id).hidden = true;
    if ($('selection').classList.contains('online')) this.hidePicking();
    for (const id of ['online-open', 'speed', 'level']) $(id).disabled = false;
    document.body.classList.remove('online');
    if (this.localHelp !== null) this.page.help().textContent = this.localHelp;
    this.localHelp = null;
    if (this.page.overlay.open) this.page.overlay.close();
    this.panel = null;
    this.asking = false;
  }

  saveReplay() {
    const replay = this.replayText();
    if (replay === '') return;
    this.page.download(replay, 'online');
  }

  // ---- coming back after a reload ----

  // Kept in this tab only: a reload within half a minute comes back into the room.
  keepForReturn(now) {
    const time = Date.now();
    if (!now && time - this.savedAt < 1000) return;
    this.savedAt = time;
    const core = this.core();
    const token = hex(new Uint8Array(core.memory.buffer, core.online_token(), 16));
    try {
      sessionStorage.setItem(kStorageKey, JSON.stringify({server: this.server, code: this.code,
                                                          host: this.host, token, at: time}));
    } catch {
      // Nothing kept: a reload starts afresh.
    }
  }

  forgetReturn() {
    try {
      sessionStorage.removeItem(kStorageKey);
    } catch {
      // nothing was kept
    }
  }

  // At the page's start: back into a game this tab was in moments ago, or into the room its
  // address names (or the title, saying the link is no room's). False when neither.
  startFromAddress() {
    let kept = null;
    try {
      kept = JSON.parse(sessionStorage.getItem(kStorageKey) ?? 'null');
    } catch {
      kept = null;
    }
    this.forgetReturn();
    const parameters = new URLSearchParams(location.search);
    // The link is used once: a reload after this game does not join its room again.
    if (parameters.has('room')) history.replaceState(null, '', location.pathname);
    if (kept !== null && Date.now() - kept.at < kRejoinMs && /^[0-9a-f]{32}$/.test(kept.token) &&
        typeof kept.server === 'string' && playAddress(kept.server) === kept.server &&
        this.parseCode(kept.code) !== null) {
      this.fromDialog = false;
      this.start({host: kept.host === true, server: kept.server, code: this.roomCode(),
                  token: kept.token, rejoin: true});
      return true;
    }
    if (!parameters.has('room')) return false;
    const server = playAddress(parameters.get('server') ?? '');
    const code = this.parseCode(parameters.get('room'));
    if (server === null || code === null) {
      this.page.backToTitle();
      this.page.overlay.show({text: 'This link names no room a game can join.',
                              buttons: [{label: 'OK', value: true}], escape: true,
                              onAnswer: () => this.page.focusCourt()});
      return true;
    }
    this.fromDialog = false;
    this.start({host: false, server, code});
    return true;
  }

  // Beside the court, like the pause mark.
  layout() {
    const line = this.$('online-line');
    if (!line.hidden) this.page.placeMark(line);
  }
}
