// Paths as their curves, kept exact until the drawing is placed on the
// sheet: every kind of segment maps to the same kind under an affine map,
// so flattening happens once, in plotter units, against the tolerance the
// user asked for.
#pragma once

#include <vector>

#include "host/drawing/geometry/affine.h"
#include "host/drawing/geometry/point.h"

namespace drv::drawing {

// An arc of an ellipse given by its centre and two conjugate half-axes:
// point(t) = centre + u cos t + v sin t, for t from t0 to t1 (t1 < t0 runs
// backwards). A circle of radius r has u, v perpendicular and of length r.
struct EllipticArc {
    Point centre;
    Point u{1, 0};
    Point v{0, 1};
    double t0 = 0;
    double t1 = 0;

    Point at(double t) const;
    // The largest distance of the ellipse from its centre.
    double maxRadius() const;
    // Nothing but a circle (within a relative 1e-9) after the maps applied.
    bool isCircular() const;
    // The sweep covers the whole ellipse.
    bool isWhole() const;
};

enum class SegmentKind { Line, Cubic, Arc };

struct Segment {
    SegmentKind kind = SegmentKind::Line;
    Point c1;  // Cubic: first control point
    Point c2;  // Cubic: second control point
    Point to;  // every kind: the end point
    EllipticArc arc; // Arc only

    static Segment line(Point to) { return {SegmentKind::Line, {}, {}, to, {}}; }
    static Segment cubic(Point c1, Point c2, Point to) { return {SegmentKind::Cubic, c1, c2, to, {}}; }
    static Segment ellipse(const EllipticArc &arc) { return {SegmentKind::Arc, {}, {}, arc.at(arc.t1), arc}; }
};

// One connected run of segments from `start`. A closed subpath ends with
// the pen back at the start (the closing line is implied when the last
// segment does not end there).
struct Subpath {
    Point start;
    std::vector<Segment> segments;
    bool closed = false;

    Point end() const { return segments.empty() ? start : segments.back().to; }
};

// A quadratic Bezier as the cubic that traces the same curve.
Segment quadraticAsCubic(Point from, Point control, Point to);

void transform(Subpath &path, const Affine &map);

// Every point, control point and axis of the path is a finite number no
// larger than `limit` in magnitude: true of anything on a sheet of paper.
bool withinMagnitude(const Subpath &path, double limit);
void transform(EllipticArc &arc, const Affine &map);

} // namespace drv::drawing
