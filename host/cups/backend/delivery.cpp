#include "host/cups/backend/delivery.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace drv::cups {
namespace {

constexpr auto kProgressEvery = std::chrono::seconds(2);
constexpr int kPollMs = 200;
// How long a network plotter may take to close its end after the job.
constexpr auto kCloseWait = std::chrono::seconds(10);

} // namespace

Delivery::Delivery(int fd, LinkKind kind, std::string where, int stallTimeout, StatusLines &status,
                   std::uint64_t total)
    : fd_(fd), kind_(kind), where_(std::move(where)), stallTimeout_(stallTimeout), status_(status),
      total_(total), lastProgress_(Clock::now()), lastReport_(lastProgress_) {}

std::string Delivery::sentText() const {
    // What the plotter has taken: the bytes still in the kernel's output
    // queue have not reached it.
    int queued = 0;
    std::uint64_t taken = sent_;
    if (kind_ != LinkKind::Other && ::ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0) {
        taken -= std::min<std::uint64_t>(taken, static_cast<std::uint64_t>(queued));
    }
    return "sent " + byteCount(taken) + (total_ > 0 ? " of " + byteCount(total_) : "");
}

void Delivery::waiting(Clock::time_point now) {
    const auto still = std::chrono::duration_cast<std::chrono::seconds>(now - lastProgress_);
    if (still < stallTimeout_ * (stallPeriods_ + 1)) {
        return;
    }
    if (stallPeriods_ == 0) {
        status_.state("offline-report", true);
    }
    ++stallPeriods_;
    const std::string message = "plotter not reading for " +
                                std::to_string(stallTimeout_.count() * stallPeriods_) + " s (" +
                                sentText() + ")";
    status_.info(message);
    status_.attribute("printer-alert-description", message);
}

void Delivery::progressed(std::size_t bytes, Clock::time_point now) {
    sent_ += bytes;
    lastProgress_ = now;
    if (stallPeriods_ > 0) {
        stallPeriods_ = 0;
        status_.state("offline-report", false);
        status_.attribute("printer-alert-description", "");
        status_.info("plotter reading again (" + sentText() + ")");
        lastReport_ = now;
    } else if (now - lastReport_ >= kProgressEvery) {
        status_.info(sentText() + " to " + where_);
        if (total_ > 0) {
            status_.attribute("job-media-progress", std::to_string(std::min<std::uint64_t>(
                                                        100, sent_ * 100 / total_)));
        }
        lastReport_ = now;
    }
}

bool Delivery::send(const std::uint8_t *data, std::size_t size, std::string &error,
                    const volatile std::sig_atomic_t *giveUp) {
    while (size > 0) {
        const ssize_t n = kind_ == LinkKind::Socket ? ::send(fd_, data, size, MSG_NOSIGNAL)
                                                    : ::write(fd_, data, size);
        if (n > 0) {
            progressed(static_cast<std::size_t>(n), Clock::now());
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            error = where_ + ": " + std::strerror(errno) + " after " + byteCount(sent_);
            return false;
        }
        if (giveUp != nullptr && *giveUp != 0) {
            error = "stopped with " + byteCount(sent_) + " sent";
            return false;
        }
        pollfd ready{fd_, POLLOUT, 0};
        ::poll(&ready, 1, kPollMs);
        waiting(Clock::now());
    }
    return true;
}

bool Delivery::drain(std::string &error, const volatile std::sig_atomic_t *giveUp) {
    int queued = 0;
    int before = -1;
    while (::ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0) {
        if (giveUp != nullptr && *giveUp != 0) {
            error = "stopped with " + byteCount(sent_) + " sent";
            return false;
        }
        const Clock::time_point now = Clock::now();
        if (before >= 0 && queued < before) {
            progressed(0, now);
        } else {
            waiting(now);
        }
        before = queued;
        ::poll(nullptr, 0, 50);
    }
    return true;
}

bool Delivery::finish(std::string &error, const volatile std::sig_atomic_t *giveUp) {
    if (kind_ == LinkKind::Other) {
        return true;
    }
    // The kernel's buffers hold the job's last bytes until the plotter
    // takes them; only then is the job delivered.
    if (!drain(error, giveUp)) {
        return false;
    }
    if (kind_ == LinkKind::SerialLine) {
        if (::tcdrain(fd_) != 0) {
            error = where_ + ": " + std::strerror(errno);
            return false;
        }
        return true;
    }
    if (::shutdown(fd_, SHUT_WR) != 0) {
        error = where_ + ": " + std::strerror(errno);
        return false;
    }
    // Whatever the plotter sends back is read and dropped until it closes.
    const Clock::time_point until = Clock::now() + kCloseWait;
    while (Clock::now() < until && (giveUp == nullptr || *giveUp == 0)) {
        pollfd readable{fd_, POLLIN, 0};
        if (::poll(&readable, 1, kPollMs) <= 0) {
            continue;
        }
        char sink[4096];
        const ssize_t n = ::recv(fd_, sink, sizeof sink, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            break;
        }
    }
    return true;
}

} // namespace drv::cups
