// The elliptical arc of SVG path data, given by its end points, radii,
// x-axis rotation and the two flags, as an arc around its centre.
#pragma once

#include "host/drawing/geometry/path.h"

namespace drv::drawing {

struct EndpointArc {
    Point from;
    double rx = 0;
    double ry = 0;
    double rotationDegrees = 0;
    bool largeArc = false;
    bool sweep = false; // true: the angle grows from `from` to `to`
    Point to;
};

enum class ArcShape {
    Omitted, // from == to: nothing is drawn
    Line,    // a zero radius: a straight line to `to`
    Arc
};

// Radii too small to reach from one end to the other are scaled up, keeping
// their ratio, until the ellipse just fits (its centre then lies midway);
// negative radii count by their magnitude.
ArcShape centreArc(const EndpointArc &arc, EllipticArc &out);

} // namespace drv::drawing
