#include "host/drawing/dxf/entity_geometry.h"

#include <cmath>
#include <numbers>

namespace drv::drawing::dxf {
namespace {

constexpr double kTurn = 2 * std::numbers::pi;

Segment arcTo(Point from, Point to, double bulge) {
    if (std::abs(bulge) < 1e-12 || from == to) {
        return Segment::line(to);
    }
    const Point chord = to - from;
    const double d = length(chord);
    const Point left{-chord.y / d, chord.x / d};
    const Point centre = (from + to) * 0.5 + left * (d * (1 - bulge * bulge) / (4 * bulge));
    const double radius = distance(centre, from);
    const double start = std::atan2(from.y - centre.y, from.x - centre.x);
    EllipticArc arc{centre, {radius, 0}, {0, radius}, start, start + 4 * std::atan(bulge)};
    Segment segment = Segment::ellipse(arc);
    segment.to = to;
    return segment;
}

} // namespace

Subpath bulgePolyline(const std::vector<BulgeVertex> &vertices, bool closed) {
    Subpath path;
    if (vertices.empty()) {
        return path;
    }
    path.start = vertices.front().at;
    for (std::size_t i = 1; i < vertices.size(); ++i) {
        path.segments.push_back(arcTo(vertices[i - 1].at, vertices[i].at, vertices[i - 1].bulge));
    }
    if (closed && vertices.size() > 1) {
        if (!(vertices.back().at == vertices.front().at)) {
            path.segments.push_back(arcTo(vertices.back().at, vertices.front().at, vertices.back().bulge));
        }
        path.closed = true;
    }
    return path;
}

Subpath circlePath(Point centre, double radius) {
    const EllipticArc arc{centre, {radius, 0}, {0, radius}, 0, kTurn};
    Segment segment = Segment::ellipse(arc);
    segment.to = centre + Point{radius, 0};
    return {segment.to, {segment}, true};
}

Subpath arcPath(Point centre, double radius, double startDegrees, double endDegrees) {
    const double start = startDegrees * std::numbers::pi / 180;
    double end = endDegrees * std::numbers::pi / 180;
    while (end <= start) {
        end += kTurn;
    }
    while (end - start > kTurn) {
        end -= kTurn;
    }
    const EllipticArc arc{centre, {radius, 0}, {0, radius}, start, end};
    return {arc.at(start), {Segment::ellipse(arc)}, false};
}

Subpath ellipsePath(Point centre, Point major, double ratio, double startParam, double endParam) {
    double end = endParam;
    while (end <= startParam) {
        end += kTurn;
    }
    while (end - startParam > kTurn * (1 + 1e-12)) {
        end -= kTurn;
    }
    const EllipticArc arc{centre, major, Point{-major.y, major.x} * ratio, startParam, end};
    Subpath path{arc.at(startParam), {Segment::ellipse(arc)}, false};
    path.closed = arc.isWhole();
    if (path.closed) {
        path.segments.back().to = path.start;
    }
    return path;
}

} // namespace drv::drawing::dxf
