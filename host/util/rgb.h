// A colour of 8 bits per channel, as pictures and palettes hold it.
#pragma once

#include <cstdint>

namespace drv::host {

struct Rgb {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    bool operator==(const Rgb &) const = default;
};

} // namespace drv::host
