// --pen-map: "#ff0000=2,layer:Cut=3,blue=4": stroke colours and layers
// sent to chosen pens.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/drawing/model/drawing.h"

namespace drv::drawing {

struct PenMapEntry {
    std::optional<Colour> colour; // or else a layer
    std::string layer;
    int pen = 0;
};

bool parsePenMap(std::string_view text, std::vector<PenMapEntry> &out, std::string &error);

} // namespace drv::drawing
