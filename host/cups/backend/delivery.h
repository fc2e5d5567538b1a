// Sending a job's bytes to the plotter while keeping the spooler informed.
//
// The descriptor is non-blocking, so that a plotter that stops taking bytes
// (a TCP window that stays shut, XOFF held on a serial line) is noticed:
// after `stallTimeout` seconds without progress the queue's state message
// becomes "plotter not reading for 30 s (sent 1.2 MB)", renewed while the
// stall lasts, and the plotter is marked offline until it reads again.
// Progress ("sent 1.2 MB to HOST:PORT") is reported every few seconds.
#pragma once

#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <string>

#include "host/cups/status_lines.h"

namespace drv::cups {

enum class LinkKind { Socket, SerialLine, Other };

class Delivery {
public:
    // `total`: the job's size when known (a file), else 0.
    Delivery(int fd, LinkKind kind, std::string where, int stallTimeout, StatusLines &status,
             std::uint64_t total = 0);

    // Sends all `size` bytes. Returns false with the reason in `error` when
    // the plotter fails, or when `giveUp` (may be null) is raised while the
    // plotter is not reading.
    bool send(const std::uint8_t *data, std::size_t size, std::string &error,
              const volatile std::sig_atomic_t *giveUp = nullptr);

    // Waits until the plotter has taken everything: the line's or the
    // socket's output queue empty (a stall there is reported like any
    // other); then a socket's sending side is closed and the plotter's own
    // close awaited for a while, so that nothing it sends back resets the
    // connection before it has read the job.
    bool finish(std::string &error, const volatile std::sig_atomic_t *giveUp = nullptr);

    std::uint64_t sent() const { return sent_; }

private:
    using Clock = std::chrono::steady_clock;
    // Called while no byte moves: reports a stall once per stall period.
    void waiting(Clock::time_point now);
    // Called when bytes moved: `bytes` new ones written, or 0 when the
    // plotter took some of those waiting in the kernel's buffers.
    void progressed(std::size_t bytes, Clock::time_point now);
    // Waits until the kernel's output buffer for the plotter is empty,
    // watching for stalls.
    bool drain(std::string &error, const volatile std::sig_atomic_t *giveUp);
    std::string sentText() const;

    int fd_;
    LinkKind kind_;
    std::string where_;
    std::chrono::seconds stallTimeout_;
    StatusLines &status_;
    std::uint64_t total_;
    std::uint64_t sent_ = 0;
    Clock::time_point lastProgress_;
    Clock::time_point lastReport_;
    int stallPeriods_ = 0; // stall messages given since the last progress
};

} // namespace drv::cups
