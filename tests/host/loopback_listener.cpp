#include "tests/host/loopback_listener.h"

#include <netinet/in.h>

#include <algorithm>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace drv::test {

LoopbackListener::LoopbackListener(int receiveBuffer) {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (receiveBuffer > 0) {
        // Set before listening, so that the connection's window is small
        // from the handshake on.
        ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(listener_, 1) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        ::close(listener_);
        listener_ = -1;
        return;
    }
    port_ = ntohs(address.sin_port);
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
