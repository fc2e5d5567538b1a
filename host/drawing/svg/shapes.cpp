#include "host/drawing/svg/shapes.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/drawing/svg/lengths.h"
#include "host/drawing/svg/number_scanner.h"
#include "host/drawing/svg/path_data.h"

namespace drv::drawing::svg {
namespace {

constexpr double kPi = std::numbers::pi;

EllipticArc quarter(Point centre, double rx, double ry, double from) {
    return {centre, {rx, 0}, {0, ry}, from, from + kPi / 2};
}

Subpath ellipsePath(Point centre, double rx, double ry) {
    const EllipticArc whole{centre, {rx, 0}, {0, ry}, 0, 2 * kPi};
    Segment segment = Segment::ellipse(whole);
    segment.to = centre + Point{rx, 0};
    return Subpath{segment.to, {segment}, true};
}

// Clockwise on the canvas (y down) from the top edge, like a drawing
// program starts it.
Subpath roundedRect(double x, double y, double w, double h, double rx, double ry) {
    Subpath path{{x + rx, y}, {}, true};
    const auto arc = [&](Point centre, double from) {
        Segment segment = Segment::ellipse(quarter(centre, rx, ry, from));
        path.segments.push_back(segment);
    };
    path.segments.push_back(Segment::line({x + w - rx, y}));
    arc({x + w - rx, y + ry}, -kPi / 2);
    path.segments.push_back(Segment::line({x + w, y + h - ry}));
    arc({x + w - rx, y + h - ry}, 0);
    path.segments.push_back(Segment::line({x + rx, y + h}));
    arc({x + rx, y + h - ry}, kPi / 2);
    path.segments.push_back(Segment::line({x, y + ry}));
    arc({x + rx, y + ry}, kPi);
    return path;
}

bool rect(const pugi::xml_node &e, const Viewport &vp, std::vector<Subpath> &out, std::string &error) {
    double x = 0, y = 0, w = 0, h = 0, rx = -1, ry = -1;
    if (!lengthAttribute(e, "x", vp.width, 0, x, error) || !lengthAttribute(e, "y", vp.height, 0, y, error) ||
        !lengthAttribute(e, "width", vp.width, 0, w, error) ||
        !lengthAttribute(e, "height", vp.height, 0, h, error) ||
        !lengthAttribute(e, "rx", vp.width, -1, rx, error) ||
        !lengthAttribute(e, "ry", vp.height, -1, ry, error)) {
        return false;
    }
    if (!(w > 0) || !(h > 0)) {
        return true; // not rendered
    }
    // A missing (or negative) radius takes the other one; both are held to
    // half the side they round.
    if (rx < 0) {
        rx = ry;
    }
    if (ry < 0) {
        ry = rx;
    }
    rx = std::clamp(rx, 0.0, w / 2);
    ry = std::clamp(ry, 0.0, h / 2);
    if (rx == 0 || ry == 0) {
        out.push_back({{x, y},
                       {Segment::line({x + w, y}), Segment::line({x + w, y + h}), Segment::line({x, y + h})},
                       true});
    } else {
        out.push_back(roundedRect(x, y, w, h, rx, ry));
    }
    return true;
}

bool pointList(const pugi::xml_node &e, bool closed, std::vector<Subpath> &out, std::string &error) {
    const std::string_view text = e.attribute("points").value();
    NumberScanner scan(text);
    std::vector<Point> points;
    scan.skipSpaces();
    while (!scan.atEnd()) {
        Point p;
        if (!scan.number(p.x)) {
            error = "points: expected a number at character " + std::to_string(scan.position() + 1);
            return false;
        }
        scan.skipSeparator();
        if (!scan.number(p.y)) {
            error = "points: expected the y of a pair at character " + std::to_string(scan.position() + 1);
            return false;
        }
        scan.skipSeparator();
        points.push_back(p);
    }
    if (points.size() < 2) {
        return true;
    }
    Subpath path{points.front(), {}, closed};
    for (std::size_t i = 1; i < points.size(); ++i) {
        path.segments.push_back(Segment::line(points[i]));
    }
    out.push_back(std::move(path));
    return true;
}

} // namespace

bool isShapeElement(std::string_view name) {
    static constexpr std::string_view kShapes[] = {"rect", "circle", "ellipse", "line",
                                                   "polyline", "polygon", "path"};
    return std::find(std::begin(kShapes), std::end(kShapes), name) != std::end(kShapes);
}

bool lengthValue(std::string_view text, double reference, double &value, std::string &error) {
    const std::optional<Length> length = parseLength(text, error);
    if (!length) {
        return false;
    }
    value = length->percent ? length->value * reference / 100 : length->value * length->mmPerUnit / kMmPerPx;
    return true;
}

bool lengthAttribute(const pugi::xml_node &element, const char *name, double reference,
                     double fallback, double &value, std::string &error) {
    const pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute) {
        value = fallback;
        return true;
    }
    if (!lengthValue(attribute.value(), reference, value, error)) {
        error = std::string(name) + ": " + error;
        return false;
    }
    return true;
}

bool shapeGeometry(const pugi::xml_node &element, std::string_view name, const Viewport &viewport,
                   std::vector<Subpath> &out, std::string &error) {
    const double diagonal = std::hypot(viewport.width, viewport.height) / std::sqrt(2.0);
    if (name == "rect") {
        return rect(element, viewport, out, error);
    }
    if (name == "circle" || name == "ellipse") {
        double cx = 0, cy = 0, rx = 0, ry = 0;
        const bool circle = name == "circle";
        if (!lengthAttribute(element, "cx", viewport.width, 0, cx, error) ||
            !lengthAttribute(element, "cy", viewport.height, 0, cy, error) ||
            !lengthAttribute(element, circle ? "r" : "rx", circle ? diagonal : viewport.width, -1, rx, error) ||
            !lengthAttribute(element, circle ? "r" : "ry", circle ? diagonal : viewport.height, -1, ry, error)) {
            return false;
        }
        if (rx < 0) {
            rx = ry;
        }
        if (ry < 0) {
            ry = rx;
        }
        if (rx > 0 && ry > 0) {
            out.push_back(ellipsePath({cx, cy}, rx, ry));
        }
        return true;
    }
    if (name == "line") {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        if (!lengthAttribute(element, "x1", viewport.width, 0, x1, error) ||
            !lengthAttribute(element, "y1", viewport.height, 0, y1, error) ||
            !lengthAttribute(element, "x2", viewport.width, 0, x2, error) ||
            !lengthAttribute(element, "y2", viewport.height, 0, y2, error)) {
            return false;
        }
        out.push_back({{x1, y1}, {Segment::line({x2, y2})}, false});
        return true;
    }
    if (name == "polyline" || name == "polygon") {
        return pointList(element, name == "polygon", out, error);
    }
    // path
    PathDataError pathError;
    if (!parsePathData(element.attribute("d").value(), out, pathError)) {
        error = "d: " + pathError.message + " at character " + std::to_string(pathError.offset + 1);
        return false;
    }
    return true;
}

} // namespace drv::drawing::svg
