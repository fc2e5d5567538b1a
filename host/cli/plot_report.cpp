#include "host/cli/plot_report.h"

#include <cstdio>

#include "host/job/job_summary.h"
#include "host/util/amount_text.h"

namespace drv::host {

std::string summaryText(const PreparedJob &job) {
    const JobSummary &s = job.summary;
    const std::uint64_t bytes = job.ledger.total();
    char distances[160];
    std::snprintf(distances, sizeof distances,
                  "pen down %.2f m, pen up %.2f m, %zu pen change%s", s.penDownMm / 1000,
                  s.penUpMm / 1000, s.penChanges, s.penChanges == 1 ? "" : "s");
    return std::to_string(s.requests) + " requests, " + byteCountText(bytes) +
           (bytes >= 1000 ? " (" + std::to_string(bytes) + " bytes)" : std::string()) + " for " +
           std::string(job.traits->name.empty() ? job.library->path() : job.traits->name) + "; " +
           distances + "; about " + durationText(s.seconds) +
           " at the job's speeds (" + std::to_string(static_cast<int>(kDefaultPenSpeed)) +
           " mm/s where it sets none)";
}

std::string howFarText(const PreparedJob &job, const DeliveryOutcome &outcome) {
    std::string text = "sent " + byteCountText(outcome.taken) + " of " +
                       byteCountText(job.ledger.total());
    if (outcome.through >= job.calls.size()) {
        return text + "; the plotter has every request";
    }
    const int last = lastLineThrough(job.calls, outcome.through);
    const int next = resumeLine(job.calls, outcome.through);
    if (last == 0) {
        return text + "; no request was fully sent: plot the job again";
    }
    return text + "; the last request fully sent is on line " + std::to_string(last) +
           ": resume with --resume-from " + std::to_string(next);
}

} // namespace drv::host
