// Raster rows as the plotter drivers read them: pixels packed 1, 2, 4 or 8
// bits per palette index, or 16 or 32 bits of direct colour.
//
// Row layouts, first pixel first:
//   depth 1, 2, 4  several pixels per byte, the first in the high bits
//   depth 8        one palette index per byte
//   depth 16       one little-endian word per pixel: bit 15 unused, then
//                  5 bits each of red (14-10), green (9-5) and blue (4-0)
//   depth 32       four bytes per pixel: one unused byte, red, green, blue
#pragma once

#include <cstddef>
#include <cstdint>

namespace drv::host {

// True for the depths the row layouts above define.
bool isRasterDepth(std::int32_t depth);

// Bytes holding one row's pixels at `depth`: (width * depth + 7) / 8.
std::size_t packedRowBytes(std::size_t width, std::int32_t depth);

// Bytes a driver reads from one row: bit-plane rows are read in whole
// groups of 8 pixels per plane, so below depth 16 this is
// ((width + 7) / 8) * depth, which may exceed packedRowBytes; the host pads
// the row with zero bytes up to it.
std::size_t rowReadBytes(std::size_t width, std::int32_t depth);

} // namespace drv::host
