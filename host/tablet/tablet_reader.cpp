#include "host/tablet/tablet_reader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstring>

namespace drv::host {
namespace {

volatile std::sig_atomic_t gStopRequested = 0;

extern "C" void onStopSignal(int) {
    gStopRequested = 1;
}

} // namespace

void stopReadingOnSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool stopRequested() {
    return gStopRequested != 0;
}

TabletReadEnd readTablet(int fd, TabletStream &stream) {
    std::uint8_t buffer[512];
    while (true) {
        if (stopRequested()) {
            return {TabletReadEnd::Why::Stopped, {}};
        }
        if (stream.full()) {
            return {TabletReadEnd::Why::Full, {}};
        }
        pollfd waiting{fd, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, kTabletIdleMilliseconds);
        if (ready == 0) {
            stream.idle();
            continue;
        }
        const ssize_t n = ready < 0 ? -1 : ::read(fd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno == EIO)) {
            return {TabletReadEnd::Why::EndOfInput, {}};
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {TabletReadEnd::Why::Failed, std::strerror(errno)};
        }
        stream.feed({buffer, static_cast<std::size_t>(n)});
    }
}

} // namespace drv::host
