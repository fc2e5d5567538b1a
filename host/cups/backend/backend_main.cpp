// drvsuite: the CUPS backend that delivers plot jobs to plotters on a
// serial line or on the network (raw TCP).
//
//   drvsuite                                   lists the ports it can use
//   drvsuite JOB USER TITLE COPIES OPTIONS [FILE]   sends FILE, or standard
//                                              input, to $DEVICE_URI
//
// Exit status: the CUPS backend codes. A URI that cannot work stops the
// queue (CUPS_BACKEND_STOP); a plotter not reachable within the URI's
// contimeout has the job retried later (CUPS_BACKEND_RETRY); a delivery
// that breaks off is a failed job, handled by the queue's error policy
// (CUPS_BACKEND_FAILED).
//
// Cancelling: CUPS sends SIGTERM to the filter and to the backend at once.
// When the job comes from a filter (standard input), the backend goes on
// passing whatever the filter still sends, since the filter finishes the
// request in flight and sends the job's end, which leaves the plotter
// clean for the next job; the input then ends and the backend exits. Raw
// jobs (a FILE) stop at once: there is nobody to end them.
#include <cups/backend.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/cups/backend/delivery.h"
#include "host/cups/backend/device_uri.h"
#include "host/cups/backend/plotter_link.h"
#include "host/cups/backend/serial_ports.h"
#include "host/cups/status_lines.h"

namespace {

using namespace drv::cups;

volatile std::sig_atomic_t terminateRequested = 0;

void onTerminate(int) {
    terminateRequested = 1;
}

// Ends the process the way an untouched SIGTERM would, so that the
// spooler sees a job stopped by a signal rather than an exit status.
[[noreturn]] void dieOfTerminate() {
    std::signal(SIGTERM, SIG_DFL);
    std::raise(SIGTERM);
    std::_Exit(CUPS_BACKEND_FAILED);
}

// Sends the input once; false with `error` set on a read or device fault,
// or when a raw job is stopped (`stopped` set).
bool sendInput(int input, bool rawJob, Delivery &delivery, StatusLines &status, bool &stopped,
               std::string &error) {
    static std::uint8_t buffer[64 * 1024];
    bool noted = false;
    for (;;) {
        const ssize_t n = ::read(input, buffer, sizeof buffer);
        if (terminateRequested != 0 && rawJob) {
            stopped = true;
            return false;
        }
        if (terminateRequested != 0 && !noted) {
            status.debug("job cancelled: passing on the job's end from the filter");
            noted = true;
        }
        if (n == 0) {
            return true;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = std::string("cannot read the job: ") + std::strerror(errno);
            return false;
        }
        if (!delivery.send(buffer, static_cast<std::size_t>(n), error,
                           rawJob ? &terminateRequested : nullptr)) {
            stopped = rawJob && terminateRequested != 0;
            return false;
        }
    }
}

LinkKind linkKind(const DeviceUri &uri) {
    return uri.kind == DeviceUri::Kind::Tcp ? LinkKind::Socket : LinkKind::SerialLine;
}

} // namespace

int main(int argc, char **argv) {
    std::signal(SIGPIPE, SIG_IGN);
    if (argc == 1) {
        std::fputs(deviceListing(findSerialPorts()).c_str(), stdout);
        return CUPS_BACKEND_OK;
    }
    StatusLines status(stderr);
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", argv[0]);
        return CUPS_BACKEND_FAILED;
    }
    const char *uriText = std::getenv("DEVICE_URI");
    DeviceUri uri;
    std::string error;
    if (!parseDeviceUri(uriText != nullptr ? uriText : argv[0], uri, error)) {
        status.error("drvsuite: " + error);
        return CUPS_BACKEND_STOP;
    }

    const bool rawJob = argc == 7;
    int input = STDIN_FILENO;
    int copies = 1;
    std::uint64_t total = 0;
    if (rawJob) {
        input = ::open(argv[6], O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (input < 0 || ::fstat(input, &info) != 0) {
            status.error(std::string("drvsuite: cannot open the job file ") + argv[6] + ": " +
                         std::strerror(errno));
            return CUPS_BACKEND_FAILED;
        }
        copies = std::max(1, std::atoi(argv[4]));
        total = static_cast<std::uint64_t>(info.st_size) * static_cast<std::uint64_t>(copies);
    }

    struct sigaction action {};
    action.sa_handler = onTerminate; // no SA_RESTART: waits wake up
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);

    const PlotterLink link =
        openPlotter(uri, status, std::getenv("CLASS") != nullptr, terminateRequested);
    switch (link.outcome) {
    case LinkOutcome::Open:
        break;
    case LinkOutcome::Stopped:
        dieOfTerminate();
    case LinkOutcome::GaveUp:
        status.error("drvsuite: plotter not reachable: " + link.error);
        return CUPS_BACKEND_RETRY;
    case LinkOutcome::Refused:
        status.error("drvsuite: cannot use the plotter: " + link.error);
        return CUPS_BACKEND_STOP;
    }

    Delivery delivery(link.fd, linkKind(uri), uri.where(), uri.stallTimeout, status, total);
    bool stopped = false;
    bool good = true;
    for (int copy = 0; good && copy < copies; ++copy) {
        if (copy > 0 && ::lseek(input, 0, SEEK_SET) != 0) {
            error = std::string("cannot rewind the job file: ") + std::strerror(errno);
            good = false;
            break;
        }
        good = sendInput(input, rawJob, delivery, status, stopped, error);
    }
    if (good) {
        good = delivery.finish(error, rawJob ? &terminateRequested : nullptr);
        stopped = !good && rawJob && terminateRequested != 0;
    }
    ::close(link.fd);
    if (stopped) {
        dieOfTerminate();
    }
    if (!good) {
        status.error("drvsuite: " + error);
        return CUPS_BACKEND_FAILED;
    }
    status.info("sent " + byteCount(delivery.sent()) + " to " + uri.where());
    return CUPS_BACKEND_OK;
}
