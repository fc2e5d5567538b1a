#include "host/cli/tablet_command.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "host/io/write_all.h"
#include "host/loader/driver_search.h"
#include "host/script/script_values.h"
#include "host/tablet/tablet_defaults.h"
#include "host/tablet/tablet_stream.h"
#include "host/util/escapes.h"

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

// A set-up text option: C escapes decoded, at most 39 bytes.
bool decodeSetupText(const std::string &option, const std::string &raw, std::string &text) {
    std::size_t offset = 0;
    std::string error;
    if (!decodeEscapes(raw, text, offset, error)) {
        std::cerr << "drvhost: " << option << ": " << error << '\n';
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        std::cerr << "drvhost: " << option << " cannot hold a NUL byte: the profile keeps it as a C string\n";
        return false;
    }
    if (text.size() > kMaxSetupText) {
        std::cerr << "drvhost: " << option << " holds " << text.size() << " bytes; a profile takes "
                  << kMaxSetupText << '\n';
        return false;
    }
    return true;
}

// --frame-byte 0x80 / 128 / '\r'.
bool decodeByteOption(const std::string &option, const std::string &raw, std::int64_t min,
                      std::optional<std::uint8_t> &value) {
    if (raw.empty()) {
        return true;
    }
    std::int32_t parsed = 0;
    ValueError error;
    if (!parseInteger(raw, min, 255, parsed, error)) {
        std::cerr << "drvhost: " << option << ": " << error.message << '\n';
        return false;
    }
    value = static_cast<std::uint8_t>(parsed);
    return true;
}

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

} // namespace

TabletCommand::TabletCommand(CLI::App &app)
    : Subcommand(app, "tablet", "set up a digitizer tablet and print its points") {
    command_->add_option("--driver", options_.driver, "tablet driver name or library path")
        ->required();
    command_->add_option("--format", format_, "report format of the profile: 1 or 2")
        ->check(CLI::Range(-32768, 32767))
        ->capture_default_str();
    command_
        ->add_option("--aux-format", auxFormat_,
                     "the profile's second format selector (default: --format)")
        ->check(CLI::Range(-32768, 32767));
    command_->add_option("--setup-a", setupA_, "profile set-up text A (C escapes allowed)");
    command_->add_option("--setup-b", setupB_, "profile set-up text B (C escapes allowed)");
    command_->add_option("--frame-byte", frameByte_,
                         "terminator or first-byte mark bits, overriding the driver's");
    command_->add_option("--report-length", reportLength_,
                         "report length in bytes, overriding the driver's");
    CLI::Option *input = command_->add_option(
        "--input", options_.input, "recorded tablet bytes: FILE or - (standard input)");
    CLI::Option *device = command_->add_option("--device", device_, "serial line of the tablet");
    input->excludes(device);
    command_->add_flag("--json", options_.json, "JSON lines instead of CSV");
    command_->add_option("--count", options_.count, "stop after this many decoded reports");
    addSerialOptions(*command_, options_.serial, serialWords_);
}

bool TabletCommand::finish() {
    options_.profile.format = static_cast<std::int16_t>(format_);
    options_.profile.auxFormat = static_cast<std::int16_t>(auxFormat_.value_or(format_));
    if (!device_.empty()) {
        options_.device = device_;
    }
    return decodeSetupText("--setup-a", setupA_, options_.profile.setupA) &&
           decodeSetupText("--setup-b", setupB_, options_.profile.setupB) &&
           decodeByteOption("--frame-byte", frameByte_, 1, options_.frameByte) &&
           decodeByteOption("--report-length", reportLength_, 1, options_.reportLength) &&
           finishSerial(options_.serial, serialWords_);
}

int TabletCommand::run() {
    return finish() ? runTabletCommand(options_) : 2;
}

} // namespace drv::host
