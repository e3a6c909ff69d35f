// Online play in the court window: a server address and a room code as players type them, the
// keys that make the local player's held set, and two real games in their windows meeting in a
// room served by one of them, on loopback.
#include "desktop/online_game.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

#include "desktop/online_dialog.h"
#include "desktop/picture_holders.h"
#include "desktop/selection_screen.h"
#include "desktop/settings.h"
#include "game/game.h"
#include "game/keys.h"
#include "game/mt_random.h"

namespace tandemhoop {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms = 10000) {
  const QDeadlineTimer deadline(ms);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}

TEST(ServerAddressTest, WhatAPlayerTypesOrPastesBecomesTheServersPlayAddress) {
  const struct {
    const char* typed;
    const char* play;
  } read[] = {
      {"play.example.org", "ws://play.example.org:8064/play"},
      {"  play.example.org:9000 ", "ws://play.example.org:9000/play"},
      {"ws://play.example.org:9000/play/", "ws://play.example.org:9000/play"},
      // A room's own address, and the page's address behind a TLS proxy, name the server too.
      {"wss://play.example.org/play/7hkp3c", "wss://play.example.org/play"},
      {"https://example.org/games/?room=7HKP3C", "wss://example.org/games/play"},
      {"[::1]:8100", "ws://[::1]:8100/play"},
  };
  for (const auto& entry : read) {
    QUrl play;
    QString why;
    EXPECT_TRUE(ReadServerAddress(QString::fromLatin1(entry.typed), play, &why))
        << entry.typed << ": " << why.toStdString();
    EXPECT_EQ(play.toString().toStdString(), entry.play) << entry.typed;
  }
  for (const char* typed : {"", "   ", "ftp://example.org", "ws://", "play example org"}) {
    QUrl play;
    QString why;
    EXPECT_FALSE(ReadServerAddress(QString::fromLatin1(typed), play, &why)) << typed;
    EXPECT_FALSE(why.isEmpty()) << typed;
  }
}

TEST(HeldKeysTest, PlayerOnesKeysMakeTheHeldSetAndATapBetweenTicksStillCounts) {
  HeldKeys keys;
  keys.Down(keys::kLeft);
  keys.Down(keys::kKeyM);
  keys.Down(keys::kKeyF);  // Player 2's left: online each player has Player 1's keys
  EXPECT_EQ(keys.Next(), net::kHoldLeft | net::kHoldAction);
  keys.TickTaken();
  keys.Up(keys::kLeft);
  keys.Down(keys::kUp);
  keys.Up(keys::kUp);  // let go before the tick
  EXPECT_EQ(keys.Next(), net::kHoldUp | net::kHoldAction);
  keys.TickTaken();
  EXPECT_EQ(keys.Next(), net::kHoldAction);
}

// One machine: the court window, the local game behind it, and its online game.
struct Machine {
  Machine() {
    platform.SetSelectionScreen(&selection);
    court.SetGame(&game);
    court.SetFrontWindow(&selection);
    game.Form_Load();
    court.show();
  }
  CourtWindow court;
  PictureHolders pictures;
  DesktopPlatform platform{court, pictures};
  MtRandom random;
  Game game{platform, random};
  SelectionScreen selection{game.state, pictures, &court};
  OnlineGame online{court, pictures, selection, platform, game};
};

class OnlineGameTest : public ::testing::Test {
 protected:
  // Each machine keeps its settings apart, as two computers do.
  void UseSettingsOf(const char* machine) {
    Settings::UseFileForTesting(dir.filePath(QString::fromLatin1(machine) + ".ini"));
  }
  ~OnlineGameTest() override { Settings::UseFileForTesting({}); }

