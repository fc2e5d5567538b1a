#include "host/plot/job_delivery.h"

#include "host/job/job_resume.h"
#include "host/plot/job_renderer.h"

namespace drv::host {
namespace {

bool stopAsked(DeliveryWatch *watch) {
    return watch != nullptr && watch->stopRequested();
}

} // namespace

DeliveryOutcome deliverJob(PldbinFunction entry, const std::vector<PlotCall> &job,
                           const PlotterTraits &traits, const JobLedger &ledger, ByteSink &sink,
                           DeliveryWatch *watch) {
    DeliveryOutcome outcome;
    JobRenderer renderer(entry, traits.stateSize);
    const auto send = [&](const PlotCall &call, std::size_t expected) {
        std::span<const std::uint8_t> bytes;
        if (!renderer.render(call, bytes, outcome.error)) {
            return false;
        }
        if (expected != SIZE_MAX && bytes.size() != expected) {
            outcome.error = "line " + std::to_string(call.pos.line) + ": the driver gave " +
                            std::to_string(bytes.size()) + " bytes where it gave " +
                            std::to_string(expected) + " before";
            return false;
        }
        if (!bytes.empty() && !sink.write(bytes.data(), bytes.size(), outcome.error)) {
            return false;
        }
        outcome.bytes += bytes.size();
        return true;
    };
    const auto finish = [&](DeliveryEnd end) {
        outcome.end = end;
        if (end != DeliveryEnd::Failed && !sink.commit(outcome.error)) {
            outcome.end = DeliveryEnd::Failed;
        }
        if (sink.keepsWhatItGets()) {
            outcome.streamed = true;
            outcome.taken = sink.taken();
            outcome.through = std::min(ledger.through(outcome.taken), outcome.sent);
        }
        return outcome;
    };
    for (const PlotCall &call : job) {
        if (stopAsked(watch)) {
            if (!sink.keepsWhatItGets()) {
                outcome.end = DeliveryEnd::Stopped;
                return outcome; // the file is thrown away with the sink
            }
            for (const PlotCall &close : closingCalls(job, outcome.sent, traits)) {
                if (!send(close, SIZE_MAX)) {
                    return finish(DeliveryEnd::Failed);
                }
            }
            return finish(DeliveryEnd::Stopped);
        }
        if (!send(call, ledger.bytesOf(outcome.sent))) {
            return finish(DeliveryEnd::Failed);
        }
        ++outcome.sent;
    }
    return finish(DeliveryEnd::Done);
}

} // namespace drv::host
