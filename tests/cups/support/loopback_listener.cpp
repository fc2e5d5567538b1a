#include "loopback_listener.h"

#include "tests/support/loopback_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>

namespace drv::test {

LoopbackListener::LoopbackListener(bool listenNow, int receiveBuffer) {
    // Bound now, listening only once listen() is called: until then a
    // connection is refused, as by a plotter that is not up yet.
    listenFd_ = listenOnLoopback(receiveBuffer, 0, port_);
    if (listenFd_ < 0 || ::pipe2(wakeFds_, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error("loopback listener: cannot bind a port");
    }
    thread_ = std::thread([this] { run(); });
    if (listenNow) {
        listen();
    }
}

LoopbackListener::~LoopbackListener() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    (void)::write(wakeFds_[1], "x", 1);
    thread_.join();
    for (const Connection &c : connections_) {
        if (!c.closed) {
            ::close(c.fd);
        }
    }
    ::close(listenFd_);
    ::close(wakeFds_[0]);
    ::close(wakeFds_[1]);
}

void LoopbackListener::listen() {
    std::lock_guard lock(mutex_);
    ::listen(listenFd_, 8);
    listening_ = true;
    (void)::write(wakeFds_[1], "x", 1);
}

void LoopbackListener::stall(std::size_t after) {
    std::lock_guard lock(mutex_);
    stallPending_ = true;
    stallAt_ = total_ + after;
    stalled_ = after == 0;
    (void)::write(wakeFds_[1], "x", 1);
}

void LoopbackListener::resume() {
    std::lock_guard lock(mutex_);
    stalled_ = false;
    stallPending_ = false;
    (void)::write(wakeFds_[1], "x", 1);
}

void LoopbackListener::hangUp() {
    std::lock_guard lock(mutex_);
    for (Connection &c : connections_) {
        if (!c.closed) {
            const linger reset{1, 0};
            ::setsockopt(c.fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            ::close(c.fd);
            c.closed = true;
        }
    }
    changed_.notify_all();
}

std::size_t LoopbackListener::received() const {
    std::lock_guard lock(mutex_);
    return total_;
}

std::vector<std::string> LoopbackListener::waitForJobs(std::size_t count,
                                                       std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    const auto closed = [&] {
        return static_cast<std::size_t>(std::count_if(connections_.begin(), connections_.end(),
                                                       [](const Connection &c) { return c.closed; }));
    };
    changed_.wait_for(lock, timeout, [&] { return closed() >= count; });
    std::vector<std::string> jobs;
    for (const Connection &c : connections_) {
        if (c.closed) {
            jobs.push_back(c.bytes);
        }
    }
    return jobs;
}

bool LoopbackListener::waitForBytes(std::size_t bytes, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return total_ >= bytes; });
}

void LoopbackListener::run() {
    char buffer[4096];
    for (;;) {
        std::vector<pollfd> fds{{wakeFds_[0], POLLIN, 0}};
        {
            std::lock_guard lock(mutex_);
            if (stopping_) {
                return;
            }
            if (listening_) {
                fds.push_back({listenFd_, POLLIN, 0});
            }
            if (!stalled_) {
                for (const Connection &c : connections_) {
                    if (!c.closed) {
                        fds.push_back({c.fd, POLLIN, 0});
                    }
                }
            }
        }
        ::poll(fds.data(), fds.size(), 1000);
        std::lock_guard lock(mutex_);
        for (const pollfd &p : fds) {
            if (p.revents == 0) {
                continue;
            }
            if (p.fd == wakeFds_[0]) {
                while (::read(wakeFds_[0], buffer, sizeof buffer) > 0) {
                }
            } else if (p.fd == listenFd_) {
                const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
                if (fd >= 0) {
                    connections_.push_back({fd, {}});
                }
            } else if (!stalled_) {
                auto c = std::find_if(connections_.begin(), connections_.end(),
                                      [&](const Connection &k) { return !k.closed && k.fd == p.fd; });
                std::size_t want = sizeof buffer;
                if (stallPending_) {
                    want = std::min(want, stallAt_ - total_);
                }
                const ssize_t n = want == 0 ? 0 : ::read(c->fd, buffer, want);
                if (want == 0) {
                    stalled_ = true;
                } else if (n <= 0) {
                    ::close(c->fd);
                    c->closed = true;
                } else {
                    c->bytes.append(buffer, static_cast<std::size_t>(n));
                    total_ += static_cast<std::size_t>(n);
                    if (stallPending_ && total_ >= stallAt_) {
                        stalled_ = true;
                    }
                }
            }
        }
        changed_.notify_all();
    }
}

} // namespace drv::test
