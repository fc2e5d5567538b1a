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
std::size_t encodeSplitVector(const PlotterState &state, Body &body, std::int64_t dx,
                              std::int64_t dy) {
    constexpr std::int64_t kUnit = 4096;
    const std::int64_t qx = dx / kUnit;
    const std::int64_t qy = dy / kUnit;
    return encodeMove(state, body, qx, qy) +
           encodeMove(state, body, dx - kUnit * qx, dy - kUnit * qy);
}

}  // namespace

std::size_t selectPen(PlotterState &state, const PlotRequest &request, unsigned char *out) {
    const std::int32_t pen = cellInt(request, 0);
    Body body;
    if (hasFlag(request, FlagAltPenSelect)) {
        encodePenNumber(state, body, pen);
    } else {
        putCodes(state, body, {4, pen});
    }
    return emitStill(state, out, body);
}

std::size_t velocity(PlotterState &state, const PlotRequest &request, unsigned char *out) {
    if (cellInt(request, 1) == 0 || cellInt(request, 5) == 0) {
        return 0;
    }
    const std::int32_t v = roundToInt(toSingle(static_cast<double>(cellFloat(request, 6)) * 10.0));
    const auto speed = static_cast<std::uint32_t>(
        roundToInt(toSingle(static_cast<double>(cellFloat(request, 2)) / 10.0)));
    Body body;
    // Only the low byte of the speed is sent, as two base-16 digits.
    putCodes(state, body, {11, 0, 5, 11, cellInt(request, 0), v, 11, (speed >> 4) & 0xFu, speed & 0xFu});
    return emitStill(state, out, body);
}

std::size_t penUp(PlotterState &state, unsigned char *out) {
    Body body;
    putCode(state, body, 3);
    return emitStill(state, out, body);
}

std::size_t penDown(PlotterState &state, unsigned char *out) {
    Body body;
    putCode(state, body, 2);
    return emitStill(state, out, body);
}

std::size_t plot(PlotterState &state, const PlotRequest &request, unsigned char *out) {
    const std::int64_t x = cellInt(request, 0);
    const std::int64_t y = cellInt(request, 1);
    Body body;
    encodeMove(state, body, x - state.lastX, y - state.lastY);
    return emitMove(state, out, body, x, y);
}

std::size_t circle(PlotterState &state, const PlotRequest &request, unsigned char *out) {
    const std::int64_t cx = cellInt(request, 0);
    const std::int64_t cy = cellInt(request, 1);
    const std::int64_t radius = cellInt(request, 2);
    const std::int64_t startX = cx - radius;
    Body body;
    encodeMove(state, body, startX - state.lastX, cy - state.lastY);
    putCode(state, body, 2);
    if (radius <= kMaxStep) {
        putCodes(state, body, {12, 5});
        encodeMove(state, body, radius, 0);
    } else {
        putCodes(state, body, {12, 13});
        encodeSplitVector(state, body, radius, 0);
    }
    return emitMove(state, out, body, startX, cy);
}

std::size_t arc(PlotterState &state, const PlotRequest &request, unsigned char *out) {
    const std::int64_t cx = cellInt(request, 0);
    const std::int64_t cy = cellInt(request, 1);
    const std::int64_t sx = cellInt(request, 2);
    const std::int64_t sy = cellInt(request, 3);
    const std::int64_t ex = cellInt(request, 4);
    const std::int64_t ey = cellInt(request, 5);
    Body body;
    putCode(state, body, 3);
    encodeMove(state, body, sx - state.lastX, sy - state.lastY);
    putCodes(state, body, {12, 11});
    encodeSplitVector(state, body, cx - sx, cy - sy);
    encodeSplitVector(state, body, ex - cx, ey - cy);
    return emitMove(state, out, body, ex, ey);
}

std::size_t font(PlotterState &state, const PlotRequest &request, unsigned char *out) {
    if (cellInt(request, 1) == 0) {
        return 0;
    }
    Body body;
    putCodes(state, body, {11, 0, 9, 11, 7, cellInt(request, 3)});
    return emitStill(state, out, body);
}

}  // namespace drv::drevant
