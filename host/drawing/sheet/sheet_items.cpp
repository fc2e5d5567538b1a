#include "host/drawing/sheet/sheet_items.h"

#include <algorithm>
#include <cmath>

#include "host/drawing/geometry/clip.h"
#include "host/drawing/geometry/flatten.h"
#include "host/drawing/sheet/arc_request.h"
#include "host/drawing/sheet/label_text.h"
#include "host/drawing/sheet/polygon_clip.h"

namespace drv::drawing {
namespace {

// Plotter characters are as wide as two thirds of their height.
constexpr double kCharWidth = 2.0 / 3.0;

UnitPoint rounded(Point p) {
    return {static_cast<std::int32_t>(std::lround(p.x)), static_cast<std::int32_t>(std::lround(p.y))};
}

class SheetBuilder {
public:
    SheetBuilder(const PenAssignment &pens, const Placement &placement, const SheetOptions &options,
                 const PlotterAbilities &abilities, PlotItems &out, std::vector<std::string> &warnings,
                 std::string &error)
        : pens_(pens), options_(options), abilities_(abilities), out_(out), warnings_(warnings),
          error_(error), map_(placement.toUnits), tolerance_(options.toleranceMm * kUnitsPerMm),
          sheet_{0, 0, static_cast<double>(placement.sheetWidth), static_cast<double>(placement.sheetHeight)} {}

    bool shape(const Shape &shape, std::size_t index) {
        std::vector<Subpath> paths = shape.subpaths;
        for (Subpath &path : paths) {
            transform(path, map_);
        }
        bool fill = options_.fill && shape.fill && pens_.fillPens[index] > 0 &&
                    std::any_of(paths.begin(), paths.end(), [](const Subpath &p) { return p.closed; });
        if (fill && !abilities_.fills) {
            warnOnce("this plotter fills no polygons: filled shapes are drawn as outlines");
            fill = false;
        }
        if (fill && !addFill(paths, pens_.fillPens[index], shape.line)) {
            return false;
        }
        if (!shape.stroked && fill) {
            return true; // only filled, as the drawing shows it
        }
        for (const Subpath &path : paths) {
            if (!addStroke(path, pens_.shapePens[index], shape.line)) {
                return false;
            }
        }
        return true;
    }

    bool text(const Text &text, int pen) {
        const Point baseline = map_.applyVector(text.baseline);
        const double height = length(map_.applyVector(text.up));
        bool replaced = false;
        const std::string printed = deviceText(text.text, replaced);
        if (replaced) {
            warnOnce("labels print ASCII only: other characters became '?'");
        }
        if (printed.empty() || !(height > 0) || !(length(baseline) > 0)) {
            return true;
        }
        const Point direction = baseline * (1 / length(baseline));
        const Point anchor = map_.apply(text.anchor);
        const Polyline extent{anchor, anchor + direction * (height * kCharWidth * static_cast<double>(printed.size()))};
        if (options_.clip && overshoot(extent, sheet_) > 0) {
            ++droppedLabels_;
            return true;
        }
        worst_ = std::max(worst_, overshoot(extent, sheet_));
        // Long texts go as several labels, each as long as the device takes.
        const double advance = std::round(height * kCharWidth) * static_cast<double>(abilities_.maxLabel);
        for (std::size_t start = 0, k = 0; start < printed.size(); start += abilities_.maxLabel, ++k) {
            const Point at = anchor + direction * (advance * static_cast<double>(k));
            if (!inRange(at, text.line)) {
                return false;
            }
            out_.labels.push_back({rounded(at), printed.substr(start, abilities_.maxLabel), height / kUnitsPerMm,
                                   direction.x, direction.y, pen, text.line});
        }
        return true;
    }

    void finish() {
        if (worst_ > 0.5) {
            char text[160];
            std::snprintf(text, sizeof text, "the drawing reaches %.1f mm beyond the sheet's edge%s", worst_ / kUnitsPerMm,
                          options_.clip ? ": clipped there" : " (--fit, --page or --clip keep it on the paper)");
            warnings_.push_back(text);
        }
        if (droppedLabels_ > 0) {
            warnings_.push_back(std::to_string(droppedLabels_) + " labels reaching past the sheet's edge are left out");
        }
    }

private:
    void warnOnce(const std::string &message) {
        if (std::find(warnings_.begin(), warnings_.end(), message) == warnings_.end()) {
            warnings_.push_back(message);
        }
    }

    bool inRange(Point p, int line) {
        const double limit = abilities_.coordinateLimit;
        if (std::abs(p.x) <= limit && std::abs(p.y) <= limit) {
            return true;
        }
        error_ = "line " + std::to_string(line) + ": the drawing reaches " +
                 std::to_string(static_cast<long long>(std::max(std::abs(p.x), std::abs(p.y)) / kUnitsPerMm)) +
                 " mm from the sheet's origin; this plotter's coordinates reach " +
                 std::to_string(static_cast<long long>(limit / kUnitsPerMm)) + " mm";
        return false;
    }

