#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "game/state.h"
#include "tests/support/random_player.h"

namespace tandemhoop::bench {

// Everything a tick depends on: the record and the game's random source just before it.
struct Moment {
  GameState state;
  testing::SmallRandom random;
};

// What one tick drew, as the benchmarks judge a frame.
struct FrameContents {
  bool ball = false;
  bool net = false;
  bool player1Body = false;
  bool player2Body = false;
  int heads = 0;
  bool player1Number = false;
  bool player2Number = false;
  int hands = 0;
  int copies = 0;
  long long spritePixels = 0;  // pixels covered by sprite-sheet copies, both steps counted

  // One point for each thing a busy frame shows: the ball, the net, each side's body, head,
  // shirt number and dribbling hand.
  int Score() const;
  std::string Describe() const;
};

// Random play of the random player, recorded: the moment before every tick that does not end
// the program, and the busiest frames seen (highest score, then most sprite pixels).
struct Recording {
  std::vector<Moment> moments;
  Moment busiest{GameState{}, testing::SmallRandom(0)};
  FrameContents busiestContents{};
  // The busiest with a dribbling hand: the net of a made basket and a dribble hardly ever
  // share a frame, so the busiest frame overall tends to have no hand.
  Moment busiestWithHand{GameState{}, testing::SmallRandom(0)};
  FrameContents busiestWithHandContents{};
};

// Plays `ticks` ticks from `seed`, without drawing pixels. Keeps every moment when
// `keepMoments` is set (memory: about 130 bytes a tick).
Recording RecordPlay(long long ticks, std::uint64_t seed, bool keepMoments);

// What the copies since the platform's last ClearTickCopies() drew.
FrameContents ContentsOf(const testing::RasterPlatform& platform);

}  // namespace tandemhoop::bench
