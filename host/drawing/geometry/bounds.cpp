#include "host/drawing/geometry/bounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace drv::drawing {
namespace {

// The extremes of one coordinate of a cubic: where its derivative
// 3[(1-t)^2 (c1-p0) + 2t(1-t)(c2-c1) + t^2 (p3-c2)] vanishes in (0, 1).
template <typename Visit>
void cubicExtremes(double p0, double c1, double c2, double p3, Visit visit) {
    const double a = -p0 + 3 * c1 - 3 * c2 + p3;
    const double b = 2 * (p0 - 2 * c1 + c2);
    const double c = c1 - p0;
    const auto take = [&](double t) {
        if (t > 0 && t < 1) {
            visit(t);
        }
    };
    if (std::abs(a) < 1e-12 * (std::abs(b) + std::abs(c) + 1e-300)) {
        if (b != 0) {
            take(-c / b);
        }
        return;
    }
    const double disc = b * b - 4 * a * c;
    if (disc < 0) {
        return;
    }
    const double root = std::sqrt(disc);
    take((-b + root) / (2 * a));
    take((-b - root) / (2 * a));
}

Point cubicAt(Point p0, const Segment &s, double t) {
    const double m = 1 - t;
    return p0 * (m * m * m) + s.c1 * (3 * m * m * t) + s.c2 * (3 * m * t * t) + s.to * (t * t * t);
}

// Whether angle `t` lies on the arc's sweep.
bool onSweep(const EllipticArc &arc, double t) {
    const double lo = std::min(arc.t0, arc.t1);
    const double hi = std::max(arc.t0, arc.t1);
    constexpr double kTurn = 2 * std::numbers::pi;
    const double shifted = t + kTurn * std::ceil((lo - t) / kTurn);
    return shifted <= hi;
}

void addArc(Bounds &bounds, const EllipticArc &arc) {
    bounds.add(arc.at(arc.t0));
    bounds.add(arc.at(arc.t1));
    // x(t) = cx + ux cos t + vx sin t is extreme where tan t = vx / ux.
    for (const auto &[cu, cv] : {std::pair{arc.u.x, arc.v.x}, std::pair{arc.u.y, arc.v.y}}) {
        const double t = std::atan2(cv, cu);
        for (const double candidate : {t, t + std::numbers::pi}) {
            if (onSweep(arc, candidate)) {
                bounds.add(arc.at(candidate));
            }
        }
    }
}

} // namespace

void Bounds::add(Point p) {
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
}

void Bounds::add(const Bounds &other) {
    if (!other.empty()) {
        add(Point{other.minX, other.minY});
        add(Point{other.maxX, other.maxY});
    }
}

void addBounds(Bounds &bounds, const Subpath &path) {
    bounds.add(path.start);
    Point from = path.start;
    for (const Segment &segment : path.segments) {
        bounds.add(segment.to);
        if (segment.kind == SegmentKind::Cubic) {
            const auto visit = [&](double t) { bounds.add(cubicAt(from, segment, t)); };
            cubicExtremes(from.x, segment.c1.x, segment.c2.x, segment.to.x, visit);
            cubicExtremes(from.y, segment.c1.y, segment.c2.y, segment.to.y, visit);
        } else if (segment.kind == SegmentKind::Arc) {
            addArc(bounds, segment.arc);
        }
        from = segment.to;
    }
}

} // namespace drv::drawing
