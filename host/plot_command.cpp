#include "plot_command.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "byte_sink.h"
#include "driver_search.h"
#include "plot_job.h"
#include "plot_runner.h"
#include "png_file.h"
#include "script_parser.h"

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

int fail(const std::string &message) {
    std::cerr << "drvhost: " << message << '\n';
    return 1;
}

} // namespace

int runPlotCommand(const PlotOptions &options) {
    std::string source;
    std::string error;
    if (!readScript(options.script, source, error)) {
        return fail(error);
    }
    const std::string scriptName = options.script == "-" ? "<stdin>" : options.script;
    std::vector<ScriptError> errors;
    const auto report = [&scriptName](const std::vector<ScriptError> &found) {
        for (const ScriptError &e : found) {
            std::cerr << formatScriptError(scriptName, e) << '\n';
        }
        return 1;
    };
    const std::vector<ScriptStatement> statements = parseScript(source, errors);
    if (!errors.empty()) {
        return report(errors);
    }
    const std::unique_ptr<DriverLibrary> library = openDriver(options.driver, error);
    if (!library) {
        return fail(error);
    }
    const PldbinFunction entry = library->pldbin();
    if (entry == nullptr) {
        return fail(library->path() + " is not a plotter driver: it exports no pldbin");
    }
    // The driver's needs are checked too before anything is opened for
    // output, so a bad script never leaves output behind.
    const PlotterTraits &traits = plotterTraits(driverStem(library->path()));
    const std::string baseDir =
        options.script == "-" ? std::string() : std::filesystem::path(options.script).parent_path().string();
    const std::vector<PlotCall> job = buildPlotJob(statements, traits, baseDir, readPng, errors);
    if (!errors.empty()) {
        return report(errors);
    }

    OutputTarget target{options.output, std::nullopt};
    if (options.device) {
        target = {*options.device, options.serial};
    }
    const std::unique_ptr<ByteSink> sink = openByteSink(target, error);
    if (!sink) {
        return fail(error);
    }
    // Standard output on the terminal would mix with the bar.
    const bool barWanted = progressWanted() && !(target.target == "-" && ::isatty(STDOUT_FILENO) == 1);
    ProgressMeter progress(job.size(), barWanted);
    PlotRunStats stats;
    if (!runPlotJob(entry, job, traits.stateSize, *sink, &progress, stats, error) ||
        !sink->commit(error)) {
        progress.finish();
        return fail(error);
    }
    progress.finish();
    std::cerr << "drvhost: " << stats.calls << " requests, " << stats.bytes << " bytes to "
              << target.target << '\n';
    return 0;
}

} // namespace drv::host
