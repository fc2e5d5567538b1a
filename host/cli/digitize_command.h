// `drvhost digitize`: button presses on a tablet into polylines, written
// as DXF, SVG or a plot script when the input ends or the person stops.
#pragma once

#include <map>
#include <string>

#include "host/cli/subcommand.h"
#include "host/cli/tablet_options.h"
#include "host/digitize/digitize_session.h"

namespace drv::host {

class DigitizeCommand : public Subcommand {
public:
    explicit DigitizeCommand(CLI::App &app);

    // Reads the tablet until the input ends or SIGINT/SIGTERM, showing each
    // vertex and polyline on standard error, then writes the drawing.
    // Returns 0; 1 when the tablet, the calibration or the output cannot be
    // used; 2 for bad options.
    int run();

private:
    TabletOptions tablet_;
    std::string calibration_;
    std::string buttons_;
    std::string output_;
    std::string as_;
};

enum class DrawingFormat { Dxf, Svg, PlotScript };

// The format `as` names (dxf, svg, plt), or else the one the output's
// extension names (.dxf, .svg, .plt); nothing for neither.
std::optional<DrawingFormat> drawingFormat(const std::string &as, const std::string &output);

// --buttons for digitizing: add=, end=, close=, undo=.
bool parseDigitizeButtons(const std::string &text, ButtonActions &actions, std::string &error);

} // namespace drv::host
