// Small pictures the demo draws itself, so that it needs no files.
#pragma once

#include <string_view>
#include <vector>

#include "host/picture/rgb_image.h"

namespace drv::host {

struct DemoPicture {
    std::string_view file; // the name the demo script uses
    RgbImage image;
};

// Three pictures: "rings.png" (two colours: for bit-plane output at
// depth 1), "tiles.png" (sixteen colours: bit planes at depth 4,
// palette-expanded at depth 8) and "sky.png" (a smooth blend of thousands
// of colours: direct colour at depths 16 and 32).
std::vector<DemoPicture> demoPictures();

} // namespace drv::host
