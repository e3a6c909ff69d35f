#include "game/replay.h"

#include <charconv>
#include <cstdio>

#include "game/mt_random.h"

#ifndef TANDEMHOOP_VERSION
#define TANDEMHOOP_VERSION "unknown"
#endif

namespace tandemhoop {

namespace {

constexpr std::string_view kFormatLine = "tandemhoop-replay 1";
constexpr std::size_t kMaxLineLength = 200;
constexpr std::size_t kMaxTokens = 9;

constexpr std::string_view kClickNames[kSelectionClickCount] = {
    "Label6", "Picture26", "Label3",   "Picture34", "Label4",   "Picture42",
    "Label5", "Picture50", "Picture1", "Picture2",  "Command3", "Command4",
};

constexpr std::string_view kKindNames[] = {"down",   "up",    "press", "click",
                                           "answer", "level", "speed"};

void AppendNumber(std::string& out, std::uint64_t value, int base = 10, int width = 0) {
  std::array<char, 24> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, base);
  const auto length = static_cast<int>(result.ptr - buffer.data());
  for (int i = length; i < width; ++i)
    out += '0';
  out.append(buffer.data(), static_cast<std::size_t>(length));
}

void AppendSigned(std::string& out, int value) {
  if (value < 0) out += '-';
  AppendNumber(out, static_cast<std::uint64_t>(value < 0 ? -static_cast<long long>(value) : value));
}

// A whole number written the one way the writer writes it: digits only, no sign, no leading
// zero, at most `max`.
bool ParseNumber(std::string_view token, std::uint64_t max, std::uint64_t& value) {
  if (token.empty() || token.size() > 20) return false;
  if (token.size() > 1 && token[0] == '0') return false;
  for (const char c : token) {
    if (c < '0' || c > '9') return false;
  }
  const auto result = std::from_chars(token.data(), token.data() + token.size(), value);
  return result.ec == std::errc() && result.ptr == token.data() + token.size() && value <= max;
}

bool ParseScore(std::string_view token, std::int16_t& score) {
  const bool negative = !token.empty() && token[0] == '-';
  std::uint64_t magnitude = 0;
  if (!ParseNumber(negative ? token.substr(1) : token, negative ? 32768 : 32767, magnitude)) {
    return false;
  }
  if (negative && magnitude == 0) return false;
  score = static_cast<std::int16_t>(negative ? -static_cast<int>(magnitude)
                                             : static_cast<int>(magnitude));
  return true;
}

bool ParseHash(std::string_view token, std::uint64_t& hash) {
  if (token.size() != 16) return false;
  for (const char c : token) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return std::from_chars(token.data(), token.data() + 16, hash, 16).ec == std::errc();
}

template <std::size_t N>
int FindName(const std::string_view (&names)[N], std::string_view token) {
  for (std::size_t i = 0; i < N; ++i) {
    if (names[i] == token) return static_cast<int>(i);
  }
  return -1;
}

// A token as it may be quoted in a message: short, and only printable text (lines with anything
// else are refused before their tokens are looked at).
std::string Quoted(std::string_view token) {
  std::string out = "\"";
  out += token.substr(0, 24);
  if (token.size() > 24) out += "...";
  out += '"';
  return out;
}

struct Tokens {
  std::array<std::string_view, kMaxTokens> items{};
  std::size_t count = 0;
  bool tooMany = false;
  bool badSpacing = false;
};

// Fields are separated by exactly one space, with none before the first or after the last.
Tokens Split(std::string_view line) {
  Tokens tokens;
  std::size_t start = 0;
  while (true) {
    const std::size_t space = line.find(' ', start);
    const std::string_view token = line.substr(
        start, space == std::string_view::npos ? std::string_view::npos : space - start);
    if (token.empty()) {
      tokens.badSpacing = true;
      return tokens;
    }
    if (tokens.count == kMaxTokens) {
      tokens.tooMany = true;
      return tokens;
    }
    tokens.items[tokens.count++] = token;
    if (space == std::string_view::npos) return tokens;
    start = space + 1;
  }
}

class Reader {
 public:
  Reader(std::string_view text, Replay& replay, std::string& error)
      : text_(text), replay_(replay), error_(error) {}

