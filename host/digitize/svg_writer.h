// A digitized drawing as SVG: its size in mm (on a calibrated tablet), the
// view box the drawing's bounds, and every point written in the drawing's
// own coordinates under one transform that turns the drawing's y axis
// (upwards) into SVG's (downwards). Open polylines are <polyline>, closed
// ones <polygon>, stroked 0.25 mm wide and not filled.
#pragma once

#include <string>

#include "host/digitize/drawing.h"

namespace drv::host {

std::string svgText(const Drawing &drawing);

} // namespace drv::host
