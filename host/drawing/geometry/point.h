// A point or vector of the plane, in whatever unit the room using it works
// in (document user units, millimetres, plotter units).
#pragma once

#include <cmath>

namespace drv::drawing {

struct Point {
    double x = 0;
    double y = 0;

    constexpr Point operator+(Point o) const { return {x + o.x, y + o.y}; }
    constexpr Point operator-(Point o) const { return {x - o.x, y - o.y}; }
    constexpr Point operator*(double s) const { return {x * s, y * s}; }
    constexpr bool operator==(const Point &) const = default;
};

constexpr double dot(Point a, Point b) {
    return a.x * b.x + a.y * b.y;
}

constexpr double cross(Point a, Point b) {
    return a.x * b.y - a.y * b.x;
}

inline double length(Point v) {
    return std::hypot(v.x, v.y);
}

inline double distance(Point a, Point b) {
    return length(a - b);
}

// Distance from `p` to the segment a-b (to the point a when a == b).
inline double distanceToSegment(Point p, Point a, Point b) {
    const Point ab = b - a;
    const double len2 = dot(ab, ab);
    if (len2 == 0) {
        return distance(p, a);
    }
    double t = dot(p - a, ab) / len2;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return distance(p, a + ab * t);
}

} // namespace drv::drawing