  bool Read() {
    replay_.events.Clear();
    if (text_.size() > kMaxReplayBytes) {
      error_ = "the file is larger than any replay (" + std::to_string(kMaxReplayBytes >> 20) +
               " MiB at most)";
      return false;
    }
    if (text_.empty()) return Fail(1, "the file is empty, not a replay");
    bool ended = false;
    std::size_t position = 0;
    while (position < text_.size()) {
      ++lineNumber_;
      const std::size_t newline = text_.find('\n', position);
      if (newline == std::string_view::npos) {
        return Fail(lineNumber_, "the last line is not finished (the file was cut short)");
      }
      std::string_view line = text_.substr(position, newline - position);
      position = newline + 1;
      // A file that went through a system writing CR LF is still the same replay.
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (line.size() > kMaxLineLength) return Fail(lineNumber_, "longer than any replay line");
      for (const char c : line) {
        if (c < 0x20 || c > 0x7E) {
          return Fail(lineNumber_, "holds a character that is not printable text (binary data?)");
        }
      }
      if (ended) return Fail(lineNumber_, "comes after the end line");
      if (!ReadLine(line, ended)) return false;
    }
    if (lineNumber_ < 5) {
      return Fail(lineNumber_ + 1, "the header stops here (the file is incomplete)");
    }
    if (!ended) {
      return Fail(lineNumber_ + 1,
                  "the replay stops without its end line (the file is incomplete)");
    }
    return true;
  }

 private:
  bool Fail(std::size_t line, const std::string& what) {
    error_ = "line " + std::to_string(line) + ": " + what;
    return false;
  }
  bool Fail(const std::string& what) { return Fail(lineNumber_, what); }

  bool ReadLine(std::string_view line, bool& ended) {
    ReplayHeader& header = replay_.header;
    const Tokens tokens = Split(line);
    if (lineNumber_ == 1) {
      if (line == kFormatLine) return true;
      std::uint64_t format = 0;
      if (tokens.count == 2 && tokens.items[0] == "tandemhoop-replay" &&
          ParseNumber(tokens.items[1], 1'000'000, format) && format > 1) {
        return Fail("replay format " + std::to_string(format) +
                    " is newer than this build reads (format 1)");
      }
      return Fail("not a tandemhoop replay (the first line must be \"tandemhoop-replay 1\")");
    }
    if (tokens.badSpacing) return Fail("fields must be separated by single spaces");
    if (lineNumber_ == 2) {
      std::uint64_t seed = 0;
      if (tokens.count != 2 || tokens.items[0] != "seed" ||
          !ParseNumber(tokens.items[1], 0xFFFFFFFFu, seed)) {
        return Fail("expected \"seed N\" with N a whole number from 0 to 4294967295");
      }
      header.seed = static_cast<std::uint32_t>(seed);
      return true;
    }
    if (lineNumber_ == 3) {
      if (tokens.count != 2 || tokens.items[0] != "version" || tokens.items[1].size() > 32) {
        return Fail("expected \"version V\" with V the game's version (at most 32 characters)");
      }
      header.version = std::string(tokens.items[1]);
      return true;
    }
    if (lineNumber_ == 4) {
      const int speed = tokens.count == 2 && tokens.items[0] == "speed"
                            ? FindName(kSpeedNames, tokens.items[1])
                            : -1;
      if (speed < 0) return Fail("expected \"speed classic\" or \"speed fast\"");
      header.speed = static_cast<Speed>(speed);
      return true;
    }
    if (lineNumber_ == 5) {
      const int level = tokens.count == 2 && tokens.items[0] == "computer"
                            ? FindName(kLevelNames, tokens.items[1])
                            : -1;
      if (level < 0) {
        return Fail(
            "expected \"computer original\", \"computer medium\", \"computer easy\" or "
            "\"computer beginner\"");
      }
      header.level = static_cast<ComputerLevel>(level);
      return true;
    }
    if (tokens.tooMany) return Fail("more fields than any replay line has");
    if (tokens.items[0] == "end") {
      ended = true;
      return ReadEnd(tokens);
    }
    return ReadEvent(tokens);
  }

