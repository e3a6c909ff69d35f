#include "desktop/online_game.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QRandomGenerator>
#include <QWebSocket>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

#include "desktop/gamepads.h"
#include "desktop/replay_desktop.h"
#include "desktop/selection_screen.h"
#include "desktop/settings.h"
#include "game/game.h"
#include "game/keys.h"
#include "game/replay.h"
#include "net/online_text.h"
#include "net/room.h"
#include "screens/pictures.h"
#include "server/room_server.h"

namespace tandemhoop {

namespace {

constexpr std::int64_t kMs = 1'000'000;
constexpr std::int64_t kSecond = 1000 * kMs;
// A host whose code was taken draws another this many times before it gives up.
constexpr int kRoomTries = 5;
// Between two tries to come back after our own connection dropped.
constexpr int kRetryMs = 1000;
// How long the game may hold for the other side before the panel says so; shorter holds are
// only marked in the connection line.
constexpr std::int64_t kWaitShownNs = 1000 * kMs;
// How often the connection line and the counted-down seconds are brought up to date.
constexpr std::int64_t kRefreshNs = 250 * kMs;
// A connection that ends waits this long for the server to close it, then closes it itself.
constexpr int kHangupMs = 1500;

const QString kRoomKey = QStringLiteral("online/room");
const QString kTokenKey = QStringLiteral("online/token");
const QString kServerKey = QStringLiteral("online/roomServer");
const QString kKeeperKey = QStringLiteral("online/roomKeeper");

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool Over(net::Phase phase) {
  return phase == net::Phase::Refused || phase == net::Phase::PeerLeft ||
         phase == net::Phase::Desync || phase == net::Phase::Left;
}

bool HasToken(const net::Token& token) {
  return std::any_of(token.begin(), token.end(), [](std::uint8_t byte) { return byte != 0; });
}

net::Held BitOf(int code) {
  switch (code) {
    case keys::kLeft:
      return net::kHoldLeft;
    case keys::kUp:
      return net::kHoldUp;
    case keys::kRight:
      return net::kHoldRight;
    case keys::kDown:
      return net::kHoldDown;
    case keys::kKeyM:
      return net::kHoldAction;
    default:
      return 0;  // Player 2's keys: online, each player has Player 1's
  }
}

// Stops a LAN host's room server once the host's Leave has closed the room (and gone on to the
// guest), and deletes it once every player has had its last word from it, or after a while;
// then goes on with `then`. The host's own connection is no measure: it is gone as soon as its
// last bytes are written, before the server here has read them.
void ShutDown(server::RoomServer* lan, const std::function<void()>& then) {
  if (lan == nullptr) {
    then();
    return;
  }
  auto* poll = new QTimer;
  QElapsedTimer since;
  since.start();
  auto stopping = std::make_shared<bool>(false);
  QObject::connect(poll, &QTimer::timeout, poll, [poll, lan, since, stopping, then] {
    if (!*stopping) {
      if (lan->counts().rooms > 0 && since.elapsed() < kHangupMs) return;
      *stopping = true;
      lan->Shutdown();
    }
    if (lan->connections() > 0 && since.elapsed() < 2 * kHangupMs) return;
    poll->stop();
    poll->deleteLater();
    delete lan;
    then();
  });
  poll->start(20);
}

// Whether another program on this machine that kept a room is still running. Its token is then
// that game's, a second game on one computer joining the first one's room: coming back with it
// would take the first one's place.
bool StillRunning(qint64 pid) {
#ifdef Q_OS_UNIX
  return pid > 0 && pid != QCoreApplication::applicationPid() &&
         (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
#else
  Q_UNUSED(pid);
  return false;
#endif
}

}  // namespace

bool ReadServerAddress(const QString& typed, QUrl& play, QString* why) {
  const QString text = typed.trimmed();
  const auto fail = [why](const QString& reason) {
    if (why != nullptr) *why = reason;
    return false;
  };
  if (text.isEmpty()) return fail(QStringLiteral("no server address was given"));
  const bool schemeGiven = text.contains(QStringLiteral("://"));
  QUrl url(schemeGiven ? text : QStringLiteral("ws://") + text, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || url.host().isEmpty())
    return fail(QStringLiteral("not a server address: %1").arg(text));
  // The page and play come from one port: its own address names the server too.
  if (scheme == QLatin1String("http")) {
    url.setScheme(QStringLiteral("ws"));
  } else if (scheme == QLatin1String("https")) {
    url.setScheme(QStringLiteral("wss"));
  } else if (scheme == QLatin1String("ws") || scheme == QLatin1String("wss")) {
    url.setScheme(scheme);
  } else {
    return fail(
        QStringLiteral("a server address starts with ws:// or wss://, not %1://").arg(scheme));
  }
  if (!schemeGiven && url.port() == -1) url.setPort(kDefaultServerPort);
  QString path = url.path();
  while (path.endsWith(QLatin1Char('/')))
    path.chop(1);
  // A room's own address is the server's with the code after it.
  net::RoomCode code;
  const int slash = path.lastIndexOf(QLatin1Char('/'));
  if (slash >= 0 && net::ParseRoomCode(path.mid(slash + 1).toStdString(), code) &&
      path.left(slash).endsWith(QLatin1String("/play"))) {
    path.truncate(slash);
  }
  if (!path.endsWith(QLatin1String("/play"))) path += QStringLiteral("/play");
  url.setPath(path);
  url.setQuery(QString());
  url.setFragment(QString());
  url.setUserInfo(QString());
  play = url;
  return true;
}

QString RoomCodeText(const net::RoomCode& code) {
  return QString::fromLatin1(code.data(), static_cast<qsizetype>(code.size()));
}

QUrl RoomAddress(const QUrl& play, const net::RoomCode& code) {
  QUrl room = play;
  room.setPath(play.path() + QLatin1Char('/') + RoomCodeText(code));
  return room;
}

void HeldKeys::Down(int code) {
  held_ = static_cast<net::Held>(held_ | BitOf(code));
  tapped_ = static_cast<net::Held>(tapped_ | BitOf(code));
}

void HeldKeys::Up(int code) {
  held_ = static_cast<net::Held>(held_ & ~BitOf(code));
}

OnlineGame::OnlineGame(CourtWindow& court, PictureHolders& pictures, SelectionScreen& selection,
                       DesktopPlatform& local, const Game& localGame)
    : court_(court),
      selection_(selection),
      local_(local),
      localGame_(localGame),
      platform_(court, pictures),
      message_(court, CourtPanel::Place::Middle),
      question_(court, CourtPanel::Place::Low) {
  clock_.start();
  update_.setSingleShot(true);
  update_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&update_, &QTimer::timeout, &update_, [this] { Tick(); });
  retry_.setSingleShot(true);
  QObject::connect(&retry_, &QTimer::timeout, &retry_, [this] { Reconnect(); });
}

OnlineGame::~OnlineGame() {
  update_.stop();
  retry_.stop();
  if (socket_ != nullptr) socket_->disconnect();
}

void OnlineGame::SetSoundHandler(std::function<void(Sound)> onSound) {
  platform_.SetSoundHandler(std::move(onSound));
}

std::int64_t OnlineGame::Now() const {
  return clock_.nsecsElapsed();
}

QString OnlineGame::RememberedRoom() {
  return Settings::Value(kRoomKey).toString();
}

bool OnlineGame::Start(const OnlineRequest& request, QString* error) {
  if (inGame_) return false;
  // What is left of an attempt that failed goes without a word.
  update_.stop();
  retry_.stop();
  session_.reset();
  DropSocket();
  if (lan_ != nullptr) {
    lan_->Shutdown();  // it listens no more: the port is free for the new attempt
    lan_.reset();
  }
  request_ = request;
  code_ = request.host ? net::RoomCode{} : request.code;
  token_ = {};
  roomTries_ = 0;
  rejoin_ = false;
  rejoinThenJoin_ = false;
  lostAt_ = peerLostAt_ = waitingSince_ = -1;
  printedRoom_ = remembered_ = askedRematch_ = failureTold_ = false;
  keptMatch_ = 0;
  connectionError_.clear();
  exitCode_ = 0;
  if (request.lan) {
    server::ServerOptions options;
    // Every network of this computer: a friend on the same network connects to it.
    options.bind = QHostAddress::Any;
    options.port = request.lanPort;
    lan_ = std::make_unique<server::RoomServer>(options, [](const QString& line) {
      std::fprintf(stderr, "tandemhoop: room server: %s\n", line.toLocal8Bit().constData());
    });
    QString why;
    if (!lan_->Listen(why)) {
      lan_.reset();
      if (error != nullptr)
        *error = QStringLiteral("Port %1 cannot be had on this computer: %2")
                     .arg(request.lanPort)
                     .arg(why);
      return false;
    }
    request_.server = QUrl(QStringLiteral("ws://127.0.0.1:%1/play").arg(lan_->port()));
  }
  // A room this player was in and may still come back into: its token is tried first.
  if (!request.host && RememberedRoom() == RoomCodeText(request.code) &&
      Settings::Value(kServerKey).toString() == request_.server.toString() &&
      !StillRunning(Settings::Value(kKeeperKey).toLongLong())) {
    const QByteArray stored = QByteArray::fromHex(Settings::Value(kTokenKey).toString().toLatin1());
    if (stored.size() == static_cast<qsizetype>(token_.size())) {
      std::memcpy(token_.data(), stored.constData(), token_.size());
      rejoin_ = rejoinThenJoin_ = true;
    }
  }
  Connect();
  return true;
}

void OnlineGame::NewSession() {
  net::SessionOptions options;
  options.role = request_.host ? net::Role::Host : net::Role::Guest;
  options.speed = request_.speed;
  std::array<quint32, 8> words{};
  QRandomGenerator::system()->fillRange(words.data(), words.size());
  std::memcpy(options.secret.data(), words.data(), options.secret.size());
  // The host's code is the room's only once the server has made the room.
  if (rejoin_ || !request_.host) options.code = code_;
  options.token = token_;
  options.rejoin = rejoin_;
  session_ = std::make_unique<net::Session>(platform_, options);
  figuresAt_ = 0;
  shownAt_ = 0;
}

void OnlineGame::Connect() {
  // A host makes its room at an address of its own drawing, so that a proxy in front of several
  // servers sends its guest to the same one.
  if (request_.host && !rejoin_)
    code_ = net::MakeRoomCode(QRandomGenerator::system()->generate64());
  NewSession();
  DropSocket();
  socket_ = std::make_unique<QWebSocket>();
  QWebSocket* socket = socket_.get();
  reached_ = false;
  QObject::connect(socket, &QWebSocket::connected, socket, [this, socket] {
    if (socket != socket_.get() || session_ == nullptr) return;
    reached_ = true;
    connectionError_.clear();
    session_->Open(Now());
    Tick();
  });
  QObject::connect(socket, &QWebSocket::binaryMessageReceived, socket,
                   [this, socket](const QByteArray& bytes) {
                     if (socket == socket_.get()) Received(bytes);
                   });
  QObject::connect(socket, &QWebSocket::disconnected, socket, [this, socket] {
    if (socket == socket_.get()) Lost();
  });
  // Qt 6.4 still calls the signal error().
  QObject::connect(socket, QOverload<QAbstractSocket::SocketError>::of(&QWebSocket::error), socket,
                   [this, socket](QAbstractSocket::SocketError) {
                     if (socket != socket_.get()) return;
                     connectionError_ = socket->errorString();
                     if (socket->state() == QAbstractSocket::UnconnectedState) Lost();
                   });
  socket->open(RoomAddress(request_.server, code_));
  Pump();
}

void OnlineGame::DropSocket() {
  if (socket_ == nullptr) return;
  socket_->disconnect();
  socket_->abort();
  socket_.release()->deleteLater();
}

void OnlineGame::Received(const QByteArray& bytes) {
  if (session_ == nullptr) return;
  session_->Receive({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                     static_cast<std::size_t>(bytes.size())},
                    Now());
  Tick();
}

void OnlineGame::Tick() {
  if (session_ == nullptr) return;
  if (inGame_ && padPoll_) padPoll_();
  const std::uint64_t before = session_->stats().ticks;
  const std::int64_t next = session_->Update(Now(), keys_.Next());
  if (session_->stats().ticks != before) keys_.TickTaken();
  platform_.FrameDone();
  Pump();
  if (session_ == nullptr) return;
  const std::int64_t wait = std::clamp<std::int64_t>(next - Now(), 0, kSecond);
  // Qt's timers count whole milliseconds: rounded up, the session is never called early.
  update_.start(static_cast<int>((wait + kMs - 1) / kMs));
}

void OnlineGame::Flush() {
  const bool open = socket_ != nullptr && socket_->state() == QAbstractSocket::ConnectedState;
  std::span<const std::uint8_t> message;
  while (session_->TakeOutgoing(message)) {
    if (open) {
      socket_->sendBinaryMessage(QByteArray::fromRawData(
          reinterpret_cast<const char*>(message.data()), static_cast<qsizetype>(message.size())));
    }
  }
  if (open) socket_->flush();
}

void OnlineGame::Pump() {
  if (session_ == nullptr) return;
  Flush();
  const net::Status status = session_->status();
  if (HasToken(status.token)) {
    code_ = status.code;
    token_ = status.token;
    if (!Over(status.phase)) Remember();
  }
  if (status.phase != net::Phase::Connecting && status.phase != net::Phase::Disconnected)
    lostAt_ = -1;
  if (request_.host && commandLine_ && !printedRoom_ && RoomMade()) {
    printedRoom_ = true;
    std::printf("room %s\n", RoomCodeText(status.code).toLatin1().constData());
    std::fflush(stdout);
  }
  if (status.phase == net::Phase::Refused) {
    // A token kept from before that the room no longer knows: join as anyone would.
    if (rejoinThenJoin_ && status.refusal == net::Refusal::RejoinRefused && !inGame_) {
      rejoin_ = rejoinThenJoin_ = false;
      token_ = {};
      Forget();
      Connect();
      return;
    }
    // Another room has the code this host drew: draw again.
    if (request_.host && !rejoin_ && !RoomMade() && status.refusal == net::Refusal::RoomFull &&
        ++roomTries_ < kRoomTries) {
      Connect();
      return;
    }
  }
  if (!inGame_ && status.phase != net::Phase::Connecting && !Over(status.phase) &&
      status.phase != net::Phase::Disconnected) {
    TakeCourt();
  }
  if (Over(status.phase) && remembered_) Forget();
  if (commandLine_ && !failureTold_ && Failed()) {
    failureTold_ = true;
    std::fprintf(stderr, "tandemhoop: %s\n", WaitingText().toLocal8Bit().constData());
  }
  // From the command line, how a game under way ended goes to standard error as well.
  if (commandLine_ && inGame_ && !failureTold_ && Over(status.phase)) {
    failureTold_ = true;
    std::fprintf(stderr, "tandemhoop: %s\n", net::PhaseText(status, 0).c_str());
  }
  if (inGame_) {
    Keep(status);
    // Not on every tick: when what is shown changes, and a few times a second for the round
    // trip and the seconds counted down.
    if (Differs(status) || Now() - shownAt_ >= kRefreshNs) ShowState(status);
  }
  if (listener_) listener_();
}

bool OnlineGame::RoomMade() const {
  return session_ != nullptr && request_.host && net::IsRoomCode(session_->status().code) &&
         HasToken(session_->status().token);
}

net::Status OnlineGame::status() const {
  return session_ != nullptr ? session_->status() : net::Status{};
}

bool OnlineGame::Failed() const {
  if (session_ == nullptr || inGame_) return false;
  const net::Phase phase = session_->status().phase;
  return Over(phase) || phase == net::Phase::Disconnected;
}

QString OnlineGame::WaitingText() const {
  if (session_ == nullptr) return {};
  const net::Status status = session_->status();
  if (status.phase == net::Phase::Disconnected) {
    if (reached_) return QStringLiteral("The server closed the connection.");
    return QStringLiteral("The server could not be reached: %1")
        .arg(connectionError_.isEmpty() ? QStringLiteral("no answer") : connectionError_);
  }
  if (status.phase == net::Phase::Connecting && rejoin_)
    return QStringLiteral("Coming back into room %1…").arg(RoomCodeText(code_));
  return Utf8(net::PhaseText(status, 0));
}

QStringList OnlineGame::LanAddresses() const {
  if (lan_ == nullptr) return {};
  QStringList addresses = lan_->PlayUrls();
  // This computer's own name for itself is no use to a friend.
  addresses.removeIf([](const QString& url) {
    return url.contains(QLatin1String("127.0.0.1")) || url.contains(QLatin1String("[::1]"));
  });
  return addresses;
}

void OnlineGame::Remember() {
  if (remembered_) return;
  remembered_ = true;
  Settings::SetValue(kRoomKey, RoomCodeText(code_));
  Settings::SetValue(kTokenKey,
                     QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(token_.data()),
                                                    static_cast<qsizetype>(token_.size()))
                                             .toHex()));
  Settings::SetValue(kServerKey, request_.server.toString());
  Settings::SetValue(kKeeperKey, QCoreApplication::applicationPid());
}

