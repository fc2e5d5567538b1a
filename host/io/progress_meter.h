// A progress bar on standard error for jobs that take a while (a slow
// serial line, a large image), drawn only when standard error is a terminal
// and only once the job has run for half a second.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace drv::host {

class ProgressMeter {
public:
    // `total`: the number of steps of the job; `enabled`: false keeps the
    // meter silent (not a terminal, or output already goes to the terminal).
    ProgressMeter(std::size_t total, bool enabled);
    ~ProgressMeter();
    ProgressMeter(const ProgressMeter &) = delete;
    ProgressMeter &operator=(const ProgressMeter &) = delete;

    // Records that `done` steps and `bytes` bytes are through; redraws at
    // most ten times a second.
    void update(std::size_t done, std::uint64_t bytes);

    // Clears the bar, if one was drawn.
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    std::size_t total_;
    bool enabled_;
    bool drawn_ = false;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
};

// Whether a progress bar belongs on standard error at all.
bool progressWanted();

} // namespace drv::host
