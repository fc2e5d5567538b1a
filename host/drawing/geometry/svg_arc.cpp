#include "host/drawing/geometry/svg_arc.h"

#include <cmath>
#include <numbers>

namespace drv::drawing {
namespace {

// Signed angle from u to v, in (-pi, pi].
double angleBetween(Point u, Point v) {
    return std::atan2(cross(u, v), dot(u, v));
}

} // namespace

ArcShape centreArc(const EndpointArc &arc, EllipticArc &out) {
    if (arc.from == arc.to) {
        return ArcShape::Omitted;
    }
    double rx = std::abs(arc.rx);
    double ry = std::abs(arc.ry);
    if (rx == 0 || ry == 0 || !std::isfinite(rx) || !std::isfinite(ry)) {
        return ArcShape::Line;
    }
    const double phi = arc.rotationDegrees * std::numbers::pi / 180.0;
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    // The half-chord in the ellipse's own axes.
    const Point half = (arc.from - arc.to) * 0.5;
    const Point p{cosPhi * half.x + sinPhi * half.y, -sinPhi * half.x + cosPhi * half.y};
    const double lambda = (p.x * p.x) / (rx * rx) + (p.y * p.y) / (ry * ry);
    if (lambda > 1) {
        const double grow = std::sqrt(lambda);
        rx *= grow;
        ry *= grow;
    }
    const double rx2 = rx * rx;
    const double ry2 = ry * ry;
    const double denominator = rx2 * p.y * p.y + ry2 * p.x * p.x;
    double factor = std::sqrt(std::max(0.0, (rx2 * ry2 - denominator) / denominator));
    if (arc.largeArc == arc.sweep) {
        factor = -factor;
    }
    const Point centreLocal{factor * rx * p.y / ry, -factor * ry * p.x / rx};
    const Point mid = (arc.from + arc.to) * 0.5;
    out.centre = {cosPhi * centreLocal.x - sinPhi * centreLocal.y + mid.x,
                  sinPhi * centreLocal.x + cosPhi * centreLocal.y + mid.y};
    out.u = {rx * cosPhi, rx * sinPhi};
    out.v = {-ry * sinPhi, ry * cosPhi};
    const Point startUnit{(p.x - centreLocal.x) / rx, (p.y - centreLocal.y) / ry};
    const Point endUnit{(-p.x - centreLocal.x) / rx, (-p.y - centreLocal.y) / ry};
    const double start = std::atan2(startUnit.y, startUnit.x);
    double sweep = angleBetween(startUnit, endUnit);
    if (!arc.sweep && sweep > 0) {
        sweep -= 2 * std::numbers::pi;
    } else if (arc.sweep && sweep < 0) {
        sweep += 2 * std::numbers::pi;
    }
    out.t0 = start;
    out.t1 = start + sweep;
    return ArcShape::Arc;
}

} // namespace drv::drawing