  bool ReadEnd(const Tokens& tokens) {
    ReplayEnd& end = replay_.end;
    std::uint64_t tick = 0;
    if (tokens.count != 7 || tokens.items[2] != "score" || tokens.items[5] != "hash") {
      return Fail("expected \"end TICK score P1 P2 hash HASH\"");
    }
    if (!ParseNumber(tokens.items[1], kMaxReplayTicks, tick)) {
      return Fail("the end tick must be a whole number from 0 to " +
                  std::to_string(kMaxReplayTicks));
    }
    if (tick < lastTick_) {
      return Fail("the end tick " + std::to_string(tick) + " comes before the last event's (" +
                  std::to_string(lastTick_) + ")");
    }
    if (!ParseScore(tokens.items[3], end.p1Score) || !ParseScore(tokens.items[4], end.p2Score)) {
      return Fail("a score must be a whole number from -32768 to 32767");
    }
    if (!ParseHash(tokens.items[6], end.hash)) {
      return Fail("the hash must be 16 hexadecimal digits (0-9, a-f)");
    }
    end.tick = static_cast<std::uint32_t>(tick);
    return true;
  }

  bool ReadEvent(const Tokens& tokens) {
    std::uint64_t tick = 0;
    if (!ParseNumber(tokens.items[0], kMaxReplayTicks, tick)) {
      return Fail("expected an event (\"TICK down|up|press|click ...\") or the end line, not " +
                  Quoted(tokens.items[0]));
    }
    if (tick < lastTick_) {
      return Fail("tick " + std::to_string(tick) + " comes before the tick of the line above (" +
                  std::to_string(lastTick_) + ")");
    }
    if (tick > lastTick_) {
      lastBox_ = 0;
      lastBoxAnswered_ = false;
    }
    lastTick_ = static_cast<std::uint32_t>(tick);

    ReplayEvent event;
    event.tick = lastTick_;
    std::size_t at = 1;
    if (tokens.count > at && tokens.items[at] == "box") {
      std::uint64_t box = 0;
      if (tokens.count <= at + 1 || !ParseNumber(tokens.items[at + 1], 65535, box) || box == 0) {
        return Fail("a box number must be a whole number from 1 to 65535");
      }
      if (box < lastBox_) {
        return Fail("box " + std::to_string(box) + " comes after box " + std::to_string(lastBox_) +
                    " of the same tick");
      }
      if (box == lastBox_ && lastBoxAnswered_) {
        return Fail("an event in box " + std::to_string(box) + " after its answer");
      }
      if (box > lastBox_) lastBoxAnswered_ = false;
      lastBox_ = static_cast<std::uint16_t>(box);
      event.box = lastBox_;
      at += 2;
    }
    if (tokens.count <= at) return Fail("the event is missing");
    const std::string_view verb = tokens.items[at];
    const int kind = FindName(kKindNames, verb);
    if (kind < 0) {
      return Fail("unknown event " + Quoted(verb) +
                  " (expected down, up, press, click, answer, level, speed or box)");
    }
    event.kind = static_cast<ReplayEventKind>(kind);
    const std::size_t arguments = tokens.count - at - 1;
    const std::string_view* argument = tokens.items.data() + at + 1;
    std::uint64_t value = 0;
    switch (event.kind) {
      case ReplayEventKind::KeyDown:
      case ReplayEventKind::KeyUp:
        if (arguments != 2) return Fail(std::string(verb) + " takes a key code and a shift state");
        if (!ParseNumber(argument[0], 65535, value)) {
          return Fail("a key code must be a whole number from 0 to 65535");
        }
        event.code = static_cast<std::uint16_t>(value);
        if (!ParseNumber(argument[1], 7, value)) {
          return Fail("a shift state must be a whole number from 0 to 7");
        }
        event.shift = static_cast<std::uint16_t>(value);
        break;
      case ReplayEventKind::KeyPress:
        if (arguments != 1) return Fail("press takes one character code");
        if (!ParseNumber(argument[0], 65535, value)) {
          return Fail("a character code must be a whole number from 0 to 65535");
        }
        event.code = static_cast<std::uint16_t>(value);
        break;
      case ReplayEventKind::Click: {
        if (arguments != 1) return Fail("click takes the name of one control");
        const int click = FindName(kClickNames, argument[0]);
        if (click < 0) {
          return Fail("unknown control " + Quoted(argument[0]) + " of the selection screen");
        }
        event.code = static_cast<std::uint16_t>(click);
        break;
      }
      case ReplayEventKind::Answer:
        if (event.box == 0) return Fail("an answer outside a box");
        if (arguments != 1 || (argument[0] != "yes" && argument[0] != "no")) {
          return Fail("answer takes yes or no");
        }
        event.code = argument[0] == "yes" ? 1 : 0;
        lastBoxAnswered_ = true;
        break;
      case ReplayEventKind::Level: {
        const int level = arguments == 1 ? FindName(kLevelNames, argument[0]) : -1;
        if (level < 0) return Fail("level takes original, medium, easy or beginner");
        event.code = static_cast<std::uint16_t>(level);
        break;
      }
      case ReplayEventKind::Speed: {
        const int speed = arguments == 1 ? FindName(kSpeedNames, argument[0]) : -1;
        if (speed < 0) return Fail("speed takes classic or fast");
        event.code = static_cast<std::uint16_t>(speed);
        break;
      }
    }
    replay_.events.Append(event);
    return true;
  }

