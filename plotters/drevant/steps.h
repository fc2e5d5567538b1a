// Coordinate pairs and pen numbers as codes.
//
// Every pair the device receives is relative and is written as one or more
// steps. A step is a direction code, which gives the sign of each axis and
// how many digits follow for it, then the digits of |dx| and of |dy| in base
// `radix`, most significant first, without leading zeros. A step carries at
// most three digits per axis; a longer pair is cut into steps of nearly
// equal size that add up to it exactly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plotters/drevant/body.h"
#include "plotters/drevant/state.h"

namespace drv::drevant {

// Direction codes, row = signed digit count of dy + 3, column = that of dx
// + 3 (a negative delta counts its digits negatively). Every code from 16 to
// 63 occurs once; the centre (both deltas zero) is never used.
//                                           dx: -3  -2  -1   0  +1  +2  +3
inline constexpr std::uint8_t stepCodes[7][7] = {{19, 43, 47, 31, 46, 42, 18},  // dy -3
                                                 {51, 23, 59, 35, 58, 22, 50},  // dy -2
                                                 {55, 63, 27, 39, 26, 62, 54},  // dy -1
                                                 {29, 33, 37, 0, 38, 34, 30},   // dy  0
                                                 {53, 61, 25, 36, 24, 60, 52},  // dy +1
                                                 {49, 21, 57, 32, 56, 20, 48},  // dy +2
                                                 {17, 41, 45, 28, 44, 40, 16}}; // dy +3

// The largest delta one step carries in either axis.
inline constexpr std::int32_t kMaxStep = 32767;

// Appends one step for deltas of at most kMaxStep in magnitude: 2 to 7 bytes
// (the zero step is codes 24, 0, 0). Larger deltas get a high digit of r or
// more, written as that code value. Returns the count appended. When the
// step does not fit, a code byte is 0 or radix is below 2 it appends
// nothing, returns 0 and marks the body spoiled.
std::int32_t encodeStep(Body &body, const PlotterState &state, std::int32_t dx, std::int32_t dy);

// Appends the pair (dx, dy) as c = (max(|dx|,|dy|) - 1) / 32767 + 1 steps:
// c - 1 equal steps rounded away from zero, then the remainder step. Each
// step takes at most 7 bytes; returns the count appended, or 0 and a spoiled
// body when the steps do not fit (any delta is accepted, nothing overflows).
std::int32_t encodeMove(Body &body, const PlotterState &state, std::int64_t dx, std::int64_t dy);

// Appends the three-digit pen-select body: codes 14, 32 and the digits h, m,
// l of `pen` in base radix, leading zeros included and h not limited to
// radix - 1. Returns 5, or 0 and a spoiled body as encodeStep.
std::int32_t encodePenNumber(Body &body, const PlotterState &state, std::int32_t pen);

}  // namespace drv::drevant
