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

// The elbows of the standing and walking poses, where the dribbling hands join them, and where
// the game puts the hand pictures relative to the body.
inline const QPointF kElbowLeft(14.5, 80);
inline const QPointF kElbowRight(73.5, 80);
inline constexpr double kElbowRadius = 5.2;
inline const QPointF kHandAtLeft(-8, 35);
inline const QPointF kHandAtRight(70, 35);

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
