// `drvhost tablet`: sets up a digitizer tablet and prints its points.
#pragma once

#include <cstddef>

#include "host/cli/subcommand.h"
#include "host/cli/tablet_options.h"

namespace drv::host {

class TabletCommand : public Subcommand {
public:
    // Adds `tablet` and its options to the command line.
    explicit TabletCommand(CLI::App &app);

    // Calls the set-up operation, shows the set-up text (and sends it to the
    // device), then decodes the input until it ends (or, on a device, until
    // interrupted, or after `--count` decoded reports): one line per decoded
    // report on standard output, flushed at once, "button,x,y" CSV with a
    // header or JSON lines, and a summary on standard error. Returns 0; 1
    // when the driver or the input cannot be opened or read; 2 for an option
    // value it cannot use.
    int run();

private:
    TabletOptions tablet_;
    bool json_ = false;
    std::size_t count_ = 0;
};

} // namespace drv::host
