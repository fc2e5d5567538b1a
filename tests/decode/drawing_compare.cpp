#include "tests/decode/drawing_compare.h"

#include <cmath>
#include <sstream>

#include "host/decode/json_lines.h"

namespace drv::test {
namespace {

using namespace drv::decode;

constexpr double kComputed = 1e-6;

bool near(double a, double b) { return std::fabs(a - b) <= kComputed * std::max(1.0, std::fabs(a)); }
bool near(Point a, Point b) { return near(a.x, b.x) && near(a.y, b.y); }

std::string show(Point p) { return "(" + formatNumber(p.x) + ", " + formatNumber(p.y) + ")"; }

struct Differ {
    std::ostringstream why;

    bool ink(const Ink &a, const Ink &b) {
        if (a.pen != b.pen || a.widthMm != b.widthMm || !(a.color == b.color)) {
            why << "ink: pen " << a.pen << " width " << a.widthMm << " expected, pen " << b.pen
                << " width " << b.widthMm << " decoded, or another colour";
            return false;
        }
        return true;
    }
    bool points(const std::vector<Point> &a, const std::vector<Point> &b, const char *what) {
        if (a.size() != b.size()) {
            why << what << ": " << a.size() << " points expected, " << b.size() << " decoded";
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (!(a[i] == b[i])) {
                why << what << " point " << i << ": " << show(a[i]) << " expected, " << show(b[i])
                    << " decoded";
                return false;
            }
        }
        return true;
    }
    bool same(const Stroke &a, const Stroke &b) { return ink(a.ink, b.ink) && points(a.points, b.points, "stroke"); }
    bool same(const Circle &a, const Circle &b) {
        if (!(a.center == b.center) || a.radius != b.radius || a.chordDeg != b.chordDeg) {
            why << "circle at " << show(a.center) << " r " << a.radius << " expected, at "
                << show(b.center) << " r " << b.radius << " decoded";
            return false;
        }
        return ink(a.ink, b.ink);
    }
    bool same(const Arc &a, const Arc &b) {
        if (!(a.center == b.center) || !(a.start == b.start) || !near(a.end, b.end) ||
            !near(a.sweepDeg, b.sweepDeg) || a.chordDeg != b.chordDeg) {
            why << "arc " << show(a.center) << " " << show(a.start) << " to " << show(a.end) << " sweep "
                << a.sweepDeg << " expected, " << show(b.center) << " " << show(b.start) << " to "
                << show(b.end) << " sweep " << b.sweepDeg << " decoded";
            return false;
        }
        return ink(a.ink, b.ink);
    }
    bool same(const Polygon &a, const Polygon &b) {
        if (!(a.fill == b.fill) || a.rings.size() != b.rings.size()) {
            why << "polygon: fill " << a.fill.type << "/" << a.fill.level << " with " << a.rings.size()
                << " rings expected, " << b.fill.type << "/" << b.fill.level << " with "
                << b.rings.size() << " decoded";
            return false;
        }
        for (std::size_t i = 0; i < a.rings.size(); ++i) {
            if (!points(a.rings[i], b.rings[i], "ring")) {
                return false;
            }
        }
        return ink(a.ink, b.ink);
    }
    bool same(const Label &a, const Label &b) {
        if (!(a.at == b.at) || a.text != b.text || !near(a.sizeMm[0], b.sizeMm[0]) ||
            !near(a.sizeMm[1], b.sizeMm[1]) || !near(a.direction, b.direction) ||
            !near(a.slant, b.slant) || a.symbolSet != b.symbolSet || a.typeface != b.typeface) {
            why << "label \"" << a.text << "\" at " << show(a.at) << " size " << a.sizeMm[0] << "x"
                << a.sizeMm[1] << " dir " << show(a.direction) << " slant " << a.slant << " font "
                << a.symbolSet << "/" << a.typeface << " expected, \"" << b.text << "\" at "
                << show(b.at) << " size " << b.sizeMm[0] << "x" << b.sizeMm[1] << " dir "
                << show(b.direction) << " slant " << b.slant << " font " << b.symbolSet << "/"
                << b.typeface << " decoded";
            return false;
        }
        return ink(a.ink, b.ink);
    }
    bool same(const Image &a, const Image &b) {
        if (!(a.at == b.at) || a.columns != b.columns || a.rows != b.rows ||
            !near(a.pixelStep, b.pixelStep) || !near(a.rowStep, b.rowStep)) {
            why << "image " << a.columns << "x" << a.rows << " at " << show(a.at) << " steps "
                << show(a.pixelStep) << " " << show(a.rowStep) << " expected, " << b.columns << "x"
                << b.rows << " at " << show(b.at) << " steps " << show(b.pixelStep) << " "
                << show(b.rowStep) << " decoded";
            return false;
        }
        for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
            if (a.pixels[i] != b.pixels[i]) {
                const std::size_t pixel = i / 3;
                why << "image pixel (column " << pixel % static_cast<std::size_t>(a.columns) << ", row "
                    << pixel / static_cast<std::size_t>(a.columns) << ") differs";
                return false;
            }
        }
        if (a.pixels.size() != b.pixels.size()) {
            why << "image: " << a.pixels.size() << " pixel bytes expected, " << b.pixels.size();
            return false;
        }
        return true;
    }
    bool same(const Page &a, const Page &b) {
        if (a.event != b.event || a.width != b.width || a.height != b.height ||
            a.rotation != b.rotation || a.copies != b.copies) {
            why << "page: " << a.width << "x" << a.height << " rotation " << a.rotation << " copies "
                << a.copies << " expected, " << b.width << "x" << b.height << " rotation "
                << b.rotation << " copies " << b.copies << " decoded";
            return false;
        }
        return true;
    }
};

} // namespace

std::string compareDrawings(const Drawing &expected, const Drawing &actual) {
    const std::size_t n = std::min(expected.elements.size(), actual.elements.size());
    for (std::size_t i = 0; i < n; ++i) {
        const Element &a = expected.elements[i];
        const Element &b = actual.elements[i];
        if (a.index() != b.index()) {
            return "element " + std::to_string(i) + ": " + elementTypeName(a) + " expected, " +
                   elementTypeName(b) + " decoded";
        }
        Differ differ;
        const bool same = std::visit(
            [&](const auto &x) {
                using T = std::decay_t<decltype(x)>;
                return differ.same(x, std::get<T>(b));
            },
            a);
        if (!same) {
            return "element " + std::to_string(i) + ": " + differ.why.str();
        }
    }
    if (expected.elements.size() != actual.elements.size()) {
        const bool more = actual.elements.size() > n;
        return std::to_string(expected.elements.size()) + " elements expected, " +
               std::to_string(actual.elements.size()) + " decoded; the first " +
               (more ? "extra" : "missing") + " one is a " +
               elementTypeName(more ? actual.elements[n] : expected.elements[n]);
    }
    return {};
}

} // namespace drv::test
