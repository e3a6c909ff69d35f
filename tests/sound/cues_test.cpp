#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "game/keys.h"
#include "tests/support/core_game.h"
#include "tests/support/picture_set.h"
#include "tests/support/random_player.h"
#include "tests/support/raster_platform.h"
#include "tests/support/scripted_random.h"
#include "tests/support/state_diff.h"

namespace tandemhoop::testing {
namespace {

int Count(const std::vector<Sound>& sounds, Sound sound) {
  return static_cast<int>(std::count(sounds.begin(), sounds.end(), sound));
}

// Two people at the keyboard, play under way; the shooter's key is held until the shot is over.
class Cues : public ::testing::Test {
 protected:
  // A fresh program each time, with every random value `randomValue`.
  void StartPlay(double randomValue) {
    random.emplace({randomValue});
    game.emplace(*random);
    core().StartPlay(1, 2, /*twoPlayers=*/true);
    core().Ticks(12);  // past the wait before a shot may start
    core().platform.Clear();
  }
  CoreGame& core() { return *game; }
  // Gives the ball to one side, standing still at (x, y), the other side at (otherX, otherY).
  void Place(bool player1, int x, int y, int otherX, int otherY) {
    GameState& s = core().game.state;
    s.p1HasBall = player1 ? kTrue : kFalse;
    s.p2HasBall = player1 ? kFalse : kTrue;
    s.p1Dribbling = kFalse;
    s.p2Dribbling = kFalse;
    (player1 ? s.p1X : s.p2X) = static_cast<std::int16_t>(x);
    (player1 ? s.p1Y : s.p2Y) = static_cast<std::int16_t>(y);
    (player1 ? s.p2X : s.p1X) = static_cast<std::int16_t>(otherX);
    (player1 ? s.p2Y : s.p1Y) = static_cast<std::int16_t>(otherY);
  }
  void Shoot(bool player1, int ticks) {
    const int key = player1 ? keys::kKeyM : keys::kKeyA;
    core().Press(key);
    core().Ticks(ticks);
    core().Release(key);
  }
  const std::vector<Sound>& sounds() const { return game->platform.sounds; }

