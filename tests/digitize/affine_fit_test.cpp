// The least-squares fit on synthetic presses: known placements of a sheet
// on the tablet, with noise, come back within the noise; degenerate point
// sets are refused.
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "host/calibration/affine_fit.h"
#include "tests/digitize/synthetic_tablet.h"

namespace {

using namespace drv::host;
using drv::test::inverse;

const std::vector<PlanePoint> kReference = {{0, 0}, {200, 0}, {200, 150}, {0, 150}, {100, 75}};

std::vector<ReferencePair> pressed(const Affine &mmToCounts, const std::vector<PlanePoint> &mm,
                                   double noise, unsigned seed = 3) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> jitter(-noise, noise);
    std::vector<ReferencePair> pairs;
    for (const PlanePoint &p : mm) {
        const PlanePoint c = mmToCounts.apply(p);
        pairs.push_back({p, {c.x + jitter(engine), c.y + jitter(engine)}});
    }
    return pairs;
}

TEST(AffineFit, RecoversKnownPlacementsWithinTheNoise) {
    struct Case {
        int line;
        Affine mmToCounts;
        double noise; // counts
    };
    const Case cases[] = {
        {__LINE__, {40, 0, 1000, 0, 40, 2000}, 0},        // square, no noise
        {__LINE__, {40, 0, 1000, 0, 40, 2000}, 1},        // a count of noise
        {__LINE__, {39.9, -1.4, 500, 1.4, 39.9, 300}, 1}, // turned 2 degrees
        {__LINE__, {20, 0.5, 0, 0, 20.4, 0}, 0.5},        // sheared, scales differ
        {__LINE__, {40, 0, 1000, 0, -40, 9000}, 1},       // y counts downwards
        {__LINE__, {0, 40, 100, 40, 0, 100}, 1},          // axes swapped
        {__LINE__, {1000, 0, 1e6, 0, 1000, 2e6}, 2},      // fine resolution, far off
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line);
        std::string error;
        const auto fit = fitAffine(pressed(c.mmToCounts, kReference, c.noise), error);
        ASSERT_TRUE(fit) << error;
        const Affine truth = inverse(c.mmToCounts);
        const double scale =
            std::sqrt(std::fabs(c.mmToCounts.a * c.mmToCounts.e - c.mmToCounts.b * c.mmToCounts.d));
        // Noise of n counts moves the fit by about n counts anywhere on the sheet.
        const double tolerance = (c.noise + 1e-6) * 1.5 / scale + 1e-9;
        for (const PlanePoint p : {PlanePoint{0, 0}, PlanePoint{200, 150}, PlanePoint{-20, 170}}) {
            const PlanePoint counts = c.mmToCounts.apply(p);
            const PlanePoint a = fit->transform.apply(counts);
            const PlanePoint b = truth.apply(counts);
            EXPECT_NEAR(a.x, b.x, tolerance);
            EXPECT_NEAR(a.y, b.y, tolerance);
        }
        ASSERT_EQ(fit->residuals.size(), kReference.size());
        EXPECT_LE(fit->worst, tolerance);
    }
}

TEST(AffineFit, TheResidualPointsAtTheBadlyPressedPoint) {
    // A grid of nine: enough points that one pressed badly stands out.
    std::vector<PlanePoint> grid;
    for (double y : {0.0, 75.0, 150.0}) {
        for (double x : {0.0, 100.0, 200.0}) {
            grid.push_back({x, y});
        }
    }
    std::vector<ReferencePair> pairs = pressed({40, 0, 1000, 0, 40, 2000}, grid, 0);
    pairs[2].tablet.x += 80; // 2 mm off
    std::string error;
    const auto fit = fitAffine(pairs, error);
    ASSERT_TRUE(fit) << error;
    const auto worst = std::max_element(fit->residuals.begin(), fit->residuals.end());
    EXPECT_EQ(worst - fit->residuals.begin(), 2);
    EXPECT_GT(*worst, 0.5);
}

TEST(AffineFit, ThreePointsFitExactlyWithNoResidual) {
    std::string error;
    const auto fit =
        fitAffine(pressed({40, 1, 10, -2, 39, 20}, {{0, 0}, {100, 0}, {0, 100}}, 3), error);
    ASSERT_TRUE(fit) << error;
    EXPECT_EQ(fit->worst, 0);
    EXPECT_EQ(fit->residuals, std::vector<double>(3, 0.0));
}

TEST(AffineFit, RefusesPointSetsThatFixNoTransform) {
    const Affine m{40, 0, 1000, 0, 40, 2000};
    struct Case {
        int line;
        std::vector<ReferencePair> pairs;
        std::string message;
    };
    auto samePlace = pressed(m, kReference, 0);
    for (ReferencePair &p : samePlace) {
        p.tablet = {5000, 5000};
    }
    auto pressedInLine = pressed(m, kReference, 0);
    for (std::size_t i = 0; i < pressedInLine.size(); ++i) {
        pressedInLine[i].tablet = {1000.0 + 10.0 * static_cast<double>(i),
                                   2000.0 + 20.0 * static_cast<double>(i)};
    }
    const Case cases[] = {
        {__LINE__, {}, "at least 3 reference points; 0 were pressed"},
        {__LINE__, pressed(m, {{0, 0}}, 0), "at least 3 reference points; 1 was pressed"},
        {__LINE__, pressed(m, {{0, 0}, {10, 10}}, 0), "2 were pressed"},
        {__LINE__, pressed(m, {{0, 0}, {100, 0}, {200, 0}}, 0),
         "the reference points lie on one line"},
        // a tenth of a mm across 200 mm along is a line, for a fit
        {__LINE__, pressed(m, {{0, 0}, {100, 0.1}, {200, 0}}, 0),
         "the reference points lie on one line"},
        {__LINE__, samePlace, "the pressed points lie on one line"},
        {__LINE__, pressedInLine, "the pressed points lie on one line"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line);
        std::string error;
        EXPECT_FALSE(fitAffine(c.pairs, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
}

} // namespace
