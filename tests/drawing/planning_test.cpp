#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "host/drawing/planning/path_joiner.h"
#include "host/drawing/planning/planner.h"

namespace drv::drawing {
namespace {

PlotPath path(std::vector<UnitPoint> points, int pen = 1, bool closed = false) {
    PlotPath p;
    p.points = std::move(points);
    p.pen = pen;
    p.closed = closed;
    return p;
}

// Every chord of every path, without direction, sorted: what the pen draws.
std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> chords(const std::vector<PlotPath> &paths) {
    std::vector<std::pair<std::pair<int, int>, std::pair<int, int>>> out;
    for (const PlotPath &p : paths) {
        for (std::size_t i = 1; i < p.points.size(); ++i) {
            std::pair a{p.points[i - 1].x, p.points[i - 1].y};
            std::pair b{p.points[i].x, p.points[i].y};
            if (b < a) {
                std::swap(a, b);
            }
            if (a != b) {
                out.push_back({a, b});
            }
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(PathJoiner, JoinsEndsThatMeet) {
    struct Case {
        int line;
        std::vector<PlotPath> in;
        std::size_t paths;
        std::vector<UnitPoint> first;
    };
    const Case cases[] = {
        {__LINE__, {path({{0, 0}, {10, 0}}), path({{10, 0}, {20, 0}})}, 1, {{0, 0}, {10, 0}, {20, 0}}},
        // end to end: the second is turned round
        {__LINE__, {path({{0, 0}, {10, 0}}), path({{20, 0}, {10, 0}})}, 1, {{0, 0}, {10, 0}, {20, 0}}},
        // start to start: the chain grows backwards
        {__LINE__, {path({{10, 0}, {20, 0}}), path({{10, 0}, {0, 0}})}, 1, {{0, 0}, {10, 0}, {20, 0}}},
        // within the tolerance both points stay, the gap drawn
        {__LINE__, {path({{0, 0}, {10, 0}}), path({{11, 1}, {20, 0}})}, 1, {{0, 0}, {10, 0}, {11, 1}, {20, 0}}},
        {__LINE__, {path({{0, 0}, {10, 0}}), path({{13, 0}, {20, 0}})}, 2, {{0, 0}, {10, 0}}},
        // closed paths stay apart
        {__LINE__, {path({{0, 0}, {10, 0}}), path({{10, 0}, {10, 10}, {10, 0}}, 1, true)}, 2, {{0, 0}, {10, 0}}},
        // a run of four out of order
        {__LINE__, {path({{20, 0}, {30, 0}}), path({{0, 0}, {10, 0}}), path({{30, 0}, {40, 0}}), path({{10, 0}, {20, 0}})},
         1, {{0, 0}, {10, 0}, {20, 0}, {30, 0}, {40, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const std::vector<PlotPath> out = joinPaths(c.in, 2);
        ASSERT_EQ(out.size(), c.paths);
        std::vector<UnitPoint> first = out[0].points;
        if (first.front().x > first.back().x) {
            std::reverse(first.begin(), first.end());
        }
        EXPECT_EQ(first, c.first);
        const auto joined = chords(out);
        for (const auto &chord : chords(c.in)) {
            EXPECT_TRUE(std::binary_search(joined.begin(), joined.end(), chord));
        }
    }
}

TEST(Planner, NearestNextWithReversal) {
    PlotItems items;
    items.paths = {path({{100, 0}, {200, 0}}), path({{50, 0}, {10, 0}}), path({{300, 0}, {210, 0}})};
    PlanStats stats;
    const JobPlan plan = planJob(items, {}, stats);
    ASSERT_EQ(plan.steps.size(), 3u);
    // from the origin: the nearest end is (10, 0), so the second stroke
    // runs backwards; then (100, 0); then the third, turned round
    EXPECT_EQ(plan.items.paths[plan.steps[0].index].entry(), (UnitPoint{10, 0}));
    EXPECT_EQ(plan.items.paths[plan.steps[1].index].entry(), (UnitPoint{100, 0}));
    EXPECT_EQ(plan.items.paths[plan.steps[2].index].entry(), (UnitPoint{210, 0}));
    EXPECT_DOUBLE_EQ(stats.travelAfterUnits, 10 + 50 + 10);
    EXPECT_DOUBLE_EQ(stats.travelBeforeUnits, 100 + 150 + 290);
    EXPECT_DOUBLE_EQ(stats.penDownUnits, 100 + 40 + 90);
    EXPECT_EQ(stats.paths, 3u);
}

TEST(Planner, PensInTurnEachSelectedOnce) {
    PlotItems items;
    items.paths = {path({{0, 0}, {1, 0}}, 2), path({{5, 0}, {6, 0}}, 1), path({{2, 0}, {3, 0}}, 2)};
    items.labels.push_back({{9, 9}, "A", 3, 1, 0, 1, 0});
    items.fills.push_back({{{{0, 0}, {4, 0}, {4, 4}, {0, 0}}}, 2, 0});
    PlanStats stats;
    const JobPlan plan = planJob(items, {}, stats);
    std::vector<int> pens;
    std::vector<PlanStep::Kind> kinds;
    for (const PlanStep &step : plan.steps) {
        kinds.push_back(step.kind);
        pens.push_back(step.kind == PlanStep::Kind::Path   ? plan.items.paths[step.index].pen
                       : step.kind == PlanStep::Kind::Fill ? plan.items.fills[step.index].pen
                                                           : plan.items.labels[step.index].pen);
    }
    EXPECT_EQ(pens, (std::vector<int>{1, 1, 2, 2}));
    using K = PlanStep::Kind;
    EXPECT_EQ(kinds, (std::vector<K>{K::Path, K::Label, K::Fill, K::Path}));
    EXPECT_EQ(stats.penChanges, 1u);

    PlanOptions keep;
    keep.keepOrder = true;
    const JobPlan kept = planJob(items, keep, stats);
    EXPECT_EQ(kept.steps.size(), 5u);
    EXPECT_EQ(kept.steps[1].kind, K::Path);
    EXPECT_EQ(kept.items.paths[kept.steps[1].index].pen, 2);
    EXPECT_EQ(stats.penChanges, 3u); // 2 (fill), 2, 1, 2, then the label's 1
}

TEST(Planner, KeepsEverySegmentAndNeverLengthensTravel) {
    std::mt19937 random(7);
    for (int round = 0; round < 30; ++round) {
        SCOPED_TRACE(round);
        PlotItems items;
        std::uniform_int_distribution<int> coordinate(0, round % 2 == 0 ? 1000 : 40);
        const int count = 1 + round * 7;
        for (int i = 0; i < count; ++i) {
            std::vector<UnitPoint> points;
            const int n = 2 + i % 3;
            for (int k = 0; k < n; ++k) {
                points.push_back({coordinate(random), coordinate(random)});
            }
            items.paths.push_back(path(points, 1 + i % 2, i % 5 == 0));
        }
        PlanStats stats;
        const JobPlan plan = planJob(items, {}, stats);
        // every chord of the drawing is drawn: the planned set holds the
        // original one (joints within the tolerance may add short ones)
        const auto planned = chords(plan.items.paths);
        for (const auto &chord : chords(items.paths)) {
            EXPECT_TRUE(std::binary_search(planned.begin(), planned.end(), chord));
        }
        // per pen, never more travel than its strokes in document order
        for (const int pen : {1, 2}) {
            PlotItems one;
            for (const PlotPath &p : items.paths) {
                if (p.pen == pen) {
                    one.paths.push_back(p);
                }
            }
            PlanStats single;
            planJob(one, {}, single);
            EXPECT_LE(single.travelAfterUnits, single.travelBeforeUnits + 1e-9);
        }
    }
}

} // namespace
} // namespace drv::drawing
