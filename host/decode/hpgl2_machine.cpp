#include "host/decode/hpgl2_machine.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/decode/default_pens.h"

namespace drv::decode {
namespace {

Point rotateAbout(Point p, Point center, double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    const double dx = p.x - center.x;
    const double dy = p.y - center.y;
    const double x = center.x + dx * std::cos(radians) - dy * std::sin(radians);
    const double y = center.y + dx * std::sin(radians) + dy * std::cos(radians);
    // Whole plotter units stay whole: a quarter turn must land on the unit.
    const auto snap = [](double v) {
        const double r = std::round(v);
        return std::fabs(v - r) < 1e-6 ? r : v;
    };
    return {snap(x), snap(y)};
}

} // namespace

Hpgl2Machine::Hpgl2Machine(Drawing &drawing) : drawing_(drawing), trace_(drawing.elements) {
    initialise();
}

void Hpgl2Machine::initialise() {
    trace_.end();
    position_ = {};
    penDown_ = false;
    absolute_ = true;
    pen_ = 1;
    resetPens(8);
    paletteStack_.clear();
    label_ = LabelStyle{};
    fill_ = Fill{};
    polygonMode_ = false;
    rings_.clear();
    if (rotation_ != 0) {
        setRotation(0);
    }
}

void Hpgl2Machine::resetPens(std::size_t count) {
    // The device's palette holds a power of two of pens.
    std::size_t size = 2;
    while (size < count && size < 256) {
        size *= 2;
    }
    palette_.resize(size);
    for (std::size_t i = 0; i < size; ++i) {
        palette_[i] = defaultPenColor(static_cast<int>(i));
    }
    widthsMm_.assign(size, kDefaultPenWidthMm);
}

int Hpgl2Machine::paletteIndex(int pen) const {
    const int size = static_cast<int>(palette_.size());
    if (pen < 0) {
        return 0;
    }
    // Pens beyond the palette wrap onto pens 1 and up, as the device maps them.
    return pen < size ? pen : (pen - 1) % (size - 1) + 1;
}

Ink Hpgl2Machine::ink() const {
    const auto index = static_cast<std::size_t>(paletteIndex(pen_));
    const double width = index < widthsMm_.size() ? widthsMm_[index] : kDefaultPenWidthMm;
    const Rgb color = index < palette_.size() ? palette_[index] : Rgb{};
    return {pen_, width, color};
}

void Hpgl2Machine::selectPen(int pen) {
    trace_.end();
    pen_ = std::clamp(pen, 0, 32767);
}

void Hpgl2Machine::moveTo(Point to, bool penDown) {
    penDown_ = penDown;
    if (polygonMode_) {
        if (!penDown || ringClosed_ || rings_.empty()) {
            rings_.push_back({});
            if (penDown) {
                rings_.back().push_back(position_);
            }
            ringClosed_ = false;
        }
        appendDistinct(rings_.back(), to);
    } else {
        trace_.move(position_, to, penDown, ink());
    }
    position_ = to;
}

void Hpgl2Machine::coordinateList(const std::vector<double> &params, bool penDown, bool absolute,
                                  std::size_t offset) {
    if (params.size() % 2 != 0) {
        log_.problem(offset, "odd number of coordinates: the last one is dropped");
    }
    for (std::size_t i = 0; i + 1 < params.size(); i += 2) {
        const Point to = absolute ? Point{params[i], params[i + 1]}
                                  : Point{position_.x + params[i], position_.y + params[i + 1]};
        moveTo(to, penDown);
    }
    penDown_ = penDown;
}

void Hpgl2Machine::setPage(double length, double width) {
    pageLength_ = length;
    pageWidth_ = width;
    emitPage();
}

void Hpgl2Machine::setRotation(int degrees) {
    rotation_ = ((degrees % 360) + 360) % 360 / 90 * 90;
    emitPage();
}

void Hpgl2Machine::emitPage() {
    trace_.end();
    // The job's coordinates span the plot size whatever RO says: RO turns
    // them onto the device's media, which is what raster images, fixed to
    // the device, show (pcl_raster.h).
    Page page;
    page.width = pageLength_;
    page.height = pageWidth_;
    page.rotation = rotation_;
    drawing_.elements.emplace_back(page);
}

void Hpgl2Machine::circle(double radius, double chord) {
    trace_.end();
    if (polygonMode_) {
        log_.note(0, "CI inside polygon mode is not added to the polygon");
        return;
    }
    drawing_.elements.emplace_back(Circle{ink(), position_, radius, chord});
}

void Hpgl2Machine::arc(Point center, double sweep, double chord) {
    const Point end = rotateAbout(position_, center, sweep);
    if (polygonMode_) {
        log_.note(0, "arcs inside polygon mode are added as chords");
        moveTo(end, penDown_);
        return;
    }
    trace_.end();
    if (penDown_) {
        drawing_.elements.emplace_back(Arc{ink(), center, position_, end, sweep, chord});
    }
    position_ = end;
}

void Hpgl2Machine::polygonMode(int mode, std::size_t offset) {
    trace_.end();
    switch (mode) {
    case 0:
        polygonMode_ = true;
        rings_.assign(1, {position_});
        ringClosed_ = false;
        break;
    case 1: ringClosed_ = true; break;
    case 2: polygonMode_ = false; break;
    default: log_.problem(offset, "PM" + std::to_string(mode) + " is not a polygon mode"); break;
    }
}

void Hpgl2Machine::fillPolygon() {
    trace_.end();
    Polygon polygon{ink(), fill_, {}};
    for (const std::vector<Point> &ring : rings_) {
        if (ring.size() >= 2) {
            polygon.rings.push_back(ring);
        }
    }
    if (!polygon.rings.empty()) {
        drawing_.elements.emplace_back(std::move(polygon));
    }
}

void Hpgl2Machine::edgePolygon() {
    trace_.end();
    for (const std::vector<Point> &ring : rings_) {
        if (ring.size() >= 2) {
            Stroke stroke{ink(), ring};
            stroke.points.push_back(ring.front());
            drawing_.elements.emplace_back(std::move(stroke));
        }
    }
}

void Hpgl2Machine::rectangle(Point corner, bool fill) {
    const Point a = position_;
    const std::vector<Point> ring = {a, {corner.x, a.y}, corner, {a.x, corner.y}};
    trace_.end();
    if (fill) {
        drawing_.elements.emplace_back(Polygon{ink(), fill_, {ring}});
    } else {
        Stroke stroke{ink(), ring};
        stroke.points.push_back(a);
        drawing_.elements.emplace_back(std::move(stroke));
    }
}

void Hpgl2Machine::label(const std::string &text) {
    trace_.end();
    Label l{ink(), position_, text, {label_.cellWidthMm, label_.heightMm}, label_.direction,
            label_.slant, label_.symbolSet, label_.typeface};
    drawing_.elements.emplace_back(std::move(l));
    // The pen ends after the last character: one cell per printing byte.
    std::size_t printed = 0;
    for (const char c : text) {
        printed += static_cast<unsigned char>(c) >= ' ' ? 1 : 0;
    }
    const double length = std::hypot(label_.direction.x, label_.direction.y);
    if (length > 0) {
        const double advance = static_cast<double>(printed) * label_.cellWidthMm * kUnitsPerMm;
        position_.x += advance * label_.direction.x / length;
        position_.y += advance * label_.direction.y / length;
    }
}

PclContext Hpgl2Machine::pclContext() {
    trace_.end();
    return PclContext{palette_, paletteStack_, position_, rotation_, drawing_.elements, log_, pixelsLeft_};
}

void Hpgl2Machine::pclReturned(const PclContext &context, int mode) {
    if (context.reset) {
        initialise();
    }
    if (mode == 1) {
        position_ = context.cursor;
    }
}

void Hpgl2Machine::finish() {
    trace_.end();
    if (polygonMode_) {
        log_.problem(drawing_.bytes, "input ends in polygon mode: the polygon is not drawn");
    }
    log_.finish(drawing_);
}

} // namespace drv::decode
