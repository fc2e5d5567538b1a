// `drvhost convert`: writes the plot script that `plot` would run for an
// input, so that a person can read or edit it; plotting that script gives
// the same bytes as plotting the input with the same options.
#pragma once

#include <string>

#include "host/cli/drawing_options.h"
#include "host/cli/subcommand.h"

namespace drv::host {

class ConvertCommand : public Subcommand {
public:
    explicit ConvertCommand(CLI::App &app);

    // Returns the exit status: 0 on success, 1 on any error, 2 for options
    // that do not read.
    int run();

private:
    std::string driver_;
    std::string input_;
    std::string output_;
    DrawingWords words_;
};

} // namespace drv::host
