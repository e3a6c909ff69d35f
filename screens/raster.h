#pragma once

#include <cstdint>
#include <vector>

#include "game/platform.h"

namespace tandemhoop {

// An image in memory: 0x00RRGGBB pixels, row-major, `width * height` of them.
struct Surface {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// Where a copy lands in its destination once it is clipped against both images. Empty when
// nothing of it is visible, or when the copy cannot be made at all.
struct CopyArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
};
CopyArea ClippedCopyArea(const Surface& dest, int x, int y, int width, int height,
                         const Surface& source, int sourceX, int sourceY);

// Copies `width` x `height` pixels of `source`, starting at (sourceX, sourceY), to (x, y) of
// `dest` with the given raster operation. Clipped on every side against both images; nothing
// outside either image is read or written. Returns 1 when the copy could be made (even when
// nothing of it is visible) and 0 when an image is empty or malformed.
std::int32_t BitBlt(Surface& dest, int x, int y, int width, int height, const Surface& source,
                    int sourceX, int sourceY, RasterOp op);

// FNV-1a, 64 bits, over the pixels row by row, each as its four bytes (0x00RRGGBB) little-endian.
std::uint64_t FrameHash(const Surface& surface);

}  // namespace tandemhoop
