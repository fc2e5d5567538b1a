// A job's requests through a plotter driver's entry point, one at a time,
// with one state block for the whole job.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "host/job/plot_call.h"

namespace drv::host {

class JobRenderer {
public:
    // A state block of `stateSize` bytes (pointer-aligned), made once for
    // the job and all the same, so that a run is repeatable byte for byte.
    JobRenderer(PldbinFunction entry, std::size_t stateSize);

    // Calls the driver for `call` with an output buffer of outputCapacity()
    // bytes; `bytes` then shows exactly the `outLength` bytes it reported,
    // until the next call. A count outside the buffer, or a write past it,
    // is a driver fault: false with the reason in `error`.
    bool render(const PlotCall &call, std::span<const std::uint8_t> &bytes, std::string &error);

private:
    PldbinFunction entry_;
    std::unique_ptr<unsigned char[]> state_;
    std::vector<std::uint8_t> out_;
};

} // namespace drv::host
