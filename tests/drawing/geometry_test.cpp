#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/drawing/curve_sampling.h"
#include "host/drawing/geometry/bounds.h"
#include "host/drawing/geometry/clip.h"
#include "host/drawing/geometry/flatten.h"
#include "host/drawing/geometry/svg_arc.h"

namespace drv::drawing {
namespace {

using testing::sampleChords;
using testing::sampleCurve;
using testing::worstDistance;

constexpr double kPi = std::numbers::pi;

void expectNear(Point actual, Point expected, double eps = 1e-9) {
    EXPECT_NEAR(actual.x, expected.x, eps);
    EXPECT_NEAR(actual.y, expected.y, eps);
}

TEST(Affine, ComposesFirstThenSecond) {
    struct Case {
        int line;
        Affine first;
        Affine second;
        Point in;
        Point out;
    };
    const Case cases[] = {
        {__LINE__, Affine::translate(10, 0), Affine::scale(2, 2), {1, 1}, {22, 2}},
        {__LINE__, Affine::scale(2, 2), Affine::translate(10, 0), {1, 1}, {12, 2}},
        {__LINE__, Affine::rotate(90), Affine::translate(5, 0), {1, 0}, {5, 1}},
        {__LINE__, Affine::translate(5, 0), Affine::rotate(90), {1, 0}, {0, 6}},
        {__LINE__, Affine::rotate(90, 10, 10), Affine{}, {11, 10}, {10, 11}},
        {__LINE__, Affine::rotate(-270), Affine{}, {2, 0}, {0, 2}},
        {__LINE__, Affine::skewX(45), Affine{}, {0, 2}, {2, 2}},
        {__LINE__, Affine::skewY(45), Affine{}, {3, 0}, {3, 3}},
        {__LINE__, Affine::scale(1, -1), Affine::translate(0, 100), {4, 30}, {4, 70}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        expectNear(c.first.then(c.second).apply(c.in), c.out);
        expectNear(c.second.apply(c.first.apply(c.in)), c.out);
    }
}

TEST(Affine, QuarterTurnsAreExact) {
    const Affine turn = Affine::rotate(90);
    EXPECT_EQ(turn.apply({3, 4}), (Point{-4, 3}));
    EXPECT_EQ(Affine::rotate(180).apply({3, 4}), (Point{-3, -4}));
    EXPECT_DOUBLE_EQ(Affine::scale(3, -2).maxStretch(), 3);
    EXPECT_NEAR(Affine::rotate(33).then(Affine::scale(5, 1)).maxStretch(), 5, 1e-12);
}

TEST(SvgArc, CentreAndSweepFromEndPoints) {
    struct Case {
        int line;
        EndpointArc arc;
        Point centre;
        double radiusX;
        double radiusY;
        double sweepDegrees;
    };
    const Case cases[] = {
        // the four arcs through (1,0) and (0,1) with radius 1
        {__LINE__, {{1, 0}, 1, 1, 0, false, true, {0, 1}}, {0, 0}, 1, 1, 90},
        {__LINE__, {{1, 0}, 1, 1, 0, false, false, {0, 1}}, {1, 1}, 1, 1, -90},
        {__LINE__, {{1, 0}, 1, 1, 0, true, true, {0, 1}}, {1, 1}, 1, 1, 270},
        {__LINE__, {{1, 0}, 1, 1, 0, true, false, {0, 1}}, {0, 0}, 1, 1, -270},
        // radii too small are scaled up until the ellipse just fits
        {__LINE__, {{0, 0}, 1, 1, 0, false, true, {10, 0}}, {5, 0}, 5, 5, 180},
        {__LINE__, {{0, 0}, 2, 1, 0, true, false, {10, 0}}, {5, 0}, 5, 2.5, -180},
        // negative radii count by their magnitude
        {__LINE__, {{1, 0}, -1, -1, 0, false, true, {0, 1}}, {0, 0}, 1, 1, 90},
        // a rotated ellipse whose major axis is the chord
        {__LINE__, {{0, 0}, 2, 1, 90, false, true, {0, 4}}, {0, 2}, 2, 1, 180},
        // a rotated ellipse, its radii fitting as given
        {__LINE__, {{0, 0}, 4, 2, 30, false, true, {3, 1}}, {}, 4, 2, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        EllipticArc out;
        ASSERT_EQ(centreArc(c.arc, out), ArcShape::Arc);
        expectNear(out.at(out.t0), c.arc.from);
        expectNear(out.at(out.t1), c.arc.to);
        EXPECT_NEAR(length(out.u), c.radiusX, 1e-9);
        EXPECT_NEAR(length(out.v), c.radiusY, 1e-9);
        if (c.sweepDegrees != 0) {
            expectNear(out.centre, c.centre);
            EXPECT_NEAR((out.t1 - out.t0) * 180 / kPi, c.sweepDegrees, 1e-9);
        } else {
            EXPECT_GT(out.t1, out.t0);
            EXPECT_LT(out.t1 - out.t0, kPi);
        }
    }
}

TEST(SvgArc, DegenerateArcs) {
    EllipticArc out;
    EXPECT_EQ(centreArc({{1, 1}, 5, 5, 0, false, true, {1, 1}}, out), ArcShape::Omitted);
    EXPECT_EQ(centreArc({{0, 0}, 0, 5, 0, false, true, {1, 1}}, out), ArcShape::Line);
    EXPECT_EQ(centreArc({{0, 0}, 5, 0, 0, false, true, {1, 1}}, out), ArcShape::Line);
}

struct FlattenCase {
    int line;
    const char *name;
    Subpath path;
    std::function<Point(double)> truth;
    double tolerance;
};

std::vector<FlattenCase> flattenCases() {
    std::vector<FlattenCase> cases;
    {
        const Point p0{0, 0}, c1{100, 300}, c2{200, -300}, p3{300, 0};
        Subpath path{p0, {Segment::cubic(c1, c2, p3)}, false};
        cases.push_back({__LINE__, "cubic S", path,
                         [=](double t) {
                             const double m = 1 - t;
                             return p0 * (m * m * m) + c1 * (3 * m * m * t) + c2 * (3 * m * t * t) +
                                    p3 * (t * t * t);
                         },
                         0.05});
    }
    for (const double radius : {0.5, 100.0, 40000.0}) {
        EllipticArc arc{{10, 20}, {radius, 0}, {0, radius}, 0.3, 0.3 + 1.5 * kPi};
        cases.push_back({__LINE__, "circular arc", Subpath{arc.at(arc.t0), {Segment::ellipse(arc)}},
                         [=](double t) { return arc.at(arc.t0 + (arc.t1 - arc.t0) * t); }, 2.0});
    }
    {
        EllipticArc arc{{0, 0}, {300, 120}, {-20, 50}, kPi, -kPi};
        cases.push_back({__LINE__, "skewed ellipse backwards",
                         Subpath{arc.at(arc.t0), {Segment::ellipse(arc)}},
                         [=](double t) { return arc.at(arc.t0 + (arc.t1 - arc.t0) * t); }, 0.01});
    }
    return cases;
}

TEST(Flatten, ChordsStayWithinToleranceOfTheTrueCurveBothWays) {
    for (const FlattenCase &c : flattenCases()) {
        SCOPED_TRACE(c.name);
        SCOPED_TRACE(c.line);
        std::vector<Point> points;
        flatten(c.path, c.tolerance, points);
        ASSERT_GE(points.size(), 2u);
        expectNear(points.front(), c.truth(0), 1e-6);
        expectNear(points.back(), c.truth(1), 1e-6);
        const std::vector<Point> curve = sampleCurve(c.truth, 4000);
        EXPECT_LE(worstDistance(curve, points), c.tolerance);
        EXPECT_LE(worstDistance(sampleChords(points, 16), curve), c.tolerance * 1.001 + 1e-6);
        // ...without wasting chords: a tenth of the tolerance would need
        // about three times as many.
        if (points.size() > 8) {
            std::vector<Point> finer;
            flatten(c.path, c.tolerance / 10, finer);
            EXPECT_GT(finer.size(), 2 * points.size() - 2);
        }
    }
}

TEST(Flatten, ClosedPathsReturnToTheirStart) {
    const EllipticArc circle{{0, 0}, {10, 0}, {0, 10}, 0, 2 * kPi};
    Subpath path{circle.at(0), {Segment::ellipse(circle)}, true};
    std::vector<Point> points;
    flatten(path, 0.1, points);
    EXPECT_EQ(points.front(), points.back());
    Subpath square{{0, 0}, {Segment::line({1, 0}), Segment::line({1, 1}), Segment::line({0, 1})}, true};
    points.clear();
    flatten(square, 0.1, points);
    EXPECT_EQ(points, (std::vector<Point>{{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}));
}

TEST(Flatten, ChordAngleMatchesTheSagitta) {
    EXPECT_NEAR(chordAngle(100, 100 * (1 - std::cos(0.05))), 0.1, 1e-12);
    EXPECT_DOUBLE_EQ(chordAngle(1, 2), kPi);
}

TEST(Bounds, FollowTheCurveNotItsControlPoints) {
    struct Case {
        int line;
        Subpath path;
        Bounds expected;
    };
    const EllipticArc quarter{{0, 0}, {10, 0}, {0, 10}, kPi / 4, 3 * kPi / 4};
    const double s = 10 * std::sqrt(0.5);
    const Case cases[] = {
        // a symmetric cubic bulges to 3/4 of its control height
        {__LINE__, {{0, 0}, {Segment::cubic({0, 4}, {10, 4}, {10, 0})}}, {0, 0, 10, 3}},
        {__LINE__, {quarter.at(quarter.t0), {Segment::ellipse(quarter)}}, {-s, s, s, 10}},
        {__LINE__, {{5, 5}, {Segment::line({-1, 7})}}, {-1, 5, 5, 7}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        Bounds bounds;
        addBounds(bounds, c.path);
        EXPECT_NEAR(bounds.minX, c.expected.minX, 1e-9);
        EXPECT_NEAR(bounds.minY, c.expected.minY, 1e-9);
        EXPECT_NEAR(bounds.maxX, c.expected.maxX, 1e-9);
        EXPECT_NEAR(bounds.maxY, c.expected.maxY, 1e-9);
    }
}

TEST(Clip, KeepsExactlyWhatIsInside) {
    const Bounds box{0, 0, 10, 10};
    struct Case {
        int line;
        Polyline in;
        std::vector<Polyline> out;
    };
    const Case cases[] = {
        {__LINE__, {{1, 1}, {9, 9}}, {{{1, 1}, {9, 9}}}},
        {__LINE__, {{-5, 5}, {15, 5}}, {{{0, 5}, {10, 5}}}},
        {__LINE__, {{-5, -5}, {-1, 20}}, {}},
        // out and back in again: two pieces
        {__LINE__, {{5, 5}, {15, 5}, {15, 8}, {5, 8}}, {{{5, 5}, {10, 5}}, {{10, 8}, {5, 8}}}},
        // along an edge
        {__LINE__, {{0, -3}, {0, 4}}, {{{0, 0}, {0, 4}}}},
        // touching a corner only
        {__LINE__, {{-1, 1}, {1, -1}}, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const std::vector<Polyline> pieces = clipPolyline(c.in, box);
        ASSERT_EQ(pieces.size(), c.out.size());
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            ASSERT_EQ(pieces[i].size(), c.out[i].size());
            for (std::size_t k = 0; k < pieces[i].size(); ++k) {
                expectNear(pieces[i][k], c.out[i][k]);
            }
        }
    }
    EXPECT_DOUBLE_EQ(overshoot({{5, 5}, {13, 14}}, box), 5);
    EXPECT_DOUBLE_EQ(overshoot({{5, 5}}, box), 0);
}

} // namespace
} // namespace drv::drawing
