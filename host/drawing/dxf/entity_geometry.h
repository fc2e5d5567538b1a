// The curves of DXF entities as exact segments, in drawing units with y up
// and angles counter-clockwise.
#pragma once

#include <vector>

#include "host/drawing/geometry/path.h"

namespace drv::drawing::dxf {

// A polyline vertex: its bulge is the tangent of a quarter of the angle
// the arc to the next vertex turns through (positive: counter-clockwise).
struct BulgeVertex {
    Point at;
    double bulge = 0;
};

// A (LW)POLYLINE; closed ones return to the first vertex along the last
// vertex's bulge.
Subpath bulgePolyline(const std::vector<BulgeVertex> &vertices, bool closed);

Subpath circlePath(Point centre, double radius);

// ARC: from `startDegrees` counter-clockwise to `endDegrees`.
Subpath arcPath(Point centre, double radius, double startDegrees, double endDegrees);

// ELLIPSE: `major` is the end of the major axis relative to the centre,
// `ratio` the minor axis over the major, parameters in radians.
Subpath ellipsePath(Point centre, Point major, double ratio, double startParam, double endParam);

} // namespace drv::drawing::dxf
