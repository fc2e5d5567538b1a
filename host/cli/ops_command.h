// `drvhost ops`: every plot operation with its cells, their names, types,
// ranges and defaults, and which driver handles it and reads which cell.
#pragma once

#include <string>

#include "host/cli/subcommand.h"

namespace drv::host {

class OpsCommand : public Subcommand {
public:
    // Adds `ops` and its option to the command line.
    explicit OpsCommand(CLI::App &app);
    // Prints the table on standard output; with --driver, only what that
    // driver handles and reads. Returns 0, or 2 for a driver the host does
    // not know.
    int run();

private:
    std::string driver_;
};

} // namespace drv::host
