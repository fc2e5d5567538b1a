// A digitized drawing as a plot script for `drvhost plot`: in plotter
// units of 0.025 mm from the drawing's origin, so that a drawing digitized
// on a calibrated tablet and plotted lands on the millimetres it was
// digitized at. One pen; each polyline is a pen-up move to its first
// vertex and pen-down plots through the rest (back to the first when
// closed). The page is as large as the drawing reaches from the origin.
// On an uncalibrated tablet one tablet count is one plotter unit.
#pragma once

#include <string>

#include "host/digitize/drawing.h"

namespace drv::host {

// Plotter units in a millimetre.
constexpr double kPlotterUnitsPerMm = 40.0;

std::string plotScriptText(const Drawing &drawing);

} // namespace drv::host