void OnlineGame::Forget() {
  remembered_ = false;
  Settings::SetValue(kRoomKey, QString());
  Settings::SetValue(kTokenKey, QString());
  Settings::SetValue(kServerKey, QString());
  Settings::SetValue(kKeeperKey, QString());
}

void OnlineGame::Lost() {
  if (socket_ != nullptr && socket_->error() != QAbstractSocket::UnknownSocketError)
    connectionError_ = socket_->errorString();
  DropSocket();
  if (session_ == nullptr) return;
  const net::Phase phase = session_->status().phase;
  if (Over(phase)) {
    Pump();
    return;
  }
  session_->ConnectionLost();
  // Before the other player came there is no game to come back to: the dialog says why.
  if (inGame_) {
    // At once the first time, then once a second until the room no longer waits for us.
    const bool first = lostAt_ < 0;
    if (first) lostAt_ = Now();
    retry_.start(first ? 0 : kRetryMs);
  }
  Pump();
}

void OnlineGame::Reconnect() {
  if (!inGame_ || session_ == nullptr) return;
  if (Now() - lostAt_ >= net::kRejoinSeconds * kSecond) {
    Pump();  // it says the game could not be had again
    return;
  }
  rejoin_ = true;
  rejoinThenJoin_ = false;
  Connect();
}

