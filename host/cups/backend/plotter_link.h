// Reaching the plotter named by a device URI: a TCP connection or an open
// serial line, tried again with growing pauses while the plotter is not
// there yet (switched off, booting, its USB adapter not plugged in).
#pragma once

#include <csignal>
#include <string>

#include "host/cups/backend/device_uri.h"
#include "host/cups/status_lines.h"

namespace drv::cups {

enum class LinkOutcome {
    Open,    // `fd` is the plotter, non-blocking
    Stopped, // `stop` was raised while waiting
    GaveUp,  // not reachable within the URI's contimeout: retry the job later
    Refused, // a fault no waiting mends (permission, not a serial line, ...)
};

struct PlotterLink {
    LinkOutcome outcome = LinkOutcome::Refused;
    int fd = -1;
    std::string error; // for GaveUp and Refused
};

// The pause before try number `attempt` (1 for the second try): 1, 2, 4,
// 8, 16, then 30 seconds.
int retryPause(int attempt);

// Opens the plotter, reporting "connecting" and each failed try on
// `status`. `once`: give up after the first failed try (a member of a
// printer class, so that the class can hand the job to another member).
PlotterLink openPlotter(const DeviceUri &uri, StatusLines &status, bool once,
                        const volatile std::sig_atomic_t &stop);

} // namespace drv::cups
