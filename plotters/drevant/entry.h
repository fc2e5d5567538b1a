// The driver behind the library's exported `pldbin` (pldbin.cpp).
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"

namespace drv::drevant {

// Serves one request on the job's state block (a PlotterState): dispatches
// once on the operation code, writes the output as a NUL-terminated string,
// stores its length in request->outLength and returns 0. All pointers but
// `text` must be valid; `text` must be a string where the operation reads
// one.
std::int32_t runPlotter(PlotRequest *request, const void *text, std::uint8_t *out, void *state);

}  // namespace drv::drevant
