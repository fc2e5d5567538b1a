#include "host/plot_command.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "host/byte_sink.h"
#include "host/driver_search.h"
#include "host/plot_job.h"
#include "host/plot_runner.h"
#include "host/png_file.h"
#include "host/script_parser.h"

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

} // namespace

bool plotScript(const std::string &driver, std::string_view source, const std::string &scriptName,
                const std::string &baseDir, const OutputTarget &target, bool progressBar,
                PlotRunStats &stats, std::vector<std::string> &messages) {
    std::vector<ScriptError> errors;
    const auto report = [&] {
        for (const ScriptError &e : errors) {
            messages.push_back(formatScriptError(scriptName, e));
        }
        return false;
    };
    const std::vector<ScriptStatement> statements = parseScript(source, errors);
    if (!errors.empty()) {
        return report();
    }
    std::string error;
    const auto fail = [&messages](const std::string &reason) {
        messages.push_back("drvhost: " + reason);
        return false;
    };
    const std::unique_ptr<DriverLibrary> library = openDriver(driver, error);
    if (!library) {
        return fail(error);
    }
    const PldbinFunction entry = library->pldbin();
    if (entry == nullptr) {
        return fail(library->path() + " is not a plotter driver: it exports no pldbin");
    }
    const PlotterTraits &traits = plotterTraits(driverStem(library->path()));
    const std::vector<PlotCall> job = buildPlotJob(statements, traits, baseDir, readPng, errors);
    if (!errors.empty()) {
        return report();
    }
    const std::unique_ptr<ByteSink> sink = openByteSink(target, error);
    if (!sink) {
        return fail(error);
    }
    ProgressMeter progress(job.size(), progressBar);
    if (!runPlotJob(entry, job, traits.stateSize, *sink, &progress, stats, error) ||
        !sink->commit(error)) {
        progress.finish();
        return fail(error);
    }
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

} // namespace drv::host
