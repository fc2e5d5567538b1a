// SVG lengths and the root's coordinate system: units to millimetres,
// viewBox and preserveAspectRatio.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/drawing/geometry/affine.h"

namespace drv::drawing::svg {

constexpr double kMmPerPx = 25.4 / 96; // a CSS pixel is 1/96 inch

struct Length {
    double value = 0;
    // Millimetres per unit of `value`, or 0 for a percentage.
    double mmPerUnit = kMmPerPx;
    bool percent = false;
};

// "12", "12px", "3.5mm", "1in", "50%"... Absolute units: mm, cm, in, pt,
// pc, px, Q; no unit is px. Relative font units are taken as 16 px per em
// and 8 per ex. On failure returns nothing with the reason in `error`.
std::optional<Length> parseLength(std::string_view text, std::string &error);

struct ViewBox {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
};

// Four numbers, width and height above 0.
std::optional<ViewBox> parseViewBox(std::string_view text, std::string &error);

struct AspectRatio {
    double alignX = 0.5; // 0 min, 0.5 mid, 1 max; ignored when `none`
    double alignY = 0.5;
    bool none = false;
    bool slice = false;
};

// "xMidYMid meet" (the default), "none", "xMinYMax slice"...
std::optional<AspectRatio> parseAspectRatio(std::string_view text, std::string &error);

// The map from viewBox coordinates to a viewport of `width` x `height`.
Affine viewBoxMap(const ViewBox &box, double width, double height, const AspectRatio &ratio);

} // namespace drv::drawing::svg
