#include "plotters/drevant/commands.h"

#include <limits>

#include "common/format_kit.h"
#include "common/plot_contract.h"
#include "plotters/drevant/body.h"
#include "plotters/drevant/position.h"
#include "plotters/drevant/steps.h"

namespace drv::drevant {
namespace {

// A double narrowed to single precision. Values beyond the float range are
// held at its largest finite value (narrowing them would be undefined); the
// rounding that follows saturates at the 32-bit range anyway.
float toSingle(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax) {
        return std::numeric_limits<float>::max();
    }
    if (value < -kMax) {
        return -std::numeric_limits<float>::max();
    }
    return static_cast<float>(value);
}

// Appends a vector cut in units of 4096 per axis: the pair of the quotients
// (truncated toward zero), then the pair of the rests, which keep the sign
// of the vector and stay below 4096 in magnitude.
std::int32_t encodeSplitVector(Body &body, const PlotterState &state, std::int64_t dx,
                               std::int64_t dy) {
    constexpr std::int64_t kUnit = 4096;
    const std::int64_t qx = dx / kUnit;
    const std::int64_t qy = dy / kUnit;
    return encodeMove(body, state, qx, qy) +
           encodeMove(body, state, dx - kUnit * qx, dy - kUnit * qy);
}

}  // namespace

std::int32_t selectPen(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int32_t pen = cellInt(request, 0);
    Body body;
    if (hasFlag(request, FlagAltPenSelect)) {
        encodePenNumber(body, state, pen);
    } else {
        putCodes(body, state, {4, pen});
    }
    return emitStill(out, state, body);
}

std::int32_t velocity(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    if (cellInt(request, 1) == 0 || cellInt(request, 5) == 0) {
        return 0;
    }
    const std::int32_t v = roundToInt(toSingle(static_cast<double>(cellFloat(request, 6)) * 10.0));
    const auto speed = static_cast<std::uint32_t>(
        roundToInt(toSingle(static_cast<double>(cellFloat(request, 2)) / 10.0)));
    Body body;
    // Only the low byte of the speed is sent, as two base-16 digits.
    putCodes(body, state, {11, 0, 5, 11, cellInt(request, 0), v, 11, (speed >> 4) & 0xFu, speed & 0xFu});
    return emitStill(out, state, body);
}

std::int32_t penUp(std::uint8_t *out, PlotterState &state) {
    Body body;
    putCode(body, state, 3);
    return emitStill(out, state, body);
}

std::int32_t penDown(std::uint8_t *out, PlotterState &state) {
    Body body;
    putCode(body, state, 2);
    return emitStill(out, state, body);
}

std::int32_t plot(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int64_t x = cellInt(request, 0);
    const std::int64_t y = cellInt(request, 1);
    Body body;
    encodeMove(body, state, x - state.lastX, y - state.lastY);
    return emitMove(out, state, body, x, y);
}

std::int32_t circle(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int64_t cx = cellInt(request, 0);
    const std::int64_t cy = cellInt(request, 1);
    const std::int64_t radius = cellInt(request, 2);
    const std::int64_t startX = cx - radius;
    Body body;
    encodeMove(body, state, startX - state.lastX, cy - state.lastY);
    putCode(body, state, 2);
    if (radius <= kMaxStep) {
        putCodes(body, state, {12, 5});
        encodeMove(body, state, radius, 0);
    } else {
        putCodes(body, state, {12, 13});
        encodeSplitVector(body, state, radius, 0);
    }
    return emitMove(out, state, body, startX, cy);
}

std::int32_t arc(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int64_t cx = cellInt(request, 0);
    const std::int64_t cy = cellInt(request, 1);
    const std::int64_t sx = cellInt(request, 2);
    const std::int64_t sy = cellInt(request, 3);
    const std::int64_t ex = cellInt(request, 4);
    const std::int64_t ey = cellInt(request, 5);
    Body body;
    putCode(body, state, 3);
    encodeMove(body, state, sx - state.lastX, sy - state.lastY);
    putCodes(body, state, {12, 11});
    encodeSplitVector(body, state, cx - sx, cy - sy);
    encodeSplitVector(body, state, ex - cx, ey - cy);
    return emitMove(out, state, body, ex, ey);
}

std::int32_t font(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    if (cellInt(request, 1) == 0) {
        return 0;
    }
    Body body;
    putCodes(body, state, {11, 0, 9, 11, 7, cellInt(request, 3)});
    return emitStill(out, state, body);
}

}  // namespace drv::drevant
