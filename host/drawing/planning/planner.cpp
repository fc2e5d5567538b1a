#include "host/drawing/planning/planner.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "host/drawing/planning/path_joiner.h"
#include "host/drawing/planning/spatial_index.h"

namespace drv::drawing {
namespace {

double gap(UnitPoint a, UnitPoint b) {
    return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

UnitPoint entryOf(const PlotItems &items, const PlanStep &step) {
    switch (step.kind) {
    case PlanStep::Kind::Path:
        return items.paths[step.index].entry();
    case PlanStep::Kind::Fill:
        return items.fills[step.index].rings.front().front();
    default:
        return items.labels[step.index].at;
    }
}

UnitPoint exitOf(const PlotItems &items, const PlanStep &step) {
    return step.kind == PlanStep::Kind::Path ? items.paths[step.index].exit() : entryOf(items, step);
}

int penOf(const PlotItems &items, const PlanStep &step) {
    switch (step.kind) {
    case PlanStep::Kind::Path:
        return items.paths[step.index].pen;
    case PlanStep::Kind::Fill:
        return items.fills[step.index].pen;
    default:
        return items.labels[step.index].pen;
    }
}

// Everything in the order it came: paths, fills and labels each keep their
// own order, and come in the order the drawing listed their kinds.
std::vector<PlanStep> documentOrder(const PlotItems &items) {
    std::vector<PlanStep> steps;
    for (std::size_t i = 0; i < items.fills.size(); ++i) {
        steps.push_back({PlanStep::Kind::Fill, i});
    }
    for (std::size_t i = 0; i < items.paths.size(); ++i) {
        steps.push_back({PlanStep::Kind::Path, i});
    }
    for (std::size_t i = 0; i < items.labels.size(); ++i) {
        steps.push_back({PlanStep::Kind::Label, i});
    }
    return steps;
}

double travelOf(const std::vector<PlotPath> &paths, const std::vector<std::size_t> &order, UnitPoint from) {
    double travel = 0;
    for (const std::size_t i : order) {
        travel += gap(from, paths[i].entry());
        from = paths[i].exit();
    }
    return travel;
}

// Greedy nearest-next over one pen's strokes, starting at `from`. Turns
// the strokes it takes backwards in `paths`; returns the visiting order.
std::vector<std::size_t> nearestNext(std::vector<PlotPath> &paths, UnitPoint from) {
    std::vector<SpatialIndex::Entry> ends;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        ends.push_back({static_cast<double>(paths[i].entry().x), static_cast<double>(paths[i].entry().y), 2 * i});
        if (paths[i].reversible()) {
            ends.push_back({static_cast<double>(paths[i].exit().x), static_cast<double>(paths[i].exit().y), 2 * i + 1});
        }
    }
    SpatialIndex index(std::move(ends));
    std::vector<std::size_t> order;
    order.reserve(paths.size());
    while (!index.empty()) {
        const std::size_t end = index.nearest(from.x, from.y);
        const std::size_t path = end / 2;
        index.remove(2 * path);
        index.remove(2 * path + 1);
        if (end % 2 == 1) {
            reverse(paths[path]);
        }
        order.push_back(path);
        from = paths[path].exit();
    }
    return order;
}

} // namespace

void measure(const PlotItems &items, const std::vector<PlanStep> &steps, double &travel, std::size_t &penChanges) {
    travel = 0;
    penChanges = 0;
    UnitPoint at;
    int pen = 0;
    for (const PlanStep &step : steps) {
        travel += gap(at, entryOf(items, step));
        at = exitOf(items, step);
        const int next = penOf(items, step);
        if (pen != 0 && next != pen) {
            ++penChanges;
        }
        pen = next;
    }
}

JobPlan planJob(PlotItems items, const PlanOptions &options, PlanStats &stats) {
    stats = {};
    std::size_t ignored = 0;
    measure(items, documentOrder(items), stats.travelBeforeUnits, ignored);
    JobPlan plan;
    if (options.keepOrder) {
        plan.steps = documentOrder(items);
        plan.items = std::move(items);
    } else {
        std::map<int, std::vector<PlotPath>> strokes;
        for (PlotPath &path : items.paths) {
            strokes[path.pen].push_back(std::move(path));
        }
        std::map<int, std::vector<std::size_t>> fills;
        std::map<int, std::vector<std::size_t>> labels;
        for (std::size_t i = 0; i < items.fills.size(); ++i) {
            fills[items.fills[i].pen].push_back(i);
        }
        for (std::size_t i = 0; i < items.labels.size(); ++i) {
            labels[items.labels[i].pen].push_back(i);
        }
        std::map<int, bool> pens;
        for (const auto &[pen, unused] : strokes) {
            pens[pen] = true;
        }
        for (const auto &[pen, unused] : fills) {
            pens[pen] = true;
        }
        for (const auto &[pen, unused] : labels) {
            pens[pen] = true;
        }
        plan.items.fills = std::move(items.fills);
        plan.items.labels = std::move(items.labels);
        UnitPoint at;
        for (const auto &[pen, unused] : pens) {
            for (const std::size_t i : fills[pen]) {
                plan.steps.push_back({PlanStep::Kind::Fill, i});
                at = plan.items.fills[i].rings.front().front();
            }
            std::vector<PlotPath> original = std::move(strokes[pen]);
            std::vector<std::size_t> documentOrder(original.size());
            for (std::size_t i = 0; i < original.size(); ++i) {
                documentOrder[i] = i;
            }
            std::vector<PlotPath> joined = joinPaths(original, options.joinTolerance);
            const std::vector<std::size_t> order = nearestNext(joined, at);
            std::vector<PlotPath> *chosen = &joined;
            const std::vector<std::size_t> *chosenOrder = &order;
            if (travelOf(joined, order, at) > travelOf(original, documentOrder, at)) {
                chosen = &original; // the greedy plan lost: keep the drawing's own order
                chosenOrder = &documentOrder;
            }
            for (const std::size_t i : *chosenOrder) {
                plan.steps.push_back({PlanStep::Kind::Path, plan.items.paths.size()});
                plan.items.paths.push_back(std::move((*chosen)[i]));
                at = plan.items.paths.back().exit();
            }
            for (const std::size_t i : labels[pen]) {
                plan.steps.push_back({PlanStep::Kind::Label, i});
                at = plan.items.labels[i].at;
            }
        }
    }
    stats.paths = plan.items.paths.size();
    for (const PlotPath &path : plan.items.paths) {
        stats.penDownUnits += length(path);
    }
    measure(plan.items, plan.steps, stats.travelAfterUnits, stats.penChanges);
    return plan;
}

} // namespace drv::drawing
