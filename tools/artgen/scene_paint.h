#pragma once

// Shared brushes and helpers of the full pictures (court, title, icon, badges), so that all of
// them share one ink colour, one way of outlining and one way of setting type.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <cstdint>

namespace artgen::scene {

// The outline colour of everything we draw: a very dark plum reads as black but is softer
// against the warm floor than pure black.
inline const QColor kInk(30, 22, 34);

// Team colours. Player 2's blue is the pure blue family the sprites use too.
inline const QColor kRed(206, 32, 38);
inline const QColor kRedDark(150, 18, 28);
inline const QColor kBlue(0, 0, 255);
inline const QColor kBlueDark(0, 0, 168);
inline const QColor kBallOrange(236, 112, 30);
inline const QColor kBallShade(184, 70, 18);

// A fresh opaque canvas of the given size.
QImage NewCanvas(int width, int height, const QColor& fill);

// A painter with antialiasing on; every full picture is opaque, so soft edges cannot leak.
void BeginPainting(QPainter& painter, QImage& canvas);

// One of the TeX Gyre faces, loaded from its file (never looked up among the system fonts, so
// every machine sets the same glyphs). Hinting is off for the same reason.
QFont TexGyre(const char* fileName, qreal pixelSize);

// Text as an outline, so it can be stroked, filled with gradients and placed to a fraction of a
// pixel. The first puts the baseline's left end at (x, baselineY), the second centres the text
// on centreX.
QPainterPath TextPath(const QFont& font, const QString& text, qreal x, qreal baselineY);
QPainterPath CentredTextPath(const QFont& font, const QString& text, qreal centreX,
                             qreal baselineY);

// The cartoon finish: a dark outline of the given width outside the shape, the fill inside.
void InkedFill(QPainter& painter, const QPainterPath& path, const QBrush& fill, qreal inkWidth,
               const QColor& ink = kInk);

// A colour between a (t = 0) and b (t = 1).
QColor Mix(const QColor& a, const QColor& b, qreal t);

// Small deterministic generator for the wood grain and board joints: the same picture on every
// run and every machine, unlike the standard library's distributions.
class SceneRandom {
 public:
  // xorshift never leaves zero, so a zero seed is swapped for a fixed one.
  explicit SceneRandom(std::uint32_t seed) : state_(seed == 0 ? 0x9e3779b9u : seed) {}
  std::uint32_t Next();
  // Uniform in [0, 1).
  double Unit();
  // Uniform in [low, high).
  double Between(double low, double high) { return low + (high - low) * Unit(); }

 private:
  std::uint32_t state_;
};

}  // namespace artgen::scene
