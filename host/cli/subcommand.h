// What every drvhost command has: its CLI11 subcommand, which holds
// references to the command's option values, so a command stays in place.
#pragma once

#include <CLI/CLI.hpp>

namespace drv::host {

class Subcommand {
public:
    Subcommand(const Subcommand &) = delete;
    Subcommand &operator=(const Subcommand &) = delete;

    // Whether the command line asked for this command.
    bool chosen() const { return command_->parsed(); }

protected:
    // `app` must outlive the command.
    Subcommand(CLI::App &app, const char *name, const char *description)
        : command_(app.add_subcommand(name, description)) {}
    ~Subcommand() = default;

    CLI::App *command_;
};

} // namespace drv::host
