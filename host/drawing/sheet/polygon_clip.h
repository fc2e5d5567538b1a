// Closed rings cut to a rectangle (Sutherland-Hodgman): what a filled
// polygon covers inside the sheet.
#pragma once

#include <vector>

#include "host/drawing/geometry/bounds.h"
#include "host/drawing/geometry/point.h"

namespace drv::drawing {

// `ring` without its closing point repeated; the result likewise, empty
// when nothing of the ring lies inside.
std::vector<Point> clipRing(const std::vector<Point> &ring, const Bounds &box);

} // namespace drv::drawing
