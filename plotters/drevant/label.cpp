// OpTextStyle and OpLabel: the label style the device is sent, and how far
// a label moves the pen.
#include <algorithm>
#include <cstdint>

#include "common/plot_contract.h"
#include "plotters/drevant/body.h"
#include "plotters/drevant/commands.h"
#include "plotters/drevant/position.h"
#include "plotters/drevant/record.h"
#include "plotters/drevant/steps.h"

namespace drv::drevant {
namespace {

constexpr std::int32_t kUnitDirection = 32767;  // a direction component of 1
constexpr std::int32_t kMaxSlant = 127;
constexpr std::int32_t kMaxWidthRatio = 127;
constexpr std::int32_t kMaxLabel = 77;

// `value` truncated toward zero and held within -limit..limit; NaN gives 0.
// (Converting an out-of-range or NaN double to an integer is undefined.)
std::int32_t truncateWithin(double value, std::int32_t limit) {
    if (!(value == value)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::clamp(value, -static_cast<double>(limit), static_cast<double>(limit)));
}

// Character width in sixteenths of the height. A zero height has no ratio;
// its characters have no width whatever the ratio, so the smallest is sent.
std::int32_t widthRatioOf(std::int32_t height, std::int32_t width) {
    if (height == 0) {
        return 1;
    }
    const std::int64_t ratio = std::int64_t{width} * 16 / height;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(ratio, 1, kMaxWidthRatio));
}

}  // namespace

std::int32_t textStyle(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int32_t height = cellInt(request, 0);
    const std::int32_t ratio = widthRatioOf(height, cellInt(request, 1));
    const std::int32_t dirX = truncateWithin(double{cellFloat(request, 7)} * kUnitDirection, kUnitDirection);
    const std::int32_t dirY = truncateWithin(double{cellFloat(request, 6)} * kUnitDirection, kUnitDirection);
    const std::int32_t slant = truncateWithin(double{cellFloat(request, 8)} * 128.0, kMaxSlant);

    Body body;
    putCodes(body, state, {11, 5, 15});
    encodeMove(body, state, 0, height);
    encodeMove(body, state, dirX, dirY);
    encodeMove(body, state, 0, ratio);
    encodeMove(body, state, slant, ratio);
    const Emitted emitted = emitBody(out, state, body, BodyCommand);
    if (emitted.collected) {
        state.charHeight = height;
        state.widthRatio = ratio;
        state.dirX = dirX;
        state.dirY = dirY;
    }
    return emitted.outLength;
}

std::int32_t label(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                   const char *text) {
    const std::int64_t x = cellInt(request, 0);
    const std::int64_t y = cellInt(request, 1);
    const std::int32_t count = boundedLength(text, kMaxLabel);

    Body body;
    encodeMove(body, state, x - state.lastX, y - state.lastY);
    putCodes(body, state, {5, count});
    putText(body, reinterpret_cast<const std::uint8_t *>(text), count);

    // The advance of one character, truncated before it is multiplied by the
    // count. The style is taken within the ranges OpTextStyle stores, so a
    // block that never saw one (arbitrary contents) cannot overflow 64 bits;
    // a cleared block gives no advance.
    const std::int64_t ratio = std::clamp<std::int64_t>(state.widthRatio, 1, kMaxWidthRatio);
    const std::int64_t ux = std::clamp<std::int64_t>(state.dirX, -kUnitDirection, kUnitDirection);
    const std::int64_t uy = std::clamp<std::int64_t>(state.dirY, -kUnitDirection, kUnitDirection);
    const std::int64_t width = std::int64_t{state.charHeight} * ratio / 16;
    const std::int64_t n = count;
    return emitMove(out, state, body, x + n * (ux * width / 32768), y + n * (uy * width / 32768));
}

}  // namespace drv::drevant
