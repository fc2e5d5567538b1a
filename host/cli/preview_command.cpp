#include "host/cli/preview_command.h"

#include <filesystem>
#include <iostream>

#include "host/cli/plot_input.h"
#include "host/plot/plot_script.h"
#include "host/preview/render.h"

namespace drv::host {

PreviewCommand::PreviewCommand(CLI::App &app)
    : Subcommand(app, "preview", "draw what device bytes or a plot script make, as SVG, PNG or PDF") {
    CLI::App *command = command_;
    command->add_option("input", input_,
                        "device bytes, or with --driver a plot script or drawing (- for standard input)")
        ->required();
    command->add_option("-o,--output", file_.path, "the picture: OUT.svg, OUT.png or OUT.pdf")->required();
    command->add_option("--dpi", file_.dpi, "PNG resolution in pixels per inch")
        ->check(CLI::Range(1.0, 2400.0))
        ->capture_default_str();
    command->add_option("--sheet", file_.page, "the page to show (default: all in a PDF, else the first)")
        ->check(CLI::PositiveNumber);
    command->add_option("--driver", driver_,
                        "run INPUT as a plot script or drawing through this driver (name or path) first");
    addDeviceInputOptions(*command, device_);
    addDrawingOptions(*command, drawingWords_);
}

int PreviewCommand::run() {
    std::string error;
    if (!preview::formatForPath(file_.path)) {
        std::cerr << "drvhost: " << file_.path << ": a preview is .svg, .png or .pdf\n";
        return 2;
    }
    const std::string name = input_ == "-" ? "<stdin>" : input_;
    std::size_t problems = 0;
    if (!driver_.empty()) {
        drawing::ImportOptions importOptions;
        std::optional<drawing::InputFormat> format;
        if (!finishDrawingOptions(drawingWords_, driver_, importOptions, format, error)) {
            std::cerr << "drvhost: " << error << '\n';
            return 2;
        }
        // A drawing becomes the plot script of its job, as `plot` makes it.
        PlotInput script;
        if (!readPlotInput(input_, format, importOptions, script,
                           givenShapingOptions(drawingWords_))) {
            return 1;
        }
        std::vector<std::uint8_t> sent;
        PlotRunStats stats;
        PlotMessages messages;
        const PlotScriptOptions plot{.driver = driver_,
                                     .scriptName = script.name,
                                     .baseDir = script.baseDir,
                                     .sourceKind = script.kind};
        const bool plotted =
            plotScript(script.script, plot, {"", std::nullopt}, stats, messages, &sent);
        for (const std::string &message : messages.warnings) {
            std::cerr << message << '\n';
        }
        if (!plotted) {
            for (const std::string &message : messages.errors) {
                std::cerr << message << '\n';
            }
            return 1;
        }
        if (!previewPlottedBytes(driver_, script.script, script.name, sent, file_, problems, error)) {
            std::cerr << "drvhost: " << error << '\n';
            return 1;
        }
        return problems > 0 ? 1 : 0;
    }
    decode::Drawing drawing;
    if (const int status = readDeviceDrawing(input_, device_, drawing); status != 0) {
        return status;
    }
    problems = reportProblems(name, drawing);
    if (!writePreview(drawing, file_, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 1;
    }
    return problems > 0 ? 1 : 0;
}

} // namespace drv::host
