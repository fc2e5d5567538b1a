// Curves as polylines whose chords stay within a tolerance of the true
// curve, both ways: every point of a chord lies within the tolerance of the
// curve and every point of the curve within the tolerance of its chord.
#pragma once

#include <cstddef>
#include <vector>

#include "host/drawing/geometry/path.h"

namespace drv::drawing {

// No single curve segment is cut into more chords than this; a curve that
// would need more is larger than any sheet by far.
constexpr std::size_t kMaxChordsPerSegment = 1u << 16;

// Appends the points of `path` after its start (the start itself first when
// `out` is empty), ending with the start again when the path is closed.
void flatten(const Subpath &path, double tolerance, std::vector<Point> &out);

// The number of equal parameter steps that keep an arc within `tolerance`.
std::size_t arcChords(const EllipticArc &arc, double tolerance);

// The largest angle (radians) between chord ends on a circle of `radius`
// that keeps the chords within `tolerance`; pi for tiny circles.
double chordAngle(double radius, double tolerance);

} // namespace drv::drawing
