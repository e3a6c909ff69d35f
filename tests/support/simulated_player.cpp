#include "tests/support/simulated_player.h"

#include <algorithm>
#include <cmath>

#include "game/keys.h"
#include "game/mt_random.h"
#include "game/replay.h"
#include "screens/selection.h"
#include "tests/support/fake_selection_view.h"
#include "tests/support/novice_player.h"

namespace tandemhoop::testing {

namespace {

constexpr double kReactionSeconds = 0.25;
constexpr double kRepeatDelayMs = 500;
constexpr double kRepeatIntervalMs = 1000.0 / 30;

constexpr int kKeyCodes[] = {keys::kLeft, keys::kUp, keys::kRight, keys::kDown, keys::kKeyM};

// The court window without a window: copies and prints go nowhere, message boxes are closed
// at once and told to the player.
class QuietPlatform final : public HeadlessPlatform {
 public:
  void ShowMessage(std::string_view text) override {
    if (text == "Player1 Wins") {
      won = true;
    } else if (text != "Computer Wins") {
      ++fouls;
      if (player != nullptr) player->MessageShown();
    }
  }
  std::uint32_t SecondsSinceMidnight() const override { return seed; }

  SimulatedPerson* player = nullptr;
  std::uint32_t seed = 0;
  bool won = false;
  int fouls = 0;
};

// The names on the selection screen, in the order the simulated player picks from.
constexpr SelectionClick kNames[] = {SelectionClick::Label6, SelectionClick::Label3,
                                     SelectionClick::Label4, SelectionClick::Label5};

}  // namespace

Sight Sight::Of(const GameState& s) {
  Sight sight;
  sight.p1X = s.p1X;
  sight.p1Y = s.p1Y;
  sight.p2X = s.p2X;
  sight.p2Y = s.p2Y;
  sight.ballX = s.ballX;
  sight.ballY = s.ballY;
  sight.p1HasBall = s.p1HasBall == kTrue;
  sight.p2HasBall = s.p2HasBall == kTrue;
  sight.p1Shooting = s.p1Shooting == kTrue;
  sight.p2Shooting = s.p2Shooting == kTrue;
  sight.shotInFlight = s.p1ShotInFlight == kTrue || s.p2ShotInFlight == kTrue;
  sight.ballLoose = s.looseBallLeft == kTrue || s.looseBallRight == kTrue;
  return sight;
}

void Fingers::Press(Game& game, int key, long long tick) {
  held_[static_cast<std::size_t>(key)] = true;
  nextRepeatMs_[static_cast<std::size_t>(key)] =
      static_cast<double>(tick) * tickMs_ + kRepeatDelayMs;
  game.Form_KeyDown(kKeyCodes[key], 0);
  if (key == kShootKey) game.Form_KeyPress('m');
}

void Fingers::Release(Game& game, int key) {
  held_[static_cast<std::size_t>(key)] = false;
  game.Form_KeyUp(kKeyCodes[key], 0);
}

void Fingers::LetGoAll(Game& game) {
  for (int key = 0; key < kKeyCount; ++key)
    if (held_[static_cast<std::size_t>(key)]) Release(game, key);
}

void Fingers::Hold(Game& game, const Keys& want, long long tick) {
  for (int key = 0; key < kKeyCount; ++key) {
    const auto k = static_cast<std::size_t>(key);
    if (held_[k] && !want[k]) Release(game, key);
  }
  for (int key = 0; key < kKeyCount; ++key) {
    const auto k = static_cast<std::size_t>(key);
    if (!held_[k] && want[k]) Press(game, key, tick);
  }
  const double nowMs = static_cast<double>(tick + 1) * tickMs_;
  for (int key = 0; key < kKeyCount; ++key) {
    const auto k = static_cast<std::size_t>(key);
    while (held_[k] && nextRepeatMs_[k] <= nowMs) {
      game.Form_KeyDown(kKeyCodes[key], 0);
      if (key == kShootKey) game.Form_KeyPress('m');
      nextRepeatMs_[k] += kRepeatIntervalMs;
    }
  }
}

SimulatedPlayer::SimulatedPlayer(Speed speed, std::uint64_t seed)
    : tickMs_(static_cast<double>(TickNanoseconds(speed)) / 1e6),
      reactionTicks_(std::max(1, static_cast<int>(std::lround(kReactionSeconds * 1000 / tickMs_)))),
      random_(seed),
      fingers_(tickMs_) {}

void SimulatedPlayer::Act(Game& game, long long tick) {
  if (lookAgain_) {
    // After a whistle the box takes the keyboard: every key is up, and the court has changed.
    fingers_.LetGoAll(game);
    looked_ = 0;
    shotPressedAt_ = -1;
    stuckSince_ = -1;
    lookAgain_ = false;
  }
  now_ = tick;
  seen_[Slot(tick)] = Sight::Of(game.state);
  ++looked_;
  if (looked_ > 1) {
    // How fast the computer moves, as it learns from watching him; slowly forgotten.
    const Sight& last = seen_[Slot(tick - 1)];
    const double step = std::max(std::abs(last.p2X - seen_[Slot(tick)].p2X),
                                 std::abs(last.p2Y - seen_[Slot(tick)].p2Y));
    if (step <= kStep) opponentSpeed_ = std::max(opponentSpeed_ * 0.995, step);
  }

  Keys want{};
  if (looked_ > reactionTicks_) {
    const Sight& seen = seen_[Slot(tick - reactionTicks_)];
    // Where the keys it has held since that frame have taken it, as far as it can tell.
    int x = seen.p1X;
    int y = seen.p1Y;
    for (long long t = tick - reactionTicks_; t < tick; ++t) {
      const Keys& keys = heldAt_[Slot(t)];
      if (keys[kLeftKey]) x -= kStep;
      if (keys[kUpKey]) y -= kStep;
      if (keys[kRightKey]) x += kStep;
      if (keys[kDownKey]) y += kStep;
      x = Clamp(x, kLeftEdge, kRightEdge);
      y = Clamp(y, kTopEdge, kBottomEdge);
    }
    want = Decide(seen, x, y);
    // Now and then a person does not change what his fingers do for a moment.
    if (random_.Uniform() < 1.5 * tickMs_ / 1000) want = fingers_.held();
  }
  fingers_.Hold(game, want, tick);
  heldAt_[Slot(tick)] = fingers_.held();
}

void SimulatedPlayer::Walk(Keys& keys, int fromX, int fromY, int toX, int toY, int slack) {
  if (toX < fromX - slack) keys[kLeftKey] = true;
  if (toX > fromX + slack) keys[kRightKey] = true;
  if (toY < fromY - slack) keys[kUpKey] = true;
  if (toY > fromY + slack) keys[kDownKey] = true;
}

SimulatedPlayer::Keys SimulatedPlayer::Decide(const Sight& seen, int x, int y) {
  Keys keys{};
  if (seen.p1HasBall || seen.p1Shooting || shotPressedAt_ >= 0) {
    Offence(keys, seen, x, y);
    return keys;
  }
  stuckSince_ = -1;
  aroundSide_ = 0;
  if (seen.p2HasBall || seen.p2Shooting) {
    Defence(keys, seen, x, y);
    return keys;
  }
  if (seen.ballLoose) {
    // The ball falls 15 a tick down and 15 sideways: run to where it will be when the glance
    // catches up, and take it in both hands.
    Walk(keys, x, y, seen.ballX - 12, seen.ballY - 20 + kStep * reactionTicks_ / 2, 8);
    return keys;
  }
  if (seen.shotInFlight) {
    // Under the basket for the rebound.
    Walk(keys, x, y, aimX_, 200, 20);
  }
  return keys;
}

SimulatedPlayer::Spot SimulatedPlayer::Opponent(const Sight& seen) const {
  // Where he will be by now if he goes on as he went, as a person reckons a moving figure.
  const Sight& before = seen_[Slot(now_ - reactionTicks_ - 1)];
  const int vx = Clamp(seen.p2X - before.p2X, -kStep, kStep);
  const int vy = Clamp(seen.p2Y - before.p2Y, -kStep, kStep);
  const int lead = reactionTicks_ / 2;
  return {Clamp(seen.p2X + vx * lead, kLeftEdge, kRightEdge),
          Clamp(seen.p2Y + vy * lead, kTopEdge, kBottomEdge)};
}

void SimulatedPlayer::Offence(Keys& keys, const Sight& seen, int x, int y) {
  const long long now = now_;
  if (shotPressedAt_ >= 0) {
    // Hold M until the ball is seen to leave the hands, or the shot is seen to be over.
    const bool flying = seen.shotInFlight && !seen.p1Shooting;
    const bool late = now - shotPressedAt_ > reactionTicks_ + 2;
    if (flying || (late && !seen.p1Shooting)) {
      shotPressedAt_ = -1;
      return;
    }
    keys[kShootKey] = true;
    return;
  }
  if (!seen.p1HasBall) return;

  if (now < driveUntil_) {
    keys[kUpKey] = true;
    keys[aroundSide_ < 0 ? kLeftKey : kRightKey] = true;
    return;
  }
  const auto shoot = [&] {
    shotPressedAt_ = now;
    stuckSince_ = -1;
    keys = Keys{};
    keys[kShootKey] = true;
  };
  if (y <= kNearLine && x >= kNearLeft && x <= kNearRight) {
    shoot();
    return;
  }
  // Walking keys held for a while and he has not moved: his dribble is gone, so shoot.
  const long long aWhile = reactionTicks_ + std::lround(600 / tickMs_);
  const Sight& earlier = seen_[Slot(now - aWhile)];
  const Keys& heldThen = heldAt_[Slot(now - aWhile)];
  if (looked_ > aWhile + reactionTicks_ && earlier.p1HasBall && earlier.p1X == seen.p1X &&
      earlier.p1Y == seen.p1Y &&
      (heldThen[kLeftKey] || heldThen[kUpKey] || heldThen[kRightKey] || heldThen[kDownKey])) {
    shoot();
    return;
  }
  // A defender goes for the ball: reckon he has come at him as fast as he has been seen to.
  const int reach = static_cast<int>(opponentSpeed_ * reactionTicks_);
  const Spot defender{seen.p2X + Clamp(x - seen.p2X, -reach, reach),
                      seen.p2Y + Clamp(y - 10 - seen.p2Y, -reach, reach)};
  const int dx = x - defender.x;
  const int dy = y - defender.y;  // > 0: he stands nearer the basket
  // Up into a defender just in front is a charge; he is in the lane when he stands above,
  // across the width of both bodies.
  const bool inLane = dy > -5 && dx > -65 && dx < 55;
  const bool close = inLane && dy < 45;
  if (!inLane) {
    stuckSince_ = -1;
    aroundSide_ = 0;
    // Open: a long shot now and then when the defender is far off, else drive.
    const bool faraway = std::abs(dx) > 120 || dy < -40;
    if (faraway && y < 330 && random_.Uniform() < 0.15 * tickMs_ / 1000) {
      shoot();
      return;
    }
    Walk(keys, x, y, aimX_, 130, 10);
    return;
  }
  if (stuckSince_ < 0) {
    stuckSince_ = now;
    sideTicks_ = 0;
    aroundSide_ = dx < 0 ? -1 : 1;
    if (random_.OneIn(4)) aroundSide_ = -aroundSide_;
    aimX_ = 280 + random_.Below(120);
  }
  if (x < 60) aroundSide_ = 1;
  if (x > 590) aroundSide_ = -1;
  // Stuck for long: take the jump shot from here.
  if (static_cast<double>(now - stuckSince_) * tickMs_ > 2500 && random_.OneIn(2)) {
    shoot();
    return;
  }
  // Run one way for a while, then cut back the other: the crossover that leaves him behind,
  // and straight up past him before he turns round.
  if (++sideTicks_ * tickMs_ > crossoverMs_) {
    aroundSide_ = -aroundSide_;
    sideTicks_ = 0;
    crossoverMs_ = 550 + random_.Below(400);
    driveUntil_ = now + std::lround(400 / tickMs_);
    keys[kUpKey] = true;
    keys[aroundSide_ < 0 ? kLeftKey : kRightKey] = true;
    return;
  }
  keys[aroundSide_ < 0 ? kLeftKey : kRightKey] = true;
  if (close && std::abs(dx) < 35 && dy < 35) {
    keys[kDownKey] = true;  // out of his reach: a dribble against him loses the ball
  }
}

void SimulatedPlayer::Defence(Keys& keys, const Sight& seen, int x, int y) {
  const long long now = now_;
  const Spot carrier = Opponent(seen);
  if (seen.p2Shooting) {
    // Jump at the shot if he is within reach; a fresh press of M is a jump.
    const bool near = std::abs(x - carrier.x) < 70 && y < carrier.y + 5;
    if (near && now >= nextJumpAt_) {
      if (fingers_.held()[kShootKey]) {
        keys[kShootKey] = false;  // up now, down on the next tick
      } else {
        keys[kShootKey] = true;
        nextJumpAt_ = now + static_cast<long long>(1200 / tickMs_);
      }
    } else {
      keys[kShootKey] = fingers_.held()[kShootKey] && now < nextJumpAt_;
    }
    return;
  }
  if (y > carrier.y - 10) {
    // Beaten: back to where he will shoot from, round him rather than through him.
    const int toX = carrier.x + Clamp(kBasketX - carrier.x, -40, 40);
    Walk(keys, x, y, toX, 150, 10);
    if (y < carrier.y + 45 && x > carrier.x - 40 && x < carrier.x + 65) {
      keys[kUpKey] = false;  // walking up into him from below is a foul
      if (!keys[kLeftKey] && !keys[kRightKey]) {
        keys[x < carrier.x + 12 ? kLeftKey : kRightKey] = true;
      }
    }
  } else {
    // In front of him: stay there.
    Walk(keys, x, y, carrier.x + 5, carrier.y - 20, 10);
  }
  // Reach while close.
  keys[kShootKey] = std::abs(x - carrier.x) < 40 && std::abs(y - carrier.y) < 40;
}

SimulatedGame PlaySimulatedGame(ComputerLevel level, Speed speed, std::uint64_t seed,
                                double capSeconds, Person person) {
  QuietPlatform platform;
  SplitMix64 seeds(seed);
  platform.seed = static_cast<std::uint32_t>(seeds.Next());
  MtRandom random;
  Game game(platform, random);
  FakeSelectionView view;
  PlayerSelection selection(game.state, view);
  const std::uint64_t personSeed = seeds.Next();
  SimulatedPlayer practised(speed, personSeed);
  NovicePlayer novice(speed, personSeed);
  SimulatedPerson& player =
      person == Person::Novice ? static_cast<SimulatedPerson&>(novice) : practised;
  platform.player = &player;
  game.SetComputerLevel(level);

  game.Form_Load();
  game.Form_KeyPress(' ');
  game.Timer1_Timer();
  selection.Form_Load();
  const int pick1 = static_cast<int>(seeds.Next() % 4);
  // The first free side takes each name clicked.
  DispatchClick(selection, kNames[pick1]);
  DispatchClick(selection, kNames[(pick1 + 1 + static_cast<int>(seeds.Next() % 3)) % 4]);
  selection.Command3_Click();

  const double tickSeconds = static_cast<double>(TickNanoseconds(speed)) / 1e9;
  const auto cap = static_cast<long long>(capSeconds / tickSeconds);
  SimulatedGame result;
  for (; result.ticks < cap && !game.Ended(); ++result.ticks) {
    player.Act(game, result.ticks);
    game.Timer1_Timer();
  }
  result.won = platform.won;
  result.capped = !game.Ended();
  result.p1Score = game.state.p1Score;
  result.p2Score = game.state.p2Score;
  result.fouls = platform.fouls;
  return result;
}

}  // namespace tandemhoop::testing
