// `drvhost tablet`: sets up a digitizer tablet and prints its points, or
// makes it a desktop pointer.
#pragma once

#include <cstddef>
#include <string>

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
    // header or JSON lines (with mm beside the counts under --calibration,
    // and the time under --timestamps), and a summary on standard error.
    // With --uinput the reports go to a new input device instead. Returns 0;
    // 1 when the driver, the input, the calibration or the input device
    // cannot be opened or used; 2 for an option value it cannot use.
    int run();

private:
    TabletOptions tablet_;
    bool json_ = false;
    std::size_t count_ = 0;
    std::string calibration_;
    bool timestamps_ = false;
    bool uinput_ = false;
    std::string buttons_;
};

} // namespace drv::host
