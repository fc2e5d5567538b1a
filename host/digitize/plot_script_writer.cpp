#include "host/digitize/plot_script_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace drv::host {
namespace {

std::int64_t units(double value, bool millimetres) {
    return std::llround(millimetres ? value * kPlotterUnitsPerMm : value);
}

std::string plot(const PlanePoint &p, bool millimetres) {
    return "Plot x=" + std::to_string(units(p.x, millimetres)) +
           " y=" + std::to_string(units(p.y, millimetres)) + "\n";
}

} // namespace

std::string plotScriptText(const Drawing &drawing) {
    const Drawing::Box box = drawing.bounds();
    const bool mm = drawing.millimetres;
    // The page reaches from the origin to the drawing's far corner.
    const std::int64_t width = std::max<std::int64_t>(1, units(box.high.x, mm));
    const std::int64_t height = std::max<std::int64_t>(1, units(box.high.y, mm));
    std::string script = "# Digitized by drvhost: " + std::to_string(drawing.polylines.size()) +
                         " polylines, " + std::to_string(drawing.vertices()) + " vertices.\n";
    script += mm ? "# Plotter units of 0.025 mm from the drawing's origin.\n"
                 : "# Tablet counts as plotter units: the tablet was not calibrated.\n";
    // The framing cells are the binary-coded plotter's; the HP-GL/2 one reads
    // only the page and the pens.
    script += "BeginJob page_width=" + std::to_string(width) +
              " page_height=" + std::to_string(height) +
              " pens=1 bias=0x20 radix=32 sync_count=2 sync='!' terminator='\\r' checksum=1\n";
    script += "SelectPen pen=1\n";
    for (const Polyline &line : drawing.polylines) {
        script += "PenUp\n" + plot(line.points.front(), mm) + "PenDown\n";
        for (std::size_t i = 1; i < line.points.size(); ++i) {
            script += plot(line.points[i], mm);
        }
        if (line.closed) {
            script += plot(line.points.front(), mm);
        }
    }
    script += "PenUp\nSelectPen pen=0\nEndJob copy_switch=0 copies=1\n";
    return script;
}

} // namespace drv::host
