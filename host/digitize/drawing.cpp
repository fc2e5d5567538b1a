#include "host/digitize/drawing.h"

#include <algorithm>

namespace drv::host {

Drawing::Box Drawing::bounds() const {
    Box box;
    bool first = true;
    for (const Polyline &line : polylines) {
        for (const PlanePoint &p : line.points) {
            if (first) {
                box = {p, p};
                first = false;
            }
            box.low = {std::min(box.low.x, p.x), std::min(box.low.y, p.y)};
            box.high = {std::max(box.high.x, p.x), std::max(box.high.y, p.y)};
        }
    }
    return box;
}

std::size_t Drawing::vertices() const {
    std::size_t count = 0;
    for (const Polyline &line : polylines) {
        count += line.points.size();
    }
    return count;
}

} // namespace drv::host
