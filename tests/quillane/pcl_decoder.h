// An independent reading of the raster output, as the device would do it:
// splits a row's output into transfer commands and undoes PackBits and
// delta-row compression with the test decoders, reporting malformed output
// instead of guessing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pcl_decoders.h"

namespace quillane_test {

using Bytes = std::vector<std::uint8_t>;

struct Transfer {
    char method;
    char terminator;
    Bytes data;
};

// Splits "\e*b<method>m<count><V|W>" commands and their data; nullopt when
// the output is anything else or a count runs past the end.
inline std::optional<std::vector<Transfer>> parseTransfers(const std::string &out) {
    std::vector<Transfer> transfers;
    std::size_t p = 0;
    while (p < out.size()) {
        if (out.compare(p, 3, "\x1b*b") != 0 || p + 5 > out.size() || out[p + 4] != 'm') {
            return std::nullopt;
        }
        Transfer t{out[p + 3], 0, {}};
        p += 5;
        std::size_t count = 0;
        std::size_t digits = 0;
        while (p < out.size() && out[p] >= '0' && out[p] <= '9' && digits < 10) {
            count = count * 10 + static_cast<std::size_t>(out[p] - '0');
            ++p;
            ++digits;
        }
        if (digits == 0 || p >= out.size() || (out[p] != 'V' && out[p] != 'W')) {
            return std::nullopt;
        }
        t.terminator = out[p++];
        if (count > out.size() - p) {
            return std::nullopt;
        }
        t.data.assign(out.begin() + static_cast<std::ptrdiff_t>(p),
                      out.begin() + static_cast<std::ptrdiff_t>(p + count));
        p += count;
        transfers.push_back(std::move(t));
    }
    return transfers;
}

// PackBits (method 2) back to exactly `length` bytes; nullopt when the data
// are malformed or expand to another length.
inline std::optional<Bytes> unpackBits(const Bytes &in, std::size_t length) {
    Bytes out(length + 1);
    const std::int64_t n = drv::test::decodePackBits(in.data(), in.size(), out.data(), out.size());
    if (n != static_cast<std::int64_t>(length)) {
        return std::nullopt;
    }
    out.resize(length);
    return out;
}

// Delta row (method 3) applied to `seed`; nullopt when a command is cut
// short or replaces bytes beyond the row.
inline std::optional<Bytes> applyDeltaRow(const Bytes &in, Bytes row) {
    if (!drv::test::applyDeltaRow(in.data(), in.size(), row.data(), row.size())) {
        return std::nullopt;
    }
    return row;
}

// The device side of a direct-by-pixel image: the seed is the last row
// decoded, all zero when raster graphics start.
class ColorRowDevice {
public:
    explicit ColorRowDevice(std::size_t rowLength) : seed_(rowLength, 0) {}

    // Decodes one row's output; nullopt when it is not exactly one "W"
    // command of method 0 or 3 that rebuilds a whole row.
    std::optional<Bytes> receive(const std::string &out) {
        const auto transfers = parseTransfers(out);
        if (!transfers || transfers->size() != 1 || transfers->front().terminator != 'W') {
            return std::nullopt;
        }
        const Transfer &t = transfers->front();
        std::optional<Bytes> row;
        if (t.method == '0' && t.data.size() == seed_.size()) {
            row = t.data;
        } else if (t.method == '3') {
            row = applyDeltaRow(t.data, seed_);
        }
        if (row) {
            seed_ = *row;
        }
        return row;
    }

private:
    Bytes seed_;
};

// Decodes the planes of one bit-plane row (depth commands, "V" ... "W",
// method 0 or 2) back to plane bytes; nullopt on any other shape.
inline std::optional<std::vector<Bytes>> receivePlanes(const std::string &out, std::size_t depth,
                                                       std::size_t planeLength) {
    const auto transfers = parseTransfers(out);
    if (!transfers || transfers->size() != depth) {
        return std::nullopt;
    }
    std::vector<Bytes> planes;
    for (std::size_t i = 0; i < depth; ++i) {
        const Transfer &t = (*transfers)[i];
        if (t.terminator != (i + 1 == depth ? 'W' : 'V')) {
            return std::nullopt;
        }
        if (t.method == '0' && t.data.size() == planeLength) {
            planes.push_back(t.data);
        } else if (t.method == '2' && t.data.size() < planeLength) {
            auto plane = unpackBits(t.data, planeLength);
            if (!plane) {
                return std::nullopt;
            }
            planes.push_back(*plane);
        } else {
            return std::nullopt;
        }
    }
    return planes;
}

}  // namespace quillane_test
