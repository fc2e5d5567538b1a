// The raster output read back as the device reads it: transfer commands
// split off, PackBits and delta rows undone with the shared test decoders.
// Anything malformed gives nullopt instead of a guess.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/compressors/pcl_decoders.h"

namespace quillane_test {

struct Transfer {
    char method;
    char terminator;
    std::vector<std::uint8_t> data;
};

// Splits "\e*b<method>m<count><V|W>" commands and their data.
inline std::optional<std::vector<Transfer>> parseTransfers(const std::string &out) {
    std::vector<Transfer> transfers;
    std::size_t p = 0;
    while (p < out.size()) {
        if (out.compare(p, 3, "\x1b*b") != 0 || p + 5 > out.size() || out[p + 4] != 'm') {
            return std::nullopt;
        }
        Transfer t{out[p + 3], 0, {}};
        std::size_t count = 0;
        const std::size_t digits = p += 5;
        for (; p < out.size() && p - digits < 10 && out[p] >= '0' && out[p] <= '9'; ++p) {
            count = count * 10 + static_cast<std::size_t>(out[p] - '0');
        }
        if (p == digits || p >= out.size() || (out[p] != 'V' && out[p] != 'W') ||
            count > out.size() - p - 1) {
            return std::nullopt;
        }
        t.terminator = out[p++];
        t.data.assign(out.begin() + static_cast<std::ptrdiff_t>(p),
                      out.begin() + static_cast<std::ptrdiff_t>(p + count));
        p += count;
        transfers.push_back(std::move(t));
    }
    return transfers;
}

// The device side of a direct-by-pixel image: its seed is the last row it
// decoded, all zero when raster graphics start. A row's output must be one
// "W" command, method 0 with a whole row or method 3.
class ColorRowDevice {
public:
    explicit ColorRowDevice(std::size_t rowLength) : seed_(rowLength, 0) {}

    std::optional<std::vector<std::uint8_t>> receive(const std::string &out) {
        const auto transfers = parseTransfers(out);
        if (!transfers || transfers->size() != 1 || transfers->front().terminator != 'W') {
            return std::nullopt;
        }
        const Transfer &t = transfers->front();
        std::vector<std::uint8_t> row = seed_;
        if (t.method == '0' && t.data.size() == seed_.size()) {
            row = t.data;
        } else if (t.method != '3' || !drv::test::applyDeltaRow(t.data.data(), t.data.size(),
                                                                row.data(), row.size())) {
            return std::nullopt;
        }
        seed_ = row;
        return row;
    }

private:
    std::vector<std::uint8_t> seed_;
};

// The planes of one bit-plane row: `depth` commands ending "V" but the last
// ("W"), method 0 with a whole plane or method 2 shorter than one.
inline std::optional<std::vector<std::vector<std::uint8_t>>> receivePlanes(
    const std::string &out, std::size_t depth, std::size_t planeLength) {
    const auto transfers = parseTransfers(out);
    if (!transfers || transfers->size() != depth) {
        return std::nullopt;
    }
    std::vector<std::vector<std::uint8_t>> planes;
    for (const Transfer &t : *transfers) {
        std::vector<std::uint8_t> plane(planeLength + 1);
        const bool last = planes.size() + 1 == depth;
        if (t.terminator != (last ? 'W' : 'V')) {
            return std::nullopt;
        }
        if (t.method == '0' && t.data.size() == planeLength) {
            plane = t.data;
        } else if (t.method != '2' || t.data.size() >= planeLength ||
                   drv::test::decodePackBits(t.data.data(), t.data.size(), plane.data(),
                                             plane.size()) !=
                       static_cast<std::int64_t>(planeLength)) {
            return std::nullopt;
        }
        plane.resize(planeLength);
        planes.push_back(plane);
    }
    return planes;
}

}  // namespace quillane_test
