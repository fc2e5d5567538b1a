// Pen travel planning of many short strokes, as generative drawings hold
// them: joining, nearest-next ordering over the k-d tree, and the costs.
//   build/release/bin/bench_planning
#include <benchmark/benchmark.h>

#include <random>

#include "host/drawing/planning/planner.h"

namespace {

using drv::drawing::PlotItems;
using drv::drawing::PlotPath;
using drv::drawing::UnitPoint;

// `count` strokes of two to four points scattered over an A3 sheet; every
// tenth is closed, a few meet end to end.
PlotItems scattered(std::size_t count) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> x(0, 16800);
    std::uniform_int_distribution<int> y(0, 11880);
    std::uniform_int_distribution<int> step(-400, 400);
    PlotItems items;
    items.paths.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        PlotPath path;
        UnitPoint at = i % 7 == 0 && i > 0 ? items.paths.back().exit() : UnitPoint{x(random), y(random)};
        path.points.push_back(at);
        for (std::size_t k = 0; k < 1 + i % 3; ++k) {
            at = {at.x + step(random), at.y + step(random)};
            path.points.push_back(at);
        }
        path.closed = i % 10 == 0;
        if (path.closed) {
            path.points.push_back(path.points.front());
        }
        path.pen = 1 + static_cast<int>(i % 4);
        items.paths.push_back(std::move(path));
    }
    return items;
}

void planScattered(benchmark::State &state) {
    const PlotItems items = scattered(static_cast<std::size_t>(state.range(0)));
    drv::drawing::PlanStats stats;
    for (auto _ : state) {
        drv::drawing::JobPlan plan = drv::drawing::planJob(items, {}, stats);
        benchmark::DoNotOptimize(plan.steps.data());
    }
    state.counters["travel_before_m"] = stats.travelBeforeUnits / 40000;
    state.counters["travel_after_m"] = stats.travelAfterUnits / 40000;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(planScattered)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
