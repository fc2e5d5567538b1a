// Where a plot job's bytes go: a file, standard output, a device node, a
// serial line or a TCP socket.
//
// Files are written to a temporary file beside the target and renamed over
// it only when the whole job succeeded, so a failed or interrupted job never
// leaves a half-written file that looks like a result. Streams (standard
// output, devices, sockets) cannot be taken back; they get the bytes as they
// come, and a job that stops early on one must still end properly there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/io/link_writer.h"
#include "host/io/serial_line.h"

namespace drv::host {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all `size` bytes, or returns false with the reason in `error`.
    virtual bool write(const std::uint8_t *data, std::size_t size, std::string &error) = 0;
    // Completes the output: renames the file into place, waits until a
    // device has taken everything (a serial line sent it, a socket's peer
    // acknowledged it) and closes a socket's sending side. A sink destroyed
    // without commit throws its temporary file away.
    virtual bool commit(std::string &error) = 0;
    // Whether what was written stays written: a stream's device has it,
    // while a file's temporary is thrown away unless committed.
    virtual bool keepsWhatItGets() const { return false; }
    // Who hears of progress and stalls while a device takes the bytes.
    virtual void watch(const LinkWatch &watch) { (void)watch; }
    // Bytes the far end has taken, as far as the system says
    // (LinkCounts::taken); all that was written for files and memory; 0
    // for a sink that does not count.
    virtual std::uint64_t taken() const { return 0; }
};

// Collects the bytes in memory (the demo's checks, tests).
class MemorySink final : public ByteSink {
public:
    bool write(const std::uint8_t *data, std::size_t size, std::string &) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    bool commit(std::string &) override { return true; }
    std::uint64_t taken() const override { return bytes.size(); }
    std::vector<std::uint8_t> bytes;
};

// Where to send the output:
//   "-"              standard output
//   "tcp:HOST:PORT"  a raw TCP connection (a malformed one is an error)
//   a character device or FIFO: written directly (with `serial`, set up as
//                    a serial line first)
//   anything else    a regular file, replaced atomically
struct OutputTarget {
    std::string target;
    std::optional<SerialSettings> serial;
};

// Opens the target, or returns null with the reason in `error`.
std::unique_ptr<ByteSink> openByteSink(const OutputTarget &target, std::string &error);

// Whether the target is a stream (standard output, a device, a socket):
// what is written there stays written.
bool isStreamTarget(const OutputTarget &target);

// Checks the target's form without opening it: a tcp: target must be
// well formed. False with the reason in `error`.
bool checkTargetForm(const OutputTarget &target, std::string &error);

} // namespace drv::host
