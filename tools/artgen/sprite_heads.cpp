// The four players' heads, each seen from the front, from behind and in profile both ways.
// Every head picture is drawn round the point where its neck meets the collar, worked out from
// the spot where the game puts that picture and the collar of the poses it is drawn on, so the
// four heads sit on every body although their pictures are placed differently.

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "screens/pictures.h"
#include "tools/artgen/sprite_layout.h"
#include "tools/artgen/sprite_parts.h"
#include "tools/artgen/sprite_sheet.h"

namespace artgen::sprite {
namespace {

using tandemhoop::SpriteSize;
namespace f2 = tandemhoop::form2;

enum class Hair { Spiky, FlatTop, Shaggy, Bald };

struct Character {
  Tone skin;
  Tone hair;
  Hair style;
  QColor eyes;
  bool headband = false;
  bool beard = false;
};

// Oskel Varrin, Tobin Hask, Pell Ormand, Reko Fairlane.
const Character kCharacters[4] = {
    {{QColor(246, 206, 170), QColor(214, 160, 124)},
     {QColor(246, 200, 72), QColor(196, 140, 36)},
     Hair::Spiky,
     QColor(40, 96, 170)},
    {{QColor(132, 84, 54), QColor(96, 58, 36)},
     {QColor(44, 34, 34), QColor(24, 18, 20)},
     Hair::FlatTop,
     QColor(40, 26, 20)},
    {{QColor(220, 168, 116), QColor(176, 122, 80)},
     {QColor(122, 70, 38), QColor(84, 46, 24)},
     Hair::Shaggy,
     QColor(60, 40, 24),
     true},
    {{QColor(178, 118, 78), QColor(138, 86, 54)},
     {QColor(40, 30, 28), QColor(22, 16, 16)},
     Hair::Bald,
     QColor(30, 20, 16),
     false,
     true},
};

// Where a head picture's neck meets the collar, in the picture's pixels: worked out from every
// pose the game draws this head on and where it puts the two. Across the poses the neck goes to
// the lowest collar, so it never floats above one; on the others it tucks a little into the
// shirt.
QPointF NeckAnchor(int pick, HeadView view) {
  using layout::HeadCase;
  double sumX = 0;
  double lowest = -1e9;
  int count = 0;
  for (const layout::Pairing& pairing : layout::Pairings()) {
    const HeadCase c = pairing.headCase;
    const bool matches =
        (view == HeadView::Front && c == HeadCase::Front) ||
        (view == HeadView::Back && (c == HeadCase::Back || c == HeadCase::ShootingMiddle)) ||
        (view == HeadView::FacingRight && c == HeadCase::ShootingLeft) ||
        (view == HeadView::FacingLeft && c == HeadCase::ShootingRight);
    if (!matches) continue;
    for (int side = 1; side <= 2; ++side) {
      const layout::Offset body = layout::Body(side, pairing.bodyMask).at;
      const layout::Offset head = layout::Head(side, pick, c).at;
      const QPointF need = BodyNeck(pairing.bodyMask) + QPointF(body.x - head.x, body.y - head.y);
      sumX += need.x();
      lowest = std::max(lowest, need.y());
      ++count;
    }
  }
  return QPointF(sumX / count, lowest);
}

int MaskNumber(int pick, HeadView view) {
  return f2::Picture26 + 8 * (pick - 1) + 2 * static_cast<int>(view);
}

struct Frame {
  QPointF neck;    // bottom of the neck
  QPointF centre;  // middle of the skull
  double rx = 10.2;
  double ry = 12.8;
};

// How far the hair reaches above the middle of the skull.
double HairHeight(const Character& c, HeadView view) {
  const bool profile = view == HeadView::FacingRight || view == HeadView::FacingLeft;
  switch (c.style) {
    case Hair::Spiky:
      return profile ? 21.5 : 20.5;
    case Hair::FlatTop:
      return 20.5;
    case Hair::Shaggy:
      return 17.5;
    case Hair::Bald:
      return profile ? 14.0 : 12.8;
  }
  return 20;
}

Frame FrameFor(QPointF neck, HeadView view, const Character& c) {
  Frame f;
  f.neck = neck;
  const double dx = view == HeadView::FacingRight ? 2.5 : view == HeadView::FacingLeft ? -2.5 : 0;
  // A short neck under the chin, unless the hair would then run off the top of the picture.
  f.centre = QPointF(neck.x() + dx, std::max(neck.y() - 20.0, HairHeight(c, view) + 0.8));
  if (view == HeadView::FacingRight || view == HeadView::FacingLeft) f.rx = 11.0;
  return f;
}

// The light on a shaved head.
void DrawShine(QPainter& p, QPointF at, const Character& c) {
  p.setPen(Qt::NoPen);
  p.setBrush(c.skin.base.lighter(135));
  p.drawPath(Ellipse(at, 3.6, 2.0));
  p.setBrush(c.skin.base.lighter(165));
  p.drawPath(Ellipse(at + QPointF(-0.8, -0.3), 1.6, 0.9));
}

void DrawNeck(QPainter& p, const Frame& f, const Character& c, double lean) {
  const QPointF top = f.centre + QPointF(lean, 6);
  QPainterPath neck = Polygon({top + QPointF(-5.6, 0), top + QPointF(5.6, 0),
                               f.neck + QPointF(6.4, 1.5), f.neck + QPointF(-6.4, 1.5)});
  InkedPart(p, neck, {c.skin.shade, c.skin.shade}, QPointF(0, 0));
}

// --- Front ------------------------------------------------------------------------------------

QPainterPath FaceShape(const Frame& f) {
  const QPointF c = f.centre;
  return Smooth({c + QPointF(-f.rx, -f.ry * 0.9), c + QPointF(f.rx, -f.ry * 0.9),
                 c + QPointF(f.rx * 1.02, f.ry * 0.35), c + QPointF(f.rx * 0.45, f.ry * 1.05),
                 c + QPointF(-f.rx * 0.45, f.ry * 1.05), c + QPointF(-f.rx * 1.02, f.ry * 0.35)});
}

void DrawEars(QPainter& p, const Frame& f, const Character& c) {
  for (int side : {-1, 1}) {
    const QPointF ear = f.centre + QPointF(side * (f.rx + 0.6), 1.5);
    InkedPart(p, Ellipse(ear, 2.4, 3.4), c.skin, QPointF(side * -0.8, -0.8), 1.2);
  }
}

void DrawFrontHair(QPainter& p, const Frame& f, const Character& c) {
  const QPointF k = f.centre;
  const double rx = f.rx;
  QPainterPath hair;
  switch (c.style) {
    case Hair::Spiky:
      hair = Polygon({k + QPointF(-rx - 1.2, -1), k + QPointF(-rx - 2.0, -9),
                      k + QPointF(-rx + 1, -13), k + QPointF(-7, -19), k + QPointF(-4.5, -15),
                      k + QPointF(-1, -20.5), k + QPointF(1.5, -15.5), k + QPointF(5, -20),
                      k + QPointF(6.5, -15), k + QPointF(rx + 1.5, -16), k + QPointF(rx + 0.5, -11),
                      k + QPointF(rx + 1.6, -7), k + QPointF(rx + 1.2, -1),
                      k + QPointF(rx - 1, -6.5), k + QPointF(3, -8.5), k + QPointF(-1, -6.5),
                      k + QPointF(-5, -8.5), k + QPointF(-rx + 1.2, -6.5)});
      break;
    case Hair::FlatTop:
      hair = Polygon(
          {k + QPointF(-rx + 0.2, -3), k + QPointF(-rx - 0.4, -10), k + QPointF(-rx - 1.2, -19.2),
           k + QPointF(-rx + 0.2, -20.6), k + QPointF(rx - 0.2, -20.6),
           k + QPointF(rx + 1.2, -19.2), k + QPointF(rx + 0.4, -10), k + QPointF(rx - 0.2, -3),
           k + QPointF(rx - 1.8, -7.2), k + QPointF(0, -8.4), k + QPointF(-rx + 1.8, -7.2)});
      break;
    case Hair::Shaggy:
      hair = Polygon(
          {k + QPointF(-rx - 2.5, 6), k + QPointF(-rx - 3.0, -6), k + QPointF(-rx - 0.5, -14),
           k + QPointF(-4, -17.5), k + QPointF(4, -17.5), k + QPointF(rx + 0.5, -14),
           k + QPointF(rx + 3.0, -6), k + QPointF(rx + 2.5, 6), k + QPointF(rx - 0.5, 2),
           k + QPointF(rx - 1.0, -5), k + QPointF(5, -7.5), k + QPointF(2, -5), k + QPointF(-2, -8),
           k + QPointF(-6, -5.5), k + QPointF(-rx + 1.0, -5), k + QPointF(-rx + 0.5, 2)});
      break;
    case Hair::Bald:
      DrawShine(p, k + QPointF(-3.5, -8.5), c);
      return;
  }
  InkedPart(p, hair, c.hair, QPointF(-1.6, -1.6), 1.3);
  if (c.style == Hair::FlatTop) {
    // A high-top: the sides faded short, a lighter sheen along the flat top.
    p.save();
    p.setClipPath(hair);
    p.setPen(QPen(c.hair.base.lighter(190), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(k + QPointF(-rx + 1.5, -18.8), k + QPointF(rx - 2.5, -18.8));
    p.restore();
  }
}

void DrawEyesAndMouth(QPainter& p, const Frame& f, const Character& c) {
  const QPointF k = f.centre;
  p.setPen(Qt::NoPen);
  for (int side : {-1, 1}) {
    const QPointF eye = k + QPointF(side * 4.4, 0.5);
    p.setBrush(QColor(250, 250, 246));
    p.drawPath(Ellipse(eye, 2.3, 1.8));
    p.setBrush(c.eyes);
    p.drawPath(Ellipse(eye + QPointF(side * -0.3, 0.2), 1.2, 1.5));
    p.setBrush(kInk);
    p.drawPath(Ellipse(eye + QPointF(side * -0.3, 0.3), 0.6, 0.7));
    // Brows, in the hair's colour (dark for everybody, so they read).
    QPen brow(c.style == Hair::Spiky ? c.hair.shade.darker(130) : kInk, 1.4, Qt::SolidLine,
              Qt::RoundCap);
    p.setPen(brow);
    p.drawLine(eye + QPointF(-2.4, -3.2 + side * 0.2), eye + QPointF(2.4, -3.2 - side * 0.2));
    p.setPen(Qt::NoPen);
  }
  // Nose: a shadow on its right side.
  p.setPen(QPen(c.skin.shade.darker(115), 1.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(k + QPointF(0.6, 2.2), k + QPointF(1.3, 5.6));
  p.drawLine(k + QPointF(1.3, 5.6), k + QPointF(-0.6, 6.0));
  // Mouth: a small confident smile.
  QPainterPath mouth;
  mouth.moveTo(k + QPointF(-3.2, 8.6));
  mouth.quadTo(k + QPointF(0, 10.4), k + QPointF(3.4, 8.2));
  p.setPen(QPen(kInk, 1.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(mouth);
}

void DrawHeadband(QPainter& p, const Frame& f, double fromX, double toX) {
  const QPointF k = f.centre;
  QPainterPath band = Polygon({QPointF(fromX, k.y() - 9.5), QPointF(toX, k.y() - 9.5),
                               QPointF(toX, k.y() - 5.5), QPointF(fromX, k.y() - 5.5)});
  return InkedPart(p, band, {kRed, kRedShade}, QPointF(0, -1.5), 1.1);
}

void DrawFront(QPainter& p, const Frame& f, const Character& c) {
  DrawNeck(p, f, c, 0);
  DrawEars(p, f, c);
  const QPainterPath face = FaceShape(f);
  InkedPart(p, face, c.skin, QPointF(-2.0, -1.2));
  if (c.beard) {
    const QPointF k = f.centre;
    QPainterPath beard = face.intersected(
        Polygon({k + QPointF(-f.rx - 2, 3), k + QPointF(-f.rx + 2.5, 3), k + QPointF(-3.5, 7.5),
                 k + QPointF(3.5, 7.5), k + QPointF(f.rx - 2.5, 3), k + QPointF(f.rx + 2, 3),
                 k + QPointF(f.rx + 2, 16), k + QPointF(-f.rx - 2, 16)}));
    InkedPart(p, beard, c.hair, QPointF(-1.2, -1.2), 1.0);
  }
  DrawEyesAndMouth(p, f, c);
  DrawFrontHair(p, f, c);
  if (c.headband) DrawHeadband(p, f, f.centre.x() - f.rx - 0.5, f.centre.x() + f.rx + 0.5);
}

// --- Back ---------------------------------------------------------------------------------------

void DrawBack(QPainter& p, const Frame& f, const Character& c) {
  DrawNeck(p, f, c, 0);
  DrawEars(p, f, c);
  const QPointF k = f.centre;
  const double rx = f.rx;
  const QPainterPath skull = FaceShape(f);
  InkedPart(p, skull, c.skin, QPointF(-2.0, -1.2));
  QPainterPath hair;
  switch (c.style) {
    case Hair::Spiky:
      hair = Polygon({k + QPointF(-rx - 1.2, 4), k + QPointF(-rx - 2.0, -9),
                      k + QPointF(-rx + 1, -13), k + QPointF(-7, -19), k + QPointF(-4.5, -15),
                      k + QPointF(-1, -20.5), k + QPointF(1.5, -15.5), k + QPointF(5, -20),
                      k + QPointF(6.5, -15), k + QPointF(rx + 1.5, -16), k + QPointF(rx + 0.5, -11),
                      k + QPointF(rx + 1.6, -7), k + QPointF(rx + 1.2, 4), k + QPointF(5, 8.5),
                      k + QPointF(0, 7), k + QPointF(-5, 8.5)});
      break;
    case Hair::FlatTop:
      hair = Smooth({k + QPointF(-rx - 1.0, 5), k + QPointF(-rx - 1.6, -17),
                     k + QPointF(-rx - 0.5, -20.5), k + QPointF(rx + 0.5, -20.5),
                     k + QPointF(rx + 1.6, -17), k + QPointF(rx + 1.0, 5), k + QPointF(0, 9.5)});
      break;
    case Hair::Shaggy:
      hair = Polygon({k + QPointF(-rx - 2.5, 8), k + QPointF(-rx - 3.0, -6),
                      k + QPointF(-rx - 0.5, -14), k + QPointF(-4, -17.5), k + QPointF(4, -17.5),
                      k + QPointF(rx + 0.5, -14), k + QPointF(rx + 3.0, -6),
                      k + QPointF(rx + 2.5, 8), k + QPointF(6, 12), k + QPointF(2, 10.5),
                      k + QPointF(-2, 12), k + QPointF(-6, 10.5)});
      break;
    case Hair::Bald:
      DrawShine(p, k + QPointF(-3.5, -7.5), c);
      return;
  }
  InkedPart(p, hair, c.hair, QPointF(-1.8, -1.8), 1.3);
  if (c.headband) DrawHeadband(p, f, k.x() - rx - 2.5, k.x() + rx + 2.5);
}

// --- Profile, facing right; the left-facing view is its mirror image
// ---------------------------------

void DrawProfile(QPainter& p, const Frame& f, const Character& c) {
  const QPointF k = f.centre;
  DrawNeck(p, f, c, -1.5);
  // Skull and face in one outline: the brow, the nose, the lips and the chin on the right.
  const QPainterPath head = Smooth(
      {k + QPointF(-10.5, -4), k + QPointF(-9, -11), k + QPointF(-2, -14), k + QPointF(7, -12.5),
       k + QPointF(10.5, -5.5), k + QPointF(11, -1.5), k + QPointF(14.2, 3.6),
       k + QPointF(11.5, 5.2), k + QPointF(12.4, 8.0), k + QPointF(11.4, 10.4),
       k + QPointF(8.5, 13.5), k + QPointF(2, 13), k + QPointF(-4, 8), k + QPointF(-10, 4)});
  InkedPart(p, head, c.skin, QPointF(-1.5, -1.5));
  // Ear.
  InkedPart(p, Ellipse(k + QPointF(-2.5, 1.2), 2.6, 3.4), c.skin, QPointF(-0.8, -0.8), 1.1);
  // Eye looking ahead, and its brow.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(250, 250, 246));
  p.drawPath(Ellipse(k + QPointF(7.2, 0.2), 1.7, 1.7));
  p.setBrush(c.eyes);
  p.drawPath(Ellipse(k + QPointF(8.0, 0.4), 1.0, 1.4));
  p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(k + QPointF(5.2, -3.0), k + QPointF(9.6, -3.4));
  p.setPen(QPen(kInk, 1.1, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(k + QPointF(9.6, 8.0), k + QPointF(11.6, 7.8));
  QPainterPath hair;
  switch (c.style) {
    case Hair::Spiky:
      hair = Polygon({k + QPointF(-11.8, 4), k + QPointF(-13.5, -5), k + QPointF(-11, -11),
                      k + QPointF(-15, -15), k + QPointF(-7, -16), k + QPointF(-6, -21),
                      k + QPointF(0, -17), k + QPointF(4, -21.5), k + QPointF(6, -16),
                      k + QPointF(12.5, -17), k + QPointF(10.5, -11), k + QPointF(11.8, -6.5),
                      k + QPointF(7, -7), k + QPointF(3.5, -6), k + QPointF(1.5, -3),
                      k + QPointF(-1, 0), k + QPointF(-5, 5.5)});
      break;
    case Hair::FlatTop:
      hair = Smooth({k + QPointF(-10.5, 6), k + QPointF(-12.0, -5), k + QPointF(-11.5, -18),
                     k + QPointF(-9, -20.5), k + QPointF(8, -20.5), k + QPointF(10, -18),
                     k + QPointF(10.8, -7), k + QPointF(5, -8.5), k + QPointF(0, -4),
                     k + QPointF(-4, 4)});
      break;
    case Hair::Shaggy:
      hair = Polygon({k + QPointF(-10, 12), k + QPointF(-14, 4), k + QPointF(-13.5, -8),
                      k + QPointF(-8, -15.5), k + QPointF(2, -17), k + QPointF(9, -13),
                      k + QPointF(12.5, -6), k + QPointF(8.5, -6.5), k + QPointF(6, -4.5),
                      k + QPointF(3, -6), k + QPointF(0, -2), k + QPointF(-1, 4),
                      k + QPointF(-4, 8.5)});
      break;
    case Hair::Bald:
      DrawShine(p, k + QPointF(-1.5, -9), c);
      break;
  }
  if (!hair.isEmpty()) InkedPart(p, hair, c.hair, QPointF(-1.6, -1.6), 1.3);
  if (c.beard) {
    QPainterPath beard =
        head.intersected(Polygon({k + QPointF(-1, 4), k + QPointF(3, 9), k + QPointF(9.5, 9.5),
                                  k + QPointF(14, 9), k + QPointF(14, 16), k + QPointF(-1, 16)}));
    InkedPart(p, beard, c.hair, QPointF(-1, -1), 1.0);
  }
  if (c.headband) {
    QPainterPath band =
        head.united(hair).intersected(Polygon({k + QPointF(-16, -8.5), k + QPointF(12, -10),
                                               k + QPointF(12, -6), k + QPointF(-16, -4.5)}));
    InkedPart(p, band, {kRed, kRedShade}, QPointF(0, -1.5), 1.1);
  }
}

}  // namespace

MaskedPair DrawHead(int pick, HeadView view) {
  const int index = std::clamp(pick, 1, 4) - 1;
  const Character& c = kCharacters[index];
  const tandemhoop::PictureSize size = SpriteSize(MaskNumber(pick, view));
  const QPointF neck = NeckAnchor(pick, view);
  return MakeMaskedPair(QSize(size.width, size.height), [&](QPainter& p) {
    switch (view) {
      case HeadView::Front:
        DrawFront(p, FrameFor(neck, view, c), c);
        break;
      case HeadView::Back:
        DrawBack(p, FrameFor(neck, view, c), c);
        break;
      case HeadView::FacingRight:
        DrawProfile(p, FrameFor(neck, view, c), c);
        break;
      case HeadView::FacingLeft: {
        // Drawn as the right-facing profile in a mirrored frame, round the same neck.
        p.translate(size.width, 0);
        p.scale(-1, 1);
        const QPointF mirrored(size.width - neck.x(), neck.y());
        Frame f = FrameFor(mirrored, HeadView::FacingRight, c);
        DrawProfile(p, f, c);
        break;
      }
    }
  });
}

}  // namespace artgen::sprite
