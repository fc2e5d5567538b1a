// How the binary report formats pack the two coordinates.
//
// A coordinate is a sum of terms, each one report byte taken as a signed
// 8-bit value, masked to a group of its bits (or taken whole, sign and all)
// and multiplied by the group's weight. The tables below are the wire
// layouts, term by term (bN is the byte at offset N):
//
//   Bin6    x = (b0 & 0x03) * 0x4000 + b1 * 128 + b2
//           y = (b3 & 0x03) * 0x4000 + b4 * 128 + b5
//   Bin6W   Bin6 with b3 shared: bits 0-2 are y bits 14-16, bits 3-4 x bits 16-17
//           x = (b3 & 0x18) * 0x2000 + (b0 & 0x03) * 0x4000 + b1 * 128 + b2
//           y = (b3 & 0x07) * 0x4000 + b4 * 128 + b5
//   Bin7W   b0 left to the mark and the buttons; b4 holds x bit 16 and y bits 14-16
//           x = (b4 & 0x08) * 0x2000 + (b1 & 0x03) * 0x4000 + b2 * 128 + b3
//           y = (b4 & 0x07) * 0x4000 + b5 * 128 + b6
//   Bin5x7  low seven bits first, then the high byte
//           x = b2 * 128 + (b1 & 0x7F)        y = b4 * 128 + (b3 & 0x7F)
//   Bin5x6  low six bits first, then the high byte
//           x = b2 * 64 + (b1 & 0x3F)         y = b4 * 64 + (b3 & 0x3F)
//   Bin5x6Unmasked  Bin5x6 with the low bytes added whole
//           x = b2 * 64 + b1                  y = b4 * 64 + b3
//   Bin8    b0 mark and status, b1 buttons; six, six and four bits, lowest first
//           x = (b4 & 0x0F) * 0x1000 + b3 * 64 + b2
//           y = (b7 & 0x0F) * 0x1000 + b6 * 64 + b5
//
// A masked term is never negative (no mask reaches the sign bit); a whole
// byte of 0x80 or more adds (value - 256) times its weight.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace drv::digitizer {

enum class Layout : std::uint8_t { Bin6, Bin6W, Bin7W, Bin5x7, Bin5x6, Bin5x6Unmasked, Bin8 };

// Mask value of a term that takes its byte whole, sign included.
inline constexpr std::int32_t kWholeByte = -1;

struct LayoutTerm {
    std::uint8_t at;
    std::int32_t mask;
    std::int32_t weight;
};

struct CoordinateTerms {
    std::array<LayoutTerm, 4> terms;
    std::size_t count;
};

struct LayoutTable {
    CoordinateTerms x;
    CoordinateTerms y;
};

inline constexpr std::array<LayoutTable, 7> kLayouts{{
    // Bin6
    {{{{{0, 0x03, 0x4000}, {1, kWholeByte, 128}, {2, kWholeByte, 1}}}, 3},
     {{{{3, 0x03, 0x4000}, {4, kWholeByte, 128}, {5, kWholeByte, 1}}}, 3}},
    // Bin6W
    {{{{{3, 0x18, 0x2000}, {0, 0x03, 0x4000}, {1, kWholeByte, 128}, {2, kWholeByte, 1}}}, 4},
     {{{{3, 0x07, 0x4000}, {4, kWholeByte, 128}, {5, kWholeByte, 1}}}, 3}},
    // Bin7W
    {{{{{4, 0x08, 0x2000}, {1, 0x03, 0x4000}, {2, kWholeByte, 128}, {3, kWholeByte, 1}}}, 4},
     {{{{4, 0x07, 0x4000}, {5, kWholeByte, 128}, {6, kWholeByte, 1}}}, 3}},
    // Bin5x7
    {{{{{2, kWholeByte, 128}, {1, 0x7F, 1}}}, 2},
     {{{{4, kWholeByte, 128}, {3, 0x7F, 1}}}, 2}},
    // Bin5x6
    {{{{{2, kWholeByte, 64}, {1, 0x3F, 1}}}, 2},
     {{{{4, kWholeByte, 64}, {3, 0x3F, 1}}}, 2}},
    // Bin5x6Unmasked
    {{{{{2, kWholeByte, 64}, {1, kWholeByte, 1}}}, 2},
     {{{{4, kWholeByte, 64}, {3, kWholeByte, 1}}}, 2}},
    // Bin8
    {{{{{4, 0x0F, 0x1000}, {3, kWholeByte, 64}, {2, kWholeByte, 1}}}, 3},
     {{{{7, 0x0F, 0x1000}, {6, kWholeByte, 64}, {5, kWholeByte, 1}}}, 3}},
}};

constexpr const LayoutTable &layoutTable(Layout layout) {
    return kLayouts[static_cast<std::size_t>(layout)];
}

// Largest magnitude a coordinate can reach: masked terms at most
// mask * weight, whole bytes at most 128 * weight.
constexpr std::int64_t coordinateBound(const CoordinateTerms &c) {
    std::int64_t bound = 0;
    for (std::size_t i = 0; i < c.count; ++i) {
        const LayoutTerm &t = c.terms[i];
        const std::int64_t byteBound = t.mask == kWholeByte ? 128 : t.mask;
        bound += byteBound * t.weight;
    }
    return bound;
}

// Highest report offset a layout reads.
constexpr std::uint8_t layoutHighestOffset(Layout layout) {
    std::uint8_t highest = 0;
    for (const CoordinateTerms *c : {&layoutTable(layout).x, &layoutTable(layout).y}) {
        for (std::size_t i = 0; i < c->count; ++i) {
            highest = c->terms[i].at > highest ? c->terms[i].at : highest;
        }
    }
    return highest;
}

// No sum of terms can leave 32-bit signed range, and no mask reaches the
// sign bit of its byte (so a masked term is never negative).
constexpr bool layoutsAreSafe() {
    for (const LayoutTable &table : kLayouts) {
        for (const CoordinateTerms *c : {&table.x, &table.y}) {
            if (c->count > c->terms.size() ||
                coordinateBound(*c) > std::numeric_limits<std::int32_t>::max()) {
                return false;
            }
            for (std::size_t i = 0; i < c->count; ++i) {
                const std::int32_t mask = c->terms[i].mask;
                if (mask != kWholeByte && (mask < 0 || mask > 0x7F)) {
                    return false;
                }
            }
        }
    }
    return true;
}
static_assert(layoutsAreSafe());

}  // namespace drv::digitizer
