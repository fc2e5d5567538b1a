// Affine maps of the plane, in the order SVG writes them:
//
//   x' = a x + c y + e
//   y' = b x + d y + f
//
// `first.then(second)` is the map that applies `first`, then `second`. An
// SVG element's transform list "T1 T2" maps a point p to T1(T2(p)), i.e.
// T2.then(T1), and a child's transform is applied before its parent's.
#pragma once

#include "host/drawing/geometry/point.h"

namespace drv::drawing {

struct Affine {
    double a = 1;
    double b = 0;
    double c = 0;
    double d = 1;
    double e = 0;
    double f = 0;

    constexpr Point apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
    // The linear part only: for directions and differences.
    constexpr Point applyVector(Point v) const { return {a * v.x + c * v.y, b * v.x + d * v.y}; }

    constexpr Affine then(const Affine &next) const {
        return {next.a * a + next.c * b,
                next.b * a + next.d * b,
                next.a * c + next.c * d,
                next.b * c + next.d * d,
                next.a * e + next.c * f + next.e,
                next.b * e + next.d * f + next.f};
    }

    constexpr double determinant() const { return a * d - b * c; }

    // The largest factor by which the map stretches a length.
    double maxStretch() const;

    constexpr bool operator==(const Affine &) const = default;

    static constexpr Affine translate(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }
    static constexpr Affine scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    // Counter-clockwise in a y-up frame (clockwise on an SVG canvas), about
    // (cx, cy).
    static Affine rotate(double degrees, double cx = 0, double cy = 0);
    static Affine skewX(double degrees);
    static Affine skewY(double degrees);
};

} // namespace drv::drawing
