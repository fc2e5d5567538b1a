// The RasterPalette record that travels as RasterBegin's `text`.
#pragma once

#include <cstdint>
#include <vector>

#include "host/util/rgb.h"

namespace drv::host {

// The record for `colours` (lastIndex = count - 1, each 8-bit intensity
// widened so that its high byte is the intensity). No colours gives
// lastIndex -1.
std::vector<std::uint8_t> paletteRecord(const std::vector<Rgb> &colours);

} // namespace drv::host
