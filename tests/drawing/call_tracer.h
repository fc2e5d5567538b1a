// The pen's strokes as the plot requests of a job describe them, for
// plotters whose bytes the tests do not decode: moves and draws by PenUp,
// PenDown and Plot; a Circle drawn round its centre from where the PCI
// plotter starts it; an Arc from its start point through its sweep.
#pragma once

#include <vector>

#include "host/drawing/geometry/point.h"
#include "host/job/plot_call.h"
#include "tests/drawing/curve_sampling.h"

namespace drv::drawing::testing {

inline std::vector<std::vector<Point>> traceCalls(const std::vector<host::PlotCall> &calls) {
    std::vector<std::vector<Point>> strokes;
    std::vector<Point> current;
    Point at;
    bool down = false;
    const auto finish = [&] {
        if (current.size() >= 2) {
            strokes.push_back(current);
        }
        current.clear();
    };
    const auto arc = [&](Point centre, Point from, double sweepDegrees) {
        finish();
        traceArc(centre, from, sweepDegrees, current);
        finish();
    };
    for (const host::PlotCall &call : calls) {
        const auto &p = call.request.param;
        switch (call.request.op) {
        case OpPenUp:
            down = false;
            finish();
            break;
        case OpPenDown:
            down = true;
            break;
        case OpPlot: {
            const Point to{static_cast<double>(p[0].i), static_cast<double>(p[1].i)};
            if (down) {
                if (current.empty()) {
                    current.push_back(at);
                }
                current.push_back(to);
            }
            at = to;
            break;
        }
        case OpCircle: {
            const Point centre{static_cast<double>(p[0].i), static_cast<double>(p[1].i)};
            arc(centre, centre - Point{static_cast<double>(p[2].i), 0}, 360);
            at = centre - Point{static_cast<double>(p[2].i), 0};
            down = true; // the PCI circle leaves the pen down
            break;
        }
        case OpArc: {
            const Point centre{static_cast<double>(p[0].i), static_cast<double>(p[1].i)};
            arc(centre, {static_cast<double>(p[2].i), static_cast<double>(p[3].i)}, p[7].f);
            at = {static_cast<double>(p[4].i), static_cast<double>(p[5].i)};
            down = false;
            break;
        }
        case OpSelectPen:
        case OpLabel:
        case OpPolygonBegin:
        case OpPolygonNext:
        case OpPolygonFill:
            finish();
            down = false;
            break;
        default:
            break;
        }
    }
    finish();
    return strokes;
}

} // namespace drv::drawing::testing
