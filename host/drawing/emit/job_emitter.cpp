#include "host/drawing/emit/job_emitter.h"

#include <cmath>

namespace drv::drawing {
namespace {

using host::PlotCall;

// The PCI speed command carries a second value (p6, sent times ten); the
// host sends what its demo does.
constexpr float kPciSpeedFactor = 0.5f;
// Plotter characters are as wide as two thirds of their height.
constexpr double kCharWidth = 2.0 / 3.0;
constexpr std::int32_t kLabelTerminator = 3; // ETX

class Emitter {
public:
    explicit Emitter(std::vector<PlotCall> &out) : out_(out) {}

    PlotCall &call(std::int32_t op, int line = 0) {
        PlotCall &c = out_.emplace_back();
        c.request.op = op;
        c.pos.line = line;
        return c;
    }

    static void cell(PlotCall &c, int index, std::int32_t value) {
        c.request.param[index].i = value;
        c.givenCells = static_cast<std::uint16_t>(c.givenCells | (1u << index));
    }

    static void real(PlotCall &c, int index, double value) {
        c.request.param[index].f = static_cast<float>(value);
        c.givenCells = static_cast<std::uint16_t>(c.givenCells | (1u << index));
    }

    static void text(PlotCall &c, const std::string &value) {
        c.text.assign(value.begin(), value.end());
        c.text.push_back(0);
    }

    void point(std::int32_t op, UnitPoint p, int line) {
        PlotCall &c = call(op, line);
        cell(c, 0, p.x);
        cell(c, 1, p.y);
    }

    // The pen is lifted before every move between strokes; after a circle
    // or an arc its state is the device's, so it is lifted again.
    void penUp(int line) {
        if (pen_ != Pen::Up) {
            call(OpPenUp, line);
            pen_ = Pen::Up;
        }
    }

    void penDown(int line) {
        call(OpPenDown, line);
        pen_ = Pen::Down;
    }

    void select(int pen) {
        if (pen != selected_) {
            PlotCall &c = call(OpSelectPen);
            cell(c, 0, pen);
            selected_ = pen;
            pen_ = Pen::Unknown;
        }
    }

    void stroke(const PlotPath &path) {
        penUp(path.line);
        if (path.arc) {
            arc(*path.arc, path.line);
            return;
        }
        point(OpPlot, path.points.front(), path.line);
        penDown(path.line);
        // (a dot draws to where it stands, so that the pen surely goes down)
        for (std::size_t i = 1; i < path.points.size(); ++i) {
            point(OpPlot, path.points[i], path.line);
        }
    }

    void arc(const ArcRequest &a, int line) {
        if (a.whole) {
            PlotCall &c = call(OpCircle, line);
            cell(c, 0, a.centre.x);
            cell(c, 1, a.centre.y);
            cell(c, 2, a.radius);
            real(c, 3, a.chordDegrees);
        } else {
            PlotCall &c = call(OpArc, line);
            cell(c, 0, a.centre.x);
            cell(c, 1, a.centre.y);
            cell(c, 2, a.start.x);
            cell(c, 3, a.start.y);
            cell(c, 4, a.end.x);
            cell(c, 5, a.end.y);
            real(c, 7, a.sweepDegrees);
            real(c, 8, a.chordDegrees);
        }
        pen_ = Pen::Unknown;
    }

    void fill(const FillPolygon &fill) {
        penUp(fill.line);
        for (std::size_t r = 0; r < fill.rings.size(); ++r) {
            const std::vector<UnitPoint> &ring = fill.rings[r];
            point(r == 0 ? OpPolygonBegin : OpPolygonNext, ring.front(), fill.line);
            for (std::size_t i = 1; i < ring.size(); ++i) {
                point(OpPlot, ring[i], fill.line);
            }
        }
        call(OpPolygonFill, fill.line);
        pen_ = Pen::Up; // the fill ends with the pen lifted
    }

