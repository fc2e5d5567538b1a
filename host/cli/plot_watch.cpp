#include "host/cli/plot_watch.h"

#include <iostream>

#include "host/io/stop_signals.h"

namespace drv::host {

PlotWatch::PlotWatch(std::string target, bool stream, bool bar, double bytesPerSecond,
                     bool abortOnStall)
    : target_(std::move(target)), stream_(stream), bar_(bar), bytesPerSecond_(bytesPerSecond),
      abortOnStall_(abortOnStall) {}

void PlotWatch::starting(std::uint64_t total) {
    total_ = total;
    meter_ = std::make_unique<ProgressMeter>(total, bar_, bytesPerSecond_);
}

void PlotWatch::progressed(const LinkCounts &counts) {
    if (meter_) {
        meter_->update(counts.taken);
    }
}

bool PlotWatch::stalled(std::chrono::seconds quiet, const LinkCounts &counts) {
    if (abortOnStall_) {
        return false; // the job's failure says why
    }
    say(target_ + ": " + stallText(quiet, counts.taken, total_) +
        "; waiting on (Ctrl-C ends the job)");
    return true;
}

void PlotWatch::resumed(std::chrono::seconds quiet, const LinkCounts &counts) {
    (void)counts;
    say(target_ + ": plotter reading again after " + std::to_string(quiet.count()) + " s");
}

bool PlotWatch::stopRequested() {
    if (StopSignals::count() == 0) {
        return false;
    }
    if (stream_ && !stopSaid_) {
        stopSaid_ = true;
        say("stopping at the end of the request in flight; interrupt again to give up at once");
    }
    return true;
}

bool PlotWatch::abandoned() {
    return StopSignals::count() > 1;
}

void PlotWatch::finish() {
    if (meter_) {
        meter_->finish();
    }
}

void PlotWatch::say(const std::string &message) {
    finish();
    std::cerr << "drvhost: " << message << std::endl;
}

} // namespace drv::host
