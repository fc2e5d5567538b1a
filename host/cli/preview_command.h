// `drvhost preview`: a picture of what device bytes draw, or of what a plot
// script or a drawing (SVG, DXF) draws through a driver, as SVG, PNG or PDF.
#pragma once

#include <string>

#include "host/cli/device_input.h"
#include "host/cli/drawing_options.h"
#include "host/cli/preview_output.h"
#include "host/cli/subcommand.h"

namespace drv::host {

class PreviewCommand : public Subcommand {
public:
    // Adds `preview` and its options to the command line.
    explicit PreviewCommand(CLI::App &app);

    // Returns 0 when the preview was written from input without problems;
    // 1 when the input could not be read, the script or driver failed, or
    // the decoder found problems (each printed; the preview is written all
    // the same); 2 for an option value it cannot use (checked before the
    // input is read). A preview that fails leaves no file.
    int run();

private:
    std::string input_;  // device bytes, or with `driver_` a plot script or drawing; "-" for standard input
    std::string driver_; // empty: `input_` is device bytes
    PreviewFile file_;
    DeviceInputArguments device_;
    DrawingWords drawingWords_; // for a drawing through `driver_`
};

} // namespace drv::host
