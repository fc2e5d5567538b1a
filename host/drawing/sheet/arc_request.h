// A circle or circular arc the plotter draws itself: one Circle or Arc
// request instead of its chords, when rounding the centre, the radius and
// the ends to plotter units keeps the device's curve as close to the true
// one as chords within the tolerance would be (and one unit more).
#pragma once

#include <optional>

#include "host/drawing/geometry/path.h"
#include "host/drawing/planning/plot_items.h"
#include "host/drawing/sheet/sheet_items.h"

namespace drv::drawing {

// `path` in plotter units. Nothing when it is not a single circular arc,
// the plotter does not draw that kind, or the rounding would cost too much.
// The stroke's chords (for planning) start where the device starts.
std::optional<PlotPath> arcRequestPath(const Subpath &path, double toleranceUnits, const PlotterAbilities &abilities);

} // namespace drv::drawing
