// `drvhost plot`: runs a plot script or a drawing through a plotter driver.
#pragma once

#include <optional>
#include <string>

#include "host/cli/drawing_options.h"
#include "host/cli/serial_options.h"
#include "host/cli/subcommand.h"
#include "host/io/serial_line.h"

namespace drv::host {

struct PlotOptions {
    std::string driver;                // name or path
    std::string script;                // script or drawing file, or "-" for standard input
    std::string output;                // file, "-", device node or tcp:HOST:PORT
    std::optional<std::string> device; // serial line, set up with `serial`
    SerialSettings serial;
    bool strict = false;               // warnings are errors
    bool dryRun = false;               // check and sum up, write nothing
    int stallTimeout = 30;             // seconds; 0: never report a stall
    bool abortOnStall = false;
    std::optional<int> resumeFrom;     // a script line
    std::string preview;               // a picture of exactly the bytes sent, or empty
};

class PlotCommand : public Subcommand {
public:
    // Adds `plot` and its options to the command line.
    explicit PlotCommand(CLI::App &app);
    // Reads, checks and runs the script; nothing is opened for output
    // before the whole script has been checked and run through the driver
    // once. Messages go to standard error. Returns the exit status: 0 on
    // success, 1 on any error, 2 for options that do not go together,
    // 128 + the signal for a job stopped by SIGINT, SIGTERM or SIGHUP.
    int run();

private:
    PlotOptions options_;
    std::string device_;
    SerialWords serialWords_;
    DrawingWords drawingWords_;
};

} // namespace drv::host
