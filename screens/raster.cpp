#include "screens/raster.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "game/fnv.h"

namespace tandemhoop {
namespace {

bool WellFormed(const Surface& surface) {
  return surface.width > 0 && surface.height > 0 &&
         surface.pixels.size() ==
             static_cast<std::size_t>(surface.width) * static_cast<std::size_t>(surface.height);
}

// Row loops without branches inside, so the compiler can vectorise them: the per-copy
// operation is chosen once, outside the rows.
// Rows of two different images cannot overlap, so they go by memcpy: under the address
// sanitizer a memmove runs through the sanitizer's own byte loop, a memcpy through the C
// library's, and the court copy of every frame is most of a soak run's time.
void CopyRows(std::uint32_t* dest, int destStride, const std::uint32_t* source, int sourceStride,
              int width, int height, bool sameImage) {
  const std::size_t bytes = static_cast<std::size_t>(width) * sizeof(std::uint32_t);
  for (int row = 0; row < height; ++row) {
    if (sameImage) {
      std::copy_n(source, width, dest);
    } else {
      std::memcpy(dest, source, bytes);
    }
    dest += destStride;
    source += sourceStride;
  }
}

// A sprite's rows lie a frame's width apart and are only a few cache lines long each, too
// short for the processor to see a stream in them by itself. Touching the two ends of the
// destination row two below starts it fetching that row while this one is worked on; asking
// for every line of it, or for the source (which is contiguous), cost more than it saved.
// The addresses stay inside the image.
constexpr int kPrefetchRows = 2;

template <typename Combine>
[[gnu::always_inline]] inline void CombineRows(std::uint32_t* dest, int destStride,
                                               const std::uint32_t* source, int sourceStride,
                                               int width, int height, Combine combine) {
  for (int row = 0; row < height; ++row) {
    if (row + kPrefetchRows < height) {
      __builtin_prefetch(dest + kPrefetchRows * destStride, 1);
      __builtin_prefetch(dest + kPrefetchRows * destStride + width - 1, 1);
    }
    for (int i = 0; i < width; ++i)
      dest[i] = combine(dest[i], source[i]);
    dest += destStride;
    source += sourceStride;
  }
}

// Wider vectors where the processor has them, chosen once when the program loads.
#if defined(__x86_64__) && defined(__linux__)
#define TANDEMHOOP_VECTOR_CLONES [[gnu::target_clones("avx2", "default")]]
#else
#define TANDEMHOOP_VECTOR_CLONES
#endif

TANDEMHOOP_VECTOR_CLONES void AndRows(std::uint32_t* dest, int destStride,
                                      const std::uint32_t* source, int sourceStride, int width,
                                      int height) {
  CombineRows(dest, destStride, source, sourceStride, width, height,
              [](std::uint32_t under, std::uint32_t over) { return under & over; });
}

TANDEMHOOP_VECTOR_CLONES void OrRows(std::uint32_t* dest, int destStride,
                                     const std::uint32_t* source, int sourceStride, int width,
                                     int height) {
  CombineRows(dest, destStride, source, sourceStride, width, height,
              [](std::uint32_t under, std::uint32_t over) { return under | over; });
}

}  // namespace

CopyArea ClippedCopyArea(const Surface& dest, int x, int y, int width, int height,
                         const Surface& source, int sourceX, int sourceY) {
  if (!WellFormed(dest) || !WellFormed(source) || width < 0 || height < 0) return {};
  // Clip in 64 bits so that no sum of caller-supplied coordinates can overflow.
  long long left = 0;
  long long top = 0;
  long long right = width;
  long long bottom = height;
  // Against the source image.
  left = std::max(left, -static_cast<long long>(sourceX));
  top = std::max(top, -static_cast<long long>(sourceY));
  right = std::min(right, static_cast<long long>(source.width) - sourceX);
  bottom = std::min(bottom, static_cast<long long>(source.height) - sourceY);
  // Against the destination.
  left = std::max(left, -static_cast<long long>(x));
  top = std::max(top, -static_cast<long long>(y));
  right = std::min(right, static_cast<long long>(dest.width) - x);
  bottom = std::min(bottom, static_cast<long long>(dest.height) - y);
  if (right <= left || bottom <= top) return {};
  // Inside the destination now, so every figure fits in an int.
  return {static_cast<int>(x + left), static_cast<int>(y + top), static_cast<int>(right - left),
          static_cast<int>(bottom - top)};
}

std::int32_t BitBlt(Surface& dest, int x, int y, int width, int height, const Surface& source,
                    int sourceX, int sourceY, RasterOp op) {
  if (!WellFormed(dest) || !WellFormed(source) || width < 0 || height < 0) return 0;
  const CopyArea area = ClippedCopyArea(dest, x, y, width, height, source, sourceX, sourceY);
  if (area.empty()) return 1;  // nothing visible: still a good copy

  const int columns = area.width;
  const int rows = area.height;
  std::uint32_t* to =
      dest.pixels.data() + static_cast<std::ptrdiff_t>(area.y) * dest.width + area.x;
  const std::uint32_t* from = source.pixels.data() +
                              (static_cast<long long>(sourceY) + area.y - y) * source.width +
                              (static_cast<long long>(sourceX) + area.x - x);
  switch (op) {
    case RasterOp::SrcCopy:
      CopyRows(to, dest.width, from, source.width, columns, rows, &dest == &source);
      break;
    case RasterOp::SrcAnd:
      AndRows(to, dest.width, from, source.width, columns, rows);
      break;
    case RasterOp::SrcPaint:
      OrRows(to, dest.width, from, source.width, columns, rows);
      break;
  }
  return 1;
}

std::uint64_t FrameHash(const Surface& surface) {
  Fnv1a64 hash;
  const std::size_t count = static_cast<std::size_t>(std::max(surface.width, 0)) *
                            static_cast<std::size_t>(std::max(surface.height, 0));
  const std::size_t stored = std::min(count, surface.pixels.size());
  for (std::size_t i = 0; i < stored; ++i)
    hash.AddLittleEndian(surface.pixels[i], 4);
  return hash.value();
}

}  // namespace tandemhoop
