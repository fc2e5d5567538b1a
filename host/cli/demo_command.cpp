#include "host/cli/demo_command.h"

namespace drv::host {

DemoCommand::DemoCommand(CLI::App &app)
    : Subcommand(app, "demo", "plot the demo drawing and read every tablet model") {
    command_->add_option("--out", options_.outDir, "folder for the demo's files")
        ->capture_default_str();
}

} // namespace drv::host
