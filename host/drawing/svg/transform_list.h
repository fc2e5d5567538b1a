// The SVG `transform` attribute: matrix, translate, scale, rotate (with an
// optional centre), skewX and skewY, applied right to left.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host/drawing/geometry/affine.h"

namespace drv::drawing::svg {

// On failure returns false with the offset of the fault and a message.
bool parseTransformList(std::string_view text, Affine &out, std::size_t &errorOffset,
                        std::string &error);

} // namespace drv::drawing::svg
