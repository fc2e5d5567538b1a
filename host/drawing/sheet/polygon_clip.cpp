#include "host/drawing/sheet/polygon_clip.h"

namespace drv::drawing {
namespace {

// One edge of the box: which side is inside and where a segment crosses.
struct Edge {
    int axis;     // 0: x, 1: y
    double value;
    bool keepAbove;

    bool inside(Point p) const {
        const double v = axis == 0 ? p.x : p.y;
        return keepAbove ? v >= value : v <= value;
    }
    Point cross(Point a, Point b) const {
        const double av = axis == 0 ? a.x : a.y;
        const double bv = axis == 0 ? b.x : b.y;
        const double t = (value - av) / (bv - av);
        Point p = a + (b - a) * t;
        (axis == 0 ? p.x : p.y) = value;
        return p;
    }
};

} // namespace

std::vector<Point> clipRing(const std::vector<Point> &ring, const Bounds &box) {
    std::vector<Point> current = ring;
    const Edge edges[] = {{0, box.minX, true}, {0, box.maxX, false}, {1, box.minY, true}, {1, box.maxY, false}};
    for (const Edge &edge : edges) {
        std::vector<Point> next;
        for (std::size_t i = 0; i < current.size(); ++i) {
            const Point a = current[i];
            const Point b = current[(i + 1) % current.size()];
            if (edge.inside(a)) {
                next.push_back(a);
                if (!edge.inside(b)) {
                    next.push_back(edge.cross(a, b));
                }
            } else if (edge.inside(b)) {
                next.push_back(edge.cross(a, b));
            }
        }
        current = std::move(next);
        if (current.empty()) {
            break;
        }
    }
    return current.size() >= 3 ? current : std::vector<Point>{};
}

} // namespace drv::drawing