  std::string_view text_;
  Replay& replay_;
  std::string& error_;
  std::size_t lineNumber_ = 0;
  std::uint32_t lastTick_ = 0;
  std::uint16_t lastBox_ = 0;
  bool lastBoxAnswered_ = false;
};

class NoView final : public SelectionView {
 public:
  void SetText1(std::string_view) override {}
  void SetText2(std::string_view) override {}
  void HideScreen() override {}
};

}  // namespace

std::string_view GameVersion() {
  return TANDEMHOOP_VERSION;
}

std::string_view ClickName(SelectionClick click) {
  const auto index = static_cast<std::size_t>(click);
  return index < kSelectionClickCount ? kClickNames[index] : std::string_view("?");
}

void DispatchClick(PlayerSelection& selection, SelectionClick click) {
  using Handler = void (PlayerSelection::*)();
  static constexpr Handler kHandlers[kSelectionClickCount] = {
      &PlayerSelection::Label6_Click,   &PlayerSelection::Picture26_Click,
      &PlayerSelection::Label3_Click,   &PlayerSelection::Picture34_Click,
      &PlayerSelection::Label4_Click,   &PlayerSelection::Picture42_Click,
      &PlayerSelection::Label5_Click,   &PlayerSelection::Picture50_Click,
      &PlayerSelection::Picture1_Click, &PlayerSelection::Picture2_Click,
      &PlayerSelection::Command3_Click, &PlayerSelection::Command4_Click,
  };
  const auto index = static_cast<std::size_t>(click);
  if (index < kSelectionClickCount) (selection.*kHandlers[index])();
}

// ---- the log ----

EventLog::EventLog() {
  // Room for the chunk pointers of a million events up front.
  chunks_.reserve(256);
}

void EventLog::Append(const ReplayEvent& event) {
  if (size_ == chunks_.size() * kChunkEvents) chunks_.push_back(std::make_unique<Chunk>());
  (*chunks_[size_ / kChunkEvents])[size_ % kChunkEvents] = event;
  ++size_;
}

