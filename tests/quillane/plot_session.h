// Test driver for the quillane entry point: one job's state block, request
// record and output buffer, and the calls a host makes, with the output
// returned as counted bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "plotter_state.h"

namespace quillane_test {

// One parameter cell as a host fills it: an int32 or a float.
struct Cell {
    Cell(std::int32_t value) { std::memcpy(&raw, &value, sizeof raw); }
    Cell(float value) { std::memcpy(&raw, &value, sizeof raw); }
    std::uint32_t raw;
};

inline PlotRequest makeRequest(std::int32_t op, std::initializer_list<Cell> params,
                               std::int32_t flags = 0) {
    PlotRequest request;
    std::memset(&request, 0, sizeof request);
    request.op = op;
    request.outLength = -12345;  // must be overwritten by every call
    request.flags = flags;
    int i = 0;
    for (const Cell &cell : params) {
        std::memcpy(&request.param[i++], &cell.raw, sizeof cell.raw);
    }
    return request;
}

// Bytes given by value, for the parts of an expectation that are not text.
inline std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s.push_back(static_cast<char>(v));
    }
    return s;
}

using EntryFunction = std::int32_t (*)(PlotRequest *, const void *, unsigned char *, void *);

class PlotSession {
public:
    // Sized for the largest output of any test call; the state block is
    // filled with garbage first, since a host need not clear it.
    explicit PlotSession(EntryFunction entry, std::size_t outCapacity = 1 << 16)
        : entry_(entry), out_(outCapacity + kGuard, 0xA5) {
        std::memset(&state_, 0xCD, sizeof state_);
    }

    // Calls the entry point; returns the counted output. Checks the result
    // and that nothing was written past the count beyond the one NUL the
    // driver may leave there.
    std::string call(std::int32_t op, std::initializer_list<Cell> params = {},
                     const void *text = nullptr, std::int32_t flags = 0) {
        PlotRequest request = makeRequest(op, params, flags);
        return call(request, text);
    }

    std::string call(PlotRequest &request, const void *text) {
        std::memset(out_.data(), 0xA5, out_.size());
        lastResult_ = entry_(&request, text, out_.data(), &state_);
        lastLength_ = request.outLength;
        if (lastLength_ < 0 || static_cast<std::size_t>(lastLength_) + kGuard > out_.size()) {
            return "<bad outLength>";
        }
        return std::string(reinterpret_cast<const char *>(out_.data()),
                           static_cast<std::size_t>(lastLength_));
    }

    std::int32_t lastResult() const { return lastResult_; }
    std::int32_t lastLength() const { return lastLength_; }
    // The byte right after the counted output.
    std::uint8_t byteAfter() const { return out_[static_cast<std::size_t>(lastLength_)]; }
    // The first byte of the buffer (cleared by every call).
    std::uint8_t firstByte() const { return out_[0]; }
    // True when no byte after the counted output and the optional NUL was
    // touched.
    bool untouchedAfter(std::size_t extra) const {
        for (std::size_t i = static_cast<std::size_t>(lastLength_) + extra;
             i < static_cast<std::size_t>(lastLength_) + kGuard; ++i) {
            if (out_[i] != 0xA5) {
                return false;
            }
        }
        return true;
    }

    drv::quillane::PlotterState &state() { return state_; }

private:
    static constexpr std::size_t kGuard = 16;
    EntryFunction entry_;
    std::vector<std::uint8_t> out_;
    drv::quillane::PlotterState state_;
    std::int32_t lastResult_ = -1;
    std::int32_t lastLength_ = -1;
};

}  // namespace quillane_test
