// SVG documents read into a drawing: the root's units, viewBox and
// preserveAspectRatio map user units to millimetres (y down from the
// page's top-left corner); groups, nested transforms, <use> of symbols,
// groups and shapes, the style cascade, display/visibility, <defs>, text
// as labels and Inkscape layers are honoured.
#pragma once

#include <cstddef>
#include <string_view>

#include "host/drawing/model/drawing.h"

namespace drv::drawing::svg {

struct SvgLimits {
    std::size_t maxTextBytes = std::size_t{256} << 20; // after .svgz inflation
    int maxDepth = 256;                               // nested elements and <use>
    std::size_t maxElements = 4'000'000;              // drawn, <use> expansions counted
};

// Reads `bytes` (SVG text, or gzip-compressed SVG). False with the first
// fault (its XML line) in `error`.
bool readSvg(std::string_view bytes, Drawing &out, SourceError &error, const SvgLimits &limits = {});

} // namespace drv::drawing::svg
