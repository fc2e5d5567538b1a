#include "host/tablet_command.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "host/byte_sink.h"
#include "host/driver_search.h"
#include "host/escapes.h"
#include "host/tablet_defaults.h"
#include "host/tablet_stream.h"

namespace drv::host {
namespace {

// How long the line must be quiet before a pending binary report is taken
// as complete: many byte times even at 1200 baud, short for a person.
constexpr int kIdleMilliseconds = 50;

volatile std::sig_atomic_t gInterrupted = 0;

void onInterrupt(int) {
    gInterrupted = 1;
}

// Ctrl-C ends the reading and still prints the summary; no SA_RESTART, so
// that a blocking read returns.
void catchInterrupt() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int fail(const std::string &message) {
    std::cerr << "drvhost: " << message << '\n';
    return 1;
}

std::string describe(const TabletFraming &framing) {
    char text[96];
    if (framing.kind == TabletFraming::Kind::Marked) {
        std::snprintf(text, sizeof text, "reports start at a byte with bits 0x%02X set, %zu bytes",
                      framing.mark, framing.length);
    } else if (framing.length > 0) {
        std::snprintf(text, sizeof text, "line reports of %zu characters and a line end",
                      framing.length);
    } else {
        std::snprintf(text, sizeof text, "line reports of any length");
    }
    return text;
}

void printPoint(const DigitizerRequest &point, bool json) {
    if (json) {
        std::printf("{\"button\":%d,\"x\":%d,\"y\":%d}\n", point.button, point.x, point.y);
    } else {
        std::printf("%d,%d,%d\n", point.button, point.x, point.y);
    }
}

// Reads `fd` until it ends or `count` reports are decoded, feeding the
// stream; quiet spells of the line complete a pending report. Returns false with the reason on a
// read error.
bool pump(int fd, TabletStream &stream, std::size_t count, std::string &error) {
    std::uint8_t buffer[512];
    while (gInterrupted == 0 && (count == 0 || stream.counts().decoded < count)) {
        pollfd waiting{fd, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, kIdleMilliseconds);
        if (ready == 0) {
            stream.idle();
            std::fflush(stdout);
            continue;
        }
        const ssize_t n = ready < 0 ? -1 : ::read(fd, buffer, sizeof buffer);
        if (n == 0 || (n < 0 && errno == EIO)) {
            return true; // end of file, or the other end of a line hung up
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = std::strerror(errno);
            return false;
        }
        stream.feed({buffer, static_cast<std::size_t>(n)});
    }
    return true;
}

} // namespace

int runTabletCommand(const TabletOptions &options) {
    std::string error;
    const std::unique_ptr<DriverLibrary> library = openDriver(options.driver, error);
    if (!library) {
        return fail(error);
    }
    const DgdbinFunction entry = library->dgdbin();
    if (entry == nullptr) {
        return fail(library->path() + " is not a tablet driver: it exports no dgdbin");
    }
    TabletProfileSettings settings = options.profile;
    settings.frameByte = options.frameByte.value_or(0);
    settings.reportLength = options.reportLength.value_or(0);
    TabletDecoder decoder(entry, settings);
    const std::string setupText = decoder.setup();

    const FramingChoice choice = chooseFraming(
        decoder.profile().frameByte, decoder.profile().reportLength, driverStem(library->path()),
        options.profile.format, options.frameByte, options.reportLength);
    const TabletFraming framing = choice.framing;
    std::cerr << "drvhost: set-up text \"" << visibleEscapes(setupText) << "\" ("
              << setupText.size() << " bytes); " << describe(framing) << " (" << choice.source
              << ")\n";

    int fd = STDIN_FILENO;
    if (options.device) {
        fd = openSerialLine(*options.device, options.serial, error);
        if (fd < 0) {
            return fail(error);
        }
        const auto *text = reinterpret_cast<const std::uint8_t *>(setupText.data());
        if (!writeAll(fd, text, setupText.size())) {
            const std::string reason = std::strerror(errno);
            ::close(fd);
            return fail(*options.device + ": " + reason);
        }
    } else if (options.input != "-") {
        fd = ::open(options.input.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return fail(options.input + ": " + std::strerror(errno));
        }
    }

    if (!options.json) {
        std::printf("button,x,y\n");
    }
    TabletStream stream(decoder, framing, [json = options.json](const DigitizerRequest &point) {
        printPoint(point, json);
    });
    catchInterrupt();
    const bool read = pump(fd, stream, options.count, error);
    stream.finish();
    std::fflush(stdout);
    if (fd != STDIN_FILENO) {
        ::close(fd);
    }
    const TabletCounts counts = stream.counts();
    std::cerr << "drvhost: " << counts.decoded << " reports decoded, " << counts.rejected
              << " rejected (-9), " << counts.turnedAway << " turned away, " << counts.unframed
              << " unframed\n";
    if (!read) {
        return fail((options.device ? *options.device : options.input) + ": " + error);
    }
    return 0;
}

} // namespace drv::host
