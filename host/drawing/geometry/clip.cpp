#include "host/drawing/geometry/clip.h"

#include <algorithm>
#include <cmath>

namespace drv::drawing {
namespace {

bool inside(Point p, const Bounds &box) {
    return p.x >= box.minX && p.x <= box.maxX && p.y >= box.minY && p.y <= box.maxY;
}

// Liang-Barsky: the parameter range [t0, t1] of a-b inside the box; false
// when the segment misses it.
bool clipSegment(Point a, Point b, const Bounds &box, double &t0, double &t1) {
    t0 = 0;
    t1 = 1;
    const Point d = b - a;
    const double p[4] = {-d.x, d.x, -d.y, d.y};
    const double q[4] = {a.x - box.minX, box.maxX - a.x, a.y - box.minY, box.maxY - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) {
                return false;
            }
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, r);
        } else {
            t1 = std::min(t1, r);
        }
        if (t0 > t1) {
            return false;
        }
    }
    return true;
}

// Snaps a point computed on an edge onto it, against rounding.
Point onBox(Point p, const Bounds &box) {
    return {std::clamp(p.x, box.minX, box.maxX), std::clamp(p.y, box.minY, box.maxY)};
}

} // namespace

std::vector<Polyline> clipPolyline(const Polyline &line, const Bounds &box) {
    std::vector<Polyline> pieces;
    Polyline current;
    const auto finish = [&] {
        const bool extended = std::any_of(current.begin(), current.end(),
                                          [&](Point p) { return !(p == current.front()); });
        if (extended) {
            pieces.push_back(std::move(current));
        }
        current.clear();
    };
    if (line.size() == 1 && inside(line[0], box)) {
        return {line};
    }
    for (std::size_t i = 1; i < line.size(); ++i) {
        const Point a = line[i - 1];
        const Point b = line[i];
        double t0 = 0;
        double t1 = 1;
        if (!clipSegment(a, b, box, t0, t1)) {
            finish();
            continue;
        }
        const Point enter = t0 > 0 ? onBox(a + (b - a) * t0, box) : a;
        const Point leave = t1 < 1 ? onBox(a + (b - a) * t1, box) : b;
        if (current.empty()) {
            current.push_back(enter);
        } else if (!(current.back() == enter)) {
            finish();
            current.push_back(enter);
        }
        current.push_back(leave);
        if (t1 < 1) {
            finish();
        }
    }
    finish();
    return pieces;
}

double overshoot(const Polyline &line, const Bounds &box) {
    double worst = 0;
    for (const Point p : line) {
        const double dx = std::max({box.minX - p.x, 0.0, p.x - box.maxX});
        const double dy = std::max({box.minY - p.y, 0.0, p.y - box.maxY});
        worst = std::max(worst, std::hypot(dx, dy));
    }
    return worst;
}

} // namespace drv::drawing
