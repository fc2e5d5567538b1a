// What a program sending a job to a device hears while the bytes go out,
// and what it may ask for: progress, a device that stops reading, a stop
// at the next request's end, or giving up at once.
//
// The io room calls the watch from its writes (host/io/link_writer.h); the
// plot room asks it whether to stop between requests
// (host/plot/job_delivery.h). A watch prints nothing itself unless its
// owner makes it: `drvhost plot` draws its progress bar from it, a print
// queue's backend turns it into status lines.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace drv::host {

struct LinkCounts {
    std::uint64_t written = 0; // bytes handed to the system for the device
    // Of those, the bytes the device has taken: those a socket's peer
    // acknowledged, or written less what still waits in a line's or a
    // pipe's queue; all that was written where the system does not say.
    std::uint64_t taken = 0;
};

class DeliveryWatch {
public:
    virtual ~DeliveryWatch() = default;

    // A job of `total` bytes starts going out.
    virtual void starting(std::uint64_t total) { (void)total; }

    // The device took more bytes.
    virtual void progressed(const LinkCounts &counts) { (void)counts; }

    // The device has taken nothing for `quiet`: called once the stall
    // timeout has passed, and again each time it passes once more. Return
    // false to give up the job.
    virtual bool stalled(std::chrono::seconds quiet, const LinkCounts &counts) {
        (void)quiet;
        (void)counts;
        return true;
    }

    // The device reads again after a stall that was reported.
    virtual void resumed(std::chrono::seconds quiet, const LinkCounts &counts) {
        (void)quiet;
        (void)counts;
    }

    // Asked between requests: true ends the job early, cleanly: the request
    // in flight is finished, then the job is ended.
    virtual bool stopRequested() { return false; }

    // Asked while waiting for the device: true gives up at once, whatever
    // is in flight.
    virtual bool abandoned() { return false; }
};

// "plotter not reading for 30 s (sent 1.2 MB of 4.9 MB)"; without a total
// (0), "(sent 1.2 MB)".
std::string stallText(std::chrono::seconds quiet, std::uint64_t taken, std::uint64_t total);

} // namespace drv::host