    bool addPolyline(const Polyline &points, bool closed, int pen, int line) {
        PlotPath path;
        path.pen = pen;
        path.line = line;
        for (const Point p : points) {
            if (!inRange(p, line)) {
                return false;
            }
            const UnitPoint u = rounded(p);
            if (path.points.empty() || !(path.points.back() == u)) {
                path.points.push_back(u);
            }
        }
        if (path.points.size() == 1) {
            path.points.push_back(path.points.front()); // a dot
        }
        path.closed = closed && path.points.size() > 2 && path.points.front() == path.points.back();
        out_.paths.push_back(std::move(path));
        return true;
    }

    bool asRequest(const Subpath &path, int pen, int line) {
        if (!options_.useArcRequests) {
            return false;
        }
        Bounds box;
        addBounds(box, path);
        const Polyline corners{{box.minX, box.minY}, {box.maxX, box.maxY}};
        if (options_.clip && overshoot(corners, sheet_) > 0) {
            return false; // cut at the edge as chords instead
        }
        std::optional<PlotPath> plotted = arcRequestPath(path, tolerance_, abilities_);
        if (!plotted || !inRange(corners[0], line) || !inRange(corners[1], line)) {
            return false;
        }
        worst_ = std::max(worst_, overshoot(corners, sheet_));
        plotted->pen = pen;
        plotted->line = line;
        out_.paths.push_back(std::move(*plotted));
        return true;
    }

    // Checked on the exact extent before any chords are made, so that a
    // far-flung curve is refused rather than cut into a flood of chords.
    bool extentInRange(const Subpath &path, int line) {
        if (options_.clip) {
            return true; // what lies beyond the sheet is cut away
        }
        Bounds box;
        addBounds(box, path);
        return inRange({box.minX, box.minY}, line) && inRange({box.maxX, box.maxY}, line);
    }

    bool addStroke(const Subpath &path, int pen, int line) {
        if (!extentInRange(path, line)) {
            return false;
        }
        if (asRequest(path, pen, line)) {
            return true;
        }
        Polyline points;
        flatten(path, tolerance_, points);
        const double beyond = overshoot(points, sheet_);
        worst_ = std::max(worst_, beyond);
        if (!options_.clip || beyond == 0) {
            return addPolyline(points, path.closed, pen, line);
        }
        for (const Polyline &piece : clipPolyline(points, sheet_)) {
            if (!addPolyline(piece, false, pen, line)) {
                return false;
            }
        }
        return true;
    }

    bool addFill(const std::vector<Subpath> &paths, int pen, int line) {
        FillPolygon fill{{}, pen, line};
        for (const Subpath &path : paths) {
            if (!path.closed) {
                continue;
            }
            if (!extentInRange(path, line)) {
                return false;
            }
            Polyline ring;
            flatten(path, tolerance_, ring);
            ring.pop_back(); // the closing point, added back below
            worst_ = std::max(worst_, overshoot(ring, sheet_));
            if (options_.clip) {
                ring = clipRing(ring, sheet_);
            }
            std::vector<UnitPoint> units;
            for (const Point p : ring) {
                if (!inRange(p, line)) {
                    return false;
                }
                if (units.empty() || !(units.back() == rounded(p))) {
                    units.push_back(rounded(p));
                }
            }
            if (units.size() >= 3) {
                units.push_back(units.front());
                fill.rings.push_back(std::move(units));
            }
        }
        if (!fill.rings.empty()) {
            out_.fills.push_back(std::move(fill));
        }
        return true;
    }

    const PenAssignment &pens_;
    const SheetOptions &options_;
    const PlotterAbilities &abilities_;
    PlotItems &out_;
    std::vector<std::string> &warnings_;
    std::string &error_;
    Affine map_;
    double tolerance_;
    Bounds sheet_;
    double worst_ = 0;
    std::size_t droppedLabels_ = 0;
};

} // namespace

bool sheetItems(const Drawing &drawing, const PenAssignment &pens, const Placement &placement,
                const SheetOptions &options, const PlotterAbilities &abilities, PlotItems &out,
                std::vector<std::string> &warnings, std::string &error) {
    if (!(options.toleranceMm > 0) || !std::isfinite(options.toleranceMm)) {
        error = "--tolerance must be above 0";
        return false;
    }
    const double sheetLimit = abilities.coordinateLimit;
    if (placement.sheetWidth > sheetLimit || placement.sheetHeight > sheetLimit) {
        error = "the sheet is larger than this plotter's coordinates reach (" +
                std::to_string(static_cast<long long>(sheetLimit / kUnitsPerMm)) + " mm)";
        return false;
    }
    SheetBuilder builder(pens, placement, options, abilities, out, warnings, error);
    for (std::size_t i = 0; i < drawing.shapes.size(); ++i) {
        if (!builder.shape(drawing.shapes[i], i)) {
            return false;
        }
    }
    for (std::size_t i = 0; i < drawing.texts.size(); ++i) {
        if (!builder.text(drawing.texts[i], pens.textPens[i])) {
            return false;
        }
    }
    builder.finish();
    return true;
}

} // namespace drv::drawing
