#include "host/drawing/geometry/flatten.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace drv::drawing {
namespace {

std::size_t boundedCount(double wanted) {
    if (!(wanted >= 1)) {
        return 1;
    }
    return static_cast<std::size_t>(std::min(std::ceil(wanted), static_cast<double>(kMaxChordsPerSegment)));
}

// A cubic cut into n equal parameter steps deviates from its chords by at
// most max|B''| / (8 n^2), and |B''| <= 6 max(|p0 - 2c1 + c2|, |c1 - 2c2 + p3|).
std::size_t cubicChords(Point p0, const Segment &s, double tolerance) {
    const double bend = std::max(length(p0 - s.c1 * 2 + s.c2), length(s.c1 - s.c2 * 2 + s.to));
    return boundedCount(std::sqrt(0.75 * bend / tolerance));
}

void appendCubic(Point p0, const Segment &s, double tolerance, std::vector<Point> &out) {
    const std::size_t n = cubicChords(p0, s, tolerance);
    for (std::size_t i = 1; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        const double m = 1 - t;
        out.push_back(p0 * (m * m * m) + s.c1 * (3 * m * m * t) + s.c2 * (3 * m * t * t) +
                      s.to * (t * t * t));
    }
    out.push_back(s.to);
}

void appendArc(const Segment &s, double tolerance, std::vector<Point> &out) {
    const std::size_t n = arcChords(s.arc, tolerance);
    for (std::size_t i = 1; i < n; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(n);
        out.push_back(s.arc.at(s.arc.t0 + (s.arc.t1 - s.arc.t0) * t));
    }
    out.push_back(s.to);
}

} // namespace

double chordAngle(double radius, double tolerance) {
    if (!(radius > tolerance)) {
        return std::numbers::pi;
    }
    // The sagitta r (1 - cos(a / 2)) of a chord spanning the angle a.
    return 2 * std::acos(1 - tolerance / radius);
}

std::size_t arcChords(const EllipticArc &arc, double tolerance) {
    // An ellipse is a circle under a map that stretches by at most its
    // largest radius, so the circle's sagitta bound carries over.
    const double step = chordAngle(arc.maxRadius(), tolerance);
    return boundedCount(std::abs(arc.t1 - arc.t0) / step);
}

void flatten(const Subpath &path, double tolerance, std::vector<Point> &out) {
    if (out.empty()) {
        out.push_back(path.start);
    }
    Point from = path.start;
    for (const Segment &segment : path.segments) {
        switch (segment.kind) {
        case SegmentKind::Line:
            out.push_back(segment.to);
            break;
        case SegmentKind::Cubic:
            appendCubic(from, segment, tolerance, out);
            break;
        case SegmentKind::Arc:
            appendArc(segment, tolerance, out);
            break;
        }
        from = segment.to;
    }
    if (path.closed && !(out.back() == path.start)) {
        out.push_back(path.start);
    }
}

} // namespace drv::drawing
