#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/players/player1_rig.h"

namespace tandemhoop::testing {
namespace {

using namespace form2;

TEST(Player1Walking, StopsAtTheCourtBounds) {
  {
    Player1Rig rig;
    rig.s.p1X = 5;
    rig.Hold(kLeftKey);
    rig.Tick();
    EXPECT_EQ(rig.s.p1X, 0);
  }
  {
    Player1Rig rig;
    rig.s.p1X = 650;
    rig.Hold(kRightKey);
    rig.Tick();
    EXPECT_EQ(rig.s.p1X, 655);
  }
  {
    Player1Rig rig;
    rig.s.p1Y = 440;
    rig.Hold(kDownKey);
    rig.Tick();
    EXPECT_EQ(rig.s.p1Y, 450);
    rig.Tick();
    EXPECT_EQ(rig.s.p1Y, 450);
  }
}

TEST(Player1Walking, UpHeldAtTheTopShowsHim15AboveItUntilLetGo) {
  Player1Rig rig;
  rig.s.p1Y = 130;
  rig.Hold(kUpKey);
  for (int tick = 0; tick < 3; ++tick) {
    rig.Tick();
    EXPECT_EQ(rig.s.p1Y, 115);
    EXPECT_EQ(rig.Body().y, 115);
  }
  rig.Let(kUpKey);
  rig.Tick();
  EXPECT_EQ(rig.s.p1Y, 130);
  EXPECT_EQ(rig.Body().y, 130);
}

TEST(Player1Walking, ADiagonalStepTestsContactWithTheNewX) {
  // Without the ball, 20 left of Player 2 and just below him: straight up would be a foul, but
  // the Left step in the same tick clears the way first.
  Player1Rig rig;
  rig.s.p1HasBall = kFalse;
  rig.s.p2X = 300;
  rig.s.p2Y = 300;
  rig.s.p1X = 280;
  rig.s.p1Y = 310;
  rig.Hold(kLeftKey);
  rig.Hold(kUpKey);
  rig.Tick();
  EXPECT_TRUE(rig.platform.messages.empty());
  EXPECT_EQ(rig.s.p1X, 265);
  EXPECT_EQ(rig.s.p1Y, 295);

  // With the ball, 45 right of him: free before the Left step, a charge after it.
  Player1Rig carrier;
  carrier.s.p2X = 300;
  carrier.s.p2Y = 300;
  carrier.s.p1X = 345;
  carrier.s.p1Y = 310;
  carrier.Hold(kLeftKey);
  carrier.Hold(kUpKey);
  carrier.Tick();
  EXPECT_EQ(carrier.platform.messages, std::vector<std::string>{"Player 1 - Offensive Foul"});
}

TEST(Player1Walking, APickedUpDribbleFreezesHimButNotHisStride) {
  Player1Rig rig;
  rig.s.dribblePickedUp = kTrue;
  rig.Hold(kLeftKey);
  rig.Hold(kUpKey);
  rig.Tick();
  EXPECT_EQ(rig.s.p1X, 300);
  EXPECT_EQ(rig.s.p1Y, 400);
  EXPECT_EQ(rig.s.p1Dribbling, kFalse);
  EXPECT_EQ(rig.s.ballX, 320);  // still held in front of him
  EXPECT_EQ(rig.s.ballY, 400);
  EXPECT_EQ(rig.Body(), (Sprite{Picture58, Picture59, 300, 400}));
}

TEST(Player1WalkFrame, CyclesThroughEightFramesWhileUpIsHeld) {
  Player1Rig rig;
  rig.s.p1HasBall = kFalse;
  rig.Hold(kUpKey);
  std::vector<int> frames;
  for (int tick = 0; tick < 9; ++tick) {
    rig.Tick();
    frames.push_back(rig.s.p1WalkFrame);
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1}));
  rig.Let(kUpKey);
  rig.Tick();
  EXPECT_EQ(rig.s.p1WalkFrame, 0);
}

