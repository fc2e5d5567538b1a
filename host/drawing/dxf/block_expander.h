// Model space with every INSERT replaced by its block, scaled, rotated and
// repeated as the insert says, nested blocks included; layers and colours
// resolved into pen keys.
#pragma once

#include "host/drawing/dxf/dxf_document.h"
#include "host/drawing/dxf/dxf_reader.h"

namespace drv::drawing::dxf {

// `map` takes drawing units to millimetres.
bool expandBlocks(const DxfDocument &document, const Affine &map, const DxfLimits &limits, Drawing &out,
                  SourceError &error);

} // namespace drv::drawing::dxf
