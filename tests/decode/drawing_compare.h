// Element-by-element comparison of two drawings, for the round trips.
#pragma once

#include <string>

#include "host/decode/drawing.h"

namespace drv::test {

// Empty when `actual` draws what `expected` does: the same elements in the
// same order, with equal pens, inks, texts, fills, pixels and coordinates
// (values a device computes, such as arc end points, image steps and label
// sizes, within a millionth). Otherwise the first difference, readably.
std::string compareDrawings(const decode::Drawing &expected, const decode::Drawing &actual);

} // namespace drv::test
