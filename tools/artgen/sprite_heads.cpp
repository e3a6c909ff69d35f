// The four players' heads, each seen from the front, from behind and in profile both ways.
// Every head picture is drawn round the point where its neck meets the collar, worked out from
// the spot where the game puts that picture and the collar of the poses it is drawn on, so the
// four heads sit on every body although their pictures are placed differently.

#include <QPainter>
#include <cmath>

#include "screens/pictures.h"
#include "tools/artgen/sprite_parts.h"
#include "tools/artgen/sprite_sheet.h"

namespace artgen::sprite {
namespace {

using tandemhoop::SpriteSize;
namespace f2 = tandemhoop::form2;

enum class Hair { Spiky, FlatTop, Shaggy, Buzzed };

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
    {{QColor(150, 96, 62), QColor(108, 64, 40)},
     {QColor(44, 34, 34), QColor(24, 18, 20)},
     Hair::FlatTop,
     QColor(40, 26, 20)},
    {{QColor(224, 170, 120), QColor(178, 122, 82)},
     {QColor(40, 40, 48), QColor(20, 20, 28)},
     Hair::Shaggy,
     QColor(60, 40, 24),
     true},
    {{QColor(118, 74, 48), QColor(84, 50, 32)},
     {QColor(34, 26, 24), QColor(20, 14, 14)},
     Hair::Buzzed,
     QColor(30, 20, 16),
     false,
     true},
};

// Where each head picture's neck meets the collar, in the picture's pixels: [pick][view].
const QPointF kNeck[4][4] = {
    {{14.0, 40}, {14.0, 39}, {20.0, 40}, {16.5, 42}},
    {{18.5, 40}, {14.5, 41}, {20.0, 42}, {16.5, 42}},
    {{16.0, 40}, {14.5, 41}, {20.0, 42}, {16.5, 40}},
    {{14.0, 35}, {14.5, 34}, {25.0, 40}, {16.5, 42}},
};

int MaskNumber(int pick, HeadView view) {
  return f2::Picture26 + 8 * (pick - 1) + 2 * static_cast<int>(view);
}

struct Frame {
  QPointF neck;    // bottom of the neck
  QPointF centre;  // middle of the skull
  double rx = 10.2;
  double ry = 12.8;
};

Frame FrameFor(QPointF neck, HeadView view) {
  Frame f;
  f.neck = neck;
  const double dx = view == HeadView::FacingRight ? 2.5 : view == HeadView::FacingLeft ? -2.5 : 0;
  f.centre = QPointF(neck.x() + dx, neck.y() - 20.0);
  if (view == HeadView::FacingRight || view == HeadView::FacingLeft) f.rx = 11.0;
  return f;
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
      hair = Smooth({k + QPointF(-rx - 1.0, -2), k + QPointF(-rx - 1.6, -17),
                     k + QPointF(-rx - 0.5, -20.5), k + QPointF(rx + 0.5, -20.5),
                     k + QPointF(rx + 1.6, -17), k + QPointF(rx + 1.0, -2),
                     k + QPointF(rx - 1.0, -7.5), k + QPointF(-rx + 1.0, -7.5)});
      break;
    case Hair::Shaggy:
      hair = Polygon(
          {k + QPointF(-rx - 2.5, 6), k + QPointF(-rx - 3.0, -6), k + QPointF(-rx - 0.5, -14),
           k + QPointF(-4, -17.5), k + QPointF(4, -17.5), k + QPointF(rx + 0.5, -14),
           k + QPointF(rx + 3.0, -6), k + QPointF(rx + 2.5, 6), k + QPointF(rx - 0.5, 2),
           k + QPointF(rx - 1.0, -5), k + QPointF(5, -7.5), k + QPointF(2, -5), k + QPointF(-2, -8),
           k + QPointF(-6, -5.5), k + QPointF(-rx + 1.0, -5), k + QPointF(-rx + 0.5, 2)});
      break;
    case Hair::Buzzed:
      hair = FaceShape(f).intersected(
          Polygon({k + QPointF(-rx - 3, -20), k + QPointF(rx + 3, -20), k + QPointF(rx + 3, -3),
                   k + QPointF(rx - 1.5, -6.5), k + QPointF(0, -8.0), k + QPointF(-rx + 1.5, -6.5),
                   k + QPointF(-rx - 3, -3)}));
      break;
  }
  InkedPart(p, hair, c.hair, QPointF(-1.6, -1.6), 1.3);
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
    case Hair::Buzzed:
      hair = skull.intersected(
          Polygon({k + QPointF(-rx - 3, -20), k + QPointF(rx + 3, -20), k + QPointF(rx + 3, 5),
                   k + QPointF(0, 8.5), k + QPointF(-rx - 3, 5)}));
      break;
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
  const double rx = f.rx;
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
    case Hair::Buzzed:
      hair =
          head.intersected(Polygon({k + QPointF(-rx - 4, 6), k + QPointF(-rx - 4, -20),
                                    k + QPointF(12, -20), k + QPointF(10.5, -7), k + QPointF(4, -8),
                                    k + QPointF(0, -4), k + QPointF(-2, 1), k + QPointF(-5, 6)}));
      break;
  }
  InkedPart(p, hair, c.hair, QPointF(-1.6, -1.6), 1.3);
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
  const QPointF neck = kNeck[index][static_cast<int>(view)];
  return MakeMaskedPair(QSize(size.width, size.height), [&](QPainter& p) {
    switch (view) {
      case HeadView::Front:
        DrawFront(p, FrameFor(neck, view), c);
        break;
      case HeadView::Back:
        DrawBack(p, FrameFor(neck, view), c);
        break;
      case HeadView::FacingRight:
        DrawProfile(p, FrameFor(neck, view), c);
        break;
      case HeadView::FacingLeft: {
        // Drawn as the right-facing profile in a mirrored frame, round the same neck.
        p.translate(size.width, 0);
        p.scale(-1, 1);
        const QPointF mirrored(size.width - neck.x(), neck.y());
        Frame f = FrameFor(mirrored, HeadView::FacingRight);
        DrawProfile(p, f, c);
        break;
      }
    }
  });
}

}  // namespace artgen::sprite
