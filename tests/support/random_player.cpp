#include "tests/support/random_player.h"

namespace tandemhoop::testing {

namespace {

constexpr int kEsc = 27;

// The game's own keys and a few it has no use for.
constexpr PlayerKey kKeys[] = {
    {37, 0, 0, 10},     {38, 0, 0, 12},     {39, 0, 0, 10},     {40, 0, 0, 8},
    {'M', 'm', 'M', 9}, {'A', 'a', 'A', 9}, {'F', 'f', 'F', 8}, {'T', 't', 'T', 9},
    {'H', 'h', 'H', 8}, {'V', 'v', 'V', 7}, {13, 13, 13, 1},    {32, 32, 32, 1},
    {'Q', 'q', 'Q', 1}, {'Z', 'z', 'Z', 1}, {'1', '1', '!', 1}, {16, 0, 0, 1},
    {112, 0, 0, 1},
};
constexpr int kTotalWeight = [] {
  int total = 0;
  for (const PlayerKey& key : kKeys)
    total += key.weight;
  return total;
}();

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

RandomPlayer::RandomPlayer(RasterPlatform& platform, RandomSource& gameRandom, std::uint64_t seed)
    : platform_(platform), gameRandom_(gameRandom), random_(seed) {
  platform_.observer = this;
  StartRun();
}

RandomPlayer::~RandomPlayer() {
  platform_.observer = nullptr;
}

void RandomPlayer::StartRun() {
  selection_.reset();
  game_.reset();
  platform_.Reset();
  platform_.secondsSinceMidnight = static_cast<std::uint32_t>(random_.Below(86400));
  view_ = FixedSelectionView{};
  selectionLoaded_ = false;
  releaseAt_.fill(0);
  game_.emplace(platform_, gameRandom_);
  selection_.emplace(game_->state, view_);
  ++stats_.runs;
  game_->Form_Load();
}

void RandomPlayer::Press(const PlayerKey& key) {
  ++stats_.keyDowns;
  game_->Form_KeyDown(key.code, 0);
  const int character = random_.OneIn(4) ? key.upper : key.lower;
  if (character != 0) game_->Form_KeyPress(character);
}

void RandomPlayer::StepAway() {
  for (const PlayerKey& info : kKeys) {
    long long& releaseAt = releaseAt_[static_cast<std::size_t>(info.code)];
    if (releaseAt == 0) continue;
    releaseAt = 0;
    ++stats_.keyUps;
    game_->Form_KeyUp(info.code, 0);
  }
  away_ = true;
}

bool RandomPlayer::Events() {
  if (game_->Ended()) StartRun();
  ++steps_;
  if (away_) return platform_.TimerEnabled() && !game_->Ended();

  // Held keys: released when their time is up, auto-repeated now and then until then.
  for (const PlayerKey& info : kKeys) {
    long long& releaseAt = releaseAt_[static_cast<std::size_t>(info.code)];
    if (releaseAt == 0) continue;
    if (steps_ >= releaseAt) {
      releaseAt = 0;
      ++stats_.keyUps;
      game_->Form_KeyUp(info.code, 0);
    } else if (random_.OneIn(2)) {
      Press(info);
    }
    if (game_->Ended()) return false;
  }

  if (random_.OneIn(4)) {
    int pick = random_.Below(kTotalWeight);
    for (const PlayerKey& info : kKeys) {
      if (pick < info.weight) {
        long long& releaseAt = releaseAt_[static_cast<std::size_t>(info.code)];
        if (releaseAt == 0) {
          const int hold = random_.OneIn(10) ? 1 + random_.Below(200) : 1 + random_.Below(30);
          releaseAt = steps_ + hold;
          Press(info);
        }
        break;
      }
      pick -= info.weight;
    }
    if (game_->Ended()) return false;
  }

  if (random_.OneIn(3000)) {
    ++stats_.keyDowns;
    game_->Form_KeyDown(kEsc, 0);
    game_->Form_KeyPress(kEsc);
    if (game_->Ended()) return false;
    ++stats_.keyUps;
    game_->Form_KeyUp(kEsc, 0);
  }

  if (view_.shown && !view_.hidden && random_.OneIn(3)) RandomClick();
  return platform_.TimerEnabled() && !game_->Ended();
}

void RandomPlayer::RandomClick() {
  ++stats_.clicks;
  PlayerSelection& screen = *selection_;
  switch (random_.Below(12)) {
    case 0:
      screen.Label6_Click();
      break;
    case 1:
      screen.Picture26_Click();
      break;
    case 2:
      screen.Label3_Click();
      break;
    case 3:
      screen.Picture34_Click();
      break;
    case 4:
      screen.Label4_Click();
      break;
    case 5:
      screen.Picture42_Click();
      break;
    case 6:
      screen.Label5_Click();
      break;
    case 7:
      screen.Picture50_Click();
      break;
    case 8:
      screen.Picture1_Click();
      break;
    case 9:
      screen.Picture2_Click();
      break;
    case 10:
      screen.Command3_Click();
      break;
    default:
      screen.Command4_Click();
      break;
  }
}

void RandomPlayer::Tick() {
  const std::int16_t scores =
      static_cast<std::int16_t>(game_->state.p1Score + game_->state.p2Score);
  game_->Timer1_Timer();
  ++stats_.ticks;
  if (game_->state.p1Score + game_->state.p2Score != scores) ++stats_.baskets;
}

void RandomPlayer::OnShowSelection() {
  view_.shown = true;
  view_.hidden = false;
  if (!selectionLoaded_) {
    selectionLoaded_ = true;
    selection_->Form_Load();
  }
}

void RandomPlayer::OnMessage(std::string_view text) {
  if (Contains(text, "Foul") || Contains(text, "FOUL")) ++stats_.fouls;
  if (text == "Player1 Wins") ++stats_.player1Wins;
  if (text == "Player2 Wins") ++stats_.player2Wins;
  if (text == "Computer Wins") ++stats_.computerWins;
}

bool RandomPlayer::OnAsk(std::string_view /*text*/) {
  ++stats_.escapes;
  const bool yes = random_.OneIn(6);
  if (yes) ++stats_.quits;
  return yes;
}

void RandomPlayer::OnEndProgram() {}

}  // namespace tandemhoop::testing
