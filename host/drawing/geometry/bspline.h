// B-splines (NURBS) as the project's segments: cut into their Bezier
// pieces, which are exact cubics for non-rational splines of degree 3 or
// less and chords within a tolerance otherwise.
#pragma once

#include <string>
#include <vector>

#include "host/drawing/geometry/path.h"

namespace drv::drawing {

struct BSpline {
    int degree = 3;
    std::vector<double> knots;   // control points + degree + 1, non-decreasing
    std::vector<Point> control;
    std::vector<double> weights; // empty, or one above 0 per control point
};

constexpr int kMaxSplineDegree = 11;

// Appends the spline's segments to `out` (whose start is set when it has no
// segments yet). `tolerance` bounds the chords of pieces that cannot be
// cubics. False with the reason when the spline is not well formed.
bool splineSegments(const BSpline &spline, double tolerance, Subpath &out, std::string &error);

} // namespace drv::drawing
