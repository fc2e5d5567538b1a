// Runs a checked plot job through a plotter driver's entry point into a
// sink, all at once: for tests, the demo, and programs that need no
// delivery care (host/plot/job_delivery.h gives that).
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

// Calls `entry` once per request of `job`, in order (JobRenderer), and
// writes exactly the bytes each call reports to `sink`. A driver fault
// stops the run with an error. Does not commit the sink. `progress` may be
// null.
bool runPlotJob(PldbinFunction entry, const std::vector<PlotCall> &job, std::size_t stateSize,
                ByteSink &sink, ProgressMeter *progress, PlotRunStats &stats, std::string &error);

} // namespace drv::host
