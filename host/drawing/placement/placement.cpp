#include "host/drawing/placement/placement.h"

#include <algorithm>
#include <cmath>

#include "host/drawing/geometry/bounds.h"

namespace drv::drawing {
namespace {

// Plotter characters are as wide as two thirds of their height.
constexpr double kCharWidth = 2.0 / 3.0;

Bounds mapped(const Bounds &box, const Affine &map) {
    Bounds out;
    for (const Point corner : {Point{box.minX, box.minY}, Point{box.maxX, box.minY}, Point{box.minX, box.maxY},
                               Point{box.maxX, box.maxY}}) {
        out.add(map.apply(corner));
    }
    return out;
}

Bounds mappedDrawing(const Drawing &drawing, const Affine &map) {
    Bounds out;
    for (const Shape &shape : drawing.shapes) {
        for (Subpath path : shape.subpaths) {
            transform(path, map);
            addBounds(out, path);
        }
    }
    for (const Text &text : drawing.texts) {
        const Point anchor = map.apply(text.anchor);
        const Point run = map.applyVector(text.baseline) * (kCharWidth * static_cast<double>(text.text.size()));
        const Point up = map.applyVector(text.up);
        for (const Point corner : {anchor, anchor + run, anchor + up, anchor + run + up}) {
            out.add(corner);
        }
    }
    return out;
}

} // namespace

Bounds drawingBounds(const Drawing &drawing) {
    return mappedDrawing(drawing, Affine{});
}

bool place(const Drawing &drawing, const PlacementOptions &options, Placement &out, std::string &error) {
    if (!(options.scale > 0) || !std::isfinite(options.scale)) {
        error = "--scale must be above 0";
        return false;
    }
    if (options.rotateDegrees % 90 != 0 || options.rotateDegrees < 0 || options.rotateDegrees > 270) {
        error = "--rotate takes 0, 90, 180 or 270";
        return false;
    }
    const Bounds extent = drawingBounds(drawing);
    if (extent.empty()) {
        error = "the drawing is empty: nothing in it would reach the paper";
        return false;
    }
    const bool svg = drawing.yAxis == YAxis::Down;
    // The document's page in its own frame: an SVG's page, or a DXF's
    // extent from its origin.
    Bounds page;
    if (drawing.pageWidthMm > 0 && drawing.pageHeightMm > 0) {
        page = {0, 0, drawing.pageWidthMm, drawing.pageHeightMm};
    } else {
        page = {0, 0, std::max(extent.maxX, 0.0), std::max(extent.maxY, 0.0)};
    }
    // Into a y-up frame whose origin is the page's reference corner: the
    // top-left of an SVG, the origin of a DXF.
    Affine map = svg ? Affine::scale(1, -1) : Affine{};
    map = map.then(Affine::scale(options.scale, options.scale));
    if (options.rotateDegrees != 0) {
        map = map.then(Affine::rotate(options.rotateDegrees));
        // The turned page keeps its reference corner where it was.
        const Bounds turned = mapped(page, map);
        map = map.then(Affine::translate(-turned.minX, svg ? -turned.maxY : -turned.minY));
    }
    const Bounds placedPage = mapped(page, map);
    double width = placedPage.width();
    double height = placedPage.height();
    if (options.page) {
        width = options.page->widthMm;
        height = options.page->heightMm;
    }
    if ((options.orientation == Orientation::Landscape && width < height) ||
        (options.orientation == Orientation::Portrait && width > height)) {
        std::swap(width, height);
    }
    if (!(width > 0) || !(height > 0)) {
        error = "the drawing has no extent up and to the right of its origin: give --page or --fit";
        return false;
    }
    if (svg) {
        map = map.then(Affine::translate(0, height));
    }
    if (options.fit) {
        const double room = std::min(width, height) - 2 * options.marginMm;
        if (!(options.marginMm >= 0) || !(room > 0)) {
            error = "--margin " + std::to_string(options.marginMm) + " leaves no room on a " +
                    std::to_string(width) + " x " + std::to_string(height) + " mm sheet";
            return false;
        }
        const Bounds box = mappedDrawing(drawing, map);
        const double sx = box.width() > 0 ? (width - 2 * options.marginMm) / box.width() : INFINITY;
        const double sy = box.height() > 0 ? (height - 2 * options.marginMm) / box.height() : INFINITY;
        const double s = std::isfinite(std::min(sx, sy)) ? std::min(sx, sy) : 1;
        map = map.then(Affine::translate(-(box.minX + box.maxX) / 2, -(box.minY + box.maxY) / 2))
                  .then(Affine::scale(s, s))
                  .then(Affine::translate(width / 2, height / 2));
    }
    map = map.then(Affine::translate(options.offsetMm.x, options.offsetMm.y));
    out.toUnits = map.then(Affine::scale(kUnitsPerMm, kUnitsPerMm));
    const double sheetUnits = std::max(width, height) * kUnitsPerMm;
    if (sheetUnits > 2e9) {
        error = "the sheet is too large for plotter units";
        return false;
    }
    out.sheetWidth = static_cast<std::int32_t>(std::lround(width * kUnitsPerMm));
    out.sheetHeight = static_cast<std::int32_t>(std::lround(height * kUnitsPerMm));
    return true;
}

} // namespace drv::drawing
