#pragma once

#include <array>

#include "game/platform.h"
#include "screens/raster.h"

namespace tandemhoop {

// A few rectangles that together cover every pixel that changed. A full list takes the next
// rectangle into whichever of its own grows the least, so the cover stays small without ever
// allocating.
class ChangedAreas {
 public:
  static constexpr int kMax = 4;

  void Add(const CopyArea& area);
  void Add(const ChangedAreas& other);
  void Clear() { count_ = 0; }

  int count() const { return count_; }
  const CopyArea& operator[](int i) const { return areas_[static_cast<std::size_t>(i)]; }

 private:
  std::array<CopyArea, kMax> areas_{};
  int count_ = 0;
};

// What a frame's copies changed since it was last shown. Every tick starts again by copying one
// picture (the court) over the whole frame: that copy changes only what was drawn over the same
// picture since it was last copied, so a front end need not send the whole frame each tick.
class FrameChanges {
 public:
  FrameChanges(int width, int height);

  // A copy of `source` to (x, y) that covered `area` of the frame (clipped, as the raster clips).
  void Copied(PictureRef source, int x, int y, const CopyArea& area, RasterOp op);
  // The pictures' pixels were replaced: a whole-frame copy is no longer known to repeat one.
  void Forget();

  // What changed since the last call; the frame counts as shown after it.
  const ChangedAreas& Take();

 private:
  int width_;
  int height_;
  ChangedAreas pending_;
  ChangedAreas shown_;      // what Take handed out last
  ChangedAreas drawnOver_;  // drawn since the last whole-frame copy
  bool haveUnderneath_ = false;
  PictureRef underneath_{};  // the picture that last covered the whole frame
};

}  // namespace tandemhoop
