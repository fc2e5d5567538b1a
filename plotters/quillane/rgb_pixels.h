// Host pixels to the red, green and blue bytes a direct-by-pixel image
// sends, three per pixel.
//
// Each writer fills exactly 3 * width bytes of `rgb` and reads exactly the
// bytes that hold the row's pixels. They store four bytes per pixel where
// the next pixel overwrites the fourth, and three for the last one.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drv::quillane {

// 32 bits per pixel: an ignored byte, then red, green, blue.
void rgbFromDirect32(std::uint8_t *rgb, const std::uint8_t *row, std::size_t width);

// 16 bits per pixel, a little-endian word with 5-bit red, green and blue in
// bits 14-10, 9-5 and 4-0, each widened so that 0 stays 0 and 31 becomes
// 255 (c * 8 + c / 4).
void rgbFromDirect16(std::uint8_t *rgb, const std::uint8_t *row, std::size_t width);

// `depth`-bit palette indexes (0 to 15, 0 meaning all entry 0; packed as packed_pixels.h reads
// them), each looked up in the 768-byte `palette` table by its low 8 bits.
void rgbFromIndexes(std::uint8_t *rgb, const std::uint8_t *row, std::size_t width, unsigned depth,
                    const std::uint8_t *palette);

}  // namespace drv::quillane
