// Open polylines of one pen whose ends meet (within a tolerance) joined
// into longer ones, reversing pieces where their ends meet the wrong way
// round, so that the pen stays down across the joint.
#pragma once

#include <vector>

#include "host/drawing/planning/plot_items.h"

namespace drv::drawing {

// Joins what can be joined among `paths` (all of one pen); closed paths and
// arc requests are left as they are. Every point of every path is kept.
std::vector<PlotPath> joinPaths(std::vector<PlotPath> paths, double tolerance);

} // namespace drv::drawing
