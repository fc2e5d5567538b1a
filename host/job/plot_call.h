// One plotter driver call as a producer of plot jobs makes it (a plot
// script, a picture, an imported drawing), and as the job checker hands it
// on once checked (job_checker.h).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "drvsuite/plotter.h"

namespace drv::host {

// A place in the producer's input, for messages.
struct SourcePos {
    int line = 0;   // 1-based
    int column = 0; // 1-based byte column
};

// The request and the bytes passed as `text`: the string with its NUL, the
// RasterPalette record or the row's bytes; empty means null.
struct PlotCall {
    PlotRequest request{};
    std::vector<std::uint8_t> text;
    std::uint16_t givenCells = 0;                    // bit i: the producer gave p<i>
    std::array<int, PLOT_PARAM_COUNT> cellColumns{}; // where each given value starts
    SourcePos pos;
};

} // namespace drv::host
