// Amounts as people read them in messages: sizes and durations.
#pragma once

#include <cstdint>
#include <string>

namespace drv::host {

// "512 bytes", "64.0 kB", "1.2 MB", "3.4 GB" (powers of 1000).
std::string byteCountText(std::uint64_t bytes);

// "42 s", "3 min 10 s", "2 h 5 min", from seconds rounded to the nearest.
std::string durationText(double seconds);

} // namespace drv::host
