#include "host/cli/convert_command.h"

#include <iostream>

#include "host/cli/plot_input.h"
#include "host/io/byte_sink.h"

namespace drv::host {

ConvertCommand::ConvertCommand(CLI::App &app)
    : Subcommand(app, "convert", "write the plot script that plot would run for a drawing") {
    command_->add_option("--driver", driver_, "driver name (quillane, drevant) or library path")->required();
    command_->add_option("input", input_, "drawing (SVG, DXF) or plot script, or - for standard input")->required();
    command_->add_option("-o,--output", output_, "plot script to write, or - for standard output")->required();
    addDrawingOptions(*command_, words_);
}

int ConvertCommand::run() {
    drawing::ImportOptions options;
    std::optional<drawing::InputFormat> format;
    std::string error;
    if (!finishDrawingOptions(words_, driver_, options, format, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 2;
    }
    PlotInput input;
    if (!readPlotInput(input_, format, options, input, givenShapingOptions(words_))) {
        return 1;
    }
    // Written whole or not at all: a file is renamed into place on commit.
    const std::unique_ptr<ByteSink> sink = openByteSink({output_, std::nullopt}, error);
    if (!sink ||
        !sink->write(reinterpret_cast<const std::uint8_t *>(input.script.data()), input.script.size(), error) ||
        !sink->commit(error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 1;
    }
    return 0;
}

} // namespace drv::host
