// What `drvhost plot` shows while a job goes out: the progress bar, a
// plotter that stops reading, a stop asked for with Ctrl-C.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "host/io/delivery_watch.h"
#include "host/io/progress_meter.h"

namespace drv::host {

class PlotWatch final : public DeliveryWatch {
public:
    // `target`: the output, for messages; `stream`: it keeps what it gets,
    // so a stop ends the job there; `bar`: draw the progress bar;
    // `bytesPerSecond`: a serial line's speed, or 0; `abortOnStall`: give
    // the job up when the plotter stalls.
    PlotWatch(std::string target, bool stream, bool bar, double bytesPerSecond,
              bool abortOnStall);

    void starting(std::uint64_t total) override;
    void progressed(const LinkCounts &counts) override;
    bool stalled(std::chrono::seconds quiet, const LinkCounts &counts) override;
    void resumed(std::chrono::seconds quiet, const LinkCounts &counts) override;
    // The first SIGINT, SIGTERM or SIGHUP (host/io/stop_signals.h) stops
    // the job cleanly, a second one gives up at once.
    bool stopRequested() override;
    bool abandoned() override;

    // Clears the bar before a message.
    void finish();

private:
    void say(const std::string &message);

    std::string target_;
    bool stream_;
    bool bar_;
    double bytesPerSecond_;
    bool abortOnStall_;
    std::uint64_t total_ = 0;
    bool stopSaid_ = false;
    std::unique_ptr<ProgressMeter> meter_;
};

} // namespace drv::host
