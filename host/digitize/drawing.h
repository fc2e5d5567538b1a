// A digitized drawing: polylines of points in the drawing's units (mm on
// a calibrated tablet, tablet counts otherwise).
#pragma once

#include <vector>

#include "host/calibration/affine_fit.h"

namespace drv::host {

struct Polyline {
    std::vector<PlanePoint> points;
    bool closed = false; // the last point joins the first
    bool operator==(const Polyline &) const = default;
};

struct Drawing {
    std::vector<Polyline> polylines;
    bool millimetres = false; // false: tablet counts

    struct Box {
        PlanePoint low;
        PlanePoint high;
    };
    // The smallest box holding every point; {0,0}-{0,0} for no point.
    Box bounds() const;
    std::size_t vertices() const;
};

} // namespace drv::host
