#include "host/drawing/dxf/dxf_adapter.h"

#include <cmath>
#include <numbers>

#include "host/drawing/dxf/group_filter.h"
#include "host/drawing/dxf/mtext.h"

namespace drv::drawing::dxf {
namespace {

// Plotter characters are as wide as two thirds of their height.
constexpr double kCharWidth = 2.0 / 3.0;
// MTEXT lines sit 5/3 of the text height apart at a spacing factor of 1.
constexpr double kLineSpacing = 5.0 / 3.0;

bool finite(std::initializer_list<double> values) {
    for (const double v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

// Catmull-Rom through fit points, as cubics: a spline given only by the
// points it passes through.
Subpath throughPoints(const std::vector<Point> &p) {
    Subpath path{p.front(), {}, false};
    for (std::size_t i = 0; i + 1 < p.size(); ++i) {
        const Point before = i == 0 ? p[i] : p[i - 1];
        const Point after = i + 2 < p.size() ? p[i + 2] : p[i + 1];
        path.segments.push_back(Segment::cubic(p[i] + (p[i + 1] - before) * (1.0 / 6),
                                               p[i + 1] - (after - p[i]) * (1.0 / 6), p[i + 1]));
    }
    return path;
}

} // namespace

void DxfAdapter::addComment(const std::string &comment) {
    if (comment.rfind(kLineComment, 0) == 0) {
        // Each entity is preceded by its line; the library adds an entity
        // when the next one begins, after that one's comment.
        line_ = nextLine_;
        nextLine_ = std::atoi(comment.c_str() + kLineComment.size());
    }
}

void DxfAdapter::fail(int line, std::string message) {
    if (!error_) {
        error_ = SourceError{line, std::move(message)};
    }
}

void DxfAdapter::setVariableInt(const std::string &key, int value, int) {
    if (key == "$INSUNITS") {
        document_.units = value;
    }
}

void DxfAdapter::addLayer(const DL_LayerData &data) {
    const DL_Attributes current = getAttributes();
    DxfLayer layer;
    const int colour = current.getColor();
    // A negative colour number marks a layer that is switched off.
    layer.colour = colour == 0 || colour == kByLayer ? 7 : std::abs(colour);
    layer.trueColour = current.getColor24();
    layer.hidden = colour < 0 || data.off || (data.flags & 1) != 0;
    document_.layers[data.name] = layer;
}

void DxfAdapter::addBlock(const DL_BlockData &data) {
    DxfBlock &block = document_.blocks[data.name];
    block = DxfBlock{{data.bpx, data.bpy}, {}, line_};
    block_ = &block;
}

void DxfAdapter::endBlock() {
    block_ = nullptr;
}

bool DxfAdapter::accept() {
    if (block_ == nullptr && getAttributes().isInPaperSpace()) {
        ++document_.paperSpaceEntities;
        return false;
    }
    return true;
}

DxfStyle DxfAdapter::style() {
    const DL_Attributes current = getAttributes();
    return {current.getLayer().empty() ? "0" : current.getLayer(), current.getColor(),
            current.getColor24()};
}

void DxfAdapter::add(DxfItem item) {
    (block_ != nullptr ? block_->items : document_.model.items).push_back(std::move(item));
}

void DxfAdapter::addShape(Subpath path) {
    add(DxfShape{{std::move(path)}, style(), line_});
}

void DxfAdapter::addPoint(const DL_PointData &data) {
    if (accept() && finite({data.x, data.y})) {
        // A dot: the pen goes down once where the point is.
        addShape(Subpath{{data.x, data.y}, {Segment::line({data.x, data.y})}, false});
    }
}

void DxfAdapter::addLine(const DL_LineData &data) {
    if (accept()) {
        addShape(Subpath{{data.x1, data.y1}, {Segment::line({data.x2, data.y2})}, false});
    }
}

void DxfAdapter::addArc(const DL_ArcData &data) {
    if (accept() && data.radius > 0) {
        addShape(arcPath({data.cx, data.cy}, data.radius, data.angle1, data.angle2));
    }
}

void DxfAdapter::addCircle(const DL_CircleData &data) {
    if (accept() && data.radius > 0) {
        addShape(circlePath({data.cx, data.cy}, data.radius));
    }
}

void DxfAdapter::addEllipse(const DL_EllipseData &data) {
    if (!accept()) {
        return;
    }
    if (!(data.ratio > 0 && data.ratio <= 1) || (data.mx == 0 && data.my == 0)) {
        fail(line_, "ELLIPSE needs a major axis and a ratio (group 40) in (0, 1]");
        return;
    }
    addShape(ellipsePath({data.cx, data.cy}, {data.mx, data.my}, data.ratio, data.angle1, data.angle2));
}

void DxfAdapter::addPolyline(const DL_PolylineData &data) {
    pending_ = Pending::Polyline;
    pendingLine_ = line_;
    pendingClosed_ = (data.flags & 1) != 0;
    vertices_.clear();
    if ((data.flags & (16 | 64)) != 0) {
        pending_ = Pending::None; // a 3D mesh or a polyface: not a line drawing
        document_.warnings.push_back("line " + std::to_string(line_) +
                                     ": a POLYLINE mesh or polyface is not plotted");
    }
}

void DxfAdapter::addVertex(const DL_VertexData &data) {
    if (pending_ == Pending::Polyline && finite({data.x, data.y, data.bulge})) {
        vertices_.push_back({{data.x, data.y}, data.bulge});
    }
}

void DxfAdapter::addSpline(const DL_SplineData &data) {
    pending_ = Pending::Spline;
    pendingLine_ = line_;
    pendingClosed_ = (data.flags & 1) != 0;
    spline_ = BSpline{static_cast<int>(data.degree), {}, {}, {}};
    fitPoints_.clear();
}

void DxfAdapter::addControlPoint(const DL_ControlPointData &data) {
    spline_.control.push_back({data.x, data.y});
    spline_.weights.push_back(data.w);
}

void DxfAdapter::addFitPoint(const DL_FitPointData &data) {
    fitPoints_.push_back({data.x, data.y});
}

void DxfAdapter::addKnot(const DL_KnotData &data) {
    spline_.knots.push_back(data.k);
}

void DxfAdapter::finishSpline() {
    const int saved = line_;
    line_ = pendingLine_;
    if (spline_.control.empty() && fitPoints_.size() >= 2) {
        addShape(throughPoints(fitPoints_));
    } else if (!spline_.control.empty()) {
        Subpath path;
        std::string error;
        if (!splineSegments(spline_, tolerance_, path, error)) {
            fail(pendingLine_, "SPLINE: " + error);
        } else {
            addShape(std::move(path));
        }
    }
    line_ = saved;
}

void DxfAdapter::endEntity() {
    if (pending_ == Pending::Polyline && !vertices_.empty()) {
        const int saved = line_;
        line_ = pendingLine_;
        if (accept()) {
            addShape(bulgePolyline(vertices_, pendingClosed_));
        }
        line_ = saved;
    } else if (pending_ == Pending::Spline && accept()) {
        finishSpline();
    }
    pending_ = Pending::None;
}

void DxfAdapter::addInsert(const DL_InsertData &data) {
    if (!accept()) {
        return;
    }
    if (!finite({data.ipx, data.ipy, data.sx, data.sy, data.angle, data.colSp, data.rowSp})) {
        fail(line_, "INSERT with a value that is not a number");
        return;
    }
    add(DxfInsert{data.name, {data.ipx, data.ipy}, data.sx, data.sy, data.angle, std::max(1, data.cols),
                  std::max(1, data.rows), data.colSp, data.rowSp, style(), line_});
}

void DxfAdapter::addLabel(const std::string &text, Point anchor, double height, double angle, int line) {
    const Point direction{std::cos(angle), std::sin(angle)};
    const Point up{-direction.y, direction.x};
    add(DxfText{text, anchor, direction * height, up * height, style(), line});
}

void DxfAdapter::addText(const DL_TextData &data) {
    if (!accept() || !(data.height > 0) || !finite({data.ipx, data.ipy, data.angle})) {
        return;
    }
    const std::string text = plainText(data.text);
    const double width = static_cast<double>(text.size()) * data.height * kCharWidth *
                         (data.xScaleFactor > 0 ? data.xScaleFactor : 1);
    // Justified text is placed by its alignment point: left, centre or
    // right (4: middle), and baseline, bottom, middle or top.
    Point anchor{data.ipx, data.ipy};
    double shiftX = 0;
    double shiftY = 0;
    // (a missing alignment point reads as NaN: the insertion point serves)
    if ((data.hJustification != 0 || data.vJustification != 0) && finite({data.apx, data.apy})) {
        anchor = {data.apx, data.apy};
        shiftX = data.hJustification == 1 || data.hJustification == 4 ? -width / 2
                 : data.hJustification == 2                            ? -width
                                                                       : 0;
        shiftY = data.vJustification == 2 || data.hJustification == 4 ? -data.height / 2
                 : data.vJustification == 3                            ? -data.height
                                                                       : 0;
    }
    const Point along{std::cos(data.angle), std::sin(data.angle)};
    const Point up{-along.y, along.x};
    addLabel(text, anchor + along * shiftX + up * shiftY, data.height, data.angle, line_);
}

void DxfAdapter::addMTextChunk(const std::string &text) {
    mtext_ += text;
}

void DxfAdapter::addMText(const DL_MTextData &data) {
    const std::string whole = mtext_ + data.text;
    mtext_.clear();
    if (!accept() || !(data.height > 0) || !finite({data.ipx, data.ipy, data.angle, data.dirx, data.diry})) {
        return;
    }
    const double angle = data.dirx != 0 || data.diry != 0 ? std::atan2(data.diry, data.dirx) : data.angle;
    const Point along{std::cos(angle), std::sin(angle)};
    const Point up{-along.y, along.x};
    const std::vector<std::string> lines = mtextLines(whole);
    const double spacing = data.height * kLineSpacing * (data.lineSpacingFactor > 0 ? data.lineSpacingFactor : 1);
    // The attachment point (1..9: top, middle, bottom rows of left, centre,
    // right) says which corner of the text block sits at the insertion
    // point.
    const int attach = data.attachmentPoint >= 1 && data.attachmentPoint <= 9 ? data.attachmentPoint : 1;
    const double blockHeight = data.height + spacing * static_cast<double>(lines.size() - 1);
    const int row = (attach - 1) / 3;
    const int column = (attach - 1) % 3;
    const double top = row == 0 ? 0 : row == 1 ? blockHeight / 2 : blockHeight;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].empty()) {
            continue;
        }
        const double width = static_cast<double>(lines[i].size()) * data.height * kCharWidth;
        const double x = column == 0 ? 0 : column == 1 ? -width / 2 : -width;
        const double y = top - data.height - spacing * static_cast<double>(i);
        addLabel(lines[i], Point{data.ipx, data.ipy} + along * x + up * y, data.height, angle, line_);
    }
}

} // namespace drv::drawing::dxf