  static void Key(QWidget& to, QEvent::Type type, int key, const QString& text = {}) {
    QKeyEvent event(type, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(&to, &event);
  }
  static void Click(Machine& machine, const char* control) {
    QTest::mouseClick(machine.selection.findChild<QWidget*>(QString::fromLatin1(control)),
                      Qt::LeftButton);
  }
  static net::Phase PhaseOf(Machine& machine) { return machine.online.status().phase; }
  static const GameState& Played(Machine& machine) {
    return machine.online.session()->game().state;
  }

  QTemporaryDir dir;
};

TEST_F(OnlineGameTest, TwoGamesMeetOnALanHostPickTheirOwnPlayersAndPlayWithTheirOwnKeys) {
  // A free port for the LAN host's room server, which listens on every network.
  QTcpServer probe;
  ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
  const quint16 port = probe.serverPort();
  probe.close();

  Machine host;
  Machine guest;
  const std::vector<std::uint32_t> title = host.court.surface().pixels;
  UseSettingsOf("host");
  OnlineRequest hosting;
  hosting.lan = true;
  hosting.lanPort = port;
  QString error;
  ASSERT_TRUE(host.online.Start(hosting, &error)) << error.toStdString();
  ASSERT_TRUE(WaitFor([&] { return host.online.RoomMade(); }));
  EXPECT_FALSE(host.online.InGame()) << "the court stays the local game's until a guest comes";

  UseSettingsOf("guest");
  OnlineRequest joining;
  joining.host = false;
  ASSERT_TRUE(ReadServerAddress(QStringLiteral("127.0.0.1:%1").arg(port), joining.server));
  joining.code = host.online.status().code;
  ASSERT_TRUE(guest.online.Start(joining, &error));
  ASSERT_TRUE(WaitFor([&] {
    return PhaseOf(host) == net::Phase::Picking && PhaseOf(guest) == net::Phase::Picking;
  }));
  EXPECT_TRUE(host.selection.isVisible());
  EXPECT_EQ(guest.online.status().localSide, 2);

  // The host takes Oskel Varrin: on the guest's screen he is in box 1, and not to be had.
  Click(host, "Label6");
  ASSERT_TRUE(WaitFor([&] { return guest.online.status().p1Pick == 1; }));
  EXPECT_EQ(guest.selection.findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), "OSKEL");
  EXPECT_FALSE(guest.selection.findChild<QWidget*>(QStringLiteral("Picture26"))->isEnabled());
  Click(guest, "Picture26");
  EXPECT_EQ(guest.online.status().p2Pick, 0);
  Click(guest, "Label3");  // Tobin Hask
  for (Machine* machine : {&host, &guest}) {
    ASSERT_TRUE(WaitFor([&] { return machine->online.status().p2Pick == 2; }));
    Click(*machine, "Command3");  // Ready
  }
  ASSERT_TRUE(WaitFor([&] {
    return PhaseOf(host) == net::Phase::Playing && PhaseOf(guest) == net::Phase::Playing;
  }));
  EXPECT_FALSE(guest.selection.isVisible());
  EXPECT_EQ(Played(guest).p2Pick, 2);

  // The guest's Up arrow walks Player 2, the side it plays, on both machines.
  const std::int16_t p2Before = Played(guest).p2Y;
  Key(guest.court, QEvent::KeyPress, Qt::Key_Up);
  ASSERT_TRUE(WaitFor([&] { return Played(host).p2Y < p2Before - 30; }));
  Key(guest.court, QEvent::KeyRelease, Qt::Key_Up);
  EXPECT_EQ(Played(host).p1Y, 400) << "Player 1 stands where he started";
  EXPECT_FALSE(guest.game.state.p1KeyUp == kTrue) << "the local game behind heard nothing";

  // Esc asks while play goes on; Yes leaves, and the other side is told.
  Key(host.court, QEvent::KeyPress, Qt::Key_Escape, QStringLiteral("\x1b"));
  const auto* question = host.court.findChild<CourtPanel*>(QStringLiteral("CourtQuestion"));
  ASSERT_NE(question, nullptr);
  EXPECT_TRUE(question->isVisible());
  EXPECT_EQ(question->text(), "Leave the game?");
  EXPECT_EQ(PhaseOf(host), net::Phase::Playing);
  Key(host.court, QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_FALSE(host.online.InGame());
  ASSERT_TRUE(WaitFor([&] { return PhaseOf(guest) == net::Phase::PeerLeft; }));
  const auto* message = guest.court.findChild<CourtPanel*>(QStringLiteral("CourtMessage"));
  ASSERT_NE(message, nullptr);
  EXPECT_EQ(message->text(), "The other player left the game.");

  // The host's window is its local game's again, as it was.
  EXPECT_TRUE(host.court.surface().pixels == title);
  EXPECT_TRUE(host.court.statusLine().isEmpty());
  Key(host.court, QEvent::KeyPress, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_TRUE(host.platform.TimerEnabled()) << "Enter starts the local game from its title";
}

TEST_F(OnlineGameTest, TheDialogReadsACodeLenientlyAndOffersJoinOnlyForOne) {
  UseSettingsOf("player");
  Machine machine;
  OnlineDialog dialog(&machine.court, machine.online, Speed::Classic);
  for (QRadioButton* radio : dialog.findChildren<QRadioButton*>()) {
    if (radio->text().contains(QStringLiteral("Join"))) radio->setChecked(true);
  }
  auto* code = dialog.findChild<QLineEdit*>(QStringLiteral("RoomCode"));
  auto* server = dialog.findChild<QLineEdit*>(QStringLiteral("ServerAddress"));
  QPushButton* join = nullptr;
  for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
    if (button->text() == QStringLiteral("Join")) join = button;
  }
  ASSERT_NE(join, nullptr);
  server->setText(QStringLiteral("play.example.org"));
  code->setText(QStringLiteral(" 7hk-p3c "));
  EXPECT_TRUE(join->isEnabled());
  code->setText(QStringLiteral("7HK-P3O"));  // O looks like 0: no code has it
  EXPECT_FALSE(join->isEnabled());
  EXPECT_TRUE(dialog.findChild<QLabel*>(QStringLiteral("OnlineStatus"))->text().contains("six"));
}

}  // namespace
}  // namespace tandemhoop
