// Pixels packed into a row, most significant bit first.
//
// Indexed rows pack `depth` bits per pixel with no padding between pixels:
// depth 1 holds 8 pixels per byte with the first in bit 7, depth 2 four with
// the first in bits 7-6, depth 4 two with the first in bits 7-4, depth 8 one.
// Reading every depth from 1 to 15 as the same bit stream gives the device's
// layouts for 1, 2, 4 and 8 and a natural one for the depths in between.
#pragma once

#include <cstdint>

namespace drv::quillane {

// The value of pixel `index` in a row of `depth`-bit pixels (1 to 16). Reads
// only the bytes that hold that pixel's bits: at most 3.
inline std::uint32_t packedPixel(const std::uint8_t *row, std::uint64_t index, unsigned depth) {
    const std::uint64_t first = index * depth;
    if (8 % depth == 0) {
        // Depths 1, 2, 4 and 8 never split a pixel between two bytes.
        const auto unused = static_cast<unsigned>(8 - depth - first % 8);
        return (row[first / 8] >> unused) & ((1u << depth) - 1);
    }
    const std::uint64_t end = first + depth;  // one past the last bit
    std::uint32_t window = 0;
    for (std::uint64_t b = first / 8; b <= (end - 1) / 8; ++b) {
        window = window << 8 | row[b];
    }
    const auto unused = static_cast<unsigned>((8 - end % 8) % 8);
    return (window >> unused) & ((1u << depth) - 1);
}

}  // namespace drv::quillane
