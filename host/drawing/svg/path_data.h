// SVG path data (the `d` attribute) read into exact subpaths: every command
// of the grammar, absolute and relative, with implicit repeats, smooth
// curves reflecting the previous control point and elliptical arcs.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "host/drawing/geometry/path.h"

namespace drv::drawing::svg {

struct PathDataError {
    std::size_t offset = 0; // of the offending character
    std::string message;
};

// Reads the whole of `data`; on a fault returns false with the first one.
// Subpaths without a segment (a lone moveto) are left out.
bool parsePathData(std::string_view data, std::vector<Subpath> &out, PathDataError &error);

} // namespace drv::drawing::svg
