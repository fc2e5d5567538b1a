#include "host/io/link_writer.h"

#include <fcntl.h>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

namespace drv::host {
namespace {

// How often a waiting writer looks at the device and its watch.
constexpr int kTickMilliseconds = 100;

std::string systemReason() {
    return std::strerror(errno);
}

} // namespace

LinkWriter::LinkWriter(int fd, LinkKind kind) : fd_(fd), kind_(kind), lastMove_(Clock::now()) {
    const int flags = ::fcntl(fd_, F_GETFL);
    if (flags >= 0) {
        ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    }
}

void LinkWriter::watch(const LinkWatch &watch) {
    watch_ = watch;
    lastMove_ = Clock::now();
}

bool LinkWriter::write(const std::uint8_t *data, std::size_t size, std::string &error) {
    while (size > 0) {
        const ssize_t n = kind_ == LinkKind::Socket ? ::send(fd_, data, size, MSG_NOSIGNAL)
                                                    : ::write(fd_, data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            counts_.written += static_cast<std::uint64_t>(n);
            measure();
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            error = systemReason();
            measure(); // what the device had when it went away
            return false;
        }
        if (!waitTick(true, error)) {
            return false;
        }
    }
    return true;
}

bool LinkWriter::drain(std::string &error) {
    measure();
    while (counts_.taken < counts_.written) {
        if (!waitTick(false, error)) {
            return false;
        }
    }
    if (kind_ == LinkKind::SerialLine && ::tcdrain(fd_) != 0) {
        error = systemReason();
        return false;
    }
    if (kind_ == LinkKind::Socket && ::shutdown(fd_, SHUT_WR) != 0) {
        error = systemReason();
        return false;
    }
    return true;
}

bool LinkWriter::waitTick(bool forWrite, std::string &error) {
    pollfd waiting{fd_, static_cast<short>(forWrite ? POLLOUT : 0), 0};
    const int ready = ::poll(&waiting, 1, kTickMilliseconds);
    if (ready < 0 && errno != EINTR) {
        error = systemReason();
        return false;
    }
    if (ready > 0 && (waiting.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 &&
        (waiting.revents & POLLOUT) == 0) {
        int code = 0;
        socklen_t length = sizeof code;
        if (kind_ == LinkKind::Socket &&
            ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &code, &length) == 0 && code != 0) {
            error = std::strerror(code);
        } else {
            error = "the device hung up";
        }
        measure();
        return false;
    }
    measure();
    if (watch_.watch != nullptr && watch_.watch->abandoned()) {
        error = "given up";
        return false;
    }
    return stallCheck(error);
}

std::optional<std::uint64_t> LinkWriter::deviceHas() const {
    int request = 0;
    switch (kind_) {
    case LinkKind::Socket: {
        // What the peer acknowledged: known even once the connection was
        // reset, when the socket's queue is gone.
        tcp_info info{};
        socklen_t length = sizeof info;
        if (::getsockopt(fd_, IPPROTO_TCP, TCP_INFO, &info, &length) != 0 ||
            length < offsetof(tcp_info, tcpi_bytes_acked) + sizeof info.tcpi_bytes_acked) {
            return std::nullopt;
        }
        return std::min<std::uint64_t>(info.tcpi_bytes_acked, counts_.written);
    }
    case LinkKind::SerialLine:
        request = TIOCOUTQ;
        break;
    case LinkKind::Pipe:
        request = FIONREAD;
        break;
    case LinkKind::Device:
        return counts_.written;
    }
    int waiting = 0;
    if (::ioctl(fd_, static_cast<unsigned long>(request), &waiting) != 0 || waiting < 0) {
        return counts_.written;
    }
    return counts_.written - std::min<std::uint64_t>(static_cast<std::uint64_t>(waiting),
                                                     counts_.written);
}

void LinkWriter::measure() {
    const std::optional<std::uint64_t> has = deviceHas();
    if (!has) {
        return;
    }
    const std::uint64_t taken = *has;
    if (taken <= counts_.taken) {
        return;
    }
    counts_.taken = taken;
    const Clock::time_point now = Clock::now();
    if (watch_.watch != nullptr) {
        if (stallReports_ > 0) {
            watch_.watch->resumed(
                std::chrono::duration_cast<std::chrono::seconds>(now - lastMove_), counts_);
        }
        watch_.watch->progressed(counts_);
    }
    lastMove_ = now;
    stallReports_ = 0;
}

bool LinkWriter::stallCheck(std::string &error) {
    if (watch_.watch == nullptr || watch_.stallAfter.count() <= 0) {
        return true;
    }
    const auto due = watch_.stallAfter * (stallReports_ + 1);
    if (Clock::now() - lastMove_ < due) {
        return true;
    }
    ++stallReports_;
    if (!watch_.watch->stalled(due, counts_)) {
        error = stallText(due, counts_.taken, watch_.total);
        return false;
    }
    return true;
}

} // namespace drv::host
