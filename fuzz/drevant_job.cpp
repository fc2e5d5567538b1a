// Whole jobs of the binary-coded plotter driver from fuzzed requests.
//
// The input is decoded into a block and a sequence of requests of any code,
// flags, cells and text (up to 688 characters, or null), run through pldbin
// as a host that keeps its side of the contract does: OpEndJob before a new
// OpBeginJob while a job is open, and at the end. Checked on every call:
//  - the result is 0, and outLength is the length of the NUL-terminated
//    output: no 0 byte inside it, within the largest output of its code;
//  - a drawing operation delivers nothing or exactly the record that was
//    pending before it, closed (checksum and terminators);
//  - the pending record stays within the line buffer with room to close;
//  - an operation that collects nothing changes nothing in the block, and a
//    body of fixed length that is collected reaches the line whole;
// and at the end of the input every block obtained has been released.
//
// Input: 16 bytes of label style (charHeight, widthRatio, dirX, dirY, as the
// block may hold before any OpTextStyle), then requests:
//   op (byte % 24 - 1), flags, cell count (byte % 12), cells, text length
// where a cell is a kind byte (% 4: int8, int16, int32, float) and its
// little-endian value, and a text length byte t gives t characters below
// 0xC0, 0xC0 + 8 (t - 0xC0) above (missing bytes read as 't'), and 0xFF a
// null text.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "plotters/drevant/state.h"
#include "tests/support/test_heap.h"

namespace {

using drv::drevant::PlotterState;

constexpr std::size_t kMaxRequests = 400;
constexpr std::size_t kPreambleLength = 67;
constexpr std::size_t kRecordLength = 255;
constexpr std::size_t kOutSize = kPreambleLength + 2 * kRecordLength + 1;

using drv::fuzz::Input;

std::string pendingLine(const PlotterState &state) {
    if (state.lineBuffer == nullptr) {
        return {};
    }
    const auto *line = reinterpret_cast<const char *>(state.lineBuffer);
    return std::string(line, strnlen(line, kRecordLength + 1));
}

// The record in `line` as the device must receive it once closed.
std::string closed(const PlotterState &state, std::string line) {
    if (state.checksumOn != 0) {
        int sum = 0;
        for (std::size_t k = static_cast<std::size_t>(state.syncCount); k < line.size(); ++k) {
            sum += static_cast<std::int8_t>(line[k]);
        }
        line += static_cast<char>(96 - sum % 32);
    }
    return line + std::string(3, static_cast<char>(state.terminator));
}

// The length of the bodies that do not depend on coordinates or text, or 0.
std::size_t fixedBodyLength(const PlotRequest &request) {
    switch (request.op) {
    case OpSelectPen:
        return (request.flags & FlagAltPenSelect) != 0 ? 5 : 2;
    case OpVelocity:
        return 9;
    case OpPenUp:
    case OpPenDown:
        return 1;
    case OpFont:
        return 6;
    default:
        return 0;
    }
}

std::size_t largestOutput(std::int32_t op) {
    switch (op) {
    case OpBeginJob:
        return kPreambleLength + kRecordLength;
    case OpEndJob:
        return 2 * kRecordLength;
    default:
        return kRecordLength;
    }
}

void call(PlotterState &state, PlotRequest request, const char *text) {
    const std::string before = pendingLine(state);
    PlotterState old;
    std::memcpy(&old, &state, sizeof old);
    std::unique_ptr<unsigned char[]> out(new unsigned char[kOutSize]);
    std::memset(out.get(), 0x5A, kOutSize);

    FUZZ_CHECK(pldbin(&request, text, out.get(), &state) == 0);
    const auto length = static_cast<std::size_t>(request.outLength);
    FUZZ_CHECK(request.outLength >= 0 && length <= largestOutput(request.op));
    FUZZ_CHECK(out[length] == 0 && std::memchr(out.get(), 0, length) == nullptr);

    const std::string after = pendingLine(state);
    if (state.lineBuffer != nullptr) {
        const std::size_t closing = (state.checksumOn != 0 ? 1u : 0u) + 3u;
        FUZZ_CHECK(after.size() + closing <= kRecordLength);
        const std::size_t syncs = static_cast<std::size_t>(state.syncCount);
        if (!after.empty()) {
            FUZZ_CHECK(after.size() > syncs);
            FUZZ_CHECK(after.compare(0, syncs, std::string(syncs, static_cast<char>(state.syncChar))) == 0);
            FUZZ_CHECK(after[syncs] == static_cast<char>(state.biasChar));
        }
    }
    if (request.op == OpBeginJob || request.op == OpEndJob) {
        return;
    }
    const std::string sent(reinterpret_cast<const char *>(out.get()), length);
    FUZZ_CHECK(sent.empty() || (!before.empty() && sent == closed(state, before)));
    if (sent.empty() && after == before) {
        FUZZ_CHECK(std::memcmp(&old, &state, sizeof old) == 0);
        return;
    }
    // A collected body is in the line whole (a 0 byte would have cut it).
    const std::size_t kept = sent.empty() && !before.empty() ? before.size()
                                                             : static_cast<std::size_t>(state.syncCount) + 1;
    FUZZ_CHECK(fixedBodyLength(request) == 0 || after.size() == kept + fixedBodyLength(request));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const int blocks = drv::testing::outstandingBlocks();
    Input in(data, size);
    PlotterState state;
    std::memset(&state, 0, sizeof state);
    state.charHeight = static_cast<std::int32_t>(in.little(4));
    state.widthRatio = static_cast<std::int32_t>(in.little(4));
    state.dirX = static_cast<std::int32_t>(in.little(4));
    state.dirY = static_cast<std::int32_t>(in.little(4));

    std::vector<char> text;
    for (std::size_t n = 0; n < kMaxRequests && !in.empty(); ++n) {
        PlotRequest request{};
        request.op = in.byte() % 24 - 1;
        request.flags = in.byte();
        const int cells = in.byte() % 12;
        for (int k = 0; k < cells; ++k) {
            const std::uint32_t cell = in.cell();
            std::memcpy(&request.param[k], &cell, sizeof cell);
        }
        const std::uint8_t t = in.byte();
        const std::size_t textLength = t < 0xC0 ? t : 0xC0 + 8u * (t - 0xC0u);
        text.assign(textLength + 1, 0);
        for (std::size_t k = 0; k < textLength; ++k) {
            text[k] = in.empty() ? 't' : static_cast<char>(in.byte());
        }
        if (request.op == OpBeginJob && state.lineBuffer != nullptr) {
            call(state, PlotRequest{OpEndJob, 0, 0, {}}, "");
        }
        call(state, request, t == 0xFF ? nullptr : text.data());
    }
    call(state, PlotRequest{OpEndJob, 0, 0, {}}, "");
    FUZZ_CHECK(state.lineBuffer == nullptr);
    FUZZ_CHECK(drv::testing::outstandingBlocks() == blocks);
    return 0;
}
