// `drvhost list`: the driver libraries the host finds, and with --long
// what each can do.
#pragma once

#include "host/cli/subcommand.h"

namespace drv::host {

class ListCommand : public Subcommand {
public:
    // Adds `list` to the command line.
    explicit ListCommand(CLI::App &app);
    // Prints one line per library found: name, kind (pldbin or dgdbin),
    // path; with --long, lines under each on what it can do. Then the
    // folders searched on standard error. Returns 0, or 1 when no library
    // was found.
    int run();

private:
    bool long_ = false;
};

} // namespace drv::host
