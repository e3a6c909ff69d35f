#include "desktop/key_bindings.h"

#include <QKeySequence>

#include "desktop/settings.h"
#include "game/keys.h"

namespace tandemhoop {

namespace {

using namespace keys;

struct ActionInfo {
  int code;
  int defaultKey;
  const char* setting;
};

// In the order of the Action enumeration.
const ActionInfo kActions[kActionCount] = {
    {kLeft, Qt::Key_Left, "controls/player1/left"},
    {kUp, Qt::Key_Up, "controls/player1/up"},
    {kRight, Qt::Key_Right, "controls/player1/right"},
    {kDown, Qt::Key_Down, "controls/player1/down"},
    {kKeyM, Qt::Key_M, "controls/player1/action"},
    {kKeyF, Qt::Key_F, "controls/player2/left"},
    {kKeyT, Qt::Key_T, "controls/player2/up"},
    {kKeyH, Qt::Key_H, "controls/player2/right"},
    {kKeyV, Qt::Key_V, "controls/player2/down"},
    {kKeyA, Qt::Key_A, "controls/player2/action"},
};

// Each side's five rows, in the same order.
const char* const kRowNames[] = {"Left", "Up", "Right", "Down", "Shoot, block, steal"};

const ActionInfo& Info(Action action) {
  return kActions[static_cast<int>(action)];
}

bool IsGameCode(int code) {
  for (const ActionInfo& info : kActions) {
    if (info.code == code) return true;
  }
  return false;
}

// Why a key cannot do an action whatever the other actions use; empty if it can.
QString Reserved(int key) {
  switch (key) {
    case Qt::Key_Escape:
      return QStringLiteral("Esc pauses the game and asks whether to quit.");
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return QStringLiteral("Enter starts and resumes the game.");
    case Qt::Key_F2:
      return QStringLiteral("F2 switches the sound on and off.");
    case Qt::Key_F11:
      return QStringLiteral("F11 switches full screen.");
    // Held, these do not repeat on most desktops, so the rules that wait for a held key's next
    // repeat would never see it; and they change what the other keys type.
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
      return QStringLiteral("Shift, Ctrl, Alt and the lock keys do not repeat when held.");
    case 0:
    case Qt::Key_unknown:
      return QStringLiteral("This key cannot be told apart from others.");
    default:
      return {};
  }
}

}  // namespace

int GameCode(Action action) {
  return Info(action).code;
}

QString RowName(Action action) {
  return QString::fromLatin1(kRowNames[static_cast<int>(action) % 5]);
}

QString ActionName(Action action) {
  return QStringLiteral("Player %1's %2 key")
      .arg(static_cast<int>(action) / 5 + 1)
      .arg(RowName(action));
}

int KeyIdentity(int qtKey, int virtualKeyCode) {
  const bool letter = virtualKeyCode >= 'A' && virtualKeyCode <= 'Z';
  const bool digit = virtualKeyCode >= '0' && virtualKeyCode <= '9';
  return letter || digit ? virtualKeyCode : qtKey;
}

QString KeyName(int key) {
  switch (key) {
    case Qt::Key_Left:
      return QStringLiteral("Left arrow");
    case Qt::Key_Up:
      return QStringLiteral("Up arrow");
    case Qt::Key_Right:
      return QStringLiteral("Right arrow");
    case Qt::Key_Down:
      return QStringLiteral("Down arrow");
    // As the keyboard names it, and as the game's help does (Qt says "Return").
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return QStringLiteral("Enter");
    default:
      return QKeySequence(key).toString(QKeySequence::NativeText);
  }
}

KeyBindings::KeyBindings() {
  RestoreDefaults();
}

QString KeyBindings::Choose(Action action, int key) {
  QString why = Reserved(key);
  if (!why.isEmpty()) return why;
  for (int other = 0; other < kActionCount; ++other) {
    if (other != static_cast<int>(action) && keys_[other] == key) {
      return QStringLiteral("%1 is already %2.").arg(KeyName(key), ActionName(Action(other)));
    }
  }
  keys_[static_cast<int>(action)] = key;
  return {};
}

void KeyBindings::RestoreDefaults() {
  for (int action = 0; action < kActionCount; ++action)
    keys_[action] = kActions[action].defaultKey;
}

bool KeyBindings::IsDefault() const {
  for (int action = 0; action < kActionCount; ++action) {
    if (keys_[action] != kActions[action].defaultKey) return false;
  }
  return true;
}

int KeyBindings::Translate(int keyIdentity, int virtualKeyCode) const {
  for (int action = 0; action < kActionCount; ++action) {
    if (keys_[action] == keyIdentity) return kActions[action].code;
  }
  // An original key that another key has taken over is left with nothing to do.
  return IsGameCode(virtualKeyCode) ? 0 : virtualKeyCode;
}

void KeyBindings::Load() {
  std::array<int, kActionCount> stored{};
  for (int action = 0; action < kActionCount; ++action) {
    const ActionInfo& info = kActions[action];
    bool ok = false;
    stored[action] = Settings::Value(QString::fromLatin1(info.setting), info.defaultKey).toInt(&ok);
    if (!ok || !Reserved(stored[action]).isEmpty()) {
      RestoreDefaults();
      return;
    }
    for (int earlier = 0; earlier < action; ++earlier) {
      if (stored[earlier] == stored[action]) {
        RestoreDefaults();
        return;
      }
    }
  }
  keys_ = stored;
}

void KeyBindings::Save() const {
  for (int action = 0; action < kActionCount; ++action)
    Settings::SetValue(QString::fromLatin1(kActions[action].setting), keys_[action]);
}

KeyBindings& KeyBindings::Current() {
  static KeyBindings current;
  return current;
}

int TranslateKey(int qtKey, int virtualKeyCode) {
  return KeyBindings::Current().Translate(KeyIdentity(qtKey, virtualKeyCode), virtualKeyCode);
}

}  // namespace tandemhoop