void OnlineGame::Cancel() {
  if (session_ == nullptr) return;
  if (inGame_) {
    Leave();
    return;
  }
  exitCode_ = Failed() ? 1 : 0;
  session_->LeaveGame();
  Flush();
  Forget();
  End();
}

void OnlineGame::Leave() {
  if (session_ == nullptr) return;
  const net::Status status = session_->status();
  // A game left after play began is kept, as a game quit is.
  if (status.phase == net::Phase::Playing || status.phase == net::Phase::Stoppage ||
      status.phase == net::Phase::Waiting || status.phase == net::Phase::PeerDropped) {
    KeepMatch(session_->ReplayText(), status);
  }
  ShowFigures();
  session_->LeaveGame();
  Flush();
  Forget();
  End();
}

void OnlineGame::End() {
  update_.stop();
  retry_.stop();
  session_.reset();
  if (inGame_) GiveBack();
  // The Leave goes before the connection does, and a LAN host's server outlives the room until
  // it has passed the Leave on, so that the guest hears that rather than the server's shutdown.
  QWebSocket* socket = socket_.release();
  server::RoomServer* lan = lan_.release();
  const bool commandLine = commandLine_;
  const int exitCode = exitCode_;
  const auto done = [socket, lan, commandLine, exitCode] {
    if (socket != nullptr) {
      socket->disconnect();
      socket->deleteLater();
    }
    ShutDown(lan, [commandLine, exitCode] {
      if (commandLine) QCoreApplication::exit(exitCode);
    });
  };
  if (socket == nullptr || socket->state() != QAbstractSocket::ConnectedState) {
    done();
    return;
  }
  socket->disconnect();
  auto once = std::make_shared<bool>(false);
  const auto finish = [once, done] {
    if (*once) return;
    *once = true;
    done();
  };
  QObject::connect(socket, &QWebSocket::disconnected, socket, finish);
  // The server closes the connection once it has read the Leave. Closed from here first while
  // the other side's keys still come in, the connection is reset rather than closed, and a reset
  // can overtake the Leave on its way: the other player would hear of a dropped connection.
  QTimer::singleShot(kHangupMs, socket, [socket] { socket->close(); });
  QTimer::singleShot(2 * kHangupMs, socket, finish);
}

