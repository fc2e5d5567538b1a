// Axis-aligned boxes, and the exact extent of curved paths (not of their
// control points), so that --fit and the sheet size follow the drawing.
#pragma once

#include <limits>

#include "host/drawing/geometry/path.h"

namespace drv::drawing {

struct Bounds {
    double minX = std::numeric_limits<double>::infinity();
    double minY = std::numeric_limits<double>::infinity();
    double maxX = -std::numeric_limits<double>::infinity();
    double maxY = -std::numeric_limits<double>::infinity();

    bool empty() const { return minX > maxX || minY > maxY; }
    double width() const { return empty() ? 0 : maxX - minX; }
    double height() const { return empty() ? 0 : maxY - minY; }
    void add(Point p);
    void add(const Bounds &other);
};

void addBounds(Bounds &bounds, const Subpath &path);

} // namespace drv::drawing
