// Reading back what `drvhost digitize` wrote, in each of its formats, as
// polylines in mm, for comparing with the drawing that was traced.
#pragma once

#include <regex>
#include <sstream>
#include <string>

#include "host/digitize/drawing.h"
#include "tests/digitize/dxf_reader.h"

namespace drv::test {

using drv::host::Polyline;

// <polyline points="x,y x,y"/> and <polygon .../> in document order.
inline std::vector<Polyline> svgPolylines(const std::string &svg) {
    std::vector<Polyline> lines;
    const std::regex element("<(polyline|polygon) points=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element);
         it != std::sregex_iterator(); ++it) {
        Polyline line;
        line.closed = (*it)[1] == "polygon";
        std::istringstream pairs((*it)[2].str());
        std::string pair;
        while (pairs >> pair) {
            const std::size_t comma = pair.find(',');
            line.points.push_back(
                {std::stod(pair.substr(0, comma)), std::stod(pair.substr(comma + 1))});
        }
        lines.push_back(line);
    }
    return lines;
}

// The pen-down runs of a plot script, in mm (0.025 mm a unit). A run that
// ends where it started is a closed polyline without its repeated point.
inline std::vector<Polyline> scriptPolylines(const std::string &script) {
    std::vector<Polyline> lines;
    std::istringstream in(script);
    std::string line;
    bool down = false;
    drv::host::PlanePoint at;
    const std::regex plot("Plot x=(-?[0-9]+) y=(-?[0-9]+)");
    std::smatch m;
    while (std::getline(in, line)) {
        if (line == "PenDown") {
            down = true;
            lines.push_back({{at}, false});
        } else if (line == "PenUp") {
            down = false;
        } else if (std::regex_match(line, m, plot)) {
            at = {std::stoi(m[1]) / 40.0, std::stoi(m[2]) / 40.0};
            if (down) {
                lines.back().points.push_back(at);
            }
        }
    }
    for (Polyline &p : lines) {
        if (p.points.size() > 2 && p.points.front() == p.points.back()) {
            p.points.pop_back();
            p.closed = true;
        }
    }
    return lines;
}

} // namespace drv::test
