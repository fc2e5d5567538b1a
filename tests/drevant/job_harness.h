// Drives the driver's entry point on one state block the way a host does,
// and reads back the record being collected.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "state.h"
#include "test_heap.h"

namespace drevant_test {

using Bytes = std::vector<std::uint8_t>;
using Codes = std::vector<int>;

// A request built cell by cell.
struct Request {
    explicit Request(int op, int flags = 0) {
        request.op = op;
        request.flags = flags;
    }
    Request &i(int index, std::int32_t value) {
        std::memcpy(&request.param[index], &value, sizeof value);
        return *this;
    }
    Request &f(int index, float value) {
        std::memcpy(&request.param[index], &value, sizeof value);
        return *this;
    }
    PlotRequest request{};
};

// The framing a job begins with. The defaults make bodies easy to read: code
// v is the byte 0x20 + v, records carry no sync characters and no checksum.
struct Framing {
    int bias = 0x20;
    int radix = 32;
    int syncCount = 0;
    int syncChar = 0x21;
    int terminator = 0x0D;
    int checksumOn = 0;
    int flags = 0;
};

inline Request beginRequest(const Framing &f) {
    return Request(OpBeginJob, f.flags)
        .i(5, f.bias)
        .i(6, f.radix)
        .i(7, f.syncCount)
        .i(8, f.syncChar)
        .i(9, f.terminator)
        .i(10, f.checksumOn);
}

class Job {
public:
    // A cleared block (hosts may clear it; the label style then reads as
    // "none yet").
    Job() { std::memset(&state, 0, sizeof state); }
    explicit Job(const Framing &framing) : Job() { begin(framing); }
    Job(const Job &) = delete;
    Job &operator=(const Job &) = delete;
    // A test that leaves its job open still gives the line buffer back.
    ~Job() {
        if (state.lineBuffer != nullptr) {
            call(Request(OpEndJob), "");
        }
    }

    Bytes begin(const Framing &framing, const char *header = "") {
        return call(beginRequest(framing), header);
    }

    // One pldbin call. Checks the contract every call must keep: result 0,
    // outLength equal to the length of the NUL-terminated output.
    Bytes call(Request r, const char *text = nullptr) {
        std::uint8_t out[1024];
        std::memset(out, 0xEE, sizeof out);
        const std::int32_t result = pldbin(&r.request, text, out, &state);
        lastResult = result;
        lastLength = r.request.outLength;
        lengthIsStringLength = r.request.outLength >= 0 &&
            std::strlen(reinterpret_cast<const char *>(out)) ==
                static_cast<std::size_t>(r.request.outLength);
        return Bytes(out, out + (r.request.outLength > 0 ? r.request.outLength : 0));
    }

    // The pending record as written so far.
    Bytes line() const {
        if (state.lineBuffer == nullptr) {
            return {};
        }
        const auto *p = state.lineBuffer;
        return Bytes(p, p + std::strlen(reinterpret_cast<const char *>(p)));
    }

    // The bodies of the pending record as code values (bytes minus the bias,
    // mod 256), after its sync characters and code 0.
    Codes pendingCodes() const {
        const Bytes bytes = line();
        const std::size_t skip = static_cast<std::size_t>(state.syncCount) + 1;
        Codes codes;
        for (std::size_t k = skip; k < bytes.size(); ++k) {
            codes.push_back((bytes[k] - static_cast<std::uint8_t>(state.biasChar)) & 0xFF);
        }
        return codes;
    }

    drv::drevant::PlotterState state;
    std::int32_t lastResult = -1;
    std::int32_t lastLength = -1;
    bool lengthIsStringLength = false;
};

inline Bytes bytesOf(const std::string &s) { return Bytes(s.begin(), s.end()); }

// Bytes of `codes` with bias 0x20.
inline Bytes codeBytes(const Codes &codes) {
    Bytes bytes;
    for (int c : codes) {
        bytes.push_back(static_cast<std::uint8_t>(0x20 + c));
    }
    return bytes;
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes &p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

}  // namespace drevant_test
