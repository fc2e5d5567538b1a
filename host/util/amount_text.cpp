#include "host/util/amount_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

namespace drv::host {

std::string byteCountText(std::uint64_t bytes) {
    if (bytes < 1000) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    constexpr const char *kUnits[] = {"kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1000;
    std::size_t unit = 0;
    // Round first, so that 999,999 bytes read "1.0 MB", not "1000.0 kB".
    while (value >= 999.95 && unit + 1 < std::size(kUnits)) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string durationText(double seconds) {
    const auto total = static_cast<long long>(std::llround(std::max(0.0, seconds)));
    if (total >= 3600) {
        return std::to_string(total / 3600) + " h " + std::to_string(total / 60 % 60) + " min";
    }
    if (total >= 60) {
        return std::to_string(total / 60) + " min " + std::to_string(total % 60) + " s";
    }
    return std::to_string(total) + " s";
}

} // namespace drv::host
