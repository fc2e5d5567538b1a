// `drvhost list`: the driver libraries the host finds.
#pragma once

#include "host/cli/subcommand.h"

namespace drv::host {

class ListCommand : public Subcommand {
public:
    // Adds `list` to the command line.
    explicit ListCommand(CLI::App &app);

    // Prints one line per library found: name, kind (pldbin or dgdbin),
    // path; then the folders searched on standard error. Returns 0, or 1
    // when no library was found.
    int run();
};

} // namespace drv::host
