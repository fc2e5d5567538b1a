// The options every command that reads a tablet takes: the driver, the
// profile (format selectors, set-up texts), framing overrides, and where
// the reports come from (a file, standard input, or a serial line).
#pragma once

#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "host/cli/serial_options.h"
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

} // namespace drv::host