// ---- running up into Player 2 ---------------------------------------------------------------

struct ContactRig : Player1Rig {
  ContactRig() {
    s.p2X = 300;
    s.p2Y = 300;
    s.p1X = 300;
    Hold(kUpKey);
  }
};

TEST(Player1Contact, ACarrierChargingFromBelowIsAnOffensiveFoul) {
  ContactRig rig;
  rig.s.p1Y = 310;
  rig.s.p1WalkFrame = 3;
  rig.Tick();
  EXPECT_EQ(rig.platform.messages, std::vector<std::string>{"Player 1 - Offensive Foul"});
  EXPECT_EQ(rig.s.p2HasBall, kTrue);
  EXPECT_EQ(rig.s.p1X, 550);  // restarted
  EXPECT_EQ(rig.s.p1Y, 350);
  EXPECT_EQ(rig.s.p1WalkFrame, 0);  // the blocked Up resets the stride in the same tick
  // Drawn where he stands after walking, which the whistle made his restart spot, like Player 2.
  EXPECT_EQ(rig.Body(), (Sprite{Picture8, Picture9, 517, 350}));
}

TEST(Player1Contact, ACarrierLevelWithPlayer2OnlyStops) {
  ContactRig rig;
  rig.s.p1Y = 300;
  rig.Tick();
  EXPECT_TRUE(rig.platform.messages.empty());
  EXPECT_EQ(rig.s.p1Y, 300);
  EXPECT_EQ(rig.s.p1KeyUp, kFalse);
  EXPECT_EQ(rig.s.p1HasBall, kTrue);
}

TEST(Player1Contact, ACarrierGoesUnderAPlayer2InTheAir) {
  ContactRig rig;
  rig.s.p1Y = 310;
  rig.s.p2Jumping = kTrue;
  rig.Tick();
  EXPECT_TRUE(rig.platform.messages.empty());
  EXPECT_EQ(rig.s.p1Y, 295);
}

TEST(Player1Contact, WithoutTheBallRunningIntoPlayer2IsAFoul) {
  ContactRig rig;
  rig.s.p1HasBall = kFalse;
  rig.s.p2HasBall = kTrue;
  rig.s.p1X = 280;
  rig.s.p1Y = 310;
  rig.Tick();
  EXPECT_EQ(rig.platform.messages, std::vector<std::string>{"FOUL: Player 1"});
  EXPECT_EQ(rig.s.p1X, 550);
  EXPECT_EQ(rig.s.p1Y, 350);
}

TEST(Player1Contact, ThirtyPixelsToTheLeftTheWayIsFree) {
  ContactRig rig;
  rig.s.p1HasBall = kFalse;
  rig.s.p2HasBall = kTrue;
  rig.s.p1X = 270;
  rig.s.p1Y = 310;
  rig.Tick();
  EXPECT_TRUE(rig.platform.messages.empty());
  EXPECT_EQ(rig.s.p1Y, 295);
}

TEST(Player1Contact, RunningIntoAShooterOnlyStops) {
  for (bool inFlight : {false, true}) {
    ContactRig rig;
    rig.s.p1HasBall = kFalse;
    (inFlight ? rig.s.p2ShotInFlight : rig.s.p2Shooting) = kTrue;
    rig.s.p1X = 330;  // a foul anywhere but in front of a shooter
    rig.s.p1Y = 310;
    rig.Tick();
    EXPECT_TRUE(rig.platform.messages.empty()) << "in flight " << inFlight;
    EXPECT_EQ(rig.s.p1Y, 310);
    EXPECT_EQ(rig.s.p1KeyUp, kFalse);
  }
  // The shooter's berth reaches 10 above him and 30 below him.
  ContactRig rig;
  rig.s.p1HasBall = kFalse;
  rig.s.p2Shooting = kTrue;
  rig.s.p1Y = 331;
  rig.Tick();
  EXPECT_EQ(rig.s.p1Y, 316);
}

}  // namespace
}  // namespace tandemhoop::testing
