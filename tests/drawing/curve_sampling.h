// Dense samples of a true curve and distances between point sets, to
// measure how far a flattened path strays from the geometry it stands for.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "host/drawing/geometry/point.h"

namespace drv::drawing::testing {

inline std::vector<Point> sampleCurve(const std::function<Point(double)> &at, std::size_t count) {
    std::vector<Point> points;
    for (std::size_t i = 0; i <= count; ++i) {
        points.push_back(at(static_cast<double>(i) / static_cast<double>(count)));
    }
    return points;
}

inline double distanceToPolyline(Point p, const std::vector<Point> &line) {
    if (line.size() == 1) {
        return distance(p, line[0]);
    }
    double best = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < line.size(); ++i) {
        best = std::min(best, distanceToSegment(p, line[i - 1], line[i]));
    }
    return best;
}

// Points along every chord of `line`, `perChord` to a chord.
inline std::vector<Point> sampleChords(const std::vector<Point> &line, std::size_t perChord) {
    std::vector<Point> points;
    for (std::size_t i = 1; i < line.size(); ++i) {
        for (std::size_t k = 0; k < perChord; ++k) {
            const double t = static_cast<double>(k) / static_cast<double>(perChord);
            points.push_back(line[i - 1] + (line[i] - line[i - 1]) * t);
        }
    }
    if (!line.empty()) {
        points.push_back(line.back());
    }
    return points;
}

// The largest distance from a point of `from` to the polyline `to`.
inline double worstDistance(const std::vector<Point> &from, const std::vector<Point> &to) {
    double worst = 0;
    for (const Point p : from) {
        worst = std::max(worst, distanceToPolyline(p, to));
    }
    return worst;
}

// Points every quarter unit along the arc round `centre` from `from`
// through `sweepDegrees` (counter-clockwise when positive), as a plotter
// draws it; returns the end.
inline Point traceArc(Point centre, Point from, double sweepDegrees, std::vector<Point> &out) {
    const Point r = from - centre;
    const double radius = length(r);
    const double start = std::atan2(r.y, r.x);
    const double sweep = sweepDegrees * std::numbers::pi / 180;
    const int steps = std::max(8, static_cast<int>(std::abs(sweep) * radius / 0.25));
    for (int k = 0; k <= steps; ++k) {
        const double t = start + sweep * k / steps;
        out.push_back(centre + Point{std::cos(t), std::sin(t)} * radius);
    }
    return out.back();
}

} // namespace drv::drawing::testing
