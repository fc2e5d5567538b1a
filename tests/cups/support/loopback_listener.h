// A network plotter stand-in for the print-queue tests: a TCP listener on
// 127.0.0.1 that records each connection's bytes, and can refuse
// connections until told to listen, or stop reading (a plotter that does
// not take bytes) until told to go on.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace drv::test {

class LoopbackListener {
public:
    // Reserves a free port. `listenNow` false: connections are refused
    // until listen() is called. `receiveBuffer` > 0 makes the kernel's
    // receive buffer that small, so that a stall shows after few bytes.
    explicit LoopbackListener(bool listenNow = true, int receiveBuffer = 0);
    ~LoopbackListener();
    LoopbackListener(const LoopbackListener &) = delete;
    LoopbackListener &operator=(const LoopbackListener &) = delete;

    int port() const { return port_; }
    std::string uri() const { return "drvsuite://127.0.0.1:" + std::to_string(port_); }

    // Starts accepting connections.
    void listen();
    // Stops reading once `after` more bytes have arrived (0: at once).
    void stall(std::size_t after = 0);
    // Reads again.
    void resume();
    // Resets every open connection, as a plotter switched off mid-job.
    void hangUp();

    // Bytes received so far, over all connections.
    std::size_t received() const;
    // Waits until `count` connections have been closed by the sender, at
    // most `timeout`; returns the bytes of every closed connection, in the
    // order they were accepted.
    std::vector<std::string> waitForJobs(std::size_t count, std::chrono::milliseconds timeout);
    // Waits until at least `bytes` have arrived; false on timeout.
    bool waitForBytes(std::size_t bytes, std::chrono::milliseconds timeout);

private:
    struct Connection {
        int fd;
        std::string bytes;
        bool closed = false;
    };
    void run();

    int listenFd_ = -1;
    int wakeFds_[2] = {-1, -1};
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Connection> connections_;
    bool listening_ = false;
    bool stopping_ = false;
    bool stalled_ = false;
    std::size_t stallAt_ = 0; // total received at which to stall, when stalling is pending
    bool stallPending_ = false;
    std::size_t total_ = 0;
    std::thread thread_;
};

} // namespace drv::test
