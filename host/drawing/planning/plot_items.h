// What goes onto the sheet, in plotter units, once the drawing is placed,
// flattened and given pens: pen strokes (polylines, or circles and arcs the
// plotter draws itself), filled polygons and labels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace drv::drawing {

struct UnitPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const UnitPoint &) const = default;
};

// A circle or circular arc sent as one request. `start` and `end` are on
// the circle; the sweep is counter-clockwise when positive.
struct ArcRequest {
    UnitPoint centre;
    std::int32_t radius = 0;
    UnitPoint start;
    UnitPoint end;
    double sweepDegrees = 0;
    double chordDegrees = 5;
    bool whole = false;
};

struct PlotPath {
    std::vector<UnitPoint> points; // the stroke as chords (also for arcs)
    bool closed = false;
    int pen = 1;
    std::optional<ArcRequest> arc;
    int line = 0;

    UnitPoint entry() const { return points.front(); }
    UnitPoint exit() const { return points.back(); }
    // An open polyline or arc can be drawn from either end; a circle the
    // device starts where it starts.
    bool reversible() const { return !closed && !(arc && arc->whole); }
};

struct FillPolygon {
    std::vector<std::vector<UnitPoint>> rings; // each closed, first point repeated last
    int pen = 1;
    int line = 0;
};

struct LabelItem {
    UnitPoint at;
    std::string text;   // what the device prints
    double heightMm = 0;
    double dirX = 1;    // unit direction of the baseline
    double dirY = 0;
    int pen = 1;
    int line = 0;
};

struct PlotItems {
    std::vector<PlotPath> paths;
    std::vector<FillPolygon> fills;
    std::vector<LabelItem> labels;
};

// Reverses an open path, its arc request with it.
void reverse(PlotPath &path);

double length(const PlotPath &path);

} // namespace drv::drawing