void EventLog::Truncate(std::size_t size) {
  if (size < size_) size_ = size;
}

void EventLog::Clear() {
  // The first chunk stays: a log that is filled again allocates nothing for a while.
  if (chunks_.size() > 1) chunks_.resize(1);
  size_ = 0;
}

// ---- the file ----

std::string WriteReplay(const ReplayHeader& header, const EventLog& events, const ReplayEnd& end) {
  std::string out;
  out.reserve(120 + events.size() * 16);
  out += kFormatLine;
  out += "\nseed ";
  AppendNumber(out, header.seed);
  out += "\nversion ";
  out += header.version.empty() ? GameVersion() : std::string_view(header.version);
  out += "\nspeed ";
  out += kSpeedNames[header.speed == Speed::Fast ? 1 : 0];
  out += "\ncomputer ";
  out += kLevelNames[std::min(static_cast<std::size_t>(header.level), kLevelCount - 1)];
  out += '\n';
  for (std::size_t i = 0; i < events.size(); ++i) {
    const ReplayEvent& event = events[i];
    AppendNumber(out, event.tick);
    if (event.box != 0) {
      out += " box ";
      AppendNumber(out, event.box);
    }
    out += ' ';
    out += kKindNames[static_cast<std::size_t>(event.kind)];
    out += ' ';
    switch (event.kind) {
      case ReplayEventKind::KeyDown:
      case ReplayEventKind::KeyUp:
        AppendNumber(out, event.code);
        out += ' ';
        AppendNumber(out, event.shift);
        break;
      case ReplayEventKind::KeyPress:
        AppendNumber(out, event.code);
        break;
      case ReplayEventKind::Click:
        out += ClickName(static_cast<SelectionClick>(event.code));
        break;
      case ReplayEventKind::Answer:
        out += event.code != 0 ? "yes" : "no";
        break;
      case ReplayEventKind::Level:
        out += kLevelNames[std::min<std::size_t>(event.code, kLevelCount - 1)];
        break;
      case ReplayEventKind::Speed:
        out += kSpeedNames[event.code != 0 ? 1 : 0];
        break;
    }
    out += '\n';
  }
  out += "end ";
  AppendNumber(out, end.tick);
  out += " score ";
  AppendSigned(out, end.p1Score);
  out += ' ';
  AppendSigned(out, end.p2Score);
  out += " hash ";
  AppendNumber(out, end.hash, 16, 16);
  out += '\n';
  return out;
}

bool ReadReplay(std::string_view text, Replay& replay, std::string& error) {
  return Reader(text, replay, error).Read();
}

bool LoadReplayFile(const std::string& path, Replay& replay, std::string& error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    error = "cannot open " + path;
    return false;
  }
  std::string text;
  std::array<char, 65536> buffer{};
  bool tooLarge = false;
  while (true) {
    const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), file);
    if (read == 0) break;
    if (text.size() + read > kMaxReplayBytes) {
      tooLarge = true;
      break;
    }
    text.append(buffer.data(), read);
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    error = "cannot read " + path;
    return false;
  }
  if (tooLarge) {
    error = "the file is larger than any replay (" + std::to_string(kMaxReplayBytes >> 20) +
            " MiB at most)";
    return false;
  }
  return ReadReplay(text, replay, error);
}

// ---- recording ----

Recorder::Recorder(Platform& inner) : PassingPlatform(inner) {
  header_.version = std::string(GameVersion());
}

void Recorder::Attach(Game& game, PlayerSelection& selection) {
  game_ = &game;
  selection_ = &selection;
}

bool Recorder::Accepting() const {
  return game_ != nullptr && !game_->Ended();
}

void Recorder::Note(ReplayEventKind kind, int code, int shift) {
  ReplayEvent event;
  event.tick = ticks_;
  event.kind = kind;
  event.box = openBox_;
  event.code = static_cast<std::uint16_t>(code);
  event.shift = static_cast<std::uint16_t>(shift);
  events_.Append(event);
}

