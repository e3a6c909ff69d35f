#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "desktop/court_panel.h"
#include "desktop/court_window.h"
#include "desktop/desktop_platform.h"
#include "game/replay.h"
#include "game/speed.h"
#include "net/session.h"

class QWebSocket;

namespace tandemhoop {

class DesktopGamepadTarget;
class Game;
class PictureHolders;
class SelectionScreen;

namespace server {
class RoomServer;
}

// The room server's port when none is given.
inline constexpr quint16 kDefaultServerPort = 8064;

// Reads a server address as a player types or pastes it: "example.org", "example.org:9000",
// "ws://example.org:9000/play", the web page's "https://example.org/" (the same server serves
// page and play). Gives the address players connect to, ws:// or wss:// ending in /play; false
// (and the reason) for what is no address.
bool ReadServerAddress(const QString& typed, QUrl& play, QString* why = nullptr);
QString RoomCodeText(const net::RoomCode& code);
// The address of a room: /play/CODE on that server.
QUrl RoomAddress(const QUrl& play, const net::RoomCode& code);

// What the player asked for, in the online dialog or on the command line.
struct OnlineRequest {
  bool host = true;
  Speed speed = Speed::Classic;  // the host's choice
  QUrl server;                   // ws://HOST:PORT/play; for a LAN host, filled in by Start
  net::RoomCode code{};          // the room a guest joins
  // Host on this computer: the game runs a room server of its own on this port, on every
  // network of the machine, for a friend on the same network.
  bool lan = false;
  quint16 lanPort = kDefaultServerPort;
};

// The local player's held actions, from the codes the court window and the gamepads pass on
// (the player's chosen keys already translated): Player 1's keys, whichever side the player
// plays online. A key pressed and let go again between two ticks still counts for the next one.
class HeldKeys {
 public:
  void Down(int code);
  void Up(int code);
  net::Held Next() const { return static_cast<net::Held>(held_ | tapped_); }
  // The session ran a tick with Next().
  void TickTaken() { tapped_ = 0; }
  void Clear() { held_ = tapped_ = 0; }

 private:
  net::Held held_ = 0;
  net::Held tapped_ = 0;
};

// An online game in the court window: the connection to the room server (and, for a LAN host,
// the room server itself), the session that runs the game, and what the player sees of it. From
// the moment the other player is there until it ends, it has the court window, the selection
// screen and the keys; the local game waits, paused, and gets its picture back afterwards.
class OnlineGame final : public KeySink {
 public:
  OnlineGame(CourtWindow& court, PictureHolders& pictures, SelectionScreen& selection,
             DesktopPlatform& local, const Game& localGame);
  ~OnlineGame() override;
  OnlineGame(const OnlineGame&) = delete;
  OnlineGame& operator=(const OnlineGame&) = delete;

  void SetSoundHandler(std::function<void(Sound)> onSound);
  // Read the gamepads before each tick.
  void SetPadPoll(std::function<void()> poll) { padPoll_ = std::move(poll); }
  void SetGamepadTarget(DesktopGamepadTarget* target) { padTarget_ = target; }
  // Started from the command line: the program ends with the online game, and a host prints
  // "room CODE" on standard output once the room is there.
  void SetCommandLine(bool commandLine) { commandLine_ = commandLine; }
  // Told whenever what the dialog shows may have changed.
  void SetListener(std::function<void()> changed) { listener_ = std::move(changed); }

  // Connects (a LAN host first starts its room server: false and the reason if it cannot).
  bool Start(const OnlineRequest& request, QString* error);
  // Before the other player came: stops without a word to anyone but the server.
  void Cancel();
  // Leaves: the other side is told, and the court goes back to the local game (or the program
  // ends, from the command line).
  void Leave();

