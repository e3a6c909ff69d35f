#include "tests/support/raster_platform.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "screens/pictures.h"

namespace tandemhoop::testing {

namespace {

constexpr std::uint32_t kWindowBackground = 0xFFFFFF;

std::uint32_t Apply(std::uint32_t dest, std::uint32_t source, RasterOp op) {
  switch (op) {
    case RasterOp::SrcCopy:
      return source;
    case RasterOp::SrcAnd:
      return dest & source;
    case RasterOp::SrcPaint:
      return dest | source;
  }
  return dest;
}

}  // namespace

RasterPlatform::RasterPlatform(const PictureSet& pictures) : pictures_(pictures) {
  frame_ = Surface{kWidth, kHeight, {}};
  frame_.pixels.assign(static_cast<std::size_t>(kWidth) * kHeight, kWindowBackground);
  before_ = frame_;
}

void RasterPlatform::Reset() {
  timerEnabled_ = false;
  std::fill(frame_.pixels.begin(), frame_.pixels.end(), kWindowBackground);
  tickCopyCount_ = 0;
}

void RasterPlatform::Fault(const char* format, ...) {
  if (faults++ != 0) return;
  va_list args;
  va_start(args, format);
  std::vsnprintf(firstFault_.data(), firstFault_.size(), format, args);
  va_end(args);
}

std::int32_t RasterPlatform::BitBlt(int x, int y, int width, int height, PictureRef source,
                                    RasterOp op) {
  ++copies;
  if (tickCopyCount_ < kMaxTickCopies) {
    tickCopies_[static_cast<std::size_t>(tickCopyCount_++)] = Copy{source, op, x, y};
  }
  const Surface* picture = pictures_.Find(source);
  if (picture == nullptr) {
    Fault("copy of a picture the game does not have: Form%d.Picture%d",
          static_cast<int>(source.form), source.index);
    return 0;
  }
  const bool isCourt = source.form == Holder::Form3;
  const int expectedWidth = isCourt ? kWidth : picture->width;
  const int expectedHeight = isCourt ? kHeight : picture->height;
  if (width != expectedWidth || height != expectedHeight) {
    Fault("Form%d.Picture%d copied at %dx%d, its size is %dx%d", static_cast<int>(source.form),
          source.index, width, height, expectedWidth, expectedHeight);
  }
  if (!draw) return 1;
  const bool verify = verifyEvery > 0 && copies % verifyEvery == 0;
  if (verify) std::copy(frame_.pixels.begin(), frame_.pixels.end(), before_.pixels.begin());
  const std::int32_t result = tandemhoop::BitBlt(frame_, x, y, width, height, *picture, 0, 0, op);
  if (verify) Verify(x, y, width, height, *picture, op);
  return result;
}

// Pixel by pixel, independently of the raster's own clipping: inside the part of the copy that
// lies in both images the operation's result, everywhere else what was there before.
void RasterPlatform::Verify(int x, int y, int width, int height, const Surface& source,
                            RasterOp op) {
  ++verifiedCopies;
  for (int row = 0; row < kHeight; ++row) {
    for (int column = 0; column < kWidth; ++column) {
      const std::size_t at = static_cast<std::size_t>(row) * kWidth + column;
      const int sx = column - x;
      const int sy = row - y;
      const bool covered = sx >= 0 && sy >= 0 && sx < std::min(width, source.width) &&
                           sy < std::min(height, source.height);
      const std::uint32_t old = before_.pixels[at];
      const std::uint32_t expected =
          covered ? Apply(old, source.pixels[static_cast<std::size_t>(sy) * source.width + sx], op)
                  : old;
      if (frame_.pixels[at] != expected) {
        Fault("copy to (%d,%d) left pixel (%d,%d) at %06x instead of %06x", x, y, column, row,
              frame_.pixels[at], expected);
        return;
      }
    }
  }
}

void RasterPlatform::Print(std::string_view /*line*/) {
  ++prints;
}

void RasterPlatform::ShowSelectionScreen() {
  if (observer != nullptr) observer->OnShowSelection();
}

void RasterPlatform::ShowMessage(std::string_view text) {
  ++messages;
  if (observer != nullptr) observer->OnMessage(text);
}

bool RasterPlatform::AskYesNo(std::string_view text) {
  return observer != nullptr && observer->OnAsk(text);
}

void RasterPlatform::EndProgram() {
  timerEnabled_ = false;
  if (observer != nullptr) observer->OnEndProgram();
}

}  // namespace tandemhoop::testing
