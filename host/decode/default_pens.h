// Pen colours and widths a device starts with before the job sets its own.
#pragma once

#include <array>

#include "host/decode/drawing.h"

namespace drv::decode {

// Pen 0 is white (no ink); pens 1 to 7 are black, red, green, yellow, blue,
// magenta and cyan; higher pens repeat 1 to 7.
constexpr std::array<Rgb, 8> kDefaultPenColors = {{
    {255, 255, 255},
    {0, 0, 0},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
}};

constexpr double kDefaultPenWidthMm = 0.35;

constexpr Rgb defaultPenColor(int pen) {
    return pen <= 0 ? kDefaultPenColors[0] : kDefaultPenColors[static_cast<std::size_t>((pen - 1) % 7 + 1)];
}

} // namespace drv::decode