  bool Active() const { return session_ != nullptr; }
  // The room could not be made or joined, or the connection went before the other player came:
  // WaitingText says why.
  bool Failed() const;
  // From the command line: 0, or 1 when the online game could not be had.
  int ExitCode() const { return exitCode_; }
  // The other player is there: the court is the online game's.
  bool InGame() const { return inGame_; }
  net::Status status() const;
  // The session of the game under way, if any: what it plays and its figures.
  const net::Session* session() const { return session_.get(); }
  // What the dialog says while it waits: the room, the other player, or what went wrong.
  QString WaitingText() const;
  // The host's room exists (its code is known).
  bool RoomMade() const;
  // Where a friend on the same network reaches a LAN host's room server.
  QStringList LanAddresses() const;
  // The last room this player was in and its token, kept so that a program started again can
  // come back into it (tandemhoop --join CODE, or Join with that code).
  static QString RememberedRoom();

  // KeySink: the court window's keys and the first gamepad's while online.
  void KeyDown(int code) override;
  void KeyUp(int code) override;
  void KeyPress(int character) override;

 private:
  std::int64_t Now() const;
  int SecondsLeft(std::int64_t since) const;
  void NewSession();
  void Connect();
  void DropSocket();
  void Tick();
  void Pump();
  void Flush();
  void Received(const QByteArray& bytes);
  void Lost();
  void Reconnect();
  // Stops the session and the connection (after its last word), and gives the court back.
  void End();
  void TakeCourt();
  void DrawCourt();
  void GiveBack();
  // Whether the status differs from what the window shows in anything it shows.
  bool Differs(const net::Status& status) const;
  void ShowState(const net::Status& status);
  void ShowPicking(const net::Status& status);
  void Keep(const net::Status& status);
  void KeepMatch(const std::string& text, const net::Status& status);
  void ShowFigures();
  void Remember();
  void Forget();
  void AskLeave();
  void Answer(bool yes);
  void Clicked(SelectionClick click);

  CourtWindow& court_;
  SelectionScreen& selection_;
  DesktopPlatform& local_;
  const Game& localGame_;
  // The online game draws through a platform of its own: the local game's keeps its own
  // account of what it drew.
  DesktopPlatform platform_;
  CourtPanel message_;
  CourtPanel question_;
  std::function<void()> padPoll_;
  DesktopGamepadTarget* padTarget_ = nullptr;
  std::function<void()> listener_;
  bool commandLine_ = false;

  OnlineRequest request_;
  net::RoomCode code_{};  // the room, once drawn, given or made
  net::Token token_{};    // and the token to come back into it with
  std::unique_ptr<server::RoomServer> lan_;
  std::unique_ptr<QWebSocket> socket_;
  std::unique_ptr<net::Session> session_;
  QElapsedTimer clock_;
  QTimer update_;
  QTimer retry_;
  HeldKeys keys_;
  QString connectionError_;
  bool reached_ = false;  // the connection opened (it was not refused or unanswered)
  int roomTries_ = 0;
  bool rejoin_ = false;           // this connection comes back into a room
  bool rejoinThenJoin_ = false;   // a remembered token: if it is refused, join as anyone would
  std::int64_t lostAt_ = -1;      // our connection went, at this time
  std::int64_t peerLostAt_ = -1;  // the other player's went
  std::int64_t waitingSince_ = -1;
  bool printedRoom_ = false;
  bool failureTold_ = false;
  bool remembered_ = false;
  std::uint16_t keptMatch_ = 0;  // the last match whose replay is kept
  std::uint64_t figuresAt_ = 0;  // the session's ticks when its figures were last shown
  bool askedRematch_ = false;
  net::Phase shownPhase_ = net::Phase::Connecting;
  net::Status shown_;  // what the window shows, as of shownAt_
  std::string shownStoppage_;
  std::int64_t shownAt_ = 0;
  int exitCode_ = 0;

  // What the local game had before the online game took the court.
  bool inGame_ = false;
  std::vector<std::uint32_t> savedPicture_;
  bool localWasRunning_ = false;
  bool localSelectionShown_ = false;
  QString savedMark_;
};

}  // namespace tandemhoop
