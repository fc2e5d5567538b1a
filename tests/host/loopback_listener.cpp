#include "tests/host/loopback_listener.h"

#include "tests/support/loopback_socket.h"

#include <netinet/in.h>

#include <algorithm>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace drv::test {

LoopbackListener::LoopbackListener(int receiveBuffer) {
    listener_ = listenOnLoopback(receiveBuffer, 1, port_);
}

LoopbackListener::~LoopbackListener() {
    hangUp();
    if (listener_ >= 0) {
        ::close(listener_);
    }
}

std::string LoopbackListener::target() const {
    return "tcp:127.0.0.1:" + std::to_string(port_);
}

bool LoopbackListener::accept(std::chrono::milliseconds wait) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(wait.count())) != 1) {
        return false;
    }
    peer_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    return peer_ >= 0;
}

std::string LoopbackListener::read(std::size_t count, std::chrono::milliseconds wait) {
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (peer_ >= 0 && bytes.size() < count && std::chrono::steady_clock::now() < deadline) {
        pollfd p{peer_, POLLIN, 0};
        if (::poll(&p, 1, 20) != 1) {
            continue;
        }
        char buffer[4096];
        const std::size_t want = std::min(sizeof buffer, count - bytes.size());
        const ssize_t n = ::read(peer_, buffer, want);
        if (n <= 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

std::string LoopbackListener::readAll(std::chrono::milliseconds wait) {
    return read(std::string::npos, wait);
}

void LoopbackListener::hangUp() {
    if (peer_ >= 0) {
        ::close(peer_);
        peer_ = -1;
    }
}

} // namespace drv::test
