// `drvhost tablet`: sets up a digitizer tablet and prints its points.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "host/cli/serial_options.h"
#include "host/cli/subcommand.h"
#include "host/io/serial_line.h"
#include "host/tablet/tablet_decoder.h"

namespace drv::host {

struct TabletOptions {
    std::string driver; // name or path
    TabletProfileSettings profile;
    std::optional<std::uint8_t> frameByte;    // --frame-byte
    std::optional<std::uint8_t> reportLength; // --report-length
    std::string input = "-";                  // file or "-", unless `device`
    std::optional<std::string> device;        // serial line, set up with `serial`
    SerialSettings serial;
    bool json = false;
    std::size_t count = 0; // stop after this many decoded reports; 0: never
};

class TabletCommand : public Subcommand {
public:
    // Adds `tablet` and its options to the command line.
    explicit TabletCommand(CLI::App &app);

    // Calls the set-up operation, shows the set-up text (and sends it to the
    // device), then decodes the input until it ends (or, on a device, until
    // interrupted, or after `count` decoded reports): one line per decoded
    // report on standard output, "button,x,y" CSV with a header or JSON
    // lines, and a summary on standard error. Returns 0; 1 when the driver
    // or the input cannot be opened; 2 for an option value it cannot use.
    int run();

private:
    bool finish();

    TabletOptions options_;
    std::string setupA_;
    std::string setupB_;
    std::string frameByte_;
    std::string reportLength_;
    std::string device_;
    SerialWords serialWords_;
    int format_ = 1;
    std::optional<int> auxFormat_;
};

} // namespace drv::host
