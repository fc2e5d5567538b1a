// What every decoded drawing must satisfy, whatever bytes it came from:
// finite numbers, non-empty strokes and rings, image pixels matching the
// image's size, a bounded problem list, and JSON lines that each hold one
// object.
#pragma once

#include <cmath>
#include <sstream>
#include <string>

#include "fuzz_check.h"
#include "host/decode/drawing.h"
#include "host/decode/json_lines.h"

namespace fuzz_decode {

using namespace drv::decode;

inline bool finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

struct ElementCheck {
    void operator()(const Stroke &e) const {
        FUZZ_CHECK(!e.points.empty());
        for (const Point &p : e.points) {
            FUZZ_CHECK(finite(p));
        }
    }
    void operator()(const Circle &e) const { FUZZ_CHECK(finite(e.center) && std::isfinite(e.radius) && e.radius >= 0); }
    void operator()(const Arc &e) const {
        FUZZ_CHECK(finite(e.center) && finite(e.start) && std::isfinite(e.sweepDeg));
    }
    void operator()(const Polygon &e) const {
        FUZZ_CHECK(!e.rings.empty());
        for (const auto &ring : e.rings) {
            FUZZ_CHECK(ring.size() >= 2);
        }
    }
    void operator()(const Label &e) const { FUZZ_CHECK(finite(e.at) && finite(e.direction)); }
    void operator()(const Image &e) const {
        FUZZ_CHECK(e.columns > 0 && e.rows > 0);
        FUZZ_CHECK(e.pixels.size() == static_cast<std::size_t>(e.columns) * static_cast<std::size_t>(e.rows) * 3);
        FUZZ_CHECK(finite(e.pixelStep) && finite(e.rowStep));
    }
    void operator()(const Page &e) const { FUZZ_CHECK(std::isfinite(e.width) && std::isfinite(e.height)); }
};

inline void checkDrawing(const Drawing &drawing, std::size_t size) {
    FUZZ_CHECK(drawing.bytes == size);
    FUZZ_CHECK(drawing.problems.size() <= 201);
    for (const Problem &p : drawing.problems) {
        FUZZ_CHECK(p.offset <= size);
    }
    for (const Element &e : drawing.elements) {
        std::visit(ElementCheck{}, e);
    }
    std::ostringstream out;
    writeJsonLines(out, drawing, {});
    std::istringstream lines(out.str());
    std::string line;
    std::size_t count = 0;
    while (std::getline(lines, line)) {
        FUZZ_CHECK(line.size() >= 2 && line.front() == '{' && line.back() == '}');
        FUZZ_CHECK(line.find('\n') == std::string::npos);
        ++count;
    }
    FUZZ_CHECK(count == drawing.elements.size() + 1);
}

} // namespace fuzz_decode
