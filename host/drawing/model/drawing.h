// A drawing as the importers read it, before it is placed on a sheet:
// shapes as exact paths and texts, each with what decides its pen, in the
// document's own millimetres and orientation.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host/drawing/geometry/path.h"

namespace drv::drawing {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const Colour &) const = default;
};

// What a pen is chosen by: the stroke colour, or the layer the shape sits
// on, and the pen a layer names for itself ("pen 2").
struct PenKey {
    std::optional<Colour> colour;
    std::string layer;
    int layerPen = 0; // 0: the layer names no pen
    double widthMm = 0; // stroke width, 0 when not known
};

struct Shape {
    std::vector<Subpath> subpaths;
    PenKey pen;
    bool stroked = true;
    std::optional<Colour> fill; // filled closed subpaths, for --fill
    int line = 0;               // where it came from, for messages
};

struct Text {
    std::string text;   // UTF-8 as written
    Point anchor;       // start of the baseline
    Point baseline;     // along the baseline, as long as the text is high
    Point up;           // from the baseline to the top of a capital
    PenKey pen;
    int line = 0;
};

enum class YAxis { Down, Up };

struct Drawing {
    std::vector<Shape> shapes;
    std::vector<Text> texts;
    YAxis yAxis = YAxis::Up;
    // Pens go by layer (CAD drawings) rather than by stroke colour.
    bool pensByLayer = false;
    // The document's own page in millimetres (SVG width and height), or 0
    // when it has none (DXF: the sheet follows the extents).
    double pageWidthMm = 0;
    double pageHeightMm = 0;
    std::vector<std::string> warnings;
};

// No drawing reaches further than this from its origin (a kilometre):
// larger coordinates are a damaged or hostile file, not a plot.
constexpr double kMaxDrawingMm = 1e6;

// A fault in the input: the line it is on (0 when it has none) and what is
// wrong. The caller adds the file's name.
struct SourceError {
    int line = 0;
    std::string message;
};

// Maps every path, anchor and text vector of the drawing.
void transform(Drawing &drawing, const Affine &map);

} // namespace drv::drawing
