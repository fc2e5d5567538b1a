// What a decoder hands back to the entry point.
#pragma once

#include <cstdint>
#include <optional>

namespace drv::digitizer {

// The values a successful decode stores into the request (z is always 0).
struct Reading {
    std::int16_t button = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Reading &, const Reading &) = default;
};

// `reading` is empty when the report was turned away; `status` is the
// call's result either way (0, or -9 for the checks that say so).
struct Decoded {
    std::int32_t status = 0;
    std::optional<Reading> reading{};
};

}  // namespace drv::digitizer
