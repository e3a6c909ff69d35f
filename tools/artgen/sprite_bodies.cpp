// The body poses. Every pose is a skeleton of joints in the picture's own pixels; one routine
// dresses any skeleton in the same jersey, shorts, socks and shoes, so that all ten poses share
// one build and one finish. The joints are placed against the spots where the game puts the
// head, the shirt number and the dribbling hand for that pose.

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>

#include "screens/pictures.h"
#include "tools/artgen/sprite_layout.h"
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
  bool open = false;        // fingers spread
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
  if (!arm.showHand) {
    // The forearm points away from us: only the upper arm, the elbow and a hint of the
    // foreshortened forearm show.
    const QPointF stub = arm.elbow + Unit(arm.wrist - arm.elbow) * 8.0;
    return Limb({{arm.shoulder, 7.0},
                 {Lerp(arm.shoulder, arm.elbow, 0.45), 6.3},
                 {arm.elbow, kElbowRadius},
                 {stub, kElbowRadius}});
  }
  // Shoulder, biceps, elbow, forearm, wrist.
  return Limb({{arm.shoulder, 7.0},
               {Lerp(arm.shoulder, arm.elbow, 0.45), 6.3},
               {arm.elbow, 4.9},
               {Lerp(arm.elbow, arm.wrist, 0.35), 5.1},
               {arm.wrist, 3.8}});
}

// The thumb is on the side of the hand nearer the neck: up on arms spread wide, inwards on
// arms raised.
QPainterPath HandShape(const Arm& arm, QPointF neck) {
  const QPointF dir = Unit(arm.wrist - arm.elbow);
  QPointF side = Normal(dir);
  auto distance = [&](QPointF p) { return std::hypot(p.x() - neck.x(), p.y() - neck.y()); };
  if (distance(arm.wrist - side * 4.0) < distance(arm.wrist + side * 4.0)) side = -side;
  if (arm.open) {
    // An open hand: the palm and four spread fingers, the thumb out to one side.
    const QPointF palm = arm.wrist + dir * 3.5;
    QPainterPath hand = Limb({{arm.wrist, 3.8}, {palm, 4.6}});
    for (int f = 0; f < 4; ++f) {
      const double spread = (f - 1.5) * 0.32;
      const QPointF d = dir * std::cos(spread) + side * std::sin(spread);
      hand = hand.united(Limb({{palm + d * 2.5, 1.5}, {palm + d * 7.5, 1.25}}));
    }
    hand = hand.united(
        Limb({{arm.wrist + side * 2.8, 1.6}, {arm.wrist + side * 6.5 + dir * 2.0, 1.3}}));
    return hand;
  }
  QPainterPath hand =
      Limb({{arm.wrist, 3.9}, {arm.wrist + dir * 4.0, 4.8}, {arm.wrist + dir * 8.0, 3.8}});
  hand = hand.united(
      Limb({{arm.wrist + side * 2.6 + dir * 1.5, 2.0}, {arm.wrist + side * 4.6 + dir * 5.5, 1.6}}));
  return hand;
}

void DrawArm(QPainter& p, const Arm& arm, QPointF neck) {
  QPainterPath shape = ArmShape(arm);
  if (arm.showHand) shape = shape.united(HandShape(arm, neck));
  InkedPart(p, shape, kSkin, QPointF(-2.8, -1.8));
}

