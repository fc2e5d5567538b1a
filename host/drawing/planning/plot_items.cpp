#include "host/drawing/planning/plot_items.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace drv::drawing {

void reverse(PlotPath &path) {
    std::reverse(path.points.begin(), path.points.end());
    if (path.arc) {
        std::swap(path.arc->start, path.arc->end);
        path.arc->sweepDegrees = -path.arc->sweepDegrees;
    }
}

double length(const PlotPath &path) {
    double total = 0;
    for (std::size_t i = 1; i < path.points.size(); ++i) {
        total += std::hypot(static_cast<double>(path.points[i].x) - path.points[i - 1].x,
                            static_cast<double>(path.points[i].y) - path.points[i - 1].y);
    }
    return total;
}

} // namespace drv::drawing
