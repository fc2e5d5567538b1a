#include "host/cli/plot_input.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/script/script_writer.h"

namespace drv::host {

bool readPlotInput(const std::string &path, std::optional<drawing::InputFormat> format,
                   const drawing::ImportOptions &options, PlotInput &out) {
    std::ostringstream buffer;
    const bool fromStdin = path == "-";
    if (fromStdin) {
        buffer << std::cin.rdbuf();
    } else {
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::cerr << "drvhost: " << path << ": cannot read the input\n";
            return false;
        }
        buffer << file.rdbuf();
    }
    std::string text = buffer.str();
    out.name = fromStdin ? "<stdin>" : path;
    out.baseDir = fromStdin ? std::string() : std::filesystem::path(path).parent_path().string();
    const drawing::InputFormat kind = format.value_or(drawing::detectInputFormat(fromStdin ? "" : path, text));
    if (kind == drawing::InputFormat::Script) {
        out.script = std::move(text);
        return true;
    }
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