void OnlineGame::TakeCourt() {
  inGame_ = true;
  localWasRunning_ = local_.TimerEnabled();
  local_.SetTimerEnabled(false);
  localSelectionShown_ = selection_.isVisible();
  savedMark_ = court_.stateMark();
  court_.SetStateMark({});
  savedPicture_ = court_.surface().pixels;
  keys_.Clear();
  court_.SetKeySink(this);
  if (padTarget_ != nullptr) padTarget_->SetKeySink(this);
  selection_.BeginOnline([this](SelectionClick click) { Clicked(click); });
  selection_.hide();
  shownPhase_ = net::Phase::Connecting;
  DrawCourt();
  court_.raise();
  court_.activateWindow();
}

void OnlineGame::DrawCourt() {
  // The bare court behind the selection screen, as the game has it there.
  const PictureRef courtPicture{Holder::Form3, form3::Picture1};
  platform_.BitBlt(0, 0, CourtWindow::kWidth, CourtWindow::kHeight, courtPicture,
                   RasterOp::SrcCopy);
  platform_.FrameDone();
}

void OnlineGame::GiveBack() {
  inGame_ = false;
  message_.Hide();
  question_.Hide();
  court_.SetStatusLine({});
  court_.SetKeySink(nullptr);
  if (padTarget_ != nullptr) padTarget_->SetKeySink(nullptr);
  selection_.EndOnline();
  std::copy(savedPicture_.begin(), savedPicture_.end(), court_.surface().pixels.begin());
  savedPicture_ = {};
  platform_.ForgetCourt();
  local_.ForgetCourt();
  court_.SetStateMark(savedMark_);
  if (localSelectionShown_) selection_.ShowScreen();
  // A game in play waits, paused, for a key; one on the selection screen goes on as it was.
  if (localWasRunning_) {
    if (localGame_.state.playClock > 0) {
      local_.MarkPaused();
    } else {
      local_.SetTimerEnabled(true);
    }
  }
  if (!localSelectionShown_) {
    court_.activateWindow();
    court_.setFocus(Qt::OtherFocusReason);
  }
}

