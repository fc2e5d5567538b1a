// A small reader of the HP-GL/2 vector output the suite's driver writes:
// the pen's strokes as polylines in plotter units, with polyline-encoded
// moves and draws, circles (CI) and arcs (AA) traced densely. Polygon
// definitions (PM) draw nothing; labels (LB) are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/drawing/geometry/point.h"

namespace drv::drawing::testing {

using Stroke = std::vector<Point>;

struct HpglPlot {
    std::vector<Stroke> strokes;
    std::vector<std::string> labels;
    std::string error; // empty when the bytes read as expected
};

HpglPlot readHpgl(const std::vector<std::uint8_t> &bytes);

} // namespace drv::drawing::testing
