// Where a drawing lands on the sheet, in plotter units of 0.025 mm.
//
// By default the drawing keeps its size: an SVG's top-left corner sits at
// the sheet's top-left corner (its y axis, pointing down, is turned up), a
// DXF's origin at the sheet's origin. Then, in this order: --scale about
// that corner, --rotate (counter-clockwise) keeping the page's corner in
// place, --fit into the sheet less its margins, centred, and --offset.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/drawing/geometry/affine.h"
#include "host/drawing/geometry/bounds.h"
#include "host/drawing/model/drawing.h"
#include "host/drawing/placement/page_size.h"

namespace drv::drawing {

constexpr double kUnitsPerMm = 40; // plotter units are 0.025 mm

enum class Orientation { AsGiven, Landscape, Portrait };

struct PlacementOptions {
    std::optional<PageSize> page; // none: the drawing's own page
    Orientation orientation = Orientation::AsGiven;
    bool fit = false;
    double marginMm = 10;
    double scale = 1;
    int rotateDegrees = 0; // 0, 90, 180 or 270
    Point offsetMm;
};

struct Placement {
    Affine toUnits;          // drawing millimetres to plotter units
    std::int32_t sheetWidth = 0;  // plotter units
    std::int32_t sheetHeight = 0;
};

// The extent of everything the drawing puts on paper, in its own frame.
Bounds drawingBounds(const Drawing &drawing);

// False with the reason when the options do not fit the drawing (an empty
// drawing, a margin wider than the sheet...).
bool place(const Drawing &drawing, const PlacementOptions &options, Placement &out, std::string &error);

} // namespace drv::drawing
