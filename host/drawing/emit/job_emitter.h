// A planned drawing as the plot requests of one job:
//
//   BeginJob with the sheet size, the pen count and the PCI framing;
//   per pen used: PenColor, PenWidth (when a stroke gave one), Velocity;
//   per pen, selected once when planned: fills (PolygonBegin, Plot...,
//   PolygonNext per further ring, PolygonFill), strokes (PenUp, Plot to the
//   start, PenDown, Plot...; or Circle / Arc), labels (TextStyle when the
//   size or direction changes, Label);
//   SelectPen 0 to put the pen away, EndJob.
#pragma once

#include <vector>

#include "host/drawing/emit/plotter_abilities.h"
#include "host/drawing/pens/pen_assignment.h"
#include "host/drawing/placement/placement.h"
#include "host/drawing/planning/planner.h"
#include "host/job/plot_call.h"

namespace drv::drawing {

struct EmitOptions {
    int pens = 8;              // BeginJob's pen count
    double speedCmPerS = 10;   // sent as Velocity for every pen
    RecordFraming framing;
    bool peBase64 = false;     // FlagPeBase64 on BeginJob
};

std::vector<host::PlotCall> emitJob(const JobPlan &plan, const std::vector<PenInfo> &pens,
                                    const Placement &placement, const EmitOptions &options);

} // namespace drv::drawing
