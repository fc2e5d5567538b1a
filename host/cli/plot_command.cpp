#include "host/cli/plot_command.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/io/byte_sink.h"
#include "host/io/progress_meter.h"
#include "host/plot/plot_script.h"

namespace drv::host {
namespace {

bool readScript(const std::string &path, std::string &text, std::string &error) {
    std::ostringstream buffer;
    if (path == "-") {
        buffer << std::cin.rdbuf();
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            error = path + ": cannot read the script";
            return false;
        }
        buffer << file.rdbuf();
    }
    text = buffer.str();
    return true;
}

int runPlotCommand(const PlotOptions &options) {
    std::string source;
    std::string error;
    if (!readScript(options.script, source, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 1;
    }
    const bool fromStdin = options.script == "-";
    const std::string baseDir =
        fromStdin ? std::string() : std::filesystem::path(options.script).parent_path().string();
    OutputTarget target{options.output, std::nullopt};
    if (options.device) {
        target = {*options.device, options.serial};
    }
    // Standard output on the terminal would mix with the bar.
    const bool bar = progressWanted() && !(target.target == "-" && ::isatty(STDOUT_FILENO) == 1);
    PlotRunStats stats;
    std::vector<std::string> messages;
    if (!plotScript(options.driver, source, fromStdin ? "<stdin>" : options.script, baseDir, target,
                    bar, stats, messages)) {
        for (const std::string &message : messages) {
            std::cerr << message << '\n';
        }
        return 1;
    }
    std::cerr << "drvhost: " << stats.calls << " requests, " << stats.bytes << " bytes to "
              << target.target << '\n';
    return 0;
}

} // namespace

PlotCommand::PlotCommand(CLI::App &app)
    : Subcommand(app, "plot", "run a plot script through a plotter driver") {
    command_
        ->add_option("--driver", options_.driver,
                     "driver name (quillane, drevant) or library path")
        ->required();
    command_->add_option("script", options_.script, "plot script, or - for standard input")
        ->required();
    CLI::Option *outputOption = command_->add_option(
        "-o,--output", options_.output,
        "output: FILE, - (standard output), a device node or tcp:HOST:PORT");
    CLI::Option *deviceOption =
        command_->add_option("--device", device_, "serial line to plot on, e.g. /dev/ttyS0");
    outputOption->excludes(deviceOption);
    addSerialOptions(*command_, options_.serial, serialWords_);
}

int PlotCommand::run() {
    if (options_.output.empty() && device_.empty()) {
        std::cerr << "drvhost: plot needs an output: -o FILE|-|tcp:HOST:PORT or --device TTY\n";
        return 2;
    }
    if (!finishSerial(options_.serial, serialWords_)) {
        return 2;
    }
    if (!device_.empty()) {
        options_.device = device_;
    }
    return runPlotCommand(options_);
}

} // namespace drv::host