void Recorder::AfterInput() {
  if (game_->state.playClock > 0) playStarted_ = true;
  // An input inside another's box (the window closed behind a foul box) may end the game, but
  // the outer handler goes on to its end: the game is over when that returns, and the replay
  // ends with the state it leaves, as its playback will.
  if (depth_ > 0) return;
  if (game_->Ended() && !endReported_) {
    endReported_ = true;
    if (onEnd_) onEnd_();
  }
}

void Recorder::SetSpeed(Speed speed) {
  speed_ = speed;
  if (!loaded_) header_.speed = speed;
}

void Recorder::Load() {
  if (!Accepting()) return;
  loaded_ = true;
  header_.level = game_->computerLevel();
  level_ = header_.level;
  header_.speed = speed_;
  notedSpeed_ = speed_;
  ++depth_;
  game_->Form_Load();
  --depth_;
  AfterInput();
}

void Recorder::Tick() {
  // The game's timer fires only while it is on. Input read just before a tick (a pad's Back,
  // then No to the quit question) may have stopped it: that tick does not come.
  if (!Accepting() || !TimerEnabled()) return;
  // The level only counts on a tick; a change from the menu is noted before the first it rules.
  if (game_->computerLevel() != level_) {
    level_ = game_->computerLevel();
    Note(ReplayEventKind::Level, static_cast<int>(level_), 0);
  }
  if (speed_ != notedSpeed_) {
    notedSpeed_ = speed_;
    Note(ReplayEventKind::Speed, static_cast<int>(speed_), 0);
  }
  ++ticks_;
  boxesThisTick_ = 0;
  ++depth_;
  game_->Timer1_Timer();
  --depth_;
  AfterInput();
}

namespace {
// What a replay line can hold; codes the game has no use for are all the same to it.
int RecordableCode(int code) {
  return code >= 0 && code <= 0xFFFF ? code : 0;
}
}  // namespace

void Recorder::KeyDown(int keyCode, int shift) {
  if (!Accepting()) return;
  keyCode = RecordableCode(keyCode);
  shift &= 7;
  Note(ReplayEventKind::KeyDown, keyCode, shift);
  ++depth_;
  game_->Form_KeyDown(keyCode, shift);
  --depth_;
  AfterInput();
}

void Recorder::KeyUp(int keyCode, int shift) {
  if (!Accepting()) return;
  keyCode = RecordableCode(keyCode);
  shift &= 7;
  Note(ReplayEventKind::KeyUp, keyCode, shift);
  ++depth_;
  game_->Form_KeyUp(keyCode, shift);
  --depth_;
  AfterInput();
}

void Recorder::KeyPress(int keyAscii) {
  if (!Accepting()) return;
  keyAscii = RecordableCode(keyAscii);
  Note(ReplayEventKind::KeyPress, keyAscii, 0);
  ++depth_;
  game_->Form_KeyPress(keyAscii);
  --depth_;
  AfterInput();
}

void Recorder::Click(SelectionClick click) {
  if (!Accepting() || static_cast<int>(click) >= kSelectionClickCount) return;
  Note(ReplayEventKind::Click, static_cast<int>(click), 0);
  ++depth_;
  DispatchClick(*selection_, click);
  --depth_;
  AfterInput();
}

std::string Recorder::Text() const {
  ReplayEnd end;
  end.tick = ticks_;
  if (game_ != nullptr) {
    end.p1Score = game_->state.p1Score;
    end.p2Score = game_->state.p2Score;
    end.hash = StateHash(game_->state);
  }
  return WriteReplay(header_, events_, end);
}

Recorder::Mark Recorder::Position() const {
  return Mark{events_.size(), ticks_,  boxesThisTick_, level_,
              notedSpeed_,    loaded_, playStarted_,   endReported_};
}

