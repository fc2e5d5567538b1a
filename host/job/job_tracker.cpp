#include "host/job/job_tracker.h"

#include <cmath>
#include <numbers>

#include "host/job/plot_ops.h"

namespace drv::host {
namespace {

double distance(double x0, double y0, double x1, double y1) {
    return std::hypot(x1 - x0, y1 - y0);
}

} // namespace

PenTravel JobTracker::apply(const std::vector<PlotCall> &job, std::size_t index) {
    job_ = &job;
    const PlotRequest &r = job[index].request;
    const OpInfo *op = findOp(r.op);
    // A request the driver ignores changes nothing on the device.
    if (op == nullptr || !handles(traits_, *op)) {
        return {};
    }
    const auto cell = [&r](int i) { return static_cast<double>(r.param[i].i); };
    switch (r.op) {
    case OpBeginJob:
        beginJob(index);
        return {};
    case OpEndJob:
        jobBegin_.reset();
        image_.reset();
        polygon_.reset();
        penDown_ = false;
        return {};
    case OpSelectPen:
        penSelect_ = index;
        penDown_ = false;
        return {};
    case OpPenWidth:
        pens_[r.param[0].i].width = index;
        return {};
    case OpPenColor:
        pens_[r.param[0].i].colour = index;
        return {};
    case OpVelocity:
        pens_[r.param[0].i].velocity = index;
        return {};
    case OpPenUp:
    case OpPenDown:
        penDown_ = r.op == OpPenDown;
        return {};
    case OpPlot:
        return moveTo(cell(0), cell(1));
    case OpCircle: {
        // Moved to with the pen up, then drawn whole.
        const double radius = std::abs(cell(2));
        penDown_ = false;
        PenTravel travel = moveTo(cell(0) - (traits_.pciGeometry ? radius : 0), cell(1));
        travel.drawn = 2 * std::numbers::pi * radius;
        penDown_ = traits_.pciGeometry; // that driver lowers the pen to draw it
        return travel;
    }
    case OpArc:
        return arc(r);
    case OpTextStyle:
        textStyle_ = index;
        return {};
    case OpFont:
        font_ = index;
        return {};
    case OpFillType:
        fillType_ = index;
        return {};
    case OpLabel: {
        const bool down = penDown_;
        penDown_ = false;
        const PenTravel travel = moveTo(cell(0), cell(1));
        // The PCI driver keeps no pen state of its own: the pen stays as it was.
        penDown_ = traits_.pciGeometry && down;
        return travel;
    }
    case OpPolygonBegin:
    case OpPolygonNext: {
        if (r.op == OpPolygonBegin) {
            polygon_ = index;
        }
        penDown_ = false;
        moveTo(cell(0), cell(1));
        penDown_ = true; // tracing the outline, which the fill draws
        return {};
    }
    case OpPolygonFill:
        polygon_.reset();
        penDown_ = false;
        return {};
    case OpRasterBegin:
        image_ = index;
        penDown_ = false;
        moveTo(cell(0), cell(1));
        return {};
    case OpRasterEnd:
        image_.reset();
        return {};
    default:
        return {};
    }
}

void JobTracker::beginJob(std::size_t index) {
    jobBegin_ = index;
    image_.reset();
    polygon_.reset();
    penSelect_.reset();
    penDown_ = false;
    placed_ = false; // wherever the device parked it
    x_ = 0;
    y_ = 0;
    pens_.clear();
    fillType_.reset();
    // The label style and font stay in the driver's state block and on
    // the device from one job to the next.
}

PenTravel JobTracker::moveTo(double x, double y) {
    PenTravel travel;
    const double length = placed_ ? distance(x_, y_, x, y) : 0;
    // A polygon's outline is traced, not drawn: its fill is the drawing.
    if (!polygon_) {
        (penDown_ ? travel.drawn : travel.moved) = length;
    }
    x_ = x;
    y_ = y;
    placed_ = true;
    return travel;
}

PenTravel JobTracker::arc(const PlotRequest &r) {
    const auto cell = [&r](int i) { return static_cast<double>(r.param[i].i); };
    const double cx = cell(0);
    const double cy = cell(1);
    const double sx = cell(2);
    const double sy = cell(3);
    const double radius = distance(cx, cy, sx, sy);
    penDown_ = false;
    PenTravel travel = moveTo(sx, sy);
    double sweep = 0; // radians, counterclockwise
    if (traits_.pciGeometry) {
        // By its end point, counterclockwise from the start.
        sweep = std::atan2(cell(5) - cy, cell(4) - cx) - std::atan2(sy - cy, sx - cx);
        if (sweep <= 0) {
            sweep += 2 * std::numbers::pi;
        }
        x_ = cell(4);
        y_ = cell(5);
    } else {
        sweep = static_cast<double>(r.param[7].f) * std::numbers::pi / 180;
        const double start = std::atan2(sy - cy, sx - cx);
        x_ = cx + radius * std::cos(start + sweep);
        y_ = cy + radius * std::sin(start + sweep);
    }
    travel.drawn = radius * std::abs(sweep);
    return travel;
}

std::optional<double> JobTracker::speed(std::int32_t pen) const {
    const auto found = pens_.find(pen);
    if (job_ == nullptr || found == pens_.end() || !found->second.velocity) {
        return std::nullopt;
    }
    const PlotRequest &r = (*job_)[*found->second.velocity].request;
    // The PCI plotter is sent the speed only with its second switch on too.
    const bool second = !traits_.pciGeometry || r.param[5].i != 0;
    if (r.param[1].i == 0 || !second || !(r.param[2].f > 0)) {
        return std::nullopt;
    }
    return static_cast<double>(r.param[2].f);
}

} // namespace drv::host
