// The driver behind the library's exported `pldbin` (pldbin.cpp).
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"

namespace drv::quillane {

// Serves one request on the job's state block (a PlotterState): clears
// out[0], dispatches once on the operation code (nothing but OpBeginJob and
// OpEndJob while vectors are halted), stores the bytes written in
// request->outLength and returns 0. All pointers but `text` must be valid.
std::int32_t runPlotter(PlotRequest *request, const void *text, std::uint8_t *out, void *state);

}  // namespace drv::quillane