void Recorder::Rewind(const Mark& mark) {
  events_.Truncate(mark.events);
  ticks_ = mark.ticks;
  boxesThisTick_ = mark.boxesThisTick;
  level_ = mark.level;
  notedSpeed_ = mark.notedSpeed;
  loaded_ = mark.loaded;
  playStarted_ = mark.playStarted;
  endReported_ = mark.endReported;
}

void Recorder::ShowMessage(std::string_view text) {
  const std::uint16_t outer = openBox_;
  openBox_ = ++boxesThisTick_;
  inner_.ShowMessage(text);
  openBox_ = outer;
}

bool Recorder::AskYesNo(std::string_view text) {
  const std::uint16_t outer = openBox_;
  openBox_ = ++boxesThisTick_;
  const bool yes = inner_.AskYesNo(text);
  // The game ended inside the question (its window was closed): the question had no answer.
  if (!game_->Ended()) Note(ReplayEventKind::Answer, yes ? 1 : 0, 0);
  openBox_ = outer;
  return yes;
}

std::uint32_t Recorder::SecondsSinceMidnight() const {
  header_.seed = inner_.SecondsSinceMidnight();
  return header_.seed;
}

// ---- playback ----

Player::Player(Platform& inner, const Replay& replay)
    : PassingPlatform(inner), replay_(replay), speed_(replay.header.speed) {}

void Player::Attach(Game& game, PlayerSelection& selection) {
  game_ = &game;
  selection_ = &selection;
  game.SetComputerLevel(replay_.header.level);
}

void Player::Diverged(const char* what) {
  if (!divergence_.empty()) return;
  divergence_ = "tick " + std::to_string(ticks_) + ": " + what;
}

void Player::Deliver(const ReplayEvent& event) {
  switch (event.kind) {
    case ReplayEventKind::KeyDown:
      game_->Form_KeyDown(event.code, event.shift);
      break;
    case ReplayEventKind::KeyUp:
      game_->Form_KeyUp(event.code, event.shift);
      break;
    case ReplayEventKind::KeyPress:
      game_->Form_KeyPress(event.code);
      break;
    case ReplayEventKind::Click:
      DispatchClick(*selection_, static_cast<SelectionClick>(event.code));
      break;
    case ReplayEventKind::Answer:
      Diverged("an answer came with no question asked");
      break;
    case ReplayEventKind::Level:
      game_->SetComputerLevel(static_cast<ComputerLevel>(std::min<int>(event.code, 2)));
      break;
    case ReplayEventKind::Speed:
      speed_ = event.code != 0 ? Speed::Fast : Speed::Classic;
      break;
  }
}

void Player::Load() {
  game_->Form_Load();
}

bool Player::EventsDue() const {
  return next_ < replay_.events.size() && replay_.events[next_].tick == ticks_ && !game_->Ended();
}

void Player::DeliverDue() {
  const EventLog& events = replay_.events;
  while (next_ < events.size() && !game_->Ended()) {
    const ReplayEvent& event = events[next_];
    if (event.tick != ticks_) break;
    ++next_;
    if (event.box != 0) {
      Diverged("a message box of the recording did not open");
      continue;
    }
    Deliver(event);
  }
}

void Player::DeliverBox(std::uint16_t box) {
  const EventLog& events = replay_.events;
  while (next_ < events.size()) {
    const ReplayEvent& event = events[next_];
    if (event.tick != ticks_ || event.box != box || event.kind == ReplayEventKind::Answer) break;
    ++next_;
    Deliver(event);
  }
}

bool Player::TickDue() const {
  return !game_->Ended() && ticks_ < replay_.end.tick;
}

void Player::Tick() {
  if (!TickDue()) return;
  if (!inner_.TimerEnabled()) Diverged("a tick of the recording came while the timer was off");
  ++ticks_;
  boxesThisTick_ = 0;
  game_->Timer1_Timer();
  DeliverDue();
}

void Player::RunToEnd() {
  Load();
  DeliverDue();
  while (TickDue())
    Tick();
}

bool Player::Finished() const {
  return game_->Ended() || (!TickDue() && next_ >= replay_.events.size());
}

