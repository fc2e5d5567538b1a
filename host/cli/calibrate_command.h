// `drvhost calibrate`: presses on known points of a drawing fitted into
// the transform from tablet counts to mm, written as a calibration file.
#pragma once

#include <string>

#include "host/cli/subcommand.h"
#include "host/cli/tablet_options.h"

namespace drv::host {

class CalibrateCommand : public Subcommand {
public:
    explicit CalibrateCommand(CLI::App &app);

    // Takes the next button press as each of the --points in turn (with a
    // prompt on a terminal), fits the transform, reports each point's
    // residual and writes the file. Returns 0; 1 when the tablet or the
    // output cannot be used or no fit can be made; 2 for bad options.
    int run();

private:
    TabletOptions tablet_;
    std::string points_;
    std::string output_;
    double maxError_ = 0.5;
};

// "0,0 200,0 200,150": points in mm, separated by blanks. False with the
// fault in `error`.
bool parseDrawingPoints(const std::string &text, std::vector<PlanePoint> &points,
                        std::string &error);

} // namespace drv::host
