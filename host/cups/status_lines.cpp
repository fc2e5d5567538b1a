#include "host/cups/status_lines.h"

#include <array>

namespace drv::cups {

std::string byteCount(std::uint64_t bytes) {
    if (bytes < 1000) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    constexpr std::array<const char *, 4> kUnits = {"kB", "MB", "GB", "TB"};
    double value = static_cast<double>(bytes) / 1000.0;
    std::size_t unit = 0;
    // Round first, so that 999,950 bytes reads "1.0 MB", not "1000.0 kB".
    while (unit + 1 < kUnits.size() && value >= 999.95) {
        value /= 1000.0;
        ++unit;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.1f %s", value, kUnits[unit]);
    return text.data();
}

void StatusLines::state(std::string_view reason, bool on) {
    std::fprintf(out_, "STATE: %c%.*s\n", on ? '+' : '-', static_cast<int>(reason.size()),
                 reason.data());
    std::fflush(out_);
}

void StatusLines::attribute(std::string_view name, std::string_view value) {
    std::string quoted = "'";
    for (const char c : value) {
        if (c == '\'' || c == '\\') {
            quoted += '\\';
        }
        quoted += c == '\n' || c == '\r' ? ' ' : c;
    }
    quoted += '\'';
    std::fprintf(out_, "ATTR: %.*s=%s\n", static_cast<int>(name.size()), name.data(),
                 quoted.c_str());
    std::fflush(out_);
}

void StatusLines::line(std::string_view key, std::string_view text) {
    std::string flat(text);
    for (char &c : flat) {
        if (c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    std::fprintf(out_, "%.*s: %s\n", static_cast<int>(key.size()), key.data(), flat.c_str());
    std::fflush(out_);
}

} // namespace drv::cups
