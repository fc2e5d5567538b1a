// `drvhost decode`: device bytes back into the drawing they make, as JSON
// lines on standard output.
#pragma once

#include <string>

#include "host/cli/device_input.h"
#include "host/cli/subcommand.h"

namespace drv::host {

class DecodeCommand : public Subcommand {
public:
    // Adds `decode` and its options to the command line.
    explicit DecodeCommand(CLI::App &app);

    // Prints the JSON lines, writing the images into --images. Returns 0
    // when the bytes decoded without a problem; 1 when the input could not
    // be read or had problems (each printed on standard error; the JSON
    // lines are written all the same and their summary lists them); 2 for
    // an option value it cannot use.
    int run();

private:
    std::string input_;     // FILE or "-"
    std::string imagesDir_; // empty: images are not written
    DeviceInputArguments device_;
};

} // namespace drv::host
