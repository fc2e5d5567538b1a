// PCI coordinate steps: a direction code from a seven-by-seven table, which
// gives the sign of each axis and how many digits follow for it (0 to 3),
// then the digits of |dx| and of |dy|, most significant first, in base
// `radix`. The high digit of a three-digit magnitude may be the whole
// quotient a / radix², radix or more.
//
// A move longer than 32767 in either axis is cut into c steps of nearly
// equal size, c = (m - 1) / 32767 + 1 for the larger magnitude m: c - 1
// steps of dx / c and dy / c (rounded away from zero), then the rest.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "host/decode/byte_cursor.h"

namespace drv::decode {

struct Step {
    std::int64_t dx = 0;
    std::int64_t dy = 0;
};

// Direction codes by row (y digits -3 to +3) and column (x digits -3 to +3).
constexpr int kStepCodes[7][7] = {
    {19, 43, 47, 31, 46, 42, 18}, {51, 23, 59, 35, 58, 22, 50}, {55, 63, 27, 39, 26, 62, 54},
    {29, 33, 37, 0, 38, 34, 30},  {53, 61, 25, 36, 24, 60, 52}, {49, 21, 57, 32, 56, 20, 48},
    {17, 41, 45, 28, 44, 40, 16},
};

// True for a code that opens a step (16 to 63).
constexpr bool isStepCode(int code) { return code >= 16 && code <= 63; }

// Reads one step at the cursor, codes taken as (byte - bias) mod 256. On a
// code that is no direction, a digit of radix or more where it cannot be,
// or the end of the data, returns nothing and leaves the cursor where the
// fault is.
std::optional<Step> readStep(ByteCursor &in, int bias, int radix);

// Reads one pair: a step, and the steps after it that together with it are
// exactly how a long move is cut (see above).
std::optional<Step> readPair(ByteCursor &in, int bias, int radix);

} // namespace drv::decode
