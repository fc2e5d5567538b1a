// A checked job through a plotter driver to its device, the way a spooler
// sends it: every request's bytes whole and in order; between requests the
// watch may ask to stop, and then a device still gets the end of the job
// (the image, polygon and job left open are closed), while a file is
// thrown away; what the device took is known request by request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "host/io/byte_sink.h"
#include "host/io/delivery_watch.h"
#include "host/job/plot_call.h"
#include "host/job/plotter_traits.h"
#include "host/plot/job_ledger.h"

namespace drv::host {

enum class DeliveryEnd {
    Done,    // every request sent and the sink committed
    Stopped, // the watch asked to stop; a device got the job's end
    Failed   // a driver fault, or the sink failed (`error`)
};

struct DeliveryOutcome {
    DeliveryEnd end = DeliveryEnd::Done;
    std::string error;
    std::size_t sent = 0;    // requests of the job whose bytes were written
    std::uint64_t bytes = 0; // bytes written, the job's end included
    // For a sink that keeps what it gets (`streamed`): the bytes the
    // device took, and how many requests of the job, from the first, it
    // has whole.
    bool streamed = false;
    std::uint64_t taken = 0;
    std::size_t through = 0;
};

// Sends `job` (measured into `ledger`) through `entry` into `sink`. Each
// call's bytes must be those the ledger counted: a driver that answers
// differently the second time is a fault. `watch` may be null.
DeliveryOutcome deliverJob(PldbinFunction entry, const std::vector<PlotCall> &job,
                           const PlotterTraits &traits, const JobLedger &ledger, ByteSink &sink,
                           DeliveryWatch *watch);

} // namespace drv::host
