// What a device must rebuild from the rows of one image that the
// quillane_job fuzz target sends: the host's pixels as bit planes, or as
// RGB through the palette table or from direct colour, worked out here from
// the row layouts alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "drvsuite/plotter.h"
#include "tests/quillane/pcl_decoder.h"

namespace drv::fuzz {

using Bytes = std::vector<std::uint8_t>;

// The longest command before a row's data.
constexpr std::size_t kTransferHeader = 16;

// Pixel x of a row of `depth`-bit pixels packed most significant bit first.
inline std::uint32_t pixel(const Bytes &row, std::size_t x, unsigned depth) {
    std::uint32_t value = 0;
    for (std::size_t bit = x * depth; bit < (x + 1) * depth; ++bit) {
        value = value << 1 | (row[bit / 8] >> (7 - bit % 8) & 1u);
    }
    return value;
}

inline std::uint8_t widen5(std::uint32_t c) { return static_cast<std::uint8_t>(c << 3 | c >> 2); }

struct Image {
    std::int32_t width;
    std::int32_t depth;
    std::int32_t flags;  // FlagExpandPalette, as declared at OpRasterBegin
    Bytes table;         // the expansion table the record describes
    quillane_test::ColorRowDevice device;
    Bytes lastRow;
    bool noTable;        // the table was refused: expanded rows send nothing

    bool direct() const { return depth >= 16; }
    bool colour() const { return direct() || (flags & FlagExpandPalette) != 0; }
    std::size_t planeLength() const { return (static_cast<std::size_t>(width) + 7) / 8; }
    std::size_t pixels() const { return static_cast<std::size_t>(width); }
    std::size_t rowBytes() const {
        if (direct()) {
            return pixels() * (depth == 16 ? 2 : 4);
        }
        return colour() ? (pixels() * static_cast<std::size_t>(depth) + 7) / 8
                        : planeLength() * static_cast<std::size_t>(depth);
    }
    std::size_t largestOutput() const {
        return colour() ? kTransferHeader + 3 * pixels()
                        : static_cast<std::size_t>(depth) * (kTransferHeader + planeLength());
    }

    Bytes rgb(const Bytes &row) const {
        Bytes out;
        for (std::size_t x = 0; x < pixels(); ++x) {
            if (depth == 32) {
                out.insert(out.end(), row.begin() + 4 * x + 1, row.begin() + 4 * x + 4);
            } else if (depth == 16) {
                const std::uint32_t word = row[2 * x] | std::uint32_t{row[2 * x + 1]} << 8;
                out.insert(out.end(),
                           {widen5(word >> 10 & 31), widen5(word >> 5 & 31), widen5(word & 31)});
            } else {
                const std::size_t index = pixel(row, x, static_cast<unsigned>(depth));
                out.insert(out.end(), table.begin() + 3 * index, table.begin() + 3 * index + 3);
            }
        }
        return out;
    }

    std::vector<Bytes> planes(const Bytes &row) const {
        std::vector<Bytes> planes(static_cast<std::size_t>(depth), Bytes(planeLength(), 0));
        for (std::size_t x = 0; x < pixels(); ++x) {
            const std::uint32_t value = pixel(row, x, static_cast<unsigned>(depth));
            for (std::size_t i = 0; i < planes.size(); ++i) {
                const unsigned bit = (value >> i & 1u) << (7 - x % 8);
                planes[i][x / 8] = static_cast<std::uint8_t>(planes[i][x / 8] | bit);
            }
        }
        return planes;
    }
};

}  // namespace drv::fuzz
