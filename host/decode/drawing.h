// The drawing that device bytes make, in the order the device draws it: one
// model for every device language, in plotter units of 0.025 mm in the
// job's own coordinate system (x to the right, y up).
//
// Decoders (hpgl2_decoder.h, pci_decoder.h) produce it; the JSON-lines
// writer and the preview renderer read it. Every element carries the pen,
// width and colour it was drawn with, resolved when it was drawn.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace drv::decode {

// One plotter unit is 0.025 mm: 1016 units to the inch.
constexpr double kUnitsPerMm = 40.0;
constexpr double kUnitsPerInch = 1016.0;

struct Point {
    double x = 0;
    double y = 0;
    friend bool operator==(const Point &, const Point &) = default;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb &, const Rgb &) = default;
};

// What every drawn vector element shares.
struct Ink {
    int pen = 0;
    double widthMm = 0;
    Rgb color;
    friend bool operator==(const Ink &, const Ink &) = default;
};

// A pen-down polyline; a pen-down point with no movement is one point.
struct Stroke {
    Ink ink;
    std::vector<Point> points;
};

struct Circle {
    Ink ink;
    Point center;
    double radius = 0;
    double chordDeg = 5;
};

// An arc from `start` around `center`, counterclockwise for a positive
// sweep. `end` is where the pen stops.
struct Arc {
    Ink ink;
    Point center;
    Point start;
    Point end;
    double sweepDeg = 0;
    double chordDeg = 5;
};

// Fill kinds as the device numbers them: 1 and 2 solid, 3 and 4 hatching,
// 10 shading at `level` percent of the pen's colour.
struct Fill {
    int type = 1;
    double level = 0;
    friend bool operator==(const Fill &, const Fill &) = default;
};

// Rings are filled together by the even-odd rule, each closed back to its
// first point.
struct Polygon {
    Ink ink;
    Fill fill;
    std::vector<std::vector<Point>> rings;
};

// `sizeMm` is the character cell: the advance per character and the
// height. `direction` is the baseline's direction (run, rise); `slant` the
// tangent of the characters' lean.
struct Label {
    Ink ink;
    Point at;
    std::string text;
    double sizeMm[2] = {0, 0};
    Point direction{1, 0};
    double slant = 0;
    int symbolSet = -1; // -1: not selected
    int typeface = -1;
};

// A raster image: pixel (column c, row r) is the parallelogram whose first
// corner is at + c * pixelStep + r * rowStep. `cell` is the extent of one
// pixel along x and y.
struct Image {
    Point at;
    int columns = 0;
    int rows = 0;
    Point pixelStep; // from one pixel to the next within a row
    Point rowStep;   // from one row to the next
    std::vector<std::uint8_t> pixels; // RGB, rows * columns * 3, row 0 first
};

// A page set-up (size and rotation) or a page feed.
struct Page {
    enum class Event { Setup, Feed } event = Event::Setup;
    double width = 0;  // extent along the job's x axis, plotter units
    double height = 0; // extent along its y axis
    int rotation = 0;  // degrees the job's axes are turned on the device's media
    int copies = 1;    // a feed: how many times the page comes out
};

using Element = std::variant<Stroke, Circle, Arc, Polygon, Label, Image, Page>;

// Something in the input that the decoder could not read, or read but did
// not draw. `record` is the PCI record number (from 1), 0 where it has none.
struct Problem {
    std::size_t offset = 0;
    std::size_t record = 0;
    std::string message;
};

struct Drawing {
    std::vector<Element> elements;
    std::vector<Problem> problems; // malformed input
    std::vector<Problem> notes;    // understood and deliberately not drawn
    std::string language;          // "hpgl2" or "pci"
    std::size_t bytes = 0;         // input length
};

// The name each element kind has in the JSON lines ("stroke", ...).
const char *elementTypeName(const Element &element);

} // namespace drv::decode
