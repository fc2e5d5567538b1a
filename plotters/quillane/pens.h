// Pen selection and pen attributes.
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"
#include "plotters/quillane/plotter_state.h"

namespace drv::quillane {

// OpSelectPen: ":" and the pen number inside the open (or newly opened) PE
// instruction, never preceded by "<"; the pen is up afterwards. Returns the
// bytes written, at most 5 + kMaxPeDigits.
std::int32_t selectPen(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpPenWidth: "PW" with the width in millimetres (3 digits) and the pen.
// Returns the bytes written, at most 30.
std::int32_t penWidth(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpPenColor: "PC" with the pen and the high byte of each 16-bit intensity.
// Returns the bytes written, at most 41.
std::int32_t penColor(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpVelocity: closes the PE instruction, then "VS" with the speed divided by
// 10 and the pen, only when the request's switch is nonzero. Returns the
// bytes written, at most 28.
std::int32_t velocity(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpPenUp / OpPenDown: sets the level the next pairs are drawn with. Writes
// nothing and leaves an open PE instruction open; returns 0.
std::int32_t setPenLevel(PlotterState &state, bool up);

}  // namespace drv::quillane