void OnlineGame::KeepMatch(const std::string& text, const net::Status& status) {
  if (text.empty() || keptMatch_ == status.match) return;
  keptMatch_ = status.match;
  QString failure;
  if (tandemhoop::KeepReplay(text, &failure).isEmpty()) {
    std::fprintf(stderr, "tandemhoop: the replay of this game was not kept: %s\n",
                 failure.toLocal8Bit().constData());
  }
}

void OnlineGame::ShowFigures() {
  // The session counts from its start: once for each match that ran ticks since last time.
  if (session_ == nullptr || session_->stats().ticks <= figuresAt_) return;
  figuresAt_ = session_->stats().ticks;
  std::fprintf(stderr, "tandemhoop: %s\n", net::StatsLine(session_->stats()).c_str());
}

void OnlineGame::Keep(const net::Status& status) {
  // A match won, or one the other player left after play began, is kept like a local game.
  if (status.phase != net::Phase::Ended && status.phase != net::Phase::PeerLeft) return;
  KeepMatch(session_->ReplayText(), status);
  ShowFigures();
}

int OnlineGame::SecondsLeft(std::int64_t since) const {
  const std::int64_t left = net::kRejoinSeconds * kSecond - (Now() - since);
  return static_cast<int>(std::max<std::int64_t>(0, (left + kSecond - 1) / kSecond));
}