    void label(const LabelItem &label) {
        const std::int32_t height = std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(label.heightMm * kUnitsPerMm)));
        const std::int32_t width = std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(height * kCharWidth)));
        const Style style{height, width, label.heightMm, static_cast<float>(label.dirX), static_cast<float>(label.dirY)};
        if (!(style == style_)) {
            // Both drivers' sizes: in plotter units for the PCI plotter, in
            // millimetres for HP-GL/2 (whose character width is two thirds
            // of p3).
            PlotCall &c = call(OpTextStyle, label.line);
            cell(c, 0, height);
            cell(c, 1, width);
            real(c, 2, label.heightMm);
            real(c, 3, label.heightMm);
            real(c, 6, label.dirY);
            real(c, 7, label.dirX);
            real(c, 8, 0);
            style_ = style;
        }
        penUp(label.line);
        PlotCall &c = call(OpLabel, label.line);
        cell(c, 0, label.at.x);
        cell(c, 1, label.at.y);
        cell(c, 2, kLabelTerminator);
        text(c, label.text);
        pen_ = Pen::Up; // moved to the label with the pen lifted, and so it stays
    }

private:
    enum class Pen { Unknown, Up, Down };

    struct Style {
        std::int32_t height = 0;
        std::int32_t width = 0;
        double heightMm = 0;
        float dirX = 0;
        float dirY = 0;
        bool operator==(const Style &) const = default;
    };

    std::vector<PlotCall> &out_;
    Pen pen_ = Pen::Unknown;
    int selected_ = -1;
    Style style_;
};

} // namespace

std::vector<PlotCall> emitJob(const JobPlan &plan, const std::vector<PenInfo> &pens, const Placement &placement,
                              const EmitOptions &options) {
    std::vector<PlotCall> calls;
    Emitter emit(calls);
    PlotCall &begin = emit.call(OpBeginJob);
    if (options.peBase64) {
        begin.request.flags |= FlagPeBase64;
    }
    Emitter::cell(begin, 2, placement.sheetWidth);
    Emitter::cell(begin, 3, placement.sheetHeight);
    Emitter::cell(begin, 4, options.pens);
    Emitter::cell(begin, 5, options.framing.bias);
    Emitter::cell(begin, 6, options.framing.radix);
    Emitter::cell(begin, 7, options.framing.syncCount);
    Emitter::cell(begin, 8, options.framing.sync);
    Emitter::cell(begin, 9, options.framing.terminator);
    Emitter::cell(begin, 10, options.framing.checksum);
    Emitter::text(begin, "");
    for (const PenInfo &pen : pens) {
        if (pen.colour) {
            PlotCall &c = emit.call(OpPenColor);
            Emitter::cell(c, 0, pen.number);
            // 8-bit intensities widened so that the high byte is the colour
            Emitter::cell(c, 1, pen.colour->red * 257);
            Emitter::cell(c, 2, pen.colour->green * 257);
            Emitter::cell(c, 3, pen.colour->blue * 257);
        }
        if (pen.widthMm > 0) {
            PlotCall &c = emit.call(OpPenWidth);
            Emitter::cell(c, 0, pen.number);
            Emitter::real(c, 1, pen.widthMm);
        }
        // Velocity in mm/s for HP-GL/2 (sent as cm/s) and the PCI plotter.
        PlotCall &c = emit.call(OpVelocity);
        Emitter::cell(c, 0, pen.number);
        Emitter::cell(c, 1, 1);
        Emitter::real(c, 2, options.speedCmPerS * 10);
        Emitter::cell(c, 5, 1);
        Emitter::real(c, 6, kPciSpeedFactor);
    }
    for (const PlanStep &step : plan.steps) {
        switch (step.kind) {
        case PlanStep::Kind::Path:
            emit.select(plan.items.paths[step.index].pen);
            emit.stroke(plan.items.paths[step.index]);
            break;
        case PlanStep::Kind::Fill:
            emit.select(plan.items.fills[step.index].pen);
            emit.fill(plan.items.fills[step.index]);
            break;
        case PlanStep::Kind::Label:
            emit.select(plan.items.labels[step.index].pen);
            emit.label(plan.items.labels[step.index]);
            break;
        }
    }
    emit.penUp(0);
    emit.select(0); // put the pen away
    PlotCall &end = emit.call(OpEndJob);
    Emitter::cell(end, 0, 0);
    Emitter::cell(end, 1, 1);
    Emitter::text(end, "");
    return calls;
}

} // namespace drv::drawing
