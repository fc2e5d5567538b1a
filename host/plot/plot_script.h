// A plot script through a plotter driver into an output target: what
// `drvhost plot` and the demo do, ready for any program that plots scripts.
//
// In two steps: the job is prepared (parsed, checked against the driver,
// resumed part-way where asked, run through the driver once to measure it
// and summed up) with nothing opened for output, then sent. A bad script,
// a driver fault or an output that is one of the job's inputs never leaves
// output behind.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/io/byte_sink.h"
#include "host/io/delivery_watch.h"
#include "host/job/job_summary.h"
#include "host/job/plotter_traits.h"
#include "host/loader/driver_library.h"
#include "host/plot/job_delivery.h"
#include "host/plot/job_ledger.h"
#include "host/plot/plot_runner.h"
#include "host/script/script_job.h"

namespace drv::host {

struct PlotScriptOptions {
    std::string driver{};     // name or library path
    std::string scriptName{}; // in messages
    std::string scriptPath{}; // the file the script came from, or empty
    std::string baseDir{};    // Image files are relative to it
    // What the script is, in messages: "the script holds no job"; a
    // program that made the script from a drawing says "drawing".
    std::string_view sourceKind = "script";
    bool strict = false;            // warnings are errors
    std::optional<int> resumeFrom{}; // start again at this line (job_resume.h)
};

// Errors ("FILE:LINE:COL: ..." or "drvhost: reason") and warnings
// ("FILE:LINE:COL: warning: ...").
struct PlotMessages {
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
};

// A job ready to go.
struct PreparedJob {
    std::unique_ptr<DriverLibrary> library;
    PldbinFunction entry = nullptr;
    const PlotterTraits *traits = nullptr;
    std::vector<PlotCall> calls;
    JobLedger ledger;
    JobSummary summary;
    std::string scriptPath;
    std::string sourceKind; // PlotScriptOptions::sourceKind
    std::vector<PictureUse> pictures;
};

// Prepares the script `source`; false with `messages.errors` filled.
bool preparePlotJob(std::string_view source, const PlotScriptOptions &options, PreparedJob &job,
                    PlotMessages &messages);

struct SendOptions {
    OutputTarget target{};                // an empty target with `copy`: memory only
    DeliveryWatch *watch = nullptr;       // may be null
    std::chrono::seconds stallAfter{30}; // 0: never report a stall
    // Gets a copy of every byte written (`plot --preview` draws exactly
    // what went out); may be null.
    std::vector<std::uint8_t> *copy = nullptr;
};

// Opens the target and delivers the job (deliverJob). An output that is
// the job's script or one of its pictures is refused before it is opened.
DeliveryOutcome sendPlotJob(const PreparedJob &job, const SendOptions &options);

// Both steps, for a program that just plots a script: false with every
// message in `messages.errors`. `copy` as SendOptions::copy.
bool plotScript(std::string_view source, const PlotScriptOptions &options,
                const OutputTarget &target, PlotRunStats &stats, PlotMessages &messages,
                std::vector<std::uint8_t> *copy = nullptr);

} // namespace drv::host
