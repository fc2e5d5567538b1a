#include "host/drawing/geometry/path.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace drv::drawing {

Point EllipticArc::at(double t) const {
    return centre + u * std::cos(t) + v * std::sin(t);
}

double EllipticArc::maxRadius() const {
    return Affine{u.x, u.y, v.x, v.y, 0, 0}.maxStretch();
}

bool EllipticArc::isCircular() const {
    const double lu = length(u);
    const double lv = length(v);
    const double scale = std::max(lu, lv);
    return scale > 0 && std::abs(lu - lv) <= 1e-9 * scale &&
           std::abs(dot(u, v)) <= 1e-9 * scale * scale;
}

bool EllipticArc::isWhole() const {
    return std::abs(t1 - t0) >= 2 * std::numbers::pi * (1 - 1e-12);
}

Segment quadraticAsCubic(Point from, Point control, Point to) {
    return Segment::cubic(from + (control - from) * (2.0 / 3.0),
                          to + (control - to) * (2.0 / 3.0), to);
}

void transform(EllipticArc &arc, const Affine &map) {
    arc.centre = map.apply(arc.centre);
    arc.u = map.applyVector(arc.u);
    arc.v = map.applyVector(arc.v);
}

void transform(Subpath &path, const Affine &map) {
    path.start = map.apply(path.start);
    for (Segment &segment : path.segments) {
        segment.c1 = map.apply(segment.c1);
        segment.c2 = map.apply(segment.c2);
        segment.to = map.apply(segment.to);
        if (segment.kind == SegmentKind::Arc) {
            transform(segment.arc, map); // `to` stays the exact end point given
        }
    }
}

} // namespace drv::drawing

namespace drv::drawing {
namespace {

bool small(Point p, double limit) {
    return std::abs(p.x) <= limit && std::abs(p.y) <= limit; // false for NaN too
}

} // namespace

bool withinMagnitude(const Subpath &path, double limit) {
    if (!small(path.start, limit)) {
        return false;
    }
    for (const Segment &s : path.segments) {
        if (!small(s.c1, limit) || !small(s.c2, limit) || !small(s.to, limit) || !small(s.arc.centre, limit) ||
            !small(s.arc.u, limit) || !small(s.arc.v, limit) || !std::isfinite(s.arc.t0) || !std::isfinite(s.arc.t1)) {
            return false;
        }
    }
    return true;
}

} // namespace drv::drawing
