// ASCII DXF drawings read through the DXF library into a drawing: the
// entities of model space with their blocks expanded, in millimetres by
// $INSUNITS (unitless is millimetres), y up, pens keyed by layer.
#pragma once

#include <cstddef>
#include <string_view>

#include "host/drawing/model/drawing.h"

namespace drv::drawing::dxf {

struct DxfLimits {
    std::size_t maxBytes = std::size_t{128} << 20;
    int maxBlockDepth = 64;
    std::size_t maxItems = 4'000'000; // after blocks are expanded
};

// `toleranceMm` bounds the chords of curves that cannot stay exact. False
// with the first fault (its group-code line) in `error`.
bool readDxf(std::string_view bytes, double toleranceMm, Drawing &out, SourceError &error,
             const DxfLimits &limits = {});

} // namespace drv::drawing::dxf
