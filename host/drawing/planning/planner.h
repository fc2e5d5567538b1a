// The order the pen visits the items of a job, and what it costs.
//
// Planned (the default): pens in ascending number, each selected once; per
// pen, fills first (the outline goes over them), then the strokes, joined
// where their ends meet and ordered greedily by the nearest next start,
// reversing open strokes whose far end is nearer; then the labels. A
// pen's plan is never allowed more pen-up travel than its strokes in
// document order would take. --keep-order visits everything in document
// order, changing pens as the items do.
#pragma once

#include <cstddef>
#include <vector>

#include "host/drawing/planning/plot_items.h"

namespace drv::drawing {

struct PlanOptions {
    bool keepOrder = false;
    double joinTolerance = 2; // plotter units
};

// One visit of the pen: the index into PlotItems.paths, .fills or .labels.
struct PlanStep {
    enum class Kind { Path, Fill, Label } kind = Kind::Path;
    std::size_t index = 0;
};

struct JobPlan {
    PlotItems items; // paths joined and turned as planned
    std::vector<PlanStep> steps;
};

struct PlanStats {
    std::size_t paths = 0;
    double penDownUnits = 0;
    double travelBeforeUnits = 0; // document order, from the origin
    double travelAfterUnits = 0;  // as planned
    std::size_t penChanges = 0;   // pen selections after the first
};

JobPlan planJob(PlotItems items, const PlanOptions &options, PlanStats &stats);

// Pen-up travel and pen changes of visiting `steps` in order, from (0, 0).
void measure(const PlotItems &items, const std::vector<PlanStep> &steps, double &travel, std::size_t &penChanges);

} // namespace drv::drawing
