#include "host/plot/job_ledger.h"

#include <algorithm>

#include "host/plot/job_renderer.h"

namespace drv::host {

void JobLedger::add(const PlotCall &call, std::size_t bytes) {
    ends_.push_back(total() + bytes);
    const std::int32_t op = call.request.op;
    ownBytes_.push_back(!collected_ || op == OpBeginJob || op == OpEndJob);
}

std::size_t JobLedger::bytesOf(std::size_t index) const {
    return static_cast<std::size_t>(ends_[index] - (index == 0 ? 0 : ends_[index - 1]));
}

std::size_t JobLedger::through(std::uint64_t taken) const {
    // Requests whose bytes all lie within what was taken.
    const auto within =
        static_cast<std::size_t>(std::upper_bound(ends_.begin(), ends_.end(), taken) - ends_.begin());
    if (!collected_) {
        return within;
    }
    // The last of them with bytes delivered what came before it.
    for (std::size_t i = within; i-- > 0;) {
        if (bytesOf(i) > 0) {
            return ownBytes_[i] ? i + 1 : i;
        }
    }
    return 0;
}

bool measureJob(PldbinFunction entry, const std::vector<PlotCall> &job,
                const PlotterTraits &traits, JobLedger &ledger, std::string &error) {
    JobRenderer renderer(entry, traits.stateSize);
    ledger = JobLedger(traits.recordFraming);
    for (const PlotCall &call : job) {
        std::span<const std::uint8_t> bytes;
        if (!renderer.render(call, bytes, error)) {
            return false;
        }
        ledger.add(call, bytes.size());
    }
    return true;
}

int lastLineThrough(const std::vector<PlotCall> &job, std::size_t through) {
    for (std::size_t i = std::min(through, job.size()); i-- > 0;) {
        if (job[i].pos.line > 0) {
            return job[i].pos.line;
        }
    }
    return 0;
}

int resumeLine(const std::vector<PlotCall> &job, std::size_t through) {
    for (std::size_t i = through; i < job.size(); ++i) {
        if (job[i].pos.line > 0) {
            return job[i].pos.line;
        }
    }
    return 0;
}

} // namespace drv::host
