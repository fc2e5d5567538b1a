// `drvhost plot`: runs a plot script through a plotter driver.
#pragma once

#include <optional>
#include <string>

#include "serial_line.h"

namespace drv::host {

struct PlotOptions {
    std::string driver;          // name or path
    std::string script;          // file, or "-" for standard input
    std::string output;          // file, "-", device node or tcp:HOST:PORT
    std::optional<std::string> device; // serial line, set up with `serial`
    SerialSettings serial;
};

// Reads, checks and runs the script; nothing is opened for output before
// the whole script has been checked. Messages go to standard error.
// Returns the process exit status: 0 on success, 1 on any error.
int runPlotCommand(const PlotOptions &options);

} // namespace drv::host
