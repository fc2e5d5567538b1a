// Keeping the pen position in step with what the device receives.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plotters/drevant/body.h"
#include "plotters/drevant/state.h"

namespace drv::drevant {

// Collects a command body after which the pen stands at (x, y), and moves
// `lastX`/`lastY` there only when the body was collected. A point outside
// the 32-bit range could not be tracked, so its body is refused. Returns the
// count written to `out` (0 or one earlier record).
std::int32_t emitMove(std::uint8_t *out, PlotterState &state, const Body &body, std::int64_t x,
                      std::int64_t y);

// Collects a command body that leaves the pen where it is. Returns the count
// written to `out`.
std::int32_t emitStill(std::uint8_t *out, PlotterState &state, const Body &body);

}  // namespace drv::drevant
