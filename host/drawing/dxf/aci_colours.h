// DXF colour index numbers (ACI) as RGB, for the pens' colours.
#pragma once

#include "host/drawing/model/drawing.h"

namespace drv::drawing::dxf {

// Index 1..255 of the standard palette (7, white on screen, is black on
// paper); others give black.
Colour aciColour(int index);

} // namespace drv::drawing::dxf
