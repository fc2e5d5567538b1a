#include "host/cups/backend/plotter_link.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "host/io/tcp_stream.h"

namespace drv::cups {
namespace {

using Clock = std::chrono::steady_clock;

// Errors that go away by themselves: the plotter or its adapter is not
// there yet, or is busy.
bool worthWaiting(int error, bool serial) {
    if (serial) {
        return error == ENOENT || error == ENODEV || error == ENXIO || error == EBUSY ||
               error == EIO || error == EAGAIN || error == EINTR;
    }
    // A name that does not resolve (error 0) may be a name server that is
    // not up yet either; every connection failure is waited out.
    return true;
}

std::string userName() {
    const passwd *entry = ::getpwuid(::geteuid());
    return entry != nullptr ? entry->pw_name : std::to_string(::geteuid());
}

// One try. Returns the descriptor, or -1 with `error` and `code` (errno, 0
// when not known) set.
int tryOpen(const DeviceUri &uri, std::string &error, int &code) {
    errno = 0;
    const int fd = uri.kind == DeviceUri::Kind::Tcp ? host::connectTcp(uri.host, uri.port, error)
                                                     : host::openSerialLine(uri.path, uri.serial, error);
    code = errno;
    if (fd >= 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0) {
        code = errno;
        error = uri.where() + ": " + std::strerror(code);
        ::close(fd);
        return -1;
    }
    return fd;
}

// Sleeps `seconds`, waking early when `stop` is raised.
void pause(int seconds, const volatile std::sig_atomic_t &stop) {
    const auto until = Clock::now() + std::chrono::seconds(seconds);
    while (stop == 0 && Clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

} // namespace

int retryPause(int attempt) {
    return attempt >= 5 ? 30 : 1 << std::max(attempt - 1, 0);
}

PlotterLink openPlotter(const DeviceUri &uri, StatusLines &status, bool once,
                        const volatile std::sig_atomic_t &stop) {
    const bool serial = uri.kind == DeviceUri::Kind::Serial;
    const Clock::time_point start = Clock::now();
    const auto deadline = start + std::chrono::seconds(uri.connectTimeout);
    status.state("connecting-to-device", true);
    status.info((serial ? "opening " : "connecting to plotter at ") + uri.where());
    PlotterLink link;
    for (int attempt = 1;; ++attempt) {
        int code = 0;
        link.fd = tryOpen(uri, link.error, code);
        if (link.fd >= 0) {
            status.state("connecting-to-device", false);
            status.info((serial ? "opened " : "connected to ") + uri.where());
            link.outcome = LinkOutcome::Open;
            return link;
        }
        if (stop != 0) {
            link.outcome = LinkOutcome::Stopped;
            return link;
        }
        if (!worthWaiting(code, serial)) {
            if (code == EACCES || code == EPERM) {
                link.error += " (the backend runs as user " + userName() +
                              ": give it access to the device, for instance through the group "
                              "that owns it, often dialout)";
            }
            status.state("connecting-to-device", false);
            link.outcome = LinkOutcome::Refused;
            return link;
        }
        const int wait = retryPause(attempt);
        if (once || Clock::now() + std::chrono::seconds(wait) > deadline) {
            status.state("connecting-to-device", false);
            link.error += "; gave up after " +
                          std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
                                             Clock::now() - start)
                                             .count()) +
                          " s";
            link.outcome = LinkOutcome::GaveUp;
            return link;
        }
        status.info((serial ? "waiting for " : "plotter not reachable: ") + link.error +
                    "; trying again in " + std::to_string(wait) + " s");
        pause(wait, stop);
        if (stop != 0) {
            link.outcome = LinkOutcome::Stopped;
            return link;
        }
    }
}

} // namespace drv::cups
