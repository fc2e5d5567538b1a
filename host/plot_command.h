// `drvhost plot`: runs a plot script through a plotter driver.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/byte_sink.h"
#include "host/plot_runner.h"
#include "host/serial_line.h"

namespace drv::host {

struct PlotOptions {
    std::string driver;                // name or path
    std::string script;                // file, or "-" for standard input
    std::string output;                // file, "-", device node or tcp:HOST:PORT
    std::optional<std::string> device; // serial line, set up with `serial`
    SerialSettings serial;
};

// Runs the script `source` (named `scriptName` in messages; Image files
// relative to `baseDir`) through the plotter `driver` into `target`. The
// script and the driver's needs are checked before the target is opened,
// so a bad script never leaves output behind. On failure returns false
// with one message per script error ("FILE:LINE:COL: ...") or one reason
// ("drvhost: ...").
bool plotScript(const std::string &driver, std::string_view source, const std::string &scriptName,
                const std::string &baseDir, const OutputTarget &target, bool progressBar,
                PlotRunStats &stats, std::vector<std::string> &messages);

// Reads, checks and runs the script; nothing is opened for output before
// the whole script has been checked. Messages go to standard error.
// Returns the process exit status: 0 on success, 1 on any error.
int runPlotCommand(const PlotOptions &options);

} // namespace drv::host
