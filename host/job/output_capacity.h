// The output buffer a plotter driver call needs.
#pragma once

#include <cstddef>

#include "host/job/plot_call.h"

namespace drv::host {

// Bytes the output buffer must hold for `call`, the driver's trailing NUL
// included: the longest text any driver makes of the request.
std::size_t outputCapacity(const PlotCall &call);

} // namespace drv::host
