// The options every command that reads a tablet takes: the driver, the
// profile (format selectors, set-up texts), framing overrides, and where
// the reports come from (a file, standard input, or a serial line).
#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "host/calibration/calibration_file.h"
#include "host/cli/serial_options.h"
#include "host/io/byte_sink.h"
#include "host/tablet/tablet_source.h"

namespace drv::host {

class TabletOptions {
public:
    // Adds the options to `command`.
    explicit TabletOptions(CLI::App &command);
    TabletOptions(const TabletOptions &) = delete;
    TabletOptions &operator=(const TabletOptions &) = delete;

    // Checks and converts what was given; false, with a message on standard
    // error, for a value that cannot be used.
    bool finish();

    const TabletSourceOptions &source() const { return source_; }

private:
    TabletSourceOptions source_;
    std::string setupA_;
    std::string setupB_;
    std::string frameByte_;
    std::string reportLength_;
    std::string device_;
    SerialWords serialWords_;
    int format_ = 1;
    std::optional<int> auxFormat_;
};

// Opens the tablet the options describe, with the set-up summary on
// standard error. Null after a message on standard error; `status` is then
// the exit status to return (1, or 2 for a format the model does not have).
std::unique_ptr<TabletSource> openTablet(const TabletSourceOptions &options, int &status);

// The same, then the calibration file `calibrationPath` for it (none when
// the path is empty), read into `calibration`.
std::unique_ptr<TabletSource> openTablet(const TabletSourceOptions &options,
                                         const std::string &calibrationPath,
                                         std::optional<Calibration> &calibration, int &status);

// Reads the calibration file `path` for the tablet `source`: it must have
// been made for the same model and format. False after a message on
// standard error.
bool loadCalibration(const std::string &path, const TabletSource &source, Calibration &calibration);

// Opens the output file (written under a temporary name, put in place
// whole by finishOutput), or standard output for "-", before the tablet is
// read: a path that cannot be written is reported before anyone presses a
// button. Null after a message on standard error.
std::unique_ptr<ByteSink> openOutput(const std::string &target);

// Writes `text` and puts the file in place. False after a message.
bool finishOutput(ByteSink &sink, const std::string &text);

} // namespace drv::host
