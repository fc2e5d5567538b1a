#include "host/cli/tablet_options.h"

#include <cstdint>
#include <iostream>

#include "host/io/byte_sink.h"
#include "host/script/script_values.h"
#include "host/util/escapes.h"

namespace drv::host {
namespace {

// A set-up text option: C escapes decoded, at most 39 bytes.
bool decodeSetupText(const std::string &option, const std::string &raw, std::string &text) {
    std::size_t offset = 0;
    std::string error;
    if (!decodeEscapes(raw, text, offset, error)) {
        std::cerr << "drvhost: " << option << ": " << error << '\n';
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        std::cerr << "drvhost: " << option
                  << " cannot hold a NUL byte: the profile keeps it as a C string\n";
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

} // namespace

TabletOptions::TabletOptions(CLI::App &command) {
    command.add_option("--driver", source_.driver, "tablet driver name or library path")
        ->required();
    command.add_option("--format", format_, "report format of the profile: 1 or 2")
        ->check(CLI::Range(-32768, 32767))
        ->capture_default_str();
    command
        .add_option("--aux-format", auxFormat_,
                    "the profile's second format selector (default: --format)")
        ->check(CLI::Range(-32768, 32767));
    command.add_option("--setup-a", setupA_, "profile set-up text A (C escapes allowed)");
    command.add_option("--setup-b", setupB_, "profile set-up text B (C escapes allowed)");
    command.add_option("--frame-byte", frameByte_,
                       "terminator or first-byte mark bits, overriding the driver's");
    command.add_option("--report-length", reportLength_,
                       "report length in bytes, overriding the driver's");
    CLI::Option *input = command.add_option("--input", source_.input,
                                            "recorded tablet bytes: FILE or - (standard input)");
    CLI::Option *device = command.add_option("--device", device_, "serial line of the tablet");
    input->excludes(device);
    addSerialOptions(command, source_.serial, serialWords_);
}

bool TabletOptions::finish() {
    source_.profile.format = static_cast<std::int16_t>(format_);
    source_.profile.auxFormat = static_cast<std::int16_t>(auxFormat_.value_or(format_));
    if (!device_.empty()) {
        source_.device = device_;
    }
    return decodeSetupText("--setup-a", setupA_, source_.profile.setupA) &&
           decodeSetupText("--setup-b", setupB_, source_.profile.setupB) &&
           decodeByteOption("--frame-byte", frameByte_, 1, source_.frameByte) &&
           decodeByteOption("--report-length", reportLength_, 1, source_.reportLength) &&
           finishSerial(source_.serial, serialWords_);
}

std::unique_ptr<TabletSource> openTablet(const TabletSourceOptions &options, int &status) {
    std::string error;
    TabletSource::Failure failure = TabletSource::Failure::None;
    std::unique_ptr<TabletSource> source = TabletSource::open(options, error, failure);
    if (!source) {
        std::cerr << "drvhost: " << error << '\n';
        status = failure == TabletSource::Failure::BadFormat ? 2 : 1;
        return nullptr;
    }
    std::cerr << "drvhost: " << source->setupSummary() << '\n';
    return source;
}

std::unique_ptr<TabletSource> openTablet(const TabletSourceOptions &options,
                                         const std::string &calibrationPath,
                                         std::optional<Calibration> &calibration, int &status) {
    std::unique_ptr<TabletSource> source = openTablet(options, status);
    if (source && !calibrationPath.empty() &&
        !loadCalibration(calibrationPath, *source, calibration.emplace())) {
        status = 1;
        return nullptr;
    }
    return source;
}

bool loadCalibration(const std::string &path, const TabletSource &source,
                     Calibration &calibration) {
    std::string error;
    if (!readCalibration(path, calibration, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return false;
    }
    if (calibration.model != source.model() || calibration.format != source.format()) {
        std::cerr << "drvhost: " << path << " was made for " << calibration.model << " format "
                  << calibration.format << ", not " << source.model() << " format "
                  << source.format() << ": calibrate this tablet and format again\n";
        return false;
    }
    return true;
}

std::unique_ptr<ByteSink> openOutput(const std::string &target) {
    std::string error;
    std::unique_ptr<ByteSink> sink = openByteSink({target, std::nullopt}, error);
    if (!sink) {
        std::cerr << "drvhost: " << error << '\n';
    }
    return sink;
}

bool finishOutput(ByteSink &sink, const std::string &text) {
    std::string error;
    if (!sink.write(reinterpret_cast<const std::uint8_t *>(text.data()), text.size(), error) ||
        !sink.commit(error)) {
        std::cerr << "drvhost: " << error << '\n';
        return false;
    }
    return true;
}

} // namespace drv::host
