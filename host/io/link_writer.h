// Writes to a device that may stop reading for a while: a plotter whose
// TCP window stays shut or that holds XOFF on its serial line.
//
// The descriptor is made non-blocking, so the writer waits for the device
// in short ticks and notices what happens meanwhile: how many bytes the
// device has taken (asking the system how many still wait in its buffers),
// a device that takes nothing for the stall timeout, a watch that gives up
// (host/io/delivery_watch.h), a device that goes away.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "host/io/delivery_watch.h"

namespace drv::host {

enum class LinkKind : std::uint8_t {
    Socket,     // a TCP connection: unacknowledged bytes wait in the socket
    SerialLine, // a terminal line: bytes wait in its output queue
    Pipe,       // a FIFO: bytes wait in the pipe
    Device      // any other device node: the system does not say
};

struct LinkWatch {
    DeliveryWatch *watch = nullptr;
    std::chrono::seconds stallAfter{0}; // 0: never report a stall
    std::uint64_t total = 0;            // the job's size, for messages; 0 unknown
};

class LinkWriter {
public:
    // `fd` is the writer's own descriptor (it is made non-blocking).
    LinkWriter(int fd, LinkKind kind);

    // Who hears of progress and stalls; the stall clock starts now.
    void watch(const LinkWatch &watch);

    // Writes all `size` bytes, waiting while the device does not take them.
    // False with the reason in `error`: the system's, or the stall report
    // when the watch gave up on a stalled device, or "given up" when it
    // abandoned the job.
    bool write(const std::uint8_t *data, std::size_t size, std::string &error);

    // Waits until the device has taken every byte written, watching as
    // write() does; then a serial line is drained to the wire and a
    // socket's sending side is shut.
    bool drain(std::string &error);

    LinkCounts counts() const { return counts_; }

private:
    using Clock = std::chrono::steady_clock;

    // Waits one tick for room (`forWrite`) or for the device to take what
    // waits; false, with the reason, when the wait must end the job.
    bool waitTick(bool forWrite, std::string &error);
    // Bytes written that the device has: a socket's peer acknowledged
    // them, or they left a line's or a pipe's queue; nothing when the
    // system does not say.
    std::optional<std::uint64_t> deviceHas() const;
    // Updates the counts, telling the watch of progress.
    void measure();
    bool stallCheck(std::string &error);

    int fd_;
    LinkKind kind_;
    LinkWatch watch_;
    LinkCounts counts_;
    Clock::time_point lastMove_;
    int stallReports_ = 0;
};

} // namespace drv::host
