#include "host/digitize/svg_writer.h"

#include <cmath>
#include <cstdio>

namespace drv::host {
namespace {

// A number with at most three decimals (a micrometre), no trailing zeros.
std::string number(double value) {
    char text[48];
    std::snprintf(text, sizeof text, "%.3f", value);
    std::string s = text;
    while (s.back() == '0') {
        s.pop_back();
    }
    if (s.back() == '.') {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

} // namespace

std::string svgText(const Drawing &drawing) {
    const Drawing::Box box = drawing.bounds();
    const double width = box.high.x - box.low.x;
    const double height = box.high.y - box.low.y;
    const std::string unit = drawing.millimetres ? "mm" : "";
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + number(width) +
           unit + "\" height=\"" + number(height) + unit + "\" viewBox=\"" + number(box.low.x) +
           " " + number(box.low.y) + " " + number(width) + " " + number(height) + "\">\n";
    svg += "<!-- digitized by drvhost: " + std::to_string(drawing.polylines.size()) +
           " polylines, " + std::to_string(drawing.vertices()) + " vertices, in " +
           (drawing.millimetres ? "mm" : "tablet counts") + " -->\n";
    // y' = low.y + high.y - y maps the box onto itself, upside down.
    svg += "<g transform=\"matrix(1 0 0 -1 0 " + number(box.low.y + box.high.y) +
           ")\" fill=\"none\" stroke=\"black\" stroke-width=\"" +
           (drawing.millimetres ? "0.25" : "1") +
           "\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n";
    for (const Polyline &line : drawing.polylines) {
        svg += line.closed ? "<polygon points=\"" : "<polyline points=\"";
        for (std::size_t i = 0; i < line.points.size(); ++i) {
            svg += (i == 0 ? "" : " ") + number(line.points[i].x) + "," + number(line.points[i].y);
        }
        svg += "\"/>\n";
    }
    svg += "</g>\n</svg>\n";
    return svg;
}

} // namespace drv::host
