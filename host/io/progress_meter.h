// A progress bar on standard error for jobs that take a while (a slow
// serial line, a large image), drawn only when standard error is a terminal
// and only once the job has run for half a second: the bytes the device has
// taken, of how many, and on a serial line the time left at its speed.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace drv::host {

class ProgressMeter {
public:
    // `total`: the job's bytes; `enabled`: false keeps the meter silent
    // (not a terminal, or output already goes to the terminal);
    // `bytesPerSecond`: the line's speed, for the time left, or 0.
    ProgressMeter(std::uint64_t total, bool enabled, double bytesPerSecond = 0);
    ~ProgressMeter();
    ProgressMeter(const ProgressMeter &) = delete;
    ProgressMeter &operator=(const ProgressMeter &) = delete;

    // Records that `bytes` bytes are through; redraws at most ten times a
    // second.
    void update(std::uint64_t bytes);

    // Clears the bar, if one was drawn; the next update draws it again.
    void finish();

    // The bar's text for `bytes` of the total, as update() draws it.
    std::string line(std::uint64_t bytes) const;

private:
    using Clock = std::chrono::steady_clock;
    std::uint64_t total_;
    bool enabled_;
    double bytesPerSecond_;
    bool drawn_ = false;
    Clock::time_point start_;
    Clock::time_point lastDraw_;
};

// Whether a progress bar belongs on standard error at all.
bool progressWanted();

// Bytes a serial line carries per second: each character is a start bit,
// its data bits, a parity bit when there is parity, and its stop bits.
double serialBytesPerSecond(int baud, int dataBits, bool parity, int stopBits);

} // namespace drv::host
