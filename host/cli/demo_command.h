// `drvhost demo`: the suite at work with nothing to set up.
#pragma once

#include "host/cli/subcommand.h"
#include "host/demo/demo_run.h"

namespace drv::host {

class DemoCommand : public Subcommand {
public:
    // Adds `demo` and its option to the command line.
    explicit DemoCommand(CLI::App &app);

    // Runs the demo (runDemo); returns its exit status.
    int run() { return runDemo(options_); }

private:
    DemoOptions options_;
};

} // namespace drv::host
