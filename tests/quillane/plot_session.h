// A test host for the quillane entry point: one job's state block, request
// record and output buffer, the calls a host makes, and palette records laid
// out byte by byte as a host writes them.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "plotters/quillane/plotter_state.h"
#include "tests/support/test_heap.h"

namespace quillane_test {

using Bytes = std::vector<std::uint8_t>;

// One parameter cell as a host fills it: an int32 or a float.
struct Cell {
    Cell(std::int32_t value) { std::memcpy(&raw, &value, sizeof raw); }
    Cell(float value) { std::memcpy(&raw, &value, sizeof raw); }
    std::uint32_t raw;
};

inline std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s.push_back(static_cast<char>(v));
    }
    return s;
}

class PlotSession {
public:
    // The state block starts as garbage: a host need not clear it.
    explicit PlotSession(PldbinFunction entry = pldbin, std::size_t outCapacity = 1 << 16)
        : entry_(entry), out_(outCapacity + kGuard) {
        std::memset(&state_, 0xCD, sizeof state_);
    }

    // Calls the entry point and returns the counted output.
    std::string call(std::int32_t op, const std::vector<Cell> &params = {},
                     const void *text = nullptr, std::int32_t flags = 0) {
        PlotRequest request;
        std::memset(&request, 0, sizeof request);
        request.op = op;
        request.outLength = -1;
        request.flags = flags;
        for (std::size_t i = 0; i < params.size(); ++i) {
            std::memcpy(&request.param[i], &params[i].raw, sizeof(Cell));
        }
        std::memset(out_.data(), 0xA5, out_.size());
        result_ = entry_(&request, text, out_.data(), &state_);
        length_ = request.outLength;
        if (length_ < 0 || static_cast<std::size_t>(length_) + kGuard > out_.size()) {
            return "<bad outLength>";
        }
        return std::string(out_.begin(), out_.begin() + length_);
    }

    std::int32_t result() const { return result_; }
    std::uint8_t firstByte() const { return out_[0]; }
    std::uint8_t byteAfter() const { return out_[static_cast<std::size_t>(length_)]; }
    // True when nothing was written from `extra` bytes after the count on.
    bool untouchedAfter(std::size_t extra) const {
        const auto end = static_cast<std::size_t>(length_) + kGuard;
        for (std::size_t i = static_cast<std::size_t>(length_) + extra; i < end; ++i) {
            if (out_[i] != 0xA5) {
                return false;
            }
        }
        return true;
    }
    drv::quillane::PlotterState &state() { return state_; }

private:
    static constexpr std::size_t kGuard = 16;
    PldbinFunction entry_;
    Bytes out_;
    drv::quillane::PlotterState state_;
    std::int32_t result_ = -1;
    std::int32_t length_ = 0;
};

// A RasterPalette record: 6 private bytes, lastIndex, then per entry 2
// private bytes and red, green, blue; little-endian. Private bytes hold a
// pattern the driver must never send.
using Rgb16 = std::array<std::uint16_t, 3>;
inline Bytes paletteRecord(std::int16_t lastIndex, const std::vector<Rgb16> &entries) {
    Bytes record(6, 0xEE);
    const auto index = static_cast<std::uint16_t>(lastIndex);
    record.insert(record.end(),
                  {static_cast<std::uint8_t>(index & 0xFF), static_cast<std::uint8_t>(index >> 8)});
    for (const Rgb16 &e : entries) {
        record.insert(record.end(), {0xEE, 0xEE});
        for (std::uint16_t v : e) {
            record.insert(record.end(),
                          {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)});
        }
    }
    return record;
}

// Starts with no refusal armed and counts the blocks a test leaves held.
struct HeapGuard {
    HeapGuard() : baseline(drv::testing::outstandingBlocks()) {
        drv::testing::resetAllocationFailures();
    }
    ~HeapGuard() { drv::testing::resetAllocationFailures(); }
    int held() const { return drv::testing::outstandingBlocks() - baseline; }
    int baseline;
};

}  // namespace quillane_test
