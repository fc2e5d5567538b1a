// Polylines cut exactly at the edge of a rectangle: what lies inside is
// kept, in order, as one or more pieces.
#pragma once

#include <vector>

#include "host/drawing/geometry/bounds.h"
#include "host/drawing/geometry/point.h"

namespace drv::drawing {

using Polyline = std::vector<Point>;

// The parts of `line` inside `box` (edges included). A piece that touches
// the box in a single point is dropped.
std::vector<Polyline> clipPolyline(const Polyline &line, const Bounds &box);

// How far the polyline reaches outside `box`: the largest distance of one
// of its points from the box (0 when it stays inside).
double overshoot(const Polyline &line, const Bounds &box);

} // namespace drv::drawing
