// A tablet ready to read: its driver loaded, the format checked, the
// profile set up, the framing chosen, and the input open (a recorded file,
// standard input, or a serial line that has been sent the set-up text).
// The tablet, calibrate and digitize commands all start here.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "host/io/serial_line.h"
#include "host/loader/driver_library.h"
#include "host/tablet/tablet_decoder.h"
#include "host/tablet/tablet_defaults.h"

namespace drv::host {

struct TabletSourceOptions {
    std::string driver; // name or path
    TabletProfileSettings profile;
    std::optional<std::uint8_t> frameByte;    // overriding the driver's
    std::optional<std::uint8_t> reportLength; // overriding the driver's
    std::string input = "-";                  // file or "-", unless `device`
    std::optional<std::string> device;        // serial line, set up with `serial`
    SerialSettings serial;
};

class TabletSource {
public:
    enum class Failure {
        None,
        Unusable, // the driver, the input or the line cannot be opened or used
        BadFormat // the model has no such format: the person's mistake
    };

    // Opens everything; null with the reason in `error` and the kind of
    // failure in `failure`.
    static std::unique_ptr<TabletSource> open(const TabletSourceOptions &options,
                                              std::string &error, Failure &failure);
    ~TabletSource();
    TabletSource(const TabletSource &) = delete;
    TabletSource &operator=(const TabletSource &) = delete;

    // The model's name as the suite knows it (the driver's file stem).
    const std::string &model() const { return model_; }
    // The format the model decodes with the profile's selectors.
    int format() const { return format_; }
    TabletDecoder &decoder() { return *decoder_; }
    const TabletFraming &framing() const { return framing_.framing; }
    int fd() const { return fd_; }
    // The file or line, for messages.
    const std::string &inputName() const { return inputName_; }
    // "set-up text "GO\r" (3 bytes); line reports of 19 characters and a
    // line end (this model's exact length)", for the person watching.
    std::string setupSummary() const;

private:
    TabletSource() = default;

    std::unique_ptr<DriverLibrary> library_;
    std::unique_ptr<TabletDecoder> decoder_;
    std::string model_;
    int format_ = 1;
    std::string setupText_;
    FramingChoice framing_{};
    int fd_ = -1;
    bool ownsFd_ = false;
    std::string inputName_;
};

// How `framing` cuts the stream, in words.
std::string describeFraming(const TabletFraming &framing);

} // namespace drv::host
