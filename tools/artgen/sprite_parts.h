#pragma once

// Pieces shared by several sprite-sheet pictures.

#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRawFont>
#include <QString>

#include "tools/artgen/sprite_kit.h"

namespace artgen::sprite {

// The skin of the bodies, the arms and the dribbling hands: one tone for everybody, since the
// bodies are shared by all four players; it sits in the middle of the four heads' tones.
inline const Tone kSkin{QColor(204, 146, 102), QColor(160, 104, 70)};

// The ball fills its 39-pixel picture; its ink stays inside.
inline constexpr double kBallRadius = 18.6;
void DrawBallAt(QPainter& p, QPointF centre, double radius = kBallRadius);

// A TeX Gyre face straight from its file (Debian's fonts-texgyre), never a system font lookup,
// so every machine sets the same glyphs. Stops the program if the file is missing.
QRawFont TexGyreFace(const char* fileName, double pixelSize);
// The text as one outline, its baseline's left end at `origin`; `tracking` is added between
// letters.
QPainterPath TextOutline(const QRawFont& font, const QString& text, QPointF origin,
                         double tracking = 0);

}  // namespace artgen::sprite
