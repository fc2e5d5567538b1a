// Plot calls written out as a plot script that reads back into the same
// calls: one line per request, each cell the operation reads by its
// readable name (or p<i>), reals in their shortest exact form, flags where
// they change, texts with escapes, palettes and row bytes in hex.
#pragma once

#include <string>
#include <vector>

#include "host/job/plot_call.h"

namespace drv::host {

// `header` lines are written first as comments.
std::string writeScript(const std::vector<PlotCall> &calls, const std::vector<std::string> &header = {});

} // namespace drv::host
