// The body poses. Every pose is a skeleton of joints in the picture's own pixels; one routine
// dresses any skeleton in the same jersey, shorts, socks and shoes, so that all ten poses share
// one build and one finish. The joints are placed against the spots where the game puts the
// head, the shirt number and the dribbling hand for that pose.

#include <QPainter>
#include <cmath>
#include <optional>

#include "screens/pictures.h"
#include "tools/artgen/sprite_parts.h"
#include "tools/artgen/sprite_sheet.h"

namespace artgen::sprite {
namespace {

using tandemhoop::SpriteSize;
namespace f2 = tandemhoop::form2;

const Tone kShorts{QColor(52, 54, 66), QColor(32, 33, 44)};
const Tone kSock{QColor(244, 244, 246), QColor(196, 198, 210)};
const Tone kShoe{QColor(238, 238, 242), QColor(176, 180, 194)};
const Tone kSole{QColor(70, 70, 82), QColor(48, 48, 58)};
const Tone kTrim{kRed, kRedShade};

QPointF Lerp(QPointF a, QPointF b, double t) {
  return a + (b - a) * t;
}
QPointF Unit(QPointF v) {
  const double length = std::hypot(v.x(), v.y());
  return length > 0 ? v / length : QPointF(0, 1);
}
QPointF Normal(QPointF v) {
  const QPointF u = Unit(v);
  return QPointF(-u.y(), u.x());
}

struct Arm {
  QPointF shoulder, elbow, wrist;
  bool overJersey = false;  // drawn across the shirt instead of behind it
  bool showHand = true;     // false when the hand is hidden in front of the body
};

struct Leg {
  QPointF hip, knee, ankle;
  bool heelUp = false;  // the back foot of a stride: the sole shows
  double footDir = 0;   // -1 toes to the left, +1 to the right, 0 towards or away from us
};

struct Skeleton {
  bool front = false;  // the face side towards us
  QPointF neck;        // middle of the collar
  QPointF strapL, strapR, armpitL, armpitR, hemL, hemR;
  Arm armL, armR;  // as we see them: L is on the left of the picture
  Leg legL, legR;
  std::optional<QPointF> ball;  // a ball that is part of the pose
};

QPainterPath ArmShape(const Arm& arm) {
  QPainterPath shape = Capsule(arm.shoulder, arm.elbow, 6.2, 4.9);
  shape = shape.united(Capsule(arm.elbow, arm.wrist, 4.9, 3.8));
  return shape;
}

QPainterPath HandShape(const Arm& arm) {
  const QPointF dir = Unit(arm.wrist - arm.elbow);
  const QPointF centre = arm.wrist + dir * 5.0;
  QPainterPath hand = Capsule(arm.wrist, centre + dir * 1.5, 4.0, 4.6);
  const QPointF side = Normal(dir);
  hand = hand.united(
      Capsule(arm.wrist + side * 3.0 + dir * 1.0, arm.wrist + side * 5.2 + dir * 5.0, 1.8, 1.5));
  return hand;
}

void DrawArm(QPainter& p, const Arm& arm) {
  QPainterPath shape = ArmShape(arm);
  if (arm.showHand) shape = shape.united(HandShape(arm));
  InkedPart(p, shape, kSkin, QPointF(-2.2, -1.5));
}

void DrawLeg(QPainter& p, const Leg& leg) {
  const QPainterPath thigh = Capsule(leg.hip, leg.knee, 8.6, 6.6);
  const QPainterPath shin = Capsule(leg.knee, leg.ankle, 6.6, 4.4);
  const QPainterPath shape = thigh.united(shin);
  InkedPart(p, shape, kSkin, QPointF(-2.4, -1.5));
  // The sock: the lowest part of the shin, with two red rings.
  const QPointF up = Unit(leg.knee - leg.ankle);
  const QPointF side = Normal(up);
  const QPointF top = leg.ankle + up * 14.0;
  QPainterPath sockBand = Polygon({top + side * 9, top - side * 9, leg.ankle - side * 9 - up * 4,
                                   leg.ankle + side * 9 - up * 4});
  const QPainterPath sock = shin.intersected(sockBand);
  p.save();
  p.setClipPath(shin);
  InkedPart(p, sock, kSock, QPointF(-2.0, -1.0), 0);
  p.setPen(QPen(kRed, 1.6));
  p.drawLine(top - up * 3.0 + side * 9, top - up * 3.0 - side * 9);
  p.drawLine(top - up * 6.0 + side * 9, top - up * 6.0 - side * 9);
  p.restore();
  Ink(p, shin.united(thigh));
  Ink(p, sockBand.intersected(shin), 1.0);

  // The shoe, seen from the heel or the toe; a raised heel shows the sole.
  const QPointF centre = leg.ankle + QPointF(leg.footDir * 4.0, 6.5);
  const double rx = 7.4 + std::abs(leg.footDir) * 3.0;
  QPainterPath shoe = Ellipse(centre, rx, 6.2);
  shoe = shoe.united(Ellipse(leg.ankle + QPointF(0, 1.5), 5.4, 4.6));
  InkedPart(p, shoe, kShoe, QPointF(-2.0, -2.0));
  QPainterPath sole = shoe.intersected(Polygon(
      {centre + QPointF(-12, leg.heelUp ? 0.0 : 2.6), centre + QPointF(12, leg.heelUp ? 0.0 : 2.6),
       centre + QPointF(12, 9), centre + QPointF(-12, 9)}));
  InkedPart(p, sole, kSole, QPointF(0, 0), 1.0);
  // A red flash along the side of the shoe.
  p.save();
  p.setClipPath(shoe);
  p.setPen(QPen(kRed, 1.8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre + QPointF(-rx + 2.5, -1.5), centre + QPointF(rx - 2.5, -3.0));
  p.restore();
  Ink(p, shoe);
}

void DrawShorts(QPainter& p, const Skeleton& s) {
  const QPointF waistL = s.hemL + QPointF(-0.5, -6);
  const QPointF waistR = s.hemR + QPointF(0.5, -6);
  auto legTube = [](const Leg& leg, double outward) {
    const QPointF axis = leg.knee - leg.hip;
    const QPointF n = Normal(axis);
    const QPointF end = Lerp(leg.hip, leg.knee, 0.55);
    const double r = 10.4;
    return Polygon({leg.hip + n * r + QPointF(0, -6), end + n * r + n * outward,
                    end - n * r - n * outward, leg.hip - n * r + QPointF(0, -6)});
  };
  QPainterPath shorts =
      Polygon({waistL, waistR, s.legR.hip + QPointF(9.5, 2), s.legL.hip + QPointF(-9.5, 2)});
  const QPainterPath tubeL = legTube(s.legL, 0.5);
  const QPainterPath tubeR = legTube(s.legR, 0.5);
  shorts = shorts.united(tubeL).united(tubeR);
  InkedPart(p, shorts, kShorts, QPointF(-2.5, -2.5));
  // Red stripes down the outer seams and a red waistband.
  p.save();
  p.setClipPath(shorts);
  p.setPen(QPen(kRed, 2.2));
  p.drawLine(s.legL.hip + QPointF(-10.5, -4),
             Lerp(s.legL.hip, s.legL.knee, 0.55) + Normal(s.legL.knee - s.legL.hip) * 11.0);
  p.drawLine(s.legR.hip + QPointF(10.5, -4),
             Lerp(s.legR.hip, s.legR.knee, 0.55) - Normal(s.legR.knee - s.legR.hip) * 11.0);
  p.restore();
  Ink(p, shorts);
  // The gap between the legs, up to the crotch.
  const QPointF crotch = Lerp(s.legL.hip, s.legR.hip, 0.5) + QPointF(0, 8);
  const QPointF hemMid =
      Lerp(Lerp(s.legL.hip, s.legL.knee, 0.55), Lerp(s.legR.hip, s.legR.knee, 0.55), 0.5);
  QPen crease(kInk, 1.3, Qt::SolidLine, Qt::RoundCap);
  p.setPen(crease);
  p.drawLine(crotch, Lerp(crotch, hemMid, 0.6));
}

QPainterPath JerseyShape(const Skeleton& s) {
  const QPointF neckL = s.neck + QPointF(-8.5, -2.0);
  const QPointF neckR = s.neck + QPointF(8.5, -2.0);
  QPainterPath path;
  path.moveTo(neckL);
  path.lineTo(s.strapL);
  path.quadTo(QPointF(s.strapL.x() + 1.5, Lerp(s.strapL, s.armpitL, 0.6).y()), s.armpitL);
  path.quadTo(Lerp(s.armpitL, s.hemL, 0.5) + QPointF(1.0, 0), s.hemL);
  path.quadTo(Lerp(s.hemL, s.hemR, 0.5) + QPointF(0, 3.0), s.hemR);
  path.quadTo(Lerp(s.hemR, s.armpitR, 0.5) + QPointF(-1.0, 0), s.armpitR);
  path.quadTo(QPointF(s.strapR.x() - 1.5, Lerp(s.strapR, s.armpitR, 0.6).y()), s.strapR);
  path.lineTo(neckR);
  if (s.front) {
    path.lineTo(s.neck + QPointF(0, 9.0));
  } else {
    path.quadTo(s.neck + QPointF(0, 3.5), neckL);
  }
  path.closeSubpath();
  return path;
}

void DrawJersey(QPainter& p, const Skeleton& s, const Kit& kit) {
  const QPainterPath jersey = JerseyShape(s);
  InkedPart(p, jersey, kit.shirt, QPointF(-1.6, -4.0), 0);
  // Red trim round the collar and the armholes, inside the shirt's edge.
  const QPointF neckL = s.neck + QPointF(-8.5, -2.0);
  const QPointF neckR = s.neck + QPointF(8.5, -2.0);
  QPainterPath collar;
  collar.moveTo(neckL);
  if (s.front) {
    collar.lineTo(s.neck + QPointF(0, 9.0));
    collar.lineTo(neckR);
  } else {
    collar.quadTo(s.neck + QPointF(0, 3.5), neckR);
  }
  QPainterPath holeL;
  holeL.moveTo(s.strapL);
  holeL.quadTo(QPointF(s.strapL.x() + 1.5, Lerp(s.strapL, s.armpitL, 0.6).y()), s.armpitL);
  QPainterPath holeR;
  holeR.moveTo(s.strapR);
  holeR.quadTo(QPointF(s.strapR.x() - 1.5, Lerp(s.strapR, s.armpitR, 0.6).y()), s.armpitR);
  p.save();
  p.setClipPath(jersey);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(kRed, 5.0, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(collar);
  p.drawPath(holeL);
  p.drawPath(holeR);
  p.restore();
  Ink(p, jersey);
}

void DrawSkeleton(QPainter& p, const Skeleton& s, const Kit& kit) {
  DrawLeg(p, s.legL);
  DrawLeg(p, s.legR);
  DrawShorts(p, s);
  if (!s.armL.overJersey) DrawArm(p, s.armL);
  if (!s.armR.overJersey) DrawArm(p, s.armR);
  DrawJersey(p, s, kit);
  if (s.armL.overJersey) DrawArm(p, s.armL);
  if (s.armR.overJersey) DrawArm(p, s.armR);
  if (s.ball) DrawBallAt(p, *s.ball);
}

// --- The poses ---------------------------------------------------------------------------------

// The standing build: shoulders, hips and feet of the 87-pixel-wide back views. The head goes
// on at (30, 0) and the shirt number at (25, 50), so the shirt's back is clear from x = 25 to
// 62 over y = 50 to 80.
Skeleton Standing() {
  Skeleton s;
  s.neck = QPointF(44, 40);
  s.strapL = QPointF(21.5, 42);
  s.strapR = QPointF(66.5, 42);
  s.armpitL = QPointF(23.5, 64);
  s.armpitR = QPointF(64.5, 64);
  s.hemL = QPointF(25, 106);
  s.hemR = QPointF(63, 106);
  s.armL = {QPointF(18.5, 47), QPointF(15.5, 82), QPointF(16, 111)};
  s.armR = {QPointF(69.5, 47), QPointF(72.5, 82), QPointF(72, 111)};
  s.legL = {QPointF(35, 112), QPointF(34.5, 154), QPointF(34, 185)};
  s.legR = {QPointF(53, 112), QPointF(53.5, 154), QPointF(54, 185)};
  return s;
}

Skeleton Walking(bool firstStep) {
  Skeleton s = Standing();
  // One foot steps towards the basket (higher on the court), the other pushes off.
  Leg& ahead = firstStep ? s.legL : s.legR;
  Leg& behind = firstStep ? s.legR : s.legL;
  ahead.knee += QPointF(0, -4);
  ahead.ankle = ahead.knee + QPointF(0, 27);
  behind.knee += QPointF(0, 3);
  behind.ankle = behind.knee + QPointF(0, 27);
  behind.heelUp = true;
  // Elbows out and bent, hands low in front of the body, ready to dribble.
  s.armL = {QPointF(18.5, 47), QPointF(13.0, 78), QPointF(20, 100), false, true};
  s.armR = {QPointF(69.5, 47), QPointF(75.0, 78), QPointF(68, 100), false, true};
  if (firstStep) {
    s.armR.wrist += QPointF(1, 4);
  } else {
    s.armL.wrist += QPointF(-1, 4);
  }
  return s;
}

Skeleton Guard() {
  Skeleton s;
  s.front = true;
  // The head goes on at (63..67, 0): neck in the middle of the 150-pixel picture.
  s.neck = QPointF(77, 40);
  s.strapL = QPointF(55, 42);
  s.strapR = QPointF(99, 42);
  s.armpitL = QPointF(57, 62);
  s.armpitR = QPointF(97, 62);
  s.hemL = QPointF(59, 104);
  s.hemR = QPointF(95, 104);
  s.armL = {QPointF(52, 47), QPointF(28, 56), QPointF(9, 48)};
  s.armR = {QPointF(102, 47), QPointF(126, 56), QPointF(145, 48)};
  s.legL = {QPointF(68, 110), QPointF(59, 150), QPointF(55, 184), false, -0.5};
  s.legR = {QPointF(86, 110), QPointF(95, 150), QPointF(99, 184), false, 0.5};
  return s;
}

Skeleton Reach() {
  Skeleton s;
  s.front = true;
  // The head goes on at (25..27, 20).
  s.neck = QPointF(40.5, 60);
  s.strapL = QPointF(19, 62);
  s.strapR = QPointF(62, 62);
  s.armpitL = QPointF(21, 80);
  s.armpitR = QPointF(60, 80);
  s.hemL = QPointF(23, 122);
  s.hemR = QPointF(58, 122);
  s.armL = {QPointF(17, 66), QPointF(13, 34), QPointF(12, 8)};
  s.armR = {QPointF(64, 66), QPointF(68, 34), QPointF(69, 8)};
  s.legL = {QPointF(32, 128), QPointF(30, 170), QPointF(29, 202), false, 0};
  s.legR = {QPointF(49, 128), QPointF(51, 170), QPointF(52, 202), false, 0};
  return s;
}

// Jump shot from the left of the basket, both hands on the ball above the head. The side
// head goes on at (10, 45); the shirt number at (10, 90).
Skeleton JumpShotBothHands() {
  Skeleton s;
  s.neck = QPointF(29, 85);
  s.strapL = QPointF(8, 87);
  s.strapR = QPointF(50, 87);
  s.armpitL = QPointF(9, 106);
  s.armpitR = QPointF(49, 106);
  s.hemL = QPointF(11, 146);
  s.hemR = QPointF(47, 146);
  s.armL = {QPointF(7, 92), QPointF(6, 58), QPointF(20, 34)};
  s.armR = {QPointF(51, 92), QPointF(58, 58), QPointF(42, 34)};
  s.legL = {QPointF(21, 152), QPointF(18, 192), QPointF(20, 226), false, 0};
  s.legR = {QPointF(38, 152), QPointF(44, 188), QPointF(40, 220), true, 0};
  s.ball = QPointF(31, 22);
  return s;
}

// Jump shot from the middle or the right, the ball on the bent shooting arm. The head goes on
// at (30, 43..47); the shirt number at (25..30, 90).
Skeleton JumpShotBentArm() {
  Skeleton s;
  s.neck = QPointF(46, 85);
  s.strapL = QPointF(24, 87);
  s.strapR = QPointF(68, 87);
  s.armpitL = QPointF(23, 106);
  s.armpitR = QPointF(69, 106);
  s.hemL = QPointF(25, 146);
  s.hemR = QPointF(67, 146);
  s.armL = {QPointF(21, 92), QPointF(12, 66), QPointF(26, 46)};
  s.armR = {QPointF(71, 92), QPointF(77, 60), QPointF(64, 36)};
  s.legL = {QPointF(37, 152), QPointF(34, 192), QPointF(36, 226), false, 0};
  s.legR = {QPointF(55, 152), QPointF(61, 188), QPointF(57, 220), true, 0};
  s.ball = QPointF(58, 22);
  return s;
}

// Hanging on the rim with both hands, legs drawn up. The head goes on at (34..42, 13..17).
Skeleton DunkHanging() {
  Skeleton s;
  s.neck = QPointF(56, 56);
  s.strapL = QPointF(35, 58);
  s.strapR = QPointF(77, 58);
  s.armpitL = QPointF(36, 77);
  s.armpitR = QPointF(76, 77);
  s.hemL = QPointF(38, 114);
  s.hemR = QPointF(74, 114);
  s.armL = {QPointF(33, 63), QPointF(28, 34), QPointF(36, 8)};
  s.armR = {QPointF(79, 63), QPointF(84, 34), QPointF(76, 8)};
  s.legL = {QPointF(48, 120), QPointF(30, 140), QPointF(38, 150), false, -1};
  s.legR = {QPointF(64, 120), QPointF(82, 138), QPointF(76, 150), false, 1};
  return s;
}

// One hand at the rim, the other arm out to the side. The head goes on at (50, 15).
Skeleton DunkOneArm() {
  Skeleton s;
  s.neck = QPointF(71, 56);
  s.strapL = QPointF(49, 58);
  s.strapR = QPointF(93, 58);
  s.armpitL = QPointF(50, 77);
  s.armpitR = QPointF(92, 77);
  s.hemL = QPointF(52, 116);
  s.hemR = QPointF(90, 116);
  s.armL = {QPointF(47, 63), QPointF(26, 72), QPointF(8, 62)};
  s.armR = {QPointF(95, 63), QPointF(101, 34), QPointF(96, 8)};
  s.legL = {QPointF(62, 122), QPointF(56, 162), QPointF(58, 196), false, 0};
  s.legR = {QPointF(80, 122), QPointF(86, 158), QPointF(82, 188), true, 0};
  return s;
}

// Lay-up: one arm stretched high with the ball, the other knee driving up. The head goes on at
// (31..39, 43..47), the shirt number at (31..39, 90).
Skeleton LayUp() {
  Skeleton s;
  s.neck = QPointF(53, 85);
  s.strapL = QPointF(31, 87);
  s.strapR = QPointF(75, 87);
  s.armpitL = QPointF(30, 106);
  s.armpitR = QPointF(76, 106);
  s.hemL = QPointF(32, 146);
  s.hemR = QPointF(74, 146);
  s.armL = {QPointF(28, 92), QPointF(16, 116), QPointF(18, 142)};
  s.armR = {QPointF(78, 92), QPointF(80, 60), QPointF(74, 32)};
  s.legL = {QPointF(44, 152), QPointF(40, 194), QPointF(41, 230), false, 0};
  s.legR = {QPointF(62, 152), QPointF(70, 180), QPointF(66, 206), true, 0};
  s.ball = QPointF(70, 20);
  return s;
}

Skeleton SkeletonFor(int maskPicture) {
  switch (maskPicture) {
    case f2::Picture58:
      return Walking(true);
    case f2::Picture61:
      return Walking(false);
    case f2::Picture8:
      return Guard();
    case f2::Picture11:
      return Reach();
    case f2::Picture14:
      return JumpShotBothHands();
    case f2::Picture17:
      return JumpShotBentArm();
    case f2::Picture20:
      return DunkHanging();
    case f2::Picture23:
      return DunkOneArm();
    case f2::Picture68:
      return LayUp();
    default:
      return Standing();
  }
}

}  // namespace

BodyPictures DrawBody(int maskPicture) {
  const tandemhoop::PictureSize size = SpriteSize(maskPicture);
  const Skeleton skeleton = SkeletonFor(maskPicture);
  return MakeBodyPictures(QSize(size.width, size.height),
                          [&](QPainter& p, const Kit& kit) { DrawSkeleton(p, skeleton, kit); });
}

}  // namespace artgen::sprite
