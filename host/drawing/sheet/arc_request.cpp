#include "host/drawing/sheet/arc_request.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/drawing/geometry/flatten.h"

namespace drv::drawing {
namespace {

constexpr double kDegrees = 180 / std::numbers::pi;

UnitPoint rounded(Point p) {
    return {static_cast<std::int32_t>(std::lround(p.x)), static_cast<std::int32_t>(std::lround(p.y))};
}

Point exact(UnitPoint p) {
    return {static_cast<double>(p.x), static_cast<double>(p.y)};
}

} // namespace

std::optional<PlotPath> arcRequestPath(const Subpath &path, double toleranceUnits, const PlotterAbilities &abilities) {
    if (path.segments.size() != 1 || path.segments[0].kind != SegmentKind::Arc) {
        return std::nullopt;
    }
    const EllipticArc &arc = path.segments[0].arc;
    const bool whole = arc.isWhole();
    if (!arc.isCircular() || !(whole ? abilities.circles : abilities.arcs)) {
        return std::nullopt;
    }
    const double radius = length(arc.u);
    ArcRequest request;
    request.centre = rounded(arc.centre);
    request.whole = whole;
    request.start = rounded(path.start);
    request.end = rounded(path.segments[0].to);
    // A circle is drawn with the radius sent; an arc with the distance of
    // its start from its centre.
    const double drawnRadius = whole ? std::round(radius) : distance(exact(request.start), exact(request.centre));
    request.radius = static_cast<std::int32_t>(std::lround(drawnRadius));
    // The device's circle strays from the true one by the centre's and the
    // radius's rounding; its chords must stay within what is left.
    const double drift = distance(exact(request.centre), arc.centre) + std::abs(drawnRadius - radius);
    const double room = toleranceUnits + 0.9 - drift;
    const double chord = std::floor(chordAngle(radius, std::min(room, toleranceUnits)) * kDegrees);
    if (request.radius < 1 || !(room > 0.25) || chord < 1) {
        return std::nullopt;
    }
    request.chordDegrees = std::min(chord, 180.0);
    const double turn = cross(arc.u, arc.v) > 0 ? 1 : -1;
    request.sweepDegrees = (arc.t1 - arc.t0) * kDegrees * turn;
    EllipticArc drawn = arc;
    if (whole) {
        const double start = abilities.circleStartDegrees / kDegrees;
        drawn = {exact(request.centre), {drawnRadius, 0}, {0, drawnRadius}, start, start + 2 * std::numbers::pi};
    }
    std::vector<Point> points;
    flatten(Subpath{drawn.at(drawn.t0), {Segment::ellipse(drawn)}, whole}, toleranceUnits, points);
    if (!whole) {
        points.back() = path.segments[0].to;
    }
    PlotPath plotted;
    plotted.closed = whole;
    plotted.arc = request;
    for (const Point p : points) {
        plotted.points.push_back(rounded(p));
    }
    if (whole) {
        plotted.points.back() = plotted.points.front();
    }
    return plotted;
}

} // namespace drv::drawing
