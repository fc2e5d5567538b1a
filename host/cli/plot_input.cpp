#include "host/cli/plot_input.h"

#include <filesystem>
#include <iostream>

#include "host/io/input_file.h"
#include "host/script/script_writer.h"

namespace drv::host {

bool readPlotInput(const std::string &path, std::optional<drawing::InputFormat> format,
                   const drawing::ImportOptions &options, PlotInput &out,
                   std::string_view shapingGiven) {
    // Bounded, and a folder or an unreadable file is named as such.
    std::string text;
    std::string reason;
    if (!readInputFile(path, text, reason)) {
        std::cerr << "drvhost: " << reason << '\n';
        return false;
    }
    const bool fromStdin = path == "-";
    out.name = fromStdin ? "<stdin>" : path;
    out.baseDir = fromStdin ? std::string() : std::filesystem::path(path).parent_path().string();
    const drawing::InputFormat kind = format.value_or(drawing::detectInputFormat(fromStdin ? "" : path, text));
    if (kind == drawing::InputFormat::Script) {
        if (!shapingGiven.empty()) {
            std::cerr << "drvhost: " << out.name << ": warning: a plot script is sent as it is; "
                      << shapingGiven << " only shape drawings (SVG, DXF)\n";
        }
        out.script = std::move(text);
        return true;
    }
    out.kind = "drawing";
    drawing::ImportResult result;
    drawing::SourceError error;
    if (!drawing::importDrawing(text, kind, options, result, error)) {
        std::cerr << drawing::formatImportError(out.name, error) << '\n';
        return false;
    }
    for (const std::string &warning : result.warnings) {
        std::cerr << out.name << ": warning: " << warning << '\n';
    }
    const std::string summary = drawing::summaryLine(result.summary, options.speedCmPerS);
    std::cerr << "drvhost: " << out.name << ": " << summary << '\n';
    out.script = writeScript(result.calls, {"plot job of " + out.name + " for " + options.driver, summary});
    return true;
}

} // namespace drv::host
