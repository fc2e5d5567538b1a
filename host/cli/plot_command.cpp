#include "host/cli/plot_command.h"

#include <unistd.h>

#include <iostream>

#include "host/cli/plot_input.h"
#include "host/cli/plot_report.h"
#include "host/cli/plot_watch.h"
#include "host/cli/preview_output.h"
#include "host/io/byte_sink.h"
#include "host/io/progress_meter.h"
#include "host/io/stop_signals.h"
#include "host/plot/plot_script.h"
#include "host/util/amount_text.h"

namespace drv::host {
namespace {

// `plot --preview`: the picture of the bytes just sent. The plot itself has
// succeeded; a preview that cannot be written is reported with status 1.
int previewSent(const PlotOptions &options, const std::string &source,
                const std::vector<std::uint8_t> &sent) {
    std::size_t problems = 0;
    std::string error;
    if (!previewPlottedBytes(options.driver, source,
                             options.output.empty() ? "<sent>" : options.output, sent,
                             {options.preview}, problems, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 1;
    }
    return problems > 0 ? 1 : 0;
}

void printAll(const std::vector<std::string> &lines) {
    for (const std::string &line : lines) {
        std::cerr << line << '\n';
    }
}

OutputTarget targetOf(const PlotOptions &options) {
    if (options.device) {
        return {*options.device, options.serial};
    }
    return {options.output, std::nullopt};
}

double lineSpeed(const PlotOptions &options) {
    if (!options.device) {
        return 0;
    }
    const SerialSettings &s = options.serial;
    return serialBytesPerSecond(s.baud, s.dataBits, s.parity != 'n', s.stopBits);
}

int dryRun(const PreparedJob &job, const PlotOptions &options) {
    std::string text = "dry run: " + summaryText(job);
    if (const double speed = lineSpeed(options); speed > 0) {
        text += "; sending takes " +
                durationText(static_cast<double>(job.ledger.total()) / speed) + " at " +
                std::to_string(options.serial.baud) + " baud";
    }
    std::cerr << "drvhost: " << text << "; nothing written\n";
    return 0;
}

int send(const PreparedJob &job, const PlotOptions &options, const std::string &source) {
    const OutputTarget target = targetOf(options);
    // Standard output on the terminal would mix with the bar.
    const bool bar = progressWanted() && !(target.target == "-" && ::isatty(STDOUT_FILENO) == 1);
    const bool stream = isStreamTarget(target);
    // From here on a signal stops the job where it can stop cleanly.
    const StopSignals signals;
    PlotWatch watch(target.target, stream, bar, lineSpeed(options), options.abortOnStall);
    std::vector<std::uint8_t> copy;
    const DeliveryOutcome outcome =
        sendPlotJob(job, {target, &watch, std::chrono::seconds(options.stallTimeout),
                          options.preview.empty() ? nullptr : &copy});
    watch.finish();
    const std::string sent = std::to_string(outcome.sent) + " requests, " +
                             std::to_string(outcome.bytes) + " bytes to " + target.target;
    switch (outcome.end) {
    case DeliveryEnd::Done:
        std::cerr << "drvhost: " << sent << '\n';
        return options.preview.empty() ? 0 : previewSent(options, source, copy);
    case DeliveryEnd::Stopped: {
        std::cerr << "drvhost: stopped by " << StopSignals::lastName() << ": "
                  << (outcome.streamed ? "the job was ended on the plotter after " + sent +
                                             "; " + howFarText(job, outcome)
                                       : target.target + " left as it was")
                  << '\n';
        return 128 + StopSignals::last();
    }
    case DeliveryEnd::Failed:
        break;
    }
    std::cerr << "drvhost: " << outcome.error << '\n';
    if (outcome.streamed && outcome.sent > 0) {
        std::cerr << "drvhost: " << howFarText(job, outcome) << '\n';
    }
    return StopSignals::count() > 0 ? 128 + StopSignals::last() : 1;
}

int runPlotCommand(const PlotOptions &options, const DrawingWords &drawingWords) {
    drawing::ImportOptions importOptions;
    std::optional<drawing::InputFormat> format;
    std::string error;
    if (!finishDrawingOptions(drawingWords, options.driver, importOptions, format, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 2;
    }
    if (!options.dryRun && !checkTargetForm(targetOf(options), error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 1;
    }
    // A drawing becomes the plot script of its job here.
    PlotInput input;
    if (!readPlotInput(options.script, format, importOptions, input,
                       givenShapingOptions(drawingWords))) {
        return 1;
    }
    const PlotScriptOptions plot{.driver = options.driver,
                                 .scriptName = input.name,
                                 .scriptPath = options.script == "-" ? std::string() : options.script,
                                 .baseDir = input.baseDir,
                                 .sourceKind = input.kind,
                                 .strict = options.strict,
                                 .resumeFrom = options.resumeFrom};
    PreparedJob job;
    PlotMessages messages;
    const bool prepared = preparePlotJob(input.script, plot, job, messages);
    printAll(messages.warnings);
    if (!prepared) {
        printAll(messages.errors);
        return 1;
    }
    return options.dryRun ? dryRun(job, options) : send(job, options, input.script);
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
    command_->add_flag("--strict", options_.strict,
                       "warnings are errors: undeclared pens, points off the page, what the "
                       "driver leaves out");
    command_->add_flag("--dry-run", options_.dryRun,
                       "check everything and print the job's summary; write nothing");
    command_
        ->add_option("--stall-timeout", options_.stallTimeout,
                     "seconds without the plotter reading before it is reported (0: never)")
        ->check(CLI::Range(0, 86400))
        ->capture_default_str();
    command_->add_flag("--abort-on-stall", options_.abortOnStall,
                       "give the job up once the plotter stalls for --stall-timeout");
    command_
        ->add_option("--resume-from", options_.resumeFrom,
                     "start again at this script line: the job frame, then its requests "
                     "from there on")
        ->check(CLI::PositiveNumber);
}

int PlotCommand::run() {
    if (options_.output.empty() && device_.empty() && !options_.dryRun) {
        std::cerr << "drvhost: plot needs an output: -o FILE|-|tcp:HOST:PORT or --device TTY "
                     "(or --dry-run)\n";
        return 2;
    }
    if (options_.abortOnStall && options_.stallTimeout == 0) {
        std::cerr << "drvhost: --abort-on-stall needs a --stall-timeout above 0\n";
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
