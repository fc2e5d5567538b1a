// Lines, circles and arcs.
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"
#include "plotters/quillane/plotter_state.h"

namespace drv::quillane {

// OpPlot: one pair to (param[0], param[1]) in the open PE instruction, pen
// up or down as penUp says; the point becomes the reference of the next
// pair. Returns the bytes written, at most 5 + 2 * kMaxPeDigits.
std::int32_t plot(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpCircle: pen-up move to the centre, then "CI" with the radius and the
// chord angle in whole degrees. Returns the bytes written, at most 45.
std::int32_t circle(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpArc: pen-up move to the start point, then pen down and "AA" about the
// centre with the sweep (7 digits) and chord angles; penUp stays 1.
// Returns the bytes written, at most 79.
std::int32_t arc(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

}  // namespace drv::quillane
