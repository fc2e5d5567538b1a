#include "host/job/job_summary.h"

#include "host/job/job_tracker.h"

namespace drv::host {

JobSummary summarizeJob(const std::vector<PlotCall> &job, const PlotterTraits &traits) {
    JobSummary summary;
    summary.requests = job.size();
    JobTracker tracker(traits);
    const auto pen = [&job, &tracker]() -> std::optional<std::int32_t> {
        if (const std::optional<std::size_t> select = tracker.penSelect()) {
            return job[*select].request.param[0].i;
        }
        return std::nullopt;
    };
    for (std::size_t i = 0; i < job.size(); ++i) {
        const std::optional<std::int32_t> before = pen();
        const PenTravel travel = tracker.apply(job, i);
        if (pen() != before && pen().value_or(0) != 0) {
            ++summary.penChanges;
        }
        const double drawnMm = travel.drawn / traits.unitsPerMm;
        const double movedMm = travel.moved / traits.unitsPerMm;
        summary.penDownMm += drawnMm;
        summary.penUpMm += movedMm;
        const double speed =
            pen() ? tracker.speed(*pen()).value_or(kDefaultPenSpeed) : kDefaultPenSpeed;
        summary.seconds += drawnMm / speed + movedMm / kDefaultPenSpeed;
    }
    return summary;
}

} // namespace drv::host
