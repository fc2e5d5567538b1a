#include "plotters/drevant/position.h"

#include <limits>

#include "plotters/drevant/record.h"

namespace drv::drevant {
namespace {

bool fitsInt32(std::int64_t value) {
    return value >= std::numeric_limits<std::int32_t>::min() &&
           value <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

std::int32_t emitMove(std::uint8_t *out, PlotterState &state, const Body &body, std::int64_t x,
                      std::int64_t y) {
    if (!fitsInt32(x) || !fitsInt32(y)) {
        return 0;
    }
    const Emitted emitted = emitBody(out, state, body, BodyCommand);
    if (emitted.collected) {
        state.lastX = static_cast<std::int32_t>(x);
        state.lastY = static_cast<std::int32_t>(y);
    }
    return emitted.outLength;
}

std::int32_t emitStill(std::uint8_t *out, PlotterState &state, const Body &body) {
    return emitBody(out, state, body, BodyCommand).outLength;
}

}  // namespace drv::drevant
