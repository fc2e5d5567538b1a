// Drives pldbin on one state block as a host does, and reads back the
// record being collected.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "plotters/drevant/state.h"
#include "tests/support/test_heap.h"

namespace drevant_test {

using Bytes = std::vector<std::uint8_t>;
using Codes = std::vector<int>;

struct Request {
    explicit Request(int op, int flags = 0) : request{op, 0, flags, {}} {}
    Request &i(int index, std::int32_t value) { return set(index, &value); }
    Request &f(int index, float value) { return set(index, &value); }
    Request &set(int index, const void *cell) {
        std::memcpy(&request.param[index], cell, 4);
        return *this;
    }
    PlotRequest request;
};

// Defaults make bodies easy to read: code v is the byte 0x20 + v; records
// carry no sync characters and no checksum.
struct Framing {
    int bias = 0x20, radix = 32, syncCount = 0, syncChar = 0x21, terminator = 0x0D, checksumOn = 0;
    int flags = 0;
};

class Job {
public:
    Job() { std::memset(&state, 0, sizeof state); }  // a cleared block
    explicit Job(const Framing &framing) : Job() { begin(framing); }
    Job(const Job &) = delete;
    Job &operator=(const Job &) = delete;
    ~Job() {
        if (state.lineBuffer != nullptr) {
            call(Request(OpEndJob), "");
        }
    }

    Bytes begin(const Framing &f, const char *header = "") {
        return call(Request(OpBeginJob, f.flags).i(5, f.bias).i(6, f.radix).i(7, f.syncCount)
                        .i(8, f.syncChar).i(9, f.terminator).i(10, f.checksumOn),
                    header);
    }

    // One call; records whether it kept the contract (result 0, outLength
    // the length of the NUL-terminated output).
    Bytes call(Request r, const char *text = nullptr) {
        std::uint8_t out[1024];
        std::memset(out, 0xEE, sizeof out);
        const bool zero = pldbin(&r.request, text, out, &state) == 0;
        lastLength = r.request.outLength;
        keptContract = zero && lastLength >= 0 &&
                       std::strlen(reinterpret_cast<char *>(out)) == static_cast<std::size_t>(lastLength);
        return Bytes(out, out + (lastLength > 0 ? lastLength : 0));
    }

    // The label style as OpTextStyle would have left it.
    void setStyle(std::int32_t charHeight, std::int32_t widthRatio, std::int32_t dirX, std::int32_t dirY) {
        state.charHeight = charHeight;
        state.widthRatio = widthRatio;
        state.dirX = dirX;
        state.dirY = dirY;
    }

    Bytes line() const {
        const auto *p = state.lineBuffer;
        return p == nullptr ? Bytes{} : Bytes(p, p + std::strlen(reinterpret_cast<const char *>(p)));
    }

    // The pending record's bodies as code values, after its syncs and code 0.
    Codes pendingCodes() const {
        const Bytes bytes = line();
        Codes codes;
        for (std::size_t k = static_cast<std::size_t>(state.syncCount) + 1; k < bytes.size(); ++k) {
            codes.push_back((bytes[k] - static_cast<std::uint8_t>(state.biasChar)) & 0xFF);
        }
        return codes;
    }

    drv::drevant::PlotterState state;
    std::int32_t lastLength = -1;
    bool keptContract = false;
};

// Bytes of `codes` with bias 0x20, then `text` unchanged.
inline Bytes codeBytes(const Codes &codes, const std::string &text = "") {
    Bytes bytes;
    for (int c : codes) {
        bytes.push_back(static_cast<std::uint8_t>(0x20 + c));
    }
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

}  // namespace drevant_test
