// The outermost <svg>: its page in millimetres from width and height, and
// the map from its user units (through viewBox and preserveAspectRatio).
#pragma once

#include "host/drawing/svg/svg_walk.h"

namespace drv::drawing::svg {

// Sets the drawing's page size and the state's map and viewport; false
// after reporting a fault to `source`.
bool rootViewport(const pugi::xml_node &root, SvgSource &source, Drawing &out, WalkState &state);

} // namespace drv::drawing::svg
