// Start and end of a plot job: device set-up, page feed, copies.
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"
#include "plotters/quillane/plotter_state.h"

namespace drv::quillane {

// OpBeginJob: initialises the block (PE base from flags 0x01, pen up, no PE
// instruction, no halt, no raster buffers) and writes the host's header
// (`text`, null as empty), page size, rotation, pen count and set-up.
// Returns the bytes written: the header's length plus at most 59.
std::int32_t beginJob(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                      const void *text);

// OpEndJob: closes the PE instruction, parks the pen, feeds the page,
// requests copies and appends the host's trailer (`text`, null as empty);
// releases the buffers of an image the host left open. Returns the bytes
// written: the trailer's length plus at most 23.
std::int32_t endJob(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                    const void *text);

}  // namespace drv::quillane
