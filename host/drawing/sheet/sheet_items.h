// The placed drawing as what the pen does on the sheet: every curve cut
// into chords within the tolerance (or kept as a circle or arc request
// where the plotter draws those itself), points rounded to plotter units,
// geometry beyond the sheet measured and, with --clip, cut at its edge.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/drawing/model/drawing.h"
#include "host/drawing/pens/pen_assignment.h"
#include "host/drawing/placement/placement.h"
#include "host/drawing/planning/plot_items.h"

namespace drv::drawing {

// What the plotter draws by itself.
struct PlotterAbilities {
    bool circles = false;
    bool arcs = false;
    bool fills = false;
    // Where a circle request starts drawing, in degrees round its centre.
    double circleStartDegrees = 0;
    // Largest coordinate magnitude the plotter's encoding carries.
    std::int32_t coordinateLimit = (1 << 18) - 1;
    // Longest label one request may carry.
    std::size_t maxLabel = 77;
    // BeginJob's FlagPeBase64 chooses base 64 polyline-encoded numbers.
    bool peBaseChoice = false;
};

struct SheetOptions {
    double toleranceMm = 0.05;
    bool clip = false;
    bool fill = false;
    bool useArcRequests = true;
};

bool sheetItems(const Drawing &drawing, const PenAssignment &pens, const Placement &placement,
                const SheetOptions &options, const PlotterAbilities &abilities, PlotItems &out,
                std::vector<std::string> &warnings, std::string &error);

} // namespace drv::drawing
