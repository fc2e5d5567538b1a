// Where a plot job's bytes go: a file, standard output, a device node, a
// serial line or a TCP socket.
//
// Files are written to a temporary file beside the target and renamed over
// it only when the whole job succeeded, so a failed job never leaves a
// half-written file that looks like a result. Streams (standard output,
// devices, sockets) cannot be taken back; they get the bytes as they come.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/io/serial_line.h"

namespace drv::host {

class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all `size` bytes, or returns false with the reason in `error`.
    virtual bool write(const std::uint8_t *data, std::size_t size, std::string &error) = 0;
    // Completes the output: renames the file into place, waits until a
    // serial line has sent everything, closes a socket's sending side. A
    // sink destroyed without commit throws its temporary file away.
    virtual bool commit(std::string &error) = 0;
    // Whether writes may block for long (a device, a line, a socket).
    virtual bool isSlow() const { return false; }
};

// Collects the bytes in memory (the demo's checks, tests).
class MemorySink final : public ByteSink {
public:
    bool write(const std::uint8_t *data, std::size_t size, std::string &) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    bool commit(std::string &) override { return true; }
    std::vector<std::uint8_t> bytes;
};

// Where to send the output:
//   "-"              standard output
//   "tcp:HOST:PORT"  a raw TCP connection
//   a character device or FIFO: written directly (with `serial`, set up as
//                    a serial line first)
//   anything else    a regular file, replaced atomically
struct OutputTarget {
    std::string target;
    std::optional<SerialSettings> serial;
};

// Opens the target, or returns null with the reason in `error`.
std::unique_ptr<ByteSink> openByteSink(const OutputTarget &target, std::string &error);

} // namespace drv::host