bool Player::Matches() const {
  // The hash covers the score, but the score written beside it could be edited alone: all the
  // end line says is checked.
  return divergence_.empty() && next_ == replay_.events.size() && ticks_ == replay_.end.tick &&
         game_->state.p1Score == replay_.end.p1Score &&
         game_->state.p2Score == replay_.end.p2Score && StateHash(game_->state) == replay_.end.hash;
}

std::string Player::Mismatch() const {
  if (Matches()) return {};
  if (!divergence_.empty()) return divergence_;
  if (ticks_ != replay_.end.tick) {
    return "the game ended at tick " + std::to_string(ticks_) + ", the recording at tick " +
           std::to_string(replay_.end.tick);
  }
  if (next_ != replay_.events.size()) {
    return "the game ended with " + std::to_string(replay_.events.size() - next_) +
           " recorded inputs still to come";
  }
  if (game_->state.p1Score != replay_.end.p1Score || game_->state.p2Score != replay_.end.p2Score) {
    std::string scores = "the game ended with the score ";
    AppendSigned(scores, game_->state.p1Score);
    scores += ' ';
    AppendSigned(scores, game_->state.p2Score);
    scores += ", the recording says ";
    AppendSigned(scores, replay_.end.p1Score);
    scores += ' ';
    AppendSigned(scores, replay_.end.p2Score);
    return scores;
  }
  std::string hashes;
  AppendNumber(hashes, StateHash(game_->state), 16, 16);
  hashes += ", recorded ";
  AppendNumber(hashes, replay_.end.hash, 16, 16);
  return "the state at tick " + std::to_string(ticks_) + " is not the recorded one (hash " +
         hashes + ")";
}

Player::Mark Player::Position() const {
  return Mark{next_, ticks_, boxesThisTick_, speed_, !divergence_.empty()};
}

void Player::Rewind(const Mark& mark) {
  next_ = mark.next;
  ticks_ = mark.ticks;
  boxesThisTick_ = mark.boxesThisTick;
  speed_ = mark.speed;
  // Once noted, a divergence is never replaced: only one noted since the mark is taken back.
  if (!mark.diverged) divergence_.clear();
}

void Player::ShowMessage(std::string_view text) {
  DeliverBox(++boxesThisTick_);
  if (showBoxes_) inner_.ShowMessage(text);
}

bool Player::AskYesNo(std::string_view text) {
  const std::uint16_t box = ++boxesThisTick_;
  DeliverBox(box);
  // Closed while the question was open, the game ended inside it and there is no answer.
  if (game_->Ended()) return false;
  bool yes = false;
  const EventLog& events = replay_.events;
  if (next_ < events.size() && events[next_].tick == ticks_ && events[next_].box == box &&
      events[next_].kind == ReplayEventKind::Answer) {
    yes = events[next_].code != 0;
    ++next_;
  } else {
    Diverged("the quit question was asked where the recording has no answer");
  }
  if (showBoxes_) inner_.AskYesNo(text);
  return yes;
}

void HeadlessPlatform::ShowSelectionScreen() {
  if (selection_ == nullptr || selectionLoaded_) return;
  selectionLoaded_ = true;
  selection_->Form_Load();
}

VerifyResult VerifyReplay(const Replay& replay) {
  HeadlessPlatform headless;
  Player player(headless, replay);
  MtRandom random;
  Game game(player, random);
  NoView view;
  PlayerSelection selection(game.state, view);
  headless.SetSelection(&selection);
  player.Attach(game, selection);
  player.RunToEnd();

  VerifyResult result;
  result.matches = player.Matches();
  result.ticks = player.ticks();
  result.p1Score = game.state.p1Score;
  result.p2Score = game.state.p2Score;
  result.twoPlayers = game.state.twoPlayerMode == kTrue;
  result.hash = StateHash(game.state);
  result.mismatch = player.Mismatch();
  return result;
}

}  // namespace tandemhoop
