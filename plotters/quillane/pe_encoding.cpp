#include "plotters/quillane/pe_encoding.h"

#include <array>
#include <bit>

namespace drv::quillane {
namespace {

// Per base: digit width in bits, the mark added to the last digit, and the
// digits a folded value of each bit width takes (at least one).
struct PeBase {
    unsigned bits;
    std::uint8_t terminator;
    std::array<std::uint8_t, 65> digits;
};

consteval PeBase peBase(unsigned bits, std::uint8_t terminator) {
    PeBase base{bits, terminator, {}};
    for (unsigned width = 0; width <= 64; ++width) {
        base.digits[width] = static_cast<std::uint8_t>(width == 0 ? 1 : (width + bits - 1) / bits);
    }
    return base;
}
constexpr PeBase kBase64 = peBase(6, 128);
constexpr PeBase kBase32 = peBase(5, 32);
constexpr std::uint8_t kDigitBias = 63;

}  // namespace

std::int32_t encodePeNumber(std::uint8_t *out, const PlotterState &state, std::int64_t value) {
    const PeBase &base = state.sevenBit != 0 ? kBase32 : kBase64;
    const std::uint64_t digitMask = (std::uint64_t{1} << base.bits) - 1;
    // Sign into the lowest bit; unsigned 64-bit arithmetic holds 2|a| + 1 for
    // any a that is a difference of two int32 values.
    const std::uint64_t magnitude = value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                              : static_cast<std::uint64_t>(value);
    const std::uint64_t folded = magnitude * 2 + (value < 0 ? 1 : 0);
    const unsigned count = base.digits[static_cast<unsigned>(std::bit_width(folded))];
    for (unsigned k = 0; k + 1 < count; ++k) {
        out[k] = static_cast<std::uint8_t>((folded >> (base.bits * k) & digitMask) + kDigitBias);
    }
    out[count - 1] = static_cast<std::uint8_t>((folded >> (base.bits * (count - 1))) + kDigitBias +
                                               base.terminator);
    out[count] = 0;
    return static_cast<std::int32_t>(count);
}

// The instruction's flags are single bytes, written directly: this runs for
// every point of a polyline.
std::int32_t openPe(std::uint8_t *out, PlotterState &state) {
    std::int32_t n = 0;
    if (state.peOpen == 0) {
        state.peOpen = 1;
        state.lastX = 0;
        state.lastY = 0;
        out[n++] = 'P';
        out[n++] = 'E';
        if (state.sevenBit != 0) {
            out[n++] = '7';
        }
        if (state.penUp != 0) {
            out[n++] = '<';
        }
        out[n++] = '=';
    } else if (state.penUp != 0) {
        out[n++] = '<';
    }
    out[n] = 0;
    return n;
}

std::int32_t closePe(std::uint8_t *out, PlotterState &state) {
    if (state.peOpen == 0) {
        return 0;
    }
    state.peOpen = 0;
    out[0] = ';';
    out[1] = 0;
    return 1;
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
