// Host-side helpers for raster tests: palette records laid out byte by byte
// as a host writes them, and a begun image.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "plot_session.h"
#include "test_heap.h"

namespace quillane_test {

using Rgb16 = std::array<std::uint16_t, 3>;

// A RasterPalette record: 6 private bytes, lastIndex, then 8 bytes per
// entry (2 private, red, green, blue), all little-endian. Private bytes are
// filled with a pattern the driver must never send.
inline std::vector<std::uint8_t> paletteRecord(std::int16_t lastIndex,
                                               const std::vector<Rgb16> &entries) {
    std::vector<std::uint8_t> record(6, 0xEE);
    const auto index = static_cast<std::uint16_t>(lastIndex);
    record.push_back(static_cast<std::uint8_t>(index & 0xFF));
    record.push_back(static_cast<std::uint8_t>(index >> 8));
    for (const Rgb16 &e : entries) {
        record.push_back(0xEE);
        record.push_back(0xEE);
        for (std::uint16_t v : e) {
            record.push_back(static_cast<std::uint8_t>(v & 0xFF));
            record.push_back(static_cast<std::uint8_t>(v >> 8));
        }
    }
    return record;
}

// Every test that allocates starts and ends with no refusal armed.
struct HeapGuard {
    HeapGuard() : baseline(drv::testing::outstandingBlocks()) {
        drv::testing::resetAllocationFailures();
    }
    ~HeapGuard() { drv::testing::resetAllocationFailures(); }
    int held() const { return drv::testing::outstandingBlocks() - baseline; }
    int baseline;
};

}  // namespace quillane_test
