// A TCP listener on the loopback for the delivery tests: a network plotter
// that reads when and as much as the test says, or stops reading, or hangs
// up in the middle of a job.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace drv::test {

class LoopbackListener {
public:
    // `receiveBuffer`: the connection's receive buffer in bytes, small to
    // make a plotter that stops reading stall the sender soon; 0 keeps the
    // system's.
    explicit LoopbackListener(int receiveBuffer = 0);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener &) = delete;
    LoopbackListener &operator=(const LoopbackListener &) = delete;

    bool ok() const { return listener_ >= 0; }
    // "tcp:127.0.0.1:PORT"
    std::string target() const;

    // Waits up to `wait` for the connection.
    bool accept(std::chrono::milliseconds wait);
    // Reads until `count` bytes came, the peer closed or `wait` passed.
    std::string read(std::size_t count, std::chrono::milliseconds wait);
    // Reads until the peer closes or `wait` passes.
    std::string readAll(std::chrono::milliseconds wait);
    // Hangs up; unread bytes make the system reset the connection.
    void hangUp();

private:
    int listener_ = -1;
    int peer_ = -1;
    int port_ = 0;
};

} // namespace drv::test