  std::optional<RepeatingRandom> random;
  std::optional<CoreGame> game;
};

TEST_F(Cues, AMadeJumpShotIsOneReleaseThenOneSwishForEitherSide) {
  for (const bool player1 : {true, false}) {
    SCOPED_TRACE(player1 ? "Player 1" : "Player 2");
    StartPlay(0.0);  // every shot goes in
    Place(player1, 300, 400, 100, 300);
    const GameState& s = core().game.state;
    // The release comes on the eighth tick of the shot, with the ball leaving the hands.
    core().Press(player1 ? keys::kKeyM : keys::kKeyA);
    core().Ticks(7);
    EXPECT_TRUE(sounds().empty());
    core().Ticks(1);
    EXPECT_EQ(sounds(), std::vector<Sound>{Sound::Release});
    EXPECT_EQ(player1 ? s.p1ShotInFlight : s.p2ShotInFlight, kTrue);
    core().Release(player1 ? keys::kKeyM : keys::kKeyA);
    // The swish comes with the net, on the tick the ball reaches the rim.
    int ticks = 0;
    while (s.basketMade != kTrue && ticks++ < 30)
      core().Ticks(1);
    EXPECT_EQ(sounds(), (std::vector<Sound>{Sound::Release, Sound::Swish}));
    core().Ticks(20);  // the drop and the award are silent
    EXPECT_EQ(sounds(), (std::vector<Sound>{Sound::Release, Sound::Swish}));
    EXPECT_EQ(player1 ? s.p1Score : s.p2Score, 1);
  }
}

TEST_F(Cues, AMissIsTheRimOnTheTickItIsDecidedAndTheReboundBouncesOnTheFloor) {
  StartPlay(0.99);  // every shot misses, every rebound goes right
  Place(true, 300, 400, 100, 300);
  Shoot(true, 8);
  const GameState& s = core().game.state;
  int ticks = 0;
  while (s.looseBallRight != kTrue && ticks++ < 30)
    core().Ticks(1);
  EXPECT_EQ(sounds(), (std::vector<Sound>{Sound::Release, Sound::Rim}));
  // From the rim the ball rolls to the right side-line, then to the floor line, and rests.
  std::vector<int> bounceTicks;
  for (int tick = 1; tick <= 40 && s.looseBallRight == kTrue; ++tick) {
    const std::size_t before = sounds().size();
    core().Ticks(1);
    if (sounds().size() > before) {
      EXPECT_EQ(sounds().back(), Sound::Bounce);
      bounceTicks.push_back(tick);
    }
  }
  EXPECT_EQ(bounceTicks.size(), 2u);

  // Rolling left (which side is the shot's draw; set here by hand, both players far off), it
  // bounces where it comes back off the left side-line and where it reaches the floor line.
  GameState& loose = core().game.state;
  loose.looseBallRight = kFalse;
  loose.looseBallLeft = kTrue;
  loose.p1HasBall = kFalse;
  loose.p2HasBall = kFalse;
  loose.ballX = 100;
  loose.ballY = 250;
  loose.p1X = 600;
  loose.p1Y = 150;
  loose.p2X = 600;
  loose.p2Y = 300;
  core().platform.Clear();
  for (int tick = 1; tick <= 20 && loose.looseBallLeft == kTrue; ++tick)
    core().Ticks(1);
  EXPECT_EQ(sounds(), (std::vector<Sound>{Sound::Bounce, Sound::Bounce}));
}

TEST_F(Cues, ADunkIsOneDunkWithNoReleaseOrSwishForEitherSide) {
  for (const bool player1 : {true, false}) {
    SCOPED_TRACE(player1 ? "Player 1" : "Player 2");
    StartPlay(0.0);
    Place(player1, 300, 150, 300, 200);
    core().Press(player1 ? keys::kKeyM : keys::kKeyA);
    core().Ticks(5);  // up at the rim, hanging on
    EXPECT_TRUE(sounds().empty());
    core().Ticks(1);  // the sixth tick: down it goes
    EXPECT_EQ(sounds(), std::vector<Sound>{Sound::Dunk});
    core().Release(player1 ? keys::kKeyM : keys::kKeyA);
    core().Ticks(25);
    EXPECT_EQ(sounds(), std::vector<Sound>{Sound::Dunk});
    EXPECT_EQ(player1 ? core().game.state.p1Score : core().game.state.p2Score, 1);
  }
}

TEST_F(Cues, AWalkWithTheBallBouncesOnceEachTimeTheBallComesBackUp) {
  for (const bool player1 : {true, false}) {
    SCOPED_TRACE(player1 ? "Player 1" : "Player 2");
    StartPlay(0.5);
    Place(player1, 100, 300, 500, 100);
    const GameState& s = core().game.state;
    core().Press(player1 ? keys::kRight : keys::kKeyH);  // each side's walk to the right
    int bounces = 0;
    for (int tick = 0; tick < 30; ++tick) {
      const std::size_t before = sounds().size();
      core().Ticks(1);
      const bool heard = sounds().size() > before;
      // The ball comes back up from the floor to 60 below the player's top.
      const bool backUp = s.ballY == (player1 ? s.p1Y : s.p2Y) + 60;
      EXPECT_EQ(heard, backUp) << "tick " << tick;
      if (heard) ++bounces;
    }
    // Down from the hand for 7 ticks, then one contact every 4; Player 2's dribble starts on
    // the first tick of the walk, Player 1's on the second.
    EXPECT_EQ(bounces, player1 ? 6 : 7);
    EXPECT_EQ(Count(sounds(), Sound::Bounce), bounces);
  }
}

TEST_F(Cues, EveryWhistleSoundsBeforeItsBoxAndOnlyWhenASideIsCharged) {
  StartPlay(0.5);
  Game& rules = core().game;
  std::vector<std::size_t> soundsAtBox;
  core().platform.onMessage = [&](const std::string&) { soundsAtBox.push_back(sounds().size()); };
  auto call = [&](bool p1Ball, bool offensive) {
    rules.state.p1HasBall = p1Ball ? kTrue : kFalse;
    rules.state.p2HasBall = p1Ball ? kFalse : kTrue;
    offensive ? rules.CallOffensiveFoul() : rules.CallFoul();
  };
  call(true, false);
  call(false, false);
  call(true, true);
  call(false, true);
  EXPECT_EQ(soundsAtBox, (std::vector<std::size_t>{1, 2, 3, 4}));
  EXPECT_EQ(Count(sounds(), Sound::Whistle), 4);

  // Nobody to charge: no box and no whistle.
  rules.state.p1HasBall = kFalse;
  rules.state.p2HasBall = kFalse;
  rules.CallFoul();
  rules.CallOffensiveFoul();
  EXPECT_EQ(sounds().size(), 4u);
}

TEST_F(Cues, AStealIsHeardOnlyWhenTheBallChangesHands) {
  StartPlay(0.5);
  GameState& s = core().game.state;
  s.p1HasBall = kTrue;
  s.p2HasBall = kFalse;
  core().game.ChangePossession();
  s.p1HasBall = kFalse;
  s.p2HasBall = kTrue;
  core().game.ChangePossession();
  EXPECT_EQ(sounds(), (std::vector<Sound>{Sound::Steal, Sound::Steal}));
  s.p1HasBall = kFalse;
  s.p2HasBall = kFalse;
  s.p2ShotInFlight = kTrue;  // Player 2's shot in the air cannot be taken
  core().game.ChangePossession();
  EXPECT_EQ(sounds().size(), 2u);
}

TEST_F(Cues, ABlockIsHeardOnTheTickItSucceedsForEitherSide) {
  for (const bool player1Blocks : {true, false}) {
    SCOPED_TRACE(player1Blocks ? "Player 1 blocks" : "Player 2 blocks");
    StartPlay(0.0);  // the block catches the ball
    GameState& s = core().game.state;
    s.p1HasBall = kFalse;
    s.p2HasBall = kFalse;
    // The shooter's ball just out of his hands at (300, 300), the blocker rising beside it.
    (player1Blocks ? s.p2ShotInFlight : s.p1ShotInFlight) = kTrue;
    s.lastShooterP1 = player1Blocks ? kFalse : kTrue;
    s.ballX = 300;
    s.ballY = 300;
    (player1Blocks ? s.p1X : s.p2X) = 300;
    (player1Blocks ? s.p1Y : s.p2Y) = 320;
    (player1Blocks ? s.p2X : s.p1X) = 280;
    (player1Blocks ? s.p2Y : s.p1Y) = 330;
    (player1Blocks ? s.p1Jumping : s.p2Jumping) = kTrue;
    player1Blocks ? core().game.UpdatePlayer1() : core().game.UpdatePlayer2();
    EXPECT_EQ(sounds(), std::vector<Sound>{Sound::Block});
    EXPECT_EQ(player1Blocks ? s.p1HasBall : s.p2HasBall, kTrue);
  }
}

TEST_F(Cues, TheWinIsHeardBeforeItsBoxForEitherSide) {
  for (const bool player1 : {true, false}) {
    SCOPED_TRACE(player1 ? "Player 1" : "Player 2");
    StartPlay(0.5);
    std::size_t soundsAtBox = 0;
    core().platform.onMessage = [&](const std::string&) { soundsAtBox = sounds().size(); };
    (player1 ? core().game.state.p1Score : core().game.state.p2Score) = 4;
    core().Ticks(1);
    EXPECT_EQ(core().platform.messages,
              std::vector<std::string>{player1 ? "Player1 Wins" : "Player2 Wins"});
    EXPECT_EQ(soundsAtBox, 1u);
    EXPECT_EQ(sounds(), std::vector<Sound>{Sound::Win});
  }
}

// The raster platform, hearing the cues. Everything else it does is its base's.
class ListeningPlatform : public RasterPlatform {
 public:
  using RasterPlatform::RasterPlatform;
  void PlaySound(Sound sound) override { ++heard[static_cast<std::size_t>(sound)]; }
  std::array<long long, kSoundCount> heard{};
};

TEST(CuesChangeNothing, TheSameGamePlaysAndDrawsTheSameWhetherTheCuesAreHeardOrNot) {
  static PictureSet pictures;
  MakeSyntheticPictures(pictures);
  RasterPlatform silent(pictures);
  ListeningPlatform listening(pictures);
  SmallRandom silentRandom(5);
  SmallRandom listeningRandom(5);
  RandomPlayer silentPlayer(silent, silentRandom, 2024);
  RandomPlayer listeningPlayer(listening, listeningRandom, 2024);
  for (int step = 0; step < 6000; ++step) {
    const bool ticked = silentPlayer.Step();
    ASSERT_EQ(listeningPlayer.Step(), ticked);
    if (!ticked) continue;
    const std::vector<std::string> diff =
        StateDiff(silentPlayer.game().state, listeningPlayer.game().state);
    ASSERT_TRUE(diff.empty()) << "step " << step << ": " << diff.front();
    ASSERT_TRUE(silent.frame().pixels == listening.frame().pixels) << "step " << step;
  }
  ASSERT_GT(silentPlayer.stats().ticks, 3000);
  // The game was heard: the everyday sounds came up.
  for (const Sound sound : {Sound::Bounce, Sound::Release, Sound::Whistle}) {
    EXPECT_GT(listening.heard[static_cast<std::size_t>(sound)], 0) << static_cast<int>(sound);
  }
}

}  // namespace
}  // namespace tandemhoop::testing
