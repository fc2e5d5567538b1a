#include "plotters/drevant/job.h"

#include <cstring>
#include <iterator>
#include <string_view>

#include "common/plot_contract.h"
#include "plotters/drevant/body.h"
#include "plotters/drevant/record.h"

namespace drv::drevant {
namespace {

// Three lines of plain text that put the device into binary-coded mode.
constexpr std::string_view kPreamble =
    "&&&&CALCOMP DEVICE CONTROL\n"
    "PCI(X02,1,NO,X03,80mm)\n"
    "^^^^END OF FILE\n";

// Selects symbol set 1 (the body of OpFont), then codes 13, 1.
constexpr std::int64_t kJobStartCodes[] = {11, 0, 9, 11, 7, 1, 13, 1};

bool framingUsable(const PlotterState &state) {
    return state.radix >= 2 && state.syncCount >= 0 && state.biasChar != 0 &&
           state.terminator != 0 && (state.syncCount == 0 || state.syncChar != 0);
}

// Copies `text` into the body when it fits, leaving `reserve` bytes for what
// follows it in a record of its own; an oversized text is left out whole.
std::int32_t putHostText(Body &body, const PlotterState &state, const char *text,
                         std::int32_t reserve) {
    const std::int32_t room = maxBodyLength(state) - reserve;
    const std::int32_t length = boundedLength(text, room + 1);
    if (length > room) {
        return 0;
    }
    return putText(body, reinterpret_cast<const std::uint8_t *>(text), length);
}

}  // namespace

std::int32_t beginJob(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                      const char *text) {
    state.lineBuffer = nullptr;
    state.biasChar = static_cast<std::int8_t>(cellByte(request, 5));
    state.radix = static_cast<std::int8_t>(cellByte(request, 6));
    state.syncCount = static_cast<std::int8_t>(cellByte(request, 7));
    state.syncChar = cellByte(request, 8);
    state.terminator = cellByte(request, 9);
    state.checksumOn = static_cast<std::int8_t>(cellByte(request, 10));
    state.lastX = 0;
    state.lastY = 0;
    if (!framingUsable(state)) {
        return 0;
    }

    Body body;
    putHostText(body, state, text, static_cast<std::int32_t>(std::size(kJobStartCodes)));
    for (std::int64_t code : kJobStartCodes) {
        putCode(body, state, code);
    }

    std::int32_t written = 0;
    if (hasFlag(request, FlagDevicePreamble)) {
        std::memcpy(out, kPreamble.data(), kPreamble.size());
        written = static_cast<std::int32_t>(kPreamble.size());
    }
    const Emitted first = emitBody(out + written, state, body, BodyJobStart);
    // No job without its first record: the preamble alone is not sent.
    return first.collected ? written + first.outLength : 0;
}

std::int32_t endJob(std::uint8_t *out, PlotterState &state, const char *text) {
    Body body;
    putHostText(body, state, text, 0);
    return emitBody(out, state, body, BodyJobEnd).outLength;
}

}  // namespace drv::drevant
