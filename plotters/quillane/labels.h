// Text: label style, labels and fonts.
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"
#include "plotters/quillane/plotter_state.h"

namespace drv::quillane {

// OpTextStyle: "DI" direction, "SI" character width and height in
// centimetres, "SL" slant. Returns the bytes written, at most 88.
std::int32_t textStyle(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpLabel: pen-up move to the label's position, then "LB", the text (null
// as empty) and the terminator byte param[2], which is counted even when 0.
// Returns the bytes written: the text's length plus at most 23.
std::int32_t label(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                   const void *text);

// OpFont: "SD7," typeface and/or "SD1," symbol set as the two switches say,
// then "SS;" when either was set. Returns the bytes written, at most 34.
std::int32_t font(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

}  // namespace drv::quillane
