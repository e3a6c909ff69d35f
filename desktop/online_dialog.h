#pragma once

#include <QDialog>
#include <functional>

#include "desktop/online_game.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tandemhoop {

class CourtWindow;

// "Play online…": host a game (at the speed chosen here) or join one by its code, through a room
// server whose address is remembered, or host on this computer for a friend on the same
// network. While it waits it shows the room code, with Copy, and "waiting for the other
// player"; it closes by itself once the other player is there, and the online game has the
// court. Cancel stops the attempt.
class OnlineDialog : public QDialog {
 public:
  OnlineDialog(QWidget* parent, OnlineGame& online, Speed speed);
  ~OnlineDialog() override;

  // Fills the form from the command line and starts at once.
  void StartWith(const OnlineRequest& request);

 protected:
  void reject() override;

 private:
  void Build(Speed speed);
  void Restore();
  void UpdateForm();
  void Go();
  void Changed();

  OnlineGame& online_;
  QRadioButton* host_ = nullptr;
  QRadioButton* join_ = nullptr;
  QComboBox* speed_ = nullptr;
  QLineEdit* code_ = nullptr;
  QLineEdit* server_ = nullptr;
  QCheckBox* lan_ = nullptr;
  QSpinBox* port_ = nullptr;
  QLabel* lanNote_ = nullptr;
  QLabel* roomCode_ = nullptr;
  QPushButton* copy_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* go_ = nullptr;
  QWidget* form_ = nullptr;
  bool started_ = false;
};

// Opens the dialog over the court with the local game held, and once the other player has come,
// gives the online game the keyboard. With `request`, starts at once (the command line).
// Returns whether the online game began.
bool RunOnlineDialog(CourtWindow& court, OnlineGame& online, Speed speed,
                     const OnlineRequest* request = nullptr);

}  // namespace tandemhoop
