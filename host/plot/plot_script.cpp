#include "host/plot/plot_script.h"

#include <memory>

#include "host/io/tee_sink.h"
#include "host/job/plotter_traits.h"
#include "host/job/source_error.h"
#include "host/loader/driver_search.h"
#include "host/picture/png_file.h"
#include "host/script/script_job.h"
#include "host/script/script_parser.h"

namespace drv::host {

bool plotScript(const std::string &driver, std::string_view source, const std::string &scriptName,
                const std::string &baseDir, const OutputTarget &target, bool progressBar,
                PlotRunStats &stats, std::vector<std::string> &messages,
                std::vector<std::uint8_t> *sent) {
    std::vector<SourceError> errors;
    const auto report = [&] {
        for (const SourceError &e : errors) {
            messages.push_back(formatSourceError(scriptName, e));
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
    const std::unique_ptr<ByteSink> device =
        target.target.empty() && sent != nullptr ? std::make_unique<MemorySink>() : openByteSink(target, error);
    if (!device) {
        return fail(error);
    }
    std::vector<std::uint8_t> unused;
    TeeSink tee(*device, sent != nullptr ? *sent : unused);
    ByteSink &sink = sent != nullptr ? static_cast<ByteSink &>(tee) : *device;
    ProgressMeter progress(job.size(), progressBar);
    if (!runPlotJob(entry, job, traits.stateSize, sink, &progress, stats, error) ||
        !sink.commit(error)) {
        progress.finish();
        return fail(error);
    }
    return true;
}

} // namespace drv::host
