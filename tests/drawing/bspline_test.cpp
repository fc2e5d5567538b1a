#include <gtest/gtest.h>

#include <cmath>

#include "tests/drawing/curve_sampling.h"
#include "host/drawing/geometry/bspline.h"
#include "host/drawing/geometry/flatten.h"
#include "tests/drawing/spline_truth.h"

namespace drv::drawing {
namespace {

TEST(BSpline, PiecesTraceTheSplineWithinTolerance) {
    const double h = std::sqrt(0.5);
    struct Case {
        int line;
        BSpline spline;
        std::size_t cubics; // exact pieces expected (0: chords)
    };
    const Case cases[] = {
        // unclamped uniform cubic, as closed CAD splines are written
        {__LINE__, {3, {0, 1, 2, 3, 4, 5, 6, 7, 8}, {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {-5, 5}}, {}}, 2},
        {__LINE__, {3, {0, 0, 0, 0, 1, 1, 1, 1}, {{0, 0}, {1, 2}, {3, 2}, {4, 0}}, {}}, 1},
        {__LINE__, {2, {0, 0, 0, 0.5, 1, 1, 1}, {{0, 0}, {5, 10}, {10, 0}, {15, 10}}, {}}, 2},
        {__LINE__, {1, {0, 0, 1, 2, 2}, {{0, 0}, {5, 5}, {10, 0}}, {}}, 2},
        // a rational quarter circle of radius 100: chords
        {__LINE__, {2, {0, 0, 0, 1, 1, 1}, {{100, 0}, {100, 100}, {0, 100}}, {1, h, 1}}, 0},
        {__LINE__, {5, {0, 0, 0, 0, 0, 0, 2, 3, 3, 3, 3, 3, 3}, {{0, 0}, {10, 30}, {20, -30}, {30, 30}, {40, -30}, {50, 0}, {60, 10}}, {}}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        Subpath path;
        std::string error;
        ASSERT_TRUE(splineSegments(c.spline, 0.01, path, error)) << error;
        if (c.cubics > 0) {
            EXPECT_EQ(path.segments.size(), c.cubics);
        }
        std::vector<Point> points;
        flatten(path, 0.01, points);
        const auto p = static_cast<std::size_t>(c.spline.degree);
        const double lo = c.spline.knots[p];
        const double hi = c.spline.knots[c.spline.control.size()];
        const std::vector<Point> truth =
            testing::sampleCurve([&](double t) { return testing::deBoor(c.spline, lo + (hi - lo) * t); }, 3000);
        EXPECT_LE(testing::worstDistance(truth, points), 0.0201);
        EXPECT_LE(testing::worstDistance(testing::sampleChords(points, 8), truth), 0.0201);
    }
}

TEST(BSpline, MalformedSplinesAreRefused) {
    struct Case {
        int line;
        BSpline spline;
        const char *message;
    };
    const Case cases[] = {
        {__LINE__, {3, {0, 0, 0, 1, 1, 1}, {{0, 0}, {1, 1}, {2, 0}}, {}}, "a spline of degree 3 needs at least 4 control points, not 3"},
        {__LINE__, {2, {0, 0, 1, 0, 1, 1}, {{0, 0}, {1, 1}, {2, 0}}, {}}, "spline knots must not decrease"},
        {__LINE__, {2, {0, 0, 0, 0, 0, 0}, {{0, 0}, {1, 1}, {2, 0}}, {}}, "the spline's knots leave it no length"},
        {__LINE__, {2, {0, 0, 0, 1, 1, 1}, {{0, 0}, {1, 1}, {2, 0}}, {1, 0, 1}}, "spline weights must be one above 0 per control point"},
        {__LINE__, {0, {0, 1}, {{0, 0}}, {}}, "spline degree 0 is outside 1 to 11"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        Subpath path;
        std::string error;
        EXPECT_FALSE(splineSegments(c.spline, 0.01, path, error));
        EXPECT_EQ(error, c.message);
    }
}

} // namespace
} // namespace drv::drawing