void DrawLeg(QPainter& p, const Leg& leg) {
  const QPainterPath shape = Limb({{leg.hip, 10.2},
                                   {Lerp(leg.hip, leg.knee, 0.5), 9.0},
                                   {leg.knee, 6.6},
                                   {Lerp(leg.knee, leg.ankle, 0.3), 7.3},
                                   {leg.ankle, 4.5}});
  InkedPart(p, shape, kSkin, QPointF(-3.0, -1.8));
  // The sock: the lowest part of the shin, with two red rings.
  const QPointF up = Unit(leg.knee - leg.ankle);
  const QPointF side = Normal(up);
  const QPointF top = leg.ankle + up * 14.0;
  const QPainterPath sockBand =
      Polygon({top + side * 10, top - side * 10, leg.ankle - side * 10 - up * 6,
               leg.ankle + side * 10 - up * 6});
  const QPainterPath sock = shape.intersected(sockBand);
  p.save();
  p.setClipPath(shape);
  InkedPart(p, sock, kSock, QPointF(-2.0, -1.0), 0);
  p.setPen(QPen(kRed, 1.6));
  p.drawLine(top - up * 3.0 + side * 10, top - up * 3.0 - side * 10);
  p.drawLine(top - up * 6.0 + side * 10, top - up * 6.0 - side * 10);
  p.setPen(QPen(kInk, 1.1));
  p.drawLine(top + side * 10, top - side * 10);
  p.restore();
  Ink(p, shape);

  // The shoe, seen from the heel or the toe; a raised heel shows the sole.
  const QPointF centre = leg.ankle + QPointF(leg.footDir * 4.0, 6.5);
  const double rx = 7.6 + std::abs(leg.footDir) * 3.0;
  QPainterPath shoe = Ellipse(centre, rx, 6.2);
  shoe = shoe.united(Ellipse(leg.ankle + QPointF(0, 1.5), 5.6, 4.6));
  InkedPart(p, shoe, kShoe, QPointF(-2.0, -2.0));
  const QPainterPath sole = shoe.intersected(Polygon(
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
    const QPointF end = Lerp(leg.hip, leg.knee, 0.62);
    const double r = 11.4;
    return Polygon({leg.hip + n * r + QPointF(0, -6), end + n * r + n * outward,
                    end - n * r - n * outward, leg.hip - n * r + QPointF(0, -6)});
  };
  QPainterPath shorts =
      Polygon({waistL, waistR, s.legR.hip + QPointF(9.5, 2), s.legL.hip + QPointF(-9.5, 2)});
  const QPainterPath tubeL = legTube(s.legL, 0.5);
  const QPainterPath tubeR = legTube(s.legR, 0.5);
  shorts = shorts.united(tubeL).united(tubeR);
  InkedPart(p, shorts, kShorts, QPointF(-3.0, -3.0));
  // Red stripes down the outer seams and a red waistband.
  p.save();
  p.setClipPath(shorts);
  p.setPen(QPen(kRed, 2.2));
  p.drawLine(s.legL.hip + QPointF(-10.5, -4),
             Lerp(s.legL.hip, s.legL.knee, 0.62) + Normal(s.legL.knee - s.legL.hip) * 11.0);
  p.drawLine(s.legR.hip + QPointF(10.5, -4),
             Lerp(s.legR.hip, s.legR.knee, 0.62) - Normal(s.legR.knee - s.legR.hip) * 11.0);
  p.restore();
  Ink(p, shorts);
  // The gap between the legs, up to the crotch.
  const QPointF crotch = Lerp(s.legL.hip, s.legR.hip, 0.5) + QPointF(0, 8);
  const QPointF hemMid =
      Lerp(Lerp(s.legL.hip, s.legL.knee, 0.62), Lerp(s.legR.hip, s.legR.knee, 0.62), 0.5);
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
  InkedPart(p, jersey, kit.shirt, QPointF(-2.5, -6.0), 0);
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
  // Piping down both sides, just inside the seam.
  p.setPen(QPen(kRed, 1.6, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(s.armpitL + QPointF(2.2, 3), s.hemL + QPointF(2.0, -3));
  p.drawLine(s.armpitR + QPointF(-2.2, 3), s.hemR + QPointF(-2.0, -3));
  p.restore();
  Ink(p, jersey);
}

void DrawSkeleton(QPainter& p, const Skeleton& s, const Kit& kit) {
  DrawLeg(p, s.legL);
  DrawLeg(p, s.legR);
  DrawShorts(p, s);
  // Seen from behind, the hands holding the ball are on its near side.
  if (s.ball) DrawBallAt(p, *s.ball);
  if (!s.armL.overJersey) DrawArm(p, s.armL, s.neck);
  if (!s.armR.overJersey) DrawArm(p, s.armR, s.neck);
  if (s.front) {
    // The chest in the V of the collar, and the base of the neck above it.
    const QPainterPath chest =
        Polygon({s.neck + QPointF(-7.5, -4), s.neck + QPointF(7.5, -4), s.neck + QPointF(8.5, -1),
                 s.neck + QPointF(0, 11), s.neck + QPointF(-8.5, -1)});
    InkedPart(p, chest, kSkin, QPointF(-1.5, -1.5));
  }
  DrawJersey(p, s, kit);
  if (s.armL.overJersey) DrawArm(p, s.armL, s.neck);
  if (s.armR.overJersey) DrawArm(p, s.armR, s.neck);
}

// --- The poses ---------------------------------------------------------------------------------
//
// Coordinates are the pose picture's own pixels. `neck` is the middle of the collar, where the
// head pictures are fitted (see the heads); the shirt is widened afterwards wherever the game
// puts the number patch, so the patch always lands on plain shirt.

void Torso(Skeleton& s, QPointF neck, double halfTop, double halfArmpit, double halfHem,
           double hemY) {
  s.neck = neck;
  s.strapL = neck + QPointF(-halfTop, 3);
  s.strapR = neck + QPointF(halfTop, 3);
  s.armpitL = QPointF(neck.x() - halfArmpit, neck.y() + 25);
  s.armpitR = QPointF(neck.x() + halfArmpit, neck.y() + 25);
  s.hemL = QPointF(neck.x() - halfHem, hemY);
  s.hemR = QPointF(neck.x() + halfHem, hemY);
}

Arm Bent(QPointF shoulder, QPointF elbow, QPointF wrist, bool open = false) {
  return {shoulder, elbow, wrist, false, true, open};
}

Leg Stance(QPointF hip, QPointF knee, QPointF ankle, double footDir = 0, bool heelUp = false) {
  return {hip, knee, ankle, heelUp, footDir};
}

Skeleton Standing() {
  Skeleton s;
  Torso(s, QPointF(44, 38), 22.5, 20.5, 19, 106);
  // Arms bent, hands held in front of the body, ready for the ball: seen from behind only the
  // upper arms and elbows show. The dribbling hand pictures start from these elbows.
  s.armL = {QPointF(18.5, 47), kElbowLeft, kElbowLeft + QPointF(9, -3), false, false};
  s.armR = {QPointF(69.5, 47), kElbowRight, kElbowRight + QPointF(-9, -3), false, false};
  s.legL = Stance(QPointF(35, 112), QPointF(34, 154), QPointF(33.5, 185));
  s.legR = Stance(QPointF(53, 112), QPointF(54, 154), QPointF(54.5, 185));
  return s;
}

Skeleton Walking(bool firstStep) {
  Skeleton s = Standing();
  // One foot steps towards the basket (higher on the court), the other pushes off.
  Leg& ahead = firstStep ? s.legL : s.legR;
  Leg& behind = firstStep ? s.legR : s.legL;
  ahead.knee += QPointF(0, -5);
  ahead.ankle = ahead.knee + QPointF(0, 26);
  behind.knee += QPointF(0, 4);
  behind.ankle = behind.knee + QPointF(0, 27);
  behind.heelUp = true;
  // The shoulders swing against the stride a little.
  const double swing = firstStep ? 1.5 : -1.5;
  s.armL.shoulder += QPointF(0, -swing);
  s.armR.shoulder += QPointF(0, swing);
  return s;
}

// Facing us, knees bent, arms spread wide to close the way.
Skeleton Guard() {
  Skeleton s;
  s.front = true;
  Torso(s, QPointF(77, 38), 22, 20, 18, 104);
  s.armL = Bent(QPointF(52, 46), QPointF(31, 55), QPointF(14, 45), true);
  s.armR = Bent(QPointF(102, 46), QPointF(123, 55), QPointF(140, 45), true);
  s.legL = Stance(QPointF(68, 110), QPointF(57, 148), QPointF(54, 184), -0.6);
  s.legR = Stance(QPointF(86, 110), QPointF(97, 148), QPointF(100, 184), 0.6);
  return s;
}

// Facing us, both arms straight up, stretched to block.
Skeleton Reach() {
  Skeleton s;
  s.front = true;
  Torso(s, QPointF(40.5, 58), 21, 19.5, 17.5, 124);
  s.armL = Bent(QPointF(18, 66), QPointF(14, 38), QPointF(12, 13), true);
  s.armR = Bent(QPointF(63, 66), QPointF(67, 38), QPointF(69, 13), true);
  s.legL = Stance(QPointF(32, 130), QPointF(30, 171), QPointF(29, 203));
  s.legR = Stance(QPointF(49, 130), QPointF(51, 171), QPointF(52, 203));
  return s;
}

// Jump shot from the left of the basket, both hands on the ball above the head.
Skeleton JumpShotBothHands() {
  Skeleton s;
  Torso(s, QPointF(30, 81), 21, 20, 18.5, 146);
  s.armL = Bent(QPointF(9, 88), QPointF(6, 58), QPointF(19, 35));
  s.armR = Bent(QPointF(51, 88), QPointF(60, 59), QPointF(43, 35));
  s.legL = Stance(QPointF(21, 152), QPointF(18, 192), QPointF(20, 226));
  s.legR = Stance(QPointF(39, 152), QPointF(45, 188), QPointF(41, 221), 0, true);
  s.ball = QPointF(31, 22);
  return s;
}

// Jump shot from the middle or the right: the ball up on the bent shooting arm, the other hand
// steadying it.
Skeleton JumpShotBentArm() {
  Skeleton s;
  Torso(s, QPointF(45, 81), 22, 21, 20, 146);
  s.armL = Bent(QPointF(22, 88), QPointF(17, 62), QPointF(38, 36));
  s.armR = Bent(QPointF(70, 88), QPointF(77, 58), QPointF(63, 36));
  s.legL = Stance(QPointF(37, 152), QPointF(34, 192), QPointF(36, 226));
  s.legR = Stance(QPointF(55, 152), QPointF(61, 188), QPointF(57, 221), 0, true);
  s.ball = QPointF(58, 22);
  return s;
}

// Hanging on the rim with both hands, legs drawn up under him.
Skeleton DunkHanging() {
  Skeleton s;
  Torso(s, QPointF(56, 52), 22, 21, 19.5, 114);
  s.armL = Bent(QPointF(33, 59), QPointF(29, 32), QPointF(37, 9));
  s.armR = Bent(QPointF(79, 59), QPointF(84, 32), QPointF(76, 9));
  s.legL = Stance(QPointF(47, 120), QPointF(33, 130), QPointF(35, 153), -1);
  s.legR = Stance(QPointF(66, 120), QPointF(80, 129), QPointF(78, 153), 1);
  return s;
}

// One hand hooked on the rim, the other arm flung out to the side, legs hanging.
Skeleton DunkOneArm() {
  Skeleton s;
  Torso(s, QPointF(68, 52), 22, 21, 20, 116);
  s.armL = Bent(QPointF(45, 59), QPointF(25, 70), QPointF(8, 60));
  s.armR = Bent(QPointF(92, 59), QPointF(100, 31), QPointF(96, 9));
  s.legL = Stance(QPointF(60, 122), QPointF(55, 162), QPointF(57, 196));
  s.legR = Stance(QPointF(78, 122), QPointF(85, 158), QPointF(81, 189), 0, true);
  return s;
}

// Lay-up: the ball carried high on one stretched arm, the other knee driving up.
Skeleton LayUp() {
  Skeleton s;
  Torso(s, QPointF(53, 81), 22, 21, 20, 146);
  s.armL = Bent(QPointF(29, 88), QPointF(17, 114), QPointF(19, 140));
  s.armR = Bent(QPointF(78, 88), QPointF(81, 58), QPointF(75, 32));
  s.legL = Stance(QPointF(44, 152), QPointF(40, 194), QPointF(41, 230));
  s.legR = Stance(QPointF(63, 152), QPointF(71, 180), QPointF(67, 206), 0, true);
  s.ball = QPointF(70, 20);
  return s;
}

// Widens the shirt, and moves the arms out with it, until every spot where the game puts the
// number patch on this pose is plain shirt with a little room round it.
void FitNumberArea(Skeleton& s, int maskPicture) {
  QRectF area;
  for (const layout::Pairing& pairing : layout::Pairings()) {
    if (pairing.bodyMask != maskPicture) continue;
    for (int side = 1; side <= 2; ++side) {
      const auto number = layout::Number(side, 1, pairing.headCase);
      if (!number) continue;
      const layout::Offset body = layout::Body(side, maskPicture).at;
      const QRectF patch(number->at.x - body.x, number->at.y - body.y, 37, 30);
      area = area.isNull() ? patch : area.united(patch);
    }
  }
  if (area.isNull()) return;
  constexpr double kRoom = 3.0;
  const double left = area.left() - kRoom;
  const double right = area.right() + kRoom;
  const double shiftL = std::min(0.0, left - std::min({s.strapL.x(), s.armpitL.x(), s.hemL.x()}));
  const double shiftR = std::max(0.0, right - std::max({s.strapR.x(), s.armpitR.x(), s.hemR.x()}));
  for (QPointF* p : {&s.strapL, &s.armpitL, &s.hemL})
    p->rx() = std::min(p->x(), left);
  for (QPointF* p : {&s.strapR, &s.armpitR, &s.hemR})
    p->rx() = std::max(p->x(), right);
  for (QPointF* p : {&s.armL.shoulder, &s.armL.elbow, &s.armL.wrist})
    *p += QPointF(shiftL, 0);
  for (QPointF* p : {&s.armR.shoulder, &s.armR.elbow, &s.armR.wrist})
    *p += QPointF(shiftR, 0);
  if (s.hemL.y() < area.bottom() + 6) s.hemL.ry() = s.hemR.ry() = area.bottom() + 6;
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
  Skeleton skeleton = SkeletonFor(maskPicture);
  FitNumberArea(skeleton, maskPicture);
  return MakeBodyPictures(QSize(size.width, size.height),
                          [&](QPainter& p, const Kit& kit) { DrawSkeleton(p, skeleton, kit); });
}

}  // namespace artgen::sprite

namespace artgen::sprite {
QPointF BodyNeck(int maskPicture) {
  return SkeletonFor(maskPicture).neck;
}
}  // namespace artgen::sprite
