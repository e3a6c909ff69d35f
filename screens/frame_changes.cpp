#include "screens/frame_changes.h"

#include <algorithm>

namespace tandemhoop {
namespace {

long long Size(const CopyArea& area) {
  return static_cast<long long>(area.width) * area.height;
}

CopyArea Union(const CopyArea& a, const CopyArea& b) {
  const int left = std::min(a.x, b.x);
  const int top = std::min(a.y, b.y);
  const int right = std::max(a.x + a.width, b.x + b.width);
  const int bottom = std::max(a.y + a.height, b.y + b.height);
  return {left, top, right - left, bottom - top};
}

}  // namespace

void ChangedAreas::Add(const CopyArea& area) {
  if (area.empty()) return;
  // An area that costs no more as one rectangle with the new one (overlapping it, or inside it)
  // is taken into it, so that no pixel is sent twice where that is cheap to avoid.
  CopyArea adding = area;
  for (int i = 0; i < count_;) {
    CopyArea& existing = areas_[static_cast<std::size_t>(i)];
    const CopyArea joined = Union(existing, adding);
    if (Size(joined) <= Size(existing) + Size(adding)) {
      adding = joined;
      existing = areas_[static_cast<std::size_t>(--count_)];
      i = 0;  // the grown area may now reach one already passed
    } else {
      ++i;
    }
  }
  if (count_ < kMax) {
    areas_[static_cast<std::size_t>(count_++)] = adding;
    return;
  }
  std::size_t best = 0;
  long long bestGrowth = -1;
  for (std::size_t i = 0; i < areas_.size(); ++i) {
    const long long growth = Size(Union(areas_[i], adding)) - Size(areas_[i]);
    if (bestGrowth < 0 || growth < bestGrowth) {
      best = i;
      bestGrowth = growth;
    }
  }
  areas_[best] = Union(areas_[best], adding);
}

void ChangedAreas::Add(const ChangedAreas& other) {
  for (int i = 0; i < other.count_; ++i)
    Add(other[i]);
}

FrameChanges::FrameChanges(int width, int height) : width_(width), height_(height) {
  // Nothing of the frame has been shown yet.
  pending_.Add(CopyArea{0, 0, width, height});
}

void FrameChanges::Copied(PictureRef source, int x, int y, const CopyArea& area, RasterOp op) {
  if (area.empty()) return;
  const bool wholeFrame = op == RasterOp::SrcCopy && x == 0 && y == 0 && area.x == 0 &&
                          area.y == 0 && area.width == width_ && area.height == height_;
  if (!wholeFrame) {
    pending_.Add(area);
    drawnOver_.Add(area);
    return;
  }
  if (haveUnderneath_ && underneath_.form == source.form && underneath_.index == source.index) {
    pending_.Add(drawnOver_);
  } else {
    pending_.Add(area);
  }
  haveUnderneath_ = true;
  underneath_ = source;
  drawnOver_.Clear();
}

void FrameChanges::Forget() {
  haveUnderneath_ = false;
}

const ChangedAreas& FrameChanges::Take() {
  shown_ = pending_;
  pending_.Clear();
  return shown_;
}

}  // namespace tandemhoop
