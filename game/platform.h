#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tandemhoop {

enum class RasterOp : std::uint8_t { SrcCopy, SrcAnd, SrcPaint };
enum class Holder : std::uint8_t { Form2 = 2, Form3 = 3, Form4 = 4, Form5 = 5 };
// What the game lets the player hear. The core only says when; the front end says how it sounds.
enum class Sound : std::uint8_t { Bounce, Release, Swish, Rim, Dunk, Block, Steal, Whistle, Win };
inline constexpr int kSoundCount = 9;

struct PictureRef {  // Form2.Picture12 == {Holder::Form2, 12}
  Holder form;
  std::int16_t index;
};

// What the game asks of the window system. The core never talks to the OS any other way.
class Platform {
 public:
  virtual ~Platform() = default;
  // Court window drawing area: copy `width` x `height` pixels of `source`, from its origin,
  // to (x, y), clipped; returns nonzero on success (stored in lastBlitResult, never read).
  virtual std::int32_t BitBlt(int x, int y, int width, int height, PictureRef source,
                              RasterOp op) = 0;
  virtual int DrawingWidth() const = 0;            // 727
  virtual int DrawingHeight() const = 0;           // 542
  virtual void SetTextPosition(int x, int y) = 0;  // current print position
  virtual void Print(std::string_view line) = 0;   // draw at the position, move to next line
  virtual void SetTimerEnabled(bool enabled) = 0;  // Timer1
  virtual bool TimerEnabled() const = 0;
  virtual void CentreCourtWindow() = 0;
  virtual void ShowSelectionScreen() = 0;               // no second window if already shown
  virtual void ShowMessage(std::string_view text) = 0;  // modal, OK, program title as caption
  virtual bool AskYesNo(std::string_view text) = 0;     // modal, Yes -> true
  virtual void EndProgram() = 0;
  // Seed for the random source at start-up: seconds since local midnight.
  virtual std::uint32_t SecondsSinceMidnight() const { return 0; }
  // A cue: this just happened and should be heard. Silent unless a front end plays it.
  virtual void PlaySound(Sound /*sound*/) {}
};

// Where a random source stands, as one fixed-size value: enough to go back to an earlier tick
// and draw the same values again. Its bytes belong to one build; they are never written down.
struct RandomSnapshot {
  static constexpr std::size_t kCapacity = 5008;
  alignas(8) std::array<std::byte, kCapacity> bytes{};
  std::uint64_t draws = 0;
};

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  virtual double Next() = 0;  // uniform in [0, 1): never 1.0
  // Start-up reseeds from the clock; sources that play back a script ignore it.
  virtual void Seed(std::uint32_t /*seed*/) {}
  // Values drawn since the last seeding: where two machines compare their sources.
  virtual std::uint64_t Draws() const { return 0; }
  // Going back: false from a source that cannot (a script played back).
  virtual bool Save(RandomSnapshot& /*into*/) const { return false; }
  virtual bool Restore(const RandomSnapshot& /*from*/) { return false; }
};

}  // namespace tandemhoop