bool OnlineGame::Differs(const net::Status& status) const {
  return status.phase != shown_.phase || status.match != shown_.match ||
         status.stoppageText != shownStoppage_ || status.p1Pick != shown_.p1Pick ||
         status.p2Pick != shown_.p2Pick || status.p1Ready != shown_.p1Ready ||
         status.p2Ready != shown_.p2Ready || status.winner != shown_.winner ||
         status.peerWantsRematch != shown_.peerWantsRematch;
}

void OnlineGame::ShowState(const net::Status& status) {
  shown_ = status;
  // The text itself belongs to the session, which a lost connection replaces.
  shownStoppage_.assign(status.stoppageText);
  shown_.stoppageText = {};
  shownAt_ = Now();
  const net::Stats& stats = session_->stats();
  court_.SetStatusLine(Utf8(net::ConnectionLine(status, stats)),
                       net::PoorConnection(status, stats));
  const bool entering = status.phase != shownPhase_;
  shownPhase_ = status.phase;
  if (status.phase == net::Phase::Picking) {
    // A rematch comes back here from the last frame of the match before.
    if (entering) DrawCourt();
    ShowPicking(status);
  } else if (selection_.isVisible()) {
    selection_.HideScreen();
  }
  if (status.phase != net::Phase::Ended) askedRematch_ = false;
  if (status.phase == net::Phase::PeerDropped) {
    if (peerLostAt_ < 0) peerLostAt_ = Now();
  } else {
    peerLostAt_ = -1;
  }
  if (status.phase == net::Phase::Waiting) {
    if (waitingSince_ < 0) waitingSince_ = Now();
  } else {
    waitingSince_ = -1;
  }

  const QStringList leaveOnly{QStringLiteral("Leave")};
  const QStringList okOnly{QStringLiteral("OK")};
  const auto leave = [this](int) { Leave(); };
  switch (status.phase) {
    case net::Phase::Connecting:
    case net::Phase::Disconnected: {
      // Our own connection went: the session comes back with its token by itself.
      net::Status lost = status;
      lost.phase = net::Phase::Disconnected;
      const int left = lostAt_ < 0 ? net::kRejoinSeconds : SecondsLeft(lostAt_);
      message_.Show(Utf8(net::PhaseText(lost, left)), leaveOnly, leave);
      break;
    }
    case net::Phase::Agreeing:
    case net::Phase::Picking:
      message_.Hide();
      break;
    case net::Phase::Playing:
    case net::Phase::Stoppage:
    case net::Phase::Waiting:
      if (!status.stoppageText.empty()) {
        // The game's own words, as its message box had them.
        message_.Show(QString::fromLatin1(status.stoppageText.data(),
                                          static_cast<qsizetype>(status.stoppageText.size())));
      } else if (waitingSince_ >= 0 && Now() - waitingSince_ >= kWaitShownNs) {
        message_.Show(Utf8(net::PhaseText(status, 0)));
      } else {
        message_.Hide();
      }
      break;
    case net::Phase::PeerDropped:
      message_.Show(Utf8(net::PhaseText(status, SecondsLeft(peerLostAt_))), leaveOnly, leave);
      break;
    case net::Phase::Ended:
      message_.Show(Utf8(net::PhaseText(status, 0, askedRematch_)),
                    {QStringLiteral("Rematch"), QStringLiteral("Leave")}, [this](int button) {
                      if (button == 1) {
                        Leave();
                      } else if (session_ != nullptr) {
                        askedRematch_ = true;
                        shownAt_ = 0;  // says so at once
                        session_->RequestRematch();
                        Tick();
                      }
                    });
      message_.SetButtonEnabled(0, !askedRematch_);
      break;
    case net::Phase::PeerLeft:
    case net::Phase::Desync:
    case net::Phase::Refused:
    case net::Phase::Left:
      ShowFigures();
      message_.Show(Utf8(net::PhaseText(status, 0)), okOnly, leave);
      break;
  }
}

