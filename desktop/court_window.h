#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

#include "screens/raster.h"

class QMenu;

namespace tandemhoop {

class Game;

// The virtual-key code the game's key handlers expect for a Qt key; 0 for a key the game has no
// code for (such a key still reaches the character handler if it types a character).
int VirtualKeyCode(int qtKey);

// Form1, the court window. Every copy and every printed line goes into one persistent image of
// the drawing area, and the window only ever shows that image: the title art before the first
// tick, the last frame while the game is frozen, whatever covered it in between.
class CourtWindow : public QWidget {
 public:
  static constexpr int kWidth = 727;
  static constexpr int kHeight = 542;

  CourtWindow();

  // The handlers that keys go to; until it is set, keys are ignored.
  void SetGame(Game* game) { game_ = game; }
  // What closing the window from the desktop does (the desktop wires it to the quit path).
  void SetCloseHandler(std::function<void()> onClose) { onClose_ = std::move(onClose); }

  // The context menu (right-click) is where every addition to the original game is found. Each
  // addition puts its entries in, in the order the additions were registered.
  using MenuFiller = std::function<void(QMenu&)>;
  void AddMenuEntries(MenuFiller fill) { menuFillers_.push_back(std::move(fill)); }
  // Runs something modal (the menu, a dialog) with the game held: no tick while it is open.
  using HeldRunner = std::function<void(const std::function<void()>&)>;
  void SetHeldRunner(HeldRunner run) { runHeld_ = std::move(run); }
  void RunHeld(const std::function<void()>& body);

  Surface& surface() { return surface_; }
  const Surface& surface() const { return surface_; }
  // The same pixels, seen by Qt for painting text and showing the picture (no copy).
  QImage& image() { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Tab is a character key like any other here: it must not move the focus away.
  bool focusNextPrevChild(bool next) override;

 private:
  Surface surface_;
  QImage image_;
  Game* game_ = nullptr;
  std::function<void()> onClose_;
  std::vector<MenuFiller> menuFillers_;
  HeldRunner runHeld_;
};

}  // namespace tandemhoop
