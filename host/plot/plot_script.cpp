#include "host/plot/plot_script.h"

#include "host/io/input_file.h"
#include "host/io/tee_sink.h"
#include "host/job/job_resume.h"
#include "host/job/source_error.h"
#include "host/loader/driver_search.h"
#include "host/picture/png_file.h"
#include "host/script/script_parser.h"

namespace drv::host {
namespace {

// Why writing `target` would destroy one of the job's inputs, or empty.
std::string inputClash(const PreparedJob &job, const std::string &target) {
    if (target == "-" || target.empty()) {
        return {};
    }
    if (!job.scriptPath.empty() && sameFile(target, job.scriptPath)) {
        return "the output " + target + " is the job's " + job.sourceKind +
               ": plotting would overwrite it";
    }
    for (const PictureUse &picture : job.pictures) {
        if (sameFile(target, picture.path)) {
            return "the output " + target + " is the picture placed on line " +
                   std::to_string(picture.line) + ": plotting would overwrite it";
        }
    }
    return {};
}

} // namespace

bool preparePlotJob(std::string_view source, const PlotScriptOptions &options, PreparedJob &job,
                    PlotMessages &messages) {
    std::vector<SourceError> errors;
    std::vector<SourceError> warnings;
    const auto report = [&] {
        for (const SourceError &e : errors) {
            messages.errors.push_back(formatSourceError(options.scriptName, e));
        }
        return false;
    };
    const std::vector<ScriptStatement> statements = parseScript(source, errors);
    if (!errors.empty()) {
        return report();
    }
    std::string error;
    job.library = openDriver(options.driver, error);
    if (!job.library) {
        messages.errors.push_back("drvhost: " + error);
        return false;
    }
    job.entry = job.library->pldbin();
    if (job.entry == nullptr) {
        messages.errors.push_back("drvhost: " + job.library->path() +
                                  " is not a plotter driver: it exports no pldbin");
        return false;
    }
    job.traits = &plotterTraits(driverStem(job.library->path()));
    job.scriptPath = options.scriptPath;
    job.sourceKind = options.sourceKind;
    job.calls = buildPlotJob(statements, *job.traits, options.baseDir, readPng, errors,
                             {options.strict, &warnings, options.sourceKind}, &job.pictures);
    for (const SourceError &w : warnings) {
        messages.warnings.push_back(formatSourceWarning(options.scriptName, w));
    }
    if (!errors.empty()) {
        return report();
    }
    if (options.resumeFrom) {
        std::vector<PlotCall> resumed;
        if (!resumeJob(job.calls, *options.resumeFrom, *job.traits, resumed, error)) {
            messages.errors.push_back("drvhost: " + options.scriptName + ": cannot resume: " +
                                      error);
            return false;
        }
        job.calls = std::move(resumed);
    }
    if (!measureJob(job.entry, job.calls, *job.traits, job.ledger, error)) {
        messages.errors.push_back("drvhost: " + error);
        return false;
    }
    job.summary = summarizeJob(job.calls, *job.traits);
    return true;
}

DeliveryOutcome sendPlotJob(const PreparedJob &job, const SendOptions &options) {
    DeliveryOutcome outcome;
    outcome.end = DeliveryEnd::Failed;
    outcome.error = inputClash(job, options.target.serial ? std::string() : options.target.target);
    if (!outcome.error.empty()) {
        return outcome;
    }
    const bool memoryOnly = options.target.target.empty() && options.copy != nullptr;
    const std::unique_ptr<ByteSink> device =
        memoryOnly ? std::make_unique<MemorySink>() : openByteSink(options.target, outcome.error);
    if (!device) {
        return outcome;
    }
    std::vector<std::uint8_t> unused;
    TeeSink tee(*device, options.copy != nullptr ? *options.copy : unused);
    ByteSink &sink = options.copy != nullptr ? static_cast<ByteSink &>(tee) : *device;
    sink.watch({options.watch, options.stallAfter, job.ledger.total()});
    if (options.watch != nullptr) {
        options.watch->starting(job.ledger.total());
    }
    return deliverJob(job.entry, job.calls, *job.traits, job.ledger, sink, options.watch);
}

bool plotScript(std::string_view source, const PlotScriptOptions &options,
                const OutputTarget &target, PlotRunStats &stats, PlotMessages &messages,
                std::vector<std::uint8_t> *copy) {
    PreparedJob job;
    if (!preparePlotJob(source, options, job, messages)) {
        return false;
    }
    SendOptions send{target};
    send.copy = copy;
    const DeliveryOutcome outcome = sendPlotJob(job, send);
    stats = {outcome.sent, outcome.bytes};
    if (outcome.end != DeliveryEnd::Done) {
        messages.errors.push_back("drvhost: " + outcome.error);
        return false;
    }
    return true;
}

} // namespace drv::host
