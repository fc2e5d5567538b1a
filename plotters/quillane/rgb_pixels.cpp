#include "plotters/quillane/rgb_pixels.h"

#include <array>
#include <bit>
#include <cstring>

#include "plotters/quillane/packed_pixels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace drv::quillane {
namespace {

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

// A colour as red | green << 8 | blue << 16.
using Colour = std::uint32_t;

// Writes pixel `p` of `width`: four bytes while another pixel follows (it
// overwrites the fourth), three for the last.
inline void put(std::uint8_t *rgb, std::size_t p, std::size_t width, Colour c) {
    std::uint8_t *at = rgb + 3 * p;
    if (kLittleEndian && p + 1 < width) {
        std::memcpy(at, &c, 4);
        return;
    }
    at[0] = static_cast<std::uint8_t>(c);
    at[1] = static_cast<std::uint8_t>(c >> 8);
    at[2] = static_cast<std::uint8_t>(c >> 16);
}

inline std::uint32_t load32(const std::uint8_t *at) {
    if constexpr (kLittleEndian) {
        std::uint32_t v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    return at[0] | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 |
           std::uint32_t{at[3]} << 24;
}

consteval std::array<std::uint8_t, 32> widened5() {
    std::array<std::uint8_t, 32> table{};
    for (unsigned c = 0; c < 32; ++c) {
        table[c] = static_cast<std::uint8_t>(c << 3 | c >> 2);
    }
    return table;
}
constexpr std::array<std::uint8_t, 32> kWidened5 = widened5();

Colour paletteColour(const std::uint8_t *palette, std::uint32_t index) {
    const std::uint8_t *entry = palette + 3 * index;
    return entry[0] | Colour{entry[1]} << 8 | Colour{entry[2]} << 16;
}

// Depths 1, 2, 4 and 8: each row byte holds 8 / depth whole pixels, the
// first in its high bits.
template <unsigned kDepth>
void expandWhole(std::uint8_t *rgb, const std::uint8_t *row, std::size_t width,
                 const Colour *colours) {
    constexpr unsigned kPerByte = 8 / kDepth;
    constexpr unsigned kMask = (1u << kDepth) - 1;
    std::size_t p = 0;
    for (std::size_t b = 0; p < width; ++b) {
        const unsigned byte = row[b];
        for (unsigned k = 0; k < kPerByte && p < width; ++k, ++p) {
            put(rgb, p, width, colours[byte >> (8 - kDepth * (k + 1)) & kMask]);
        }
    }
}

}  // namespace

void rgbFromDirect32(std::uint8_t *rgb, const std::uint8_t *row, std::size_t width) {
    std::size_t p = 0;
#if defined(__SSE2__)
    // Four pixels a step: drop each pixel's first byte, close up each pair
    // within its 64-bit half, and store the halves 6 bytes apart; each store
    // writes 2 bytes past its pixels, which the next one overwrites.
    const __m128i low = _mm_set_epi32(0, -1, 0, -1);
    for (; p + 5 <= width; p += 4) {
        const __m128i bytes = _mm_srli_epi32(
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(row + 4 * p)), 8);
        const __m128i packed = _mm_or_si128(_mm_and_si128(bytes, low),
                                            _mm_srli_epi64(_mm_andnot_si128(low, bytes), 8));
        _mm_storel_epi64(reinterpret_cast<__m128i *>(rgb + 3 * p), packed);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(rgb + 3 * p + 6), _mm_srli_si128(packed, 8));
    }
#endif
    for (; p < width; ++p) {
        put(rgb, p, width, load32(row + 4 * p) >> 8);
    }
}

void rgbFromDirect16(std::uint8_t *rgb, const std::uint8_t *row, std::size_t width) {
    for (std::size_t p = 0; p < width; ++p) {
        const unsigned word = row[2 * p] | unsigned{row[2 * p + 1]} << 8;
        put(rgb, p, width,
            kWidened5[word >> 10 & 31u] | Colour{kWidened5[word >> 5 & 31u]} << 8 |
                Colour{kWidened5[word & 31u]} << 16);
    }
}

void rgbFromIndexes(std::uint8_t *rgb, const std::uint8_t *row, std::size_t width, unsigned depth,
                    const std::uint8_t *palette) {
    // The colours the row can use, looked up once each.
    const std::size_t entries = depth >= 8 ? 256 : std::size_t{1} << depth;
    Colour colours[256];
    for (std::size_t i = 0; i < entries; ++i) {
        colours[i] = paletteColour(palette, static_cast<std::uint32_t>(i));
    }
    switch (depth) {
    case 0:  // no bits: every pixel is entry 0
        for (std::size_t p = 0; p < width; ++p) {
            put(rgb, p, width, colours[0]);
        }
        return;
    case 1:
        return expandWhole<1>(rgb, row, width, colours);
    case 2:
        return expandWhole<2>(rgb, row, width, colours);
    case 4:
        return expandWhole<4>(rgb, row, width, colours);
    case 8:
        return expandWhole<8>(rgb, row, width, colours);
    default:
        for (std::size_t p = 0; p < width; ++p) {
            put(rgb, p, width, colours[packedPixel(row, p, depth) & 0xFFu]);
        }
    }
}

}  // namespace drv::quillane
