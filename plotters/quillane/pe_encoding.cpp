#include "plotters/quillane/pe_encoding.h"

#include "plotters/quillane/emit.h"

namespace drv::quillane {
namespace {

// Per base: digit width in bits and the mark added to the last digit.
struct PeBase {
    unsigned bits;
    std::uint8_t terminator;
};
constexpr PeBase kBase64 = {6, 128};
constexpr PeBase kBase32 = {5, 32};
constexpr std::uint8_t kDigitBias = 63;

}  // namespace

std::int32_t encodePeNumber(std::uint8_t *out, const PlotterState &state, std::int64_t value) {
    const PeBase base = state.sevenBit != 0 ? kBase32 : kBase64;
    const std::uint64_t digitMask = (std::uint64_t{1} << base.bits) - 1;
    // Sign into the lowest bit; unsigned 64-bit arithmetic holds 2|a| + 1 for
    // any a that is a difference of two int32 values.
    const std::uint64_t magnitude = value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                              : static_cast<std::uint64_t>(value);
    std::uint64_t folded = magnitude * 2 + (value < 0 ? 1 : 0);

    std::int32_t count = 0;
    while (true) {
        const auto digit = static_cast<std::uint8_t>(folded & digitMask);
        folded >>= base.bits;
        if (folded == 0) {
            out[count++] = static_cast<std::uint8_t>(digit + kDigitBias + base.terminator);
            break;
        }
        out[count++] = static_cast<std::uint8_t>(digit + kDigitBias);
    }
    out[count] = 0;
    return count;
}

std::int32_t openPe(std::uint8_t *out, PlotterState &state) {
    const char *penFlag = state.penUp != 0 ? "<" : "";
    if (state.peOpen != 0) {
        return emitText(out, "%s", penFlag);
    }
    state.peOpen = 1;
    state.lastX = 0;
    state.lastY = 0;
    return emitText(out, "PE%s%s=", state.sevenBit != 0 ? "7" : "", penFlag);
}

std::int32_t closePe(std::uint8_t *out, PlotterState &state) {
    if (state.peOpen == 0) {
        return 0;
    }
    state.peOpen = 0;
    return emitText(out, ";");
}

std::int32_t moveTo(std::uint8_t *out, PlotterState &state, std::int32_t x, std::int32_t y) {
    std::int32_t n = openPe(out, state);
    n += encodePeNumber(out + n, state, std::int64_t{x} - state.lastX);
    n += encodePeNumber(out + n, state, std::int64_t{y} - state.lastY);
    return n;
}

std::int32_t recordedMoveTo(std::uint8_t *out, PlotterState &state, std::int32_t x,
                            std::int32_t y) {
    const std::int32_t n = moveTo(out, state, x, y);
    state.lastX = x;
    state.lastY = y;
    return n;
}

std::int32_t penUpMoveAndClose(std::uint8_t *out, PlotterState &state, std::int32_t x,
                               std::int32_t y) {
    state.penUp = 1;
    std::int32_t n = moveTo(out, state, x, y);
    n += closePe(out + n, state);
    return n;
}

}  // namespace drv::quillane