void OnlineGame::ShowPicking(const net::Status& status) {
  SelectionScreen::OnlinePicks picks;
  picks.localSide = status.localSide;
  picks.p1Pick = status.p1Pick;
  picks.p2Pick = status.p2Pick;
  picks.p1Ready = status.p1Ready;
  picks.p2Ready = status.p2Ready;
  picks.status = Utf8(net::PickingText(status));
  selection_.ShowOnline(picks);
}

void OnlineGame::Clicked(SelectionClick click) {
  if (session_ == nullptr) return;
  const net::Status status = session_->status();
  const int index = static_cast<int>(click);
  switch (click) {
    case SelectionClick::Picture1:
    case SelectionClick::Picture2:
      // A badge clears its own side's pick only.
      if ((click == SelectionClick::Picture1) == (status.localSide == 1)) session_->PickPlayer(0);
      break;
    case SelectionClick::Command3:
      session_->SetReady(!(status.localSide == 1 ? status.p1Ready : status.p2Ready));
      break;
    case SelectionClick::Command4:
      Leave();
      return;
    default:
      // The portraits and names come in pairs, in the order of the picks.
      session_->PickPlayer(index / 2 + 1);
      break;
  }
  Tick();
}

void OnlineGame::AskLeave() {
  question_.Show(QString::fromLatin1(net::kLeaveQuestion.data(),
                                     static_cast<qsizetype>(net::kLeaveQuestion.size())),
                 {QStringLiteral("Yes"), QStringLiteral("No")},
                 [this](int button) { Answer(button == 0); });
}

void OnlineGame::Answer(bool yes) {
  question_.Hide();
  if (yes) Leave();
}

void OnlineGame::KeyDown(int code) {
  if (inGame_) keys_.Down(code);
}

void OnlineGame::KeyUp(int code) {
  keys_.Up(code);
}

void OnlineGame::KeyPress(int character) {
  if (!inGame_) return;
  const bool asking = question_.isVisible();
  if (character == 27) {
    // Esc asks here, and play goes on meanwhile: there is no pause online. Again, it takes
    // the question back; once the game is over for good it is the message's OK.
    if (session_ != nullptr && Over(session_->status().phase)) {
      message_.Press(0);
    } else if (asking) {
      Answer(false);
    } else {
      AskLeave();
    }
    return;
  }
  if (asking) {
    if (character == 13 || character == 'y' || character == 'Y') Answer(true);
    if (character == 'n' || character == 'N') Answer(false);
    return;
  }
  if (character == 13) message_.Press(0);
}

}  // namespace tandemhoop
