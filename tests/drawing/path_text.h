// Subpaths written out as short text ("M0,0 L10,0 C1,2 3,4 5,6 Z"), so
// that tables of expected geometry read like path data. Arcs show their
// centre and sweep in degrees: "A(5,0 180)"; numbers are rounded to 1e-6.
#pragma once

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "host/drawing/geometry/path.h"
#include "host/drawing/model/drawing.h"

namespace drv::drawing::testing {

inline std::string number(double v) {
    double r = std::round(v * 1e6) / 1e6;
    if (r == 0) {
        r = 0; // no "-0"
    }
    std::ostringstream out;
    out << r;
    return out.str();
}

inline std::string pointText(Point p) {
    return number(p.x) + "," + number(p.y);
}

inline std::string pathText(const std::vector<Subpath> &paths) {
    std::string out;
    for (const Subpath &path : paths) {
        if (!out.empty()) {
            out += ' ';
        }
        out += "M" + pointText(path.start);
        for (const Segment &s : path.segments) {
            switch (s.kind) {
            case SegmentKind::Line:
                out += " L" + pointText(s.to);
                break;
            case SegmentKind::Cubic:
                out += " C" + pointText(s.c1) + " " + pointText(s.c2) + " " + pointText(s.to);
                break;
            case SegmentKind::Arc:
                out += " A(" + pointText(s.arc.centre) + " " +
                       number((s.arc.t1 - s.arc.t0) * 180 / 3.14159265358979323846) + ")" +
                       pointText(s.to);
                break;
            }
        }
        if (path.closed) {
            out += " Z";
        }
    }
    return out;
}

// Every shape of a drawing, " | " between shapes.
inline std::string shapesText(const Drawing &drawing) {
    std::string out;
    for (const Shape &shape : drawing.shapes) {
        out += (out.empty() ? "" : " | ") + pathText(shape.subpaths);
    }
    return out;
}

} // namespace drv::drawing::testing
