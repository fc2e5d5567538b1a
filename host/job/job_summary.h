// What a job asks of the plotter, before it is sent: its requests, the
// pen's way with the pen down and up, and the time that takes at the
// job's speeds.
#pragma once

#include <cstddef>
#include <vector>

#include "host/job/plot_call.h"
#include "host/job/plotter_traits.h"

namespace drv::host {

// The speed taken for a pen the job sets none for, and for moves with the
// pen up: a pen plotter's usual top speed.
constexpr double kDefaultPenSpeed = 400; // mm/s

struct JobSummary {
    std::size_t requests = 0;
    double penDownMm = 0;
    double penUpMm = 0;
    std::size_t penChanges = 0;
    // Drawing at the speed the job set for each pen (Velocity), moving at
    // kDefaultPenSpeed; pen changes and labels are not timed.
    double seconds = 0;
};

JobSummary summarizeJob(const std::vector<PlotCall> &job, const PlotterTraits &traits);

} // namespace drv::host
