// A digitized drawing as a DXF file, through libdxflib: one LWPOLYLINE per
// polyline on layer 0, closed ones flagged closed, in mm with $INSUNITS
// saying so (unitless when the tablet was not calibrated).
#pragma once

#include <string>

#include "host/digitize/drawing.h"

namespace drv::host {

// The file's bytes, or false with the reason in `error`.
bool dxfBytes(const Drawing &drawing, std::string &bytes, std::string &error);

// $INSUNITS values.
constexpr int kDxfUnitless = 0;
constexpr int kDxfMillimetres = 4;

} // namespace drv::host
