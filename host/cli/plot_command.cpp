#include "host/cli/plot_command.h"

#include <unistd.h>

#include <iostream>

#include "host/cli/plot_input.h"
#include "host/cli/preview_output.h"
#include "host/io/byte_sink.h"
#include "host/io/progress_meter.h"
#include "host/plot/plot_script.h"

namespace drv::host {
namespace {

// `plot --preview`: the picture of the bytes just sent. The plot itself has
// succeeded; a preview that cannot be written is reported with status 1.
int previewSent(const PlotOptions &options, const std::string &source, const std::vector<std::uint8_t> &sent) {
    std::size_t problems = 0;
    std::string error;
    if (!previewPlottedBytes(options.driver, source, options.output.empty() ? "<sent>" : options.output, sent,
                             {options.preview}, problems, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 1;
    }
    return problems > 0 ? 1 : 0;
}

int runPlotCommand(const PlotOptions &options, const DrawingWords &drawingWords) {
    drawing::ImportOptions importOptions;
    std::optional<drawing::InputFormat> format;
    std::string error;
    if (!finishDrawingOptions(drawingWords, options.driver, importOptions, format, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 2;
    }
    // A drawing becomes the plot script of its job here.
    PlotInput input;
    if (!readPlotInput(options.script, format, importOptions, input)) {
        return 1;
    }
    const std::string &source = input.script;
    const std::string &baseDir = input.baseDir;
    OutputTarget target{options.output, std::nullopt};
    if (options.device) {
        target = {*options.device, options.serial};
    }
    // Standard output on the terminal would mix with the bar.
    const bool bar = progressWanted() && !(target.target == "-" && ::isatty(STDOUT_FILENO) == 1);
    PlotRunStats stats;
    std::vector<std::string> messages;
    std::vector<std::uint8_t> sent;
    if (!plotScript(options.driver, source, input.name, baseDir, target,
                    bar, stats, messages, options.preview.empty() ? nullptr : &sent)) {
        for (const std::string &message : messages) {
            std::cerr << message << '\n';
        }
        return 1;
    }
    std::cerr << "drvhost: " << stats.calls << " requests, " << stats.bytes << " bytes to "
              << target.target << '\n';
    return options.preview.empty() ? 0 : previewSent(options, source, sent);
}

} // namespace

PlotCommand::PlotCommand(CLI::App &app)
    : Subcommand(app, "plot", "run a plot script or a drawing through a plotter driver") {
    command_
        ->add_option("--driver", options_.driver,
                     "driver name (quillane, drevant) or library path")
        ->required();
    command_->add_option("input", options_.script,
                         "plot script or drawing (SVG, DXF), or - for standard input")
        ->required();
    CLI::Option *outputOption = command_->add_option(
        "-o,--output", options_.output,
        "output: FILE, - (standard output), a device node or tcp:HOST:PORT");
    CLI::Option *deviceOption =
        command_->add_option("--device", device_, "serial line to plot on, e.g. /dev/ttyS0");
    outputOption->excludes(deviceOption);
    addSerialOptions(*command_, options_.serial, serialWords_);
    addDrawingOptions(*command_, drawingWords_);
    command_->add_option("--preview", options_.preview,
                         "also draw exactly the bytes sent: OUT.svg, OUT.png or OUT.pdf");
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
    return runPlotCommand(options_, drawingWords_);
}

} // namespace drv::host
