// Runs a checked plot job through a plotter driver's entry point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "host/io/byte_sink.h"
#include "host/io/progress_meter.h"
#include "host/job/plot_call.h"

namespace drv::host {

struct PlotRunStats {
    std::size_t calls = 0;
    std::uint64_t bytes = 0;
};

// Calls `entry` once per request of `job`, in order, with one state block of
// `stateSize` bytes (pointer-aligned) for the whole job and an output buffer
// of outputCapacity() bytes, and writes exactly the `outLength` bytes each
// call reports to `sink`. A count outside the buffer is a driver fault: the
// run stops with an error. Does not commit the sink. `progress` may be null.
bool runPlotJob(PldbinFunction entry, const std::vector<PlotCall> &job, std::size_t stateSize,
                ByteSink &sink, ProgressMeter *progress, PlotRunStats &stats, std::string &error);

} // namespace drv::host
