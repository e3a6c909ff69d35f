#include "desktop/online_dialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "desktop/court_window.h"
#include "desktop/settings.h"
#include "net/room.h"

namespace tandemhoop {

namespace {

const QString kServerKey = QStringLiteral("online/server");
const QString kLanKey = QStringLiteral("online/lan");
const QString kPortKey = QStringLiteral("online/lanPort");
const QString kHostKey = QStringLiteral("online/hosting");

}  // namespace

OnlineDialog::OnlineDialog(QWidget* parent, OnlineGame& online, Speed speed)
    : QDialog(parent), online_(online) {
  setObjectName(QStringLiteral("PlayOnline"));
  setWindowTitle(QStringLiteral("Play online"));
  Build(speed);
  Restore();
  UpdateForm();
  online_.SetListener([this] { Changed(); });
}

OnlineDialog::~OnlineDialog() {
  online_.SetListener({});
}

void OnlineDialog::Build(Speed speed) {
  auto* layout = new QVBoxLayout(this);
  form_ = new QWidget(this);
  auto* grid = new QGridLayout(form_);
  grid->setContentsMargins(0, 0, 0, 0);
  int row = 0;

  host_ = new QRadioButton(QStringLiteral("&Host a game"), form_);
  grid->addWidget(host_, row, 0);
  auto* speedLabel = new QLabel(QStringLiteral("&Speed:"), form_);
  speed_ = new QComboBox(form_);
  speed_->addItem(QStringLiteral("Classic (18.2 ticks a second)"));
  speed_->addItem(QStringLiteral("Fast (64 ticks a second)"));
  speed_->setCurrentIndex(speed == Speed::Fast ? 1 : 0);
  speedLabel->setBuddy(speed_);
  grid->addWidget(speedLabel, row, 1);
  grid->addWidget(speed_, row++, 2);

  lan_ = new QCheckBox(QStringLiteral("Host on this &computer, for a friend on the same network"),
                       form_);
  grid->addWidget(lan_, row, 0, 1, 2);
  port_ = new QSpinBox(form_);
  port_->setRange(1024, 65535);
  port_->setPrefix(QStringLiteral("port "));
  port_->setAccessibleName(QStringLiteral("Port"));
  grid->addWidget(port_, row++, 2);

  join_ = new QRadioButton(QStringLiteral("&Join a game"), form_);
  grid->addWidget(join_, row, 0);
  auto* codeLabel = new QLabel(QStringLiteral("Room c&ode:"), form_);
  code_ = new QLineEdit(form_);
  code_->setObjectName(QStringLiteral("RoomCode"));
  code_->setPlaceholderText(QStringLiteral("such as 7HK-P3C"));
  codeLabel->setBuddy(code_);
  grid->addWidget(codeLabel, row, 1);
  grid->addWidget(code_, row++, 2);

  auto* serverLabel = new QLabel(QStringLiteral("Se&rver:"), form_);
  server_ = new QLineEdit(form_);
  server_->setObjectName(QStringLiteral("ServerAddress"));
  server_->setPlaceholderText(
      QStringLiteral("play.example.org or ws://play.example.org:8064/play"));
  server_->setMinimumWidth(300);
  serverLabel->setBuddy(server_);
  grid->addWidget(serverLabel, row, 0);
  grid->addWidget(server_, row++, 1, 1, 2);
  layout->addWidget(form_);
  // Lines of text a player may want to copy from.
  const auto note = [this](const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
  };
  // Outside the form, which is greyed while the game waits: the address to give a friend.
  lanNote_ = note("LanNote");
  layout->addWidget(lanNote_);

  // What the wait looks like: the code to pass on, and what is awaited.
  auto* waiting = new QHBoxLayout;
  roomCode_ = new QLabel(this);
  roomCode_->setObjectName(QStringLiteral("ShownCode"));
  QFont big = roomCode_->font();
  big.setPointSizeF(big.pointSizeF() * 2);
  big.setBold(true);
  big.setLetterSpacing(QFont::AbsoluteSpacing, 3);
  roomCode_->setFont(big);
  roomCode_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  copy_ = new QPushButton(QStringLiteral("C&opy"), this);
  copy_->setAutoDefault(false);
  waiting->addWidget(roomCode_);
  waiting->addWidget(copy_);
  waiting->addStretch();
  layout->addLayout(waiting);
  status_ = note("OnlineStatus");
  layout->addWidget(status_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  go_ = new QPushButton(this);
  go_->setDefault(true);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setAutoDefault(false);
  buttons->addWidget(go_);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);

  roomCode_->hide();
  copy_->hide();
  connect(host_, &QRadioButton::toggled, this, [this] { UpdateForm(); });
  connect(lan_, &QCheckBox::toggled, this, [this] { UpdateForm(); });
  connect(port_, &QSpinBox::valueChanged, this, [this] { UpdateForm(); });
  connect(code_, &QLineEdit::textChanged, this, [this] { UpdateForm(); });
  connect(server_, &QLineEdit::textChanged, this, [this] { UpdateForm(); });
  connect(go_, &QPushButton::clicked, this, [this] { Go(); });
  connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
  connect(copy_, &QPushButton::clicked, this, [this] {
    QGuiApplication::clipboard()->setText(roomCode_->text());
    status_->setText(QStringLiteral("The code is copied: %1").arg(online_.WaitingText()));
  });
}

void OnlineDialog::Restore() {
  server_->setText(Settings::Value(kServerKey).toString());
  lan_->setChecked(Settings::Value(kLanKey, false).toBool());
  bool ok = false;
  const int port = Settings::Value(kPortKey, kDefaultServerPort).toInt(&ok);
  port_->setValue(ok && port >= 1024 && port <= 65535 ? port : kDefaultServerPort);
  // A room this player was in, which a program started again may come back into.
  const QString remembered = OnlineGame::RememberedRoom();
  code_->setText(remembered);
  const bool hosting = Settings::Value(kHostKey, true).toBool() && remembered.isEmpty();
  (hosting ? host_ : join_)->setChecked(true);
}

void OnlineDialog::UpdateForm() {
  const bool hosting = host_->isChecked();
  speed_->setEnabled(hosting);
  lan_->setEnabled(hosting);
  port_->setEnabled(hosting && lan_->isChecked());
  code_->setEnabled(!hosting);
  const bool lan = hosting && lan_->isChecked();
  server_->setEnabled(!lan);
  lanNote_->setVisible(lan);
  lanNote_->setText(
      QStringLiteral("The game listens on port %1 on every network of this computer, so that a "
                     "friend on the same network can reach it (a firewall must let the port in); "
                     "the address to give them shows once the room is made.")
          .arg(port_->value()));
  go_->setText(hosting ? QStringLiteral("Host") : QStringLiteral("Join"));
  net::RoomCode code;
  QUrl server;
  const bool codeRead = hosting || net::ParseRoomCode(code_->text().toStdString(), code);
  const bool serverRead = lan || ReadServerAddress(server_->text(), server);
  go_->setEnabled(!started_ && codeRead && serverRead);
  if (!started_) {
    QString why;
    if (!serverRead && !server_->text().trimmed().isEmpty()) {
      ReadServerAddress(server_->text(), server, &why);
    } else if (!codeRead && !code_->text().trimmed().isEmpty()) {
      why = QStringLiteral("A room code is six letters and digits, such as 7HK-P3C.");
    }
    status_->setText(why);
  }
  adjustSize();
}

void OnlineDialog::StartWith(const OnlineRequest& request) {
  (request.host ? host_ : join_)->setChecked(true);
  speed_->setCurrentIndex(request.speed == Speed::Fast ? 1 : 0);
  lan_->setChecked(request.lan);
  if (!request.host) code_->setText(RoomCodeText(request.code));
  if (!request.lan) server_->setText(request.server.toString());
  UpdateForm();
  Go();
}

void OnlineDialog::Go() {
  OnlineRequest request;
  request.host = host_->isChecked();
  request.speed = speed_->currentIndex() == 1 ? Speed::Fast : Speed::Classic;
  request.lan = request.host && lan_->isChecked();
  request.lanPort = static_cast<quint16>(port_->value());
  if (!request.host && !net::ParseRoomCode(code_->text().toStdString(), request.code)) return;
  QString why;
  if (!request.lan && !ReadServerAddress(server_->text(), request.server, &why)) {
    status_->setText(why);
    return;
  }
  if (!request.lan) Settings::SetValue(kServerKey, server_->text().trimmed());
  Settings::SetValue(kLanKey, lan_->isChecked());
  Settings::SetValue(kPortKey, port_->value());
  Settings::SetValue(kHostKey, request.host);
  QString error;
  if (!online_.Start(request, &error)) {
    status_->setText(error);
    return;
  }
  started_ = true;
  form_->setEnabled(false);
  go_->setEnabled(false);
  Changed();
}

void OnlineDialog::Changed() {
  if (online_.InGame()) {
    accept();
    return;
  }
  if (!started_) return;
  status_->setText(online_.WaitingText());
  const bool made = online_.RoomMade();
  roomCode_->setVisible(made);
  copy_->setVisible(made);
  if (made) roomCode_->setText(RoomCodeText(online_.status().code));
  if (made && lan_->isChecked()) {
    const QStringList lan = online_.LanAddresses();
    lanNote_->setText(
        lan.isEmpty()
            ? QStringLiteral("This computer is on no network but its own: nobody else can reach "
                             "the game here.")
            : QStringLiteral("A friend on this network joins with the server address %1 and the "
                             "room code.")
                  .arg(lan.join(QStringLiteral(" or "))));
  }
  if (online_.Failed() || !online_.Active()) {
    started_ = false;
    form_->setEnabled(true);
    roomCode_->hide();
    copy_->hide();
    go_->setEnabled(true);
  }
  adjustSize();
}

void OnlineDialog::reject() {
  if (online_.Active() && !online_.InGame()) online_.Cancel();
  QDialog::reject();
}

bool RunOnlineDialog(CourtWindow& court, OnlineGame& online, Speed speed,
                     const OnlineRequest* request) {
  bool began = false;
  court.RunHeld([&] {
    OnlineDialog dialog(&court, online, speed);
    if (request != nullptr) dialog.StartWith(*request);
    began = dialog.exec() == QDialog::Accepted && online.InGame();
  });
  return began;
}

}  // namespace tandemhoop
