// Pictures as the plotter drivers take them: RGB pixels packed into rows of
// the layouts that host/job/row_layout.h describes.
#pragma once

#include <cstdint>
#include <vector>

#include "host/picture/rgb_image.h"
#include "host/util/rgb.h"

namespace drv::host {

// An image ready for a raster bracket: the palette (empty for direct
// colour) and one packed row per image row, each packedRowBytes long.
struct RasterRows {
    std::vector<Rgb> palette;
    std::vector<std::vector<std::uint8_t>> rows;
};

// Packs `image` at `depth` (isRasterDepth). Indexed depths use the image's
// own colours when they fit in 2^depth entries, otherwise a palette chosen
// by median cut with every pixel mapped to its nearest entry.
RasterRows packImage(const RgbImage &image, std::int32_t depth);

} // namespace drv::host
